// Interned texts: every distinct text once, back to back in one arena,
// addressed by a dense id given in the order texts first arrive, with how
// often each was added. The query index keeps its repeated texts here
// (attribute and stat names, event names, argument texts, folder paths), so
// an item holds 4-byte ids and a predicate on a text is decided once per
// distinct text, not once per item.
//
// Every member is a flat vector of plain numbers or bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

class cTextPool {
public:
    // What intern() answers when the arena cannot take the text.
    static constexpr std::uint32_t kNoText = UINT32_MAX;

    // Room for `more` new texts at once: the table is laid out anew once,
    // not again and again while a record of a million names is interned.
    void expect(std::size_t more);
    // The id of `text`, added (counted once more) when it is new.
    std::uint32_t intern(std::string_view text);

    std::uint32_t size() const { return static_cast<std::uint32_t>(ends_.size()); }
    std::string_view text(std::uint32_t id) const {
        const std::uint32_t start = id == 0 ? 0 : ends_[id - 1];
        return std::string_view(bytes_).substr(start, ends_[id] - start);
    }
    // How many times the text was interned.
    std::uint32_t count(std::uint32_t id) const { return counts_[id]; }
    // Ids by how often they were interned, most often first; ties by id.
    std::vector<std::uint32_t> idsByFrequency() const;

    void clear();
    void shrinkToFit();
    // Calls visit(array) for each member array, so a caller can count, write
    // or read them whole.
    template <class Visit> void forEachArray(Visit&& visit) const { visitArrays(*this, visit); }
    // The same with arrays to fill (a cache being read); restored() follows.
    template <class Visit> void fillEachArray(Visit&& visit) { visitArrays(*this, visit); }
    // Whether filled arrays agree with one another: every text id and end
    // lies inside its array, and the lookup table has room to end a probe.
    bool restored() const;

private:
    template <class Self, class Visit> static void visitArrays(Self& self, Visit& visit) {
        visit(self.bytes_);
        visit(self.ends_);
        visit(self.counts_);
        visit(self.slots_);
    }
    static std::uint64_t hashOf(std::string_view text);
    // Lays the lookup table out anew with `count` slots, a power of two.
    void rehash(std::size_t count);

    std::string bytes_;
    std::vector<std::uint32_t> ends_;   // per id: where its text ends in bytes_
    std::vector<std::uint32_t> counts_; // per id
    std::vector<std::uint32_t> slots_;  // open addressing by hash: id + 1, 0 when empty
};

} // namespace quarry
