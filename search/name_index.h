// The names of the items the tree build loaded, kept for search as you type.
//
// Layout: one arena of the names as read, one arena of the same names folded
// (name_text.h), both with the same offsets, and one 12-byte entry per item
// (its item number, QL, offset; a name ends where the next one begins). Committed
// entries lie in the order search results are shown in: folded name byte by
// byte, then QL, then index order. A scan of the folded arena from start to
// end therefore meets matching names in that order and needs no sort.
//
// Items arrive in index order (the tree build's contract), numbered by the
// caller in that order, and wait, appended, until commitPending() merges them
// into name order. Searches see committed items only; every commit or clear()
// changes generation(), because positions of committed entries move.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

class cNameIndex {
public:
    // Names are addressed by 32-bit offsets: an item whose name would take
    // the arenas past this size is left out (it stays in the tree).
    static constexpr std::size_t kMaxArenaBytes = UINT32_MAX;

    // Appends item number `item` after every item added before it in index
    // order; false (nothing added) when the arenas are full.
    bool add(std::uint32_t item, std::string_view name, std::int32_t ql);
    // Makes room for that many more names at once, so that adding them moves
    // nothing already there.
    void expectItems(std::size_t items);
    // Files the items added since the last commit into name order, sorting
    // on both processors when there are many: nothing else runs meanwhile.
    void commitPending();
    // The same, with the sort and copy of the new items (most of the work)
    // done on another thread, while `waiting` is called on this one every
    // few tens of milliseconds. `waiting` may search the committed items but
    // must not add, commit or clear.
    void commitPending(const std::function<void()>& waiting);
    static constexpr std::chrono::milliseconds kWaitingInterval{30};
    // Makes the pending items searchable as they came, in index order, with
    // no sort: for one search that puts its few matches in name order itself
    // (before()). Once committed so, later commits keep index order too, until
    // clear().
    void commitInIndexOrder();
    // Whether the committed items lie in name order (see commitInIndexOrder).
    bool inNameOrder() const { return inNameOrder_; }
    // Whether the item at committed position `a` comes before the one at `b`
    // in name order: folded name, QL, then index order.
    bool before(std::size_t a, std::size_t b) const;
    // Gives back the room kept for more items, once no more will come.
    void shrinkToFit();
    // Forgets every item (a new import begins).
    void clear();

    // Committed items, by position in name order.
    std::size_t size() const { return committed_; }
    std::size_t pendingCount() const { return entries_.size() - committed_; }
    std::uint32_t item(std::size_t position) const { return entries_[position].item; }
    std::int32_t ql(std::size_t position) const { return entries_[position].ql; }
    std::string_view name(std::size_t position) const { return nameIn(names_, position); }
    std::string_view foldedName(std::size_t position) const { return nameIn(folded_, position); }
    std::size_t nameStart(std::size_t position) const { return entries_[position].offset; }
    std::size_t nameEnd(std::size_t position) const {
        return position + 1 < entries_.size() ? entries_[position + 1].offset : names_.size();
    }
    // Every committed folded name back to back, in name order.
    std::string_view foldedArena() const;
    // How often a folded byte, and a pair of neighbouring folded bytes, occur
    // in the names: a search anchors on the rarest of its words' bytes.
    std::uint64_t byteCount(unsigned char folded) const { return byteCounts_[folded]; }
    std::uint64_t pairCount(unsigned char first, unsigned char second) const;

    std::uint64_t generation() const { return generation_; }
    // Memory held by the arenas and entries.
    std::size_t bytesHeld() const;
    // Calls visit(array) for each member array.
    template <class Visit> void forEachArray(Visit&& visit) const { visitArrays(*this, visit); }
    // The same with arrays to fill (a cache being read), all committed ones.
    template <class Visit> void fillEachArray(Visit&& visit) { visitArrays(*this, visit); }
    // After fillEachArray: whether the arrays agree with one another (the
    // entries lie in the arenas in order and name items below `items`); they
    // are then the committed items.
    bool restored(std::size_t items);

private:
    template <class Self, class Visit> static void visitArrays(Self& self, Visit& visit) {
        visit(self.names_);
        visit(self.folded_);
        visit(self.entries_);
        visit(self.byteCounts_);
        visit(self.pairCounts_);
    }

    struct cEntry {
        std::uint32_t item;
        std::int32_t ql;
        std::uint32_t offset;
    };

    std::string_view nameIn(const std::string& arena, std::size_t position) const {
        const std::size_t start = nameStart(position);
        return std::string_view(arena).substr(start, nameEnd(position) - start);
    }
    // Name order of two entries: folded name, QL, then position.
    bool nameOrderLess(std::size_t a, std::size_t b) const;
    // The items added since the last commit, sorted into name order and
    // copied out: only those are read, so committed items stay searchable.
    struct cSortedPending {
        std::vector<cEntry> fresh; // offsets into the two texts below
        std::string names;
        std::string foldedNames;
    };
    cSortedPending sortPending(bool inHalves) const;
    void commitSorted(cSortedPending&& sorted);
    // Merges new items, copied out in name order (`fresh`, with offsets into
    // `names` and `foldedNames`), with the committed ones, in place.
    void mergeFromTheBack(const std::vector<cEntry>& fresh, const std::string& names,
                          const std::string& foldedNames);

    std::string names_;
    std::string folded_;
    std::vector<cEntry> entries_;
    std::size_t committed_ = 0;
    std::array<std::uint64_t, 256> byteCounts_{};
    std::vector<std::uint32_t> pairCounts_; // 256 x 256 once a name is added
    std::uint64_t generation_ = 0;
    bool inNameOrder_ = true;
};

} // namespace quarry
