#include "search/name_index.h"

#include "search/flat_arrays.h"
#include "search/name_text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <future>

namespace quarry {

namespace {

// Eight bytes of a text from `from` as one number that orders as they do,
// zeros past its end.
std::uint64_t prefixNumber(std::string_view text, std::size_t from) {
    std::uint64_t value = 0;
    if (from + sizeof value <= text.size()) {
        std::memcpy(&value, text.data() + from, sizeof value);
        return std::endian::native == std::endian::little ? __builtin_bswap64(value) : value;
    }
    for (std::size_t i = from; i < from + sizeof value; ++i)
        value = value << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
    return value;
}

std::size_t pairSlot(char first, char second) {
    return std::size_t(static_cast<unsigned char>(first)) << 8 | static_cast<unsigned char>(second);
}

} // namespace

void cNameIndex::expectItems(std::size_t items) {
    constexpr std::size_t kNameBytes = 24; // a little more than a typical name
    entries_.reserve(entries_.size() + items);
    names_.reserve(names_.size() + items * kNameBytes);
    folded_.reserve(folded_.size() + items * kNameBytes);
}

bool cNameIndex::add(std::uint32_t item, std::string_view name, std::int32_t ql) {
    if (name.size() > kMaxArenaBytes - names_.size() || entries_.size() >= UINT32_MAX) return false;
    const std::size_t start = names_.size();
    entries_.push_back({item, ql, static_cast<std::uint32_t>(start)});
    names_.append(name);
    folded_.resize(start + name.size());
    if (pairCounts_.empty()) pairCounts_.resize(256 * 256);
    char* folded = folded_.data() + start;
    char previous = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = static_cast<char>(foldByte(static_cast<unsigned char>(name[i])));
        folded[i] = c;
        ++byteCounts_[static_cast<unsigned char>(c)];
        if (i > 0) ++pairCounts_[pairSlot(previous, c)];
        previous = c;
    }
    return true;
}

std::string_view cNameIndex::foldedArena() const {
    const std::size_t end =
        committed_ < entries_.size() ? entries_[committed_].offset : names_.size();
    return std::string_view(folded_).substr(0, end);
}

std::uint64_t cNameIndex::pairCount(unsigned char first, unsigned char second) const {
    return pairCounts_.empty() ? 0 : pairCounts_[pairSlot(char(first), char(second))];
}

void cNameIndex::commitPending() {
    if (!inNameOrder_) return commitInIndexOrder();
    commitSorted(sortPending(true));
}

void cNameIndex::commitPending(const std::function<void()>& waiting) {
    if (!inNameOrder_) return commitInIndexOrder();
    if (committed_ == entries_.size()) return;
    std::future<cSortedPending> sorted =
        std::async(std::launch::async, [this] { return sortPending(false); });
    while (sorted.wait_for(kWaitingInterval) != std::future_status::ready)
        waiting();
    commitSorted(sorted.get());
}

void cNameIndex::commitInIndexOrder() {
    if (committed_ == entries_.size()) return;
    if (committed_ != 0 && inNameOrder_) return commitPending();
    inNameOrder_ = false;
    committed_ = entries_.size();
    ++generation_;
}

bool cNameIndex::before(std::size_t a, std::size_t b) const {
    return inNameOrder_ ? a < b : nameOrderLess(a, b);
}

bool cNameIndex::nameOrderLess(std::size_t a, std::size_t b) const {
    const int order = foldedName(a).compare(foldedName(b));
    if (order != 0) return order < 0;
    return ql(a) != ql(b) ? ql(a) < ql(b) : a < b;
}

namespace {
// Fewer names than this sort faster on one thread than in halves on two.
constexpr std::size_t kSortInHalvesFrom = 50'000;
} // namespace

cNameIndex::cSortedPending cNameIndex::sortPending(bool inHalves) const {
    cSortedPending sorted;
    if (committed_ == entries_.size()) return sorted;
    // Most names differ in their first sixteen bytes: sort by those as two
    // numbers first, and compare whole names only where they agree.
    struct cSortKey {
        std::array<std::uint64_t, 2> prefix;
        std::uint32_t item;
    };
    std::vector<cSortKey> keys(entries_.size() - committed_);
    for (std::size_t item = committed_; item < entries_.size(); ++item) {
        cSortKey& key = keys[item - committed_];
        key.item = static_cast<std::uint32_t>(item);
        const std::string_view folded = foldedName(item);
        for (std::size_t word = 0; word < key.prefix.size(); ++word)
            key.prefix[word] = prefixNumber(folded, word * sizeof(std::uint64_t));
    }
    const auto keyLess = [this](const cSortKey& a, const cSortKey& b) {
        // Pending items lie in index order, which equal names keep.
        return a.prefix != b.prefix ? a.prefix < b.prefix : nameOrderLess(a.item, b.item);
    };
    if (inHalves && keys.size() >= kSortInHalvesFrom) {
        const auto middle = keys.begin() + static_cast<std::ptrdiff_t>(keys.size() / 2);
        std::future<void> firstHalf =
            std::async(std::launch::async, [&] { std::sort(keys.begin(), middle, keyLess); });
        std::sort(middle, keys.end(), keyLess);
        firstHalf.get();
        std::inplace_merge(keys.begin(), middle, keys.end(), keyLess);
    } else {
        std::sort(keys.begin(), keys.end(), keyLess);
    }

    // The new items' bytes and entries, copied out in name order.
    std::string& names = sorted.names;
    std::string& foldedNames = sorted.foldedNames;
    std::vector<cEntry>& fresh = sorted.fresh;
    names.reserve(names_.size() - nameStart(committed_));
    foldedNames.reserve(names.capacity());
    fresh.reserve(keys.size());
    for (const cSortKey& key : keys) {
        fresh.push_back({entries_[key.item].item, entries_[key.item].ql,
                         static_cast<std::uint32_t>(names.size())});
        names.append(name(key.item));
        foldedNames.append(foldedName(key.item));
    }
    return sorted;
}

void cNameIndex::commitSorted(cSortedPending&& sorted) {
    if (committed_ == entries_.size()) return;
    if (committed_ == 0) { // nothing to merge with: the copies are the index
        names_.swap(sorted.names);
        folded_.swap(sorted.foldedNames);
        entries_.swap(sorted.fresh);
    } else {
        mergeFromTheBack(sorted.fresh, sorted.names, sorted.foldedNames);
    }
    committed_ = entries_.size();
    ++generation_;
}

void cNameIndex::mergeFromTheBack(const std::vector<cEntry>& fresh, const std::string& names,
                                  const std::string& foldedNames) {
    // Merge from the back into the arenas and entries they came from: the
    // place written never lies before the committed item read, so nothing is
    // overwritten unread and nothing is allocated but the new items' copies. On
    // equal name and QL the new item came later in index order: it goes last.
    std::size_t committedEnd = nameStart(committed_); // end of the last committed item not taken
    std::size_t freshEnd = names.size();              // end of the last new item not taken
    std::size_t writeEnd = names_.size();
    std::size_t old = committed_;
    std::size_t next = fresh.size();
    for (std::size_t write = entries_.size(); next > 0;) {
        const std::string_view newest =
            std::string_view(foldedNames)
                .substr(fresh[next - 1].offset, freshEnd - fresh[next - 1].offset);
        bool takeOld = false;
        if (old > 0) {
            const std::size_t start = entries_[old - 1].offset;
            const int order =
                newest.compare(std::string_view(folded_).substr(start, committedEnd - start));
            takeOld = order < 0 || (order == 0 && fresh[next - 1].ql < entries_[old - 1].ql);
        }
        const cEntry taken = takeOld ? entries_[--old] : fresh[--next];
        const std::size_t length = (takeOld ? committedEnd : freshEnd) - taken.offset;
        writeEnd -= length;
        if (takeOld) {
            std::memmove(&names_[writeEnd], &names_[taken.offset], length);
            std::memmove(&folded_[writeEnd], &folded_[taken.offset], length);
            committedEnd = taken.offset;
        } else {
            std::memcpy(&names_[writeEnd], names.data() + taken.offset, length);
            std::memcpy(&folded_[writeEnd], foldedNames.data() + taken.offset, length);
            freshEnd = taken.offset;
        }
        entries_[--write] = {taken.item, taken.ql, static_cast<std::uint32_t>(writeEnd)};
    }
}

void cNameIndex::shrinkToFit() {
    names_.shrink_to_fit();
    folded_.shrink_to_fit();
    entries_.shrink_to_fit();
}

bool cNameIndex::restored(std::size_t items) {
    if (names_.size() != folded_.size() || names_.size() > kMaxArenaBytes ||
        entries_.size() != items || (!pairCounts_.empty() && pairCounts_.size() != 256 * 256))
        return false;
    std::uint32_t offset = 0;
    for (const cEntry& entry : entries_) {
        if (entry.offset < offset || entry.item >= items) return false;
        offset = entry.offset;
    }
    if (offset > names_.size()) return false;
    committed_ = entries_.size();
    ++generation_;
    return true;
}

void cNameIndex::clear() {
    std::string().swap(names_);
    std::string().swap(folded_);
    std::vector<cEntry>().swap(entries_);
    committed_ = 0;
    inNameOrder_ = true;
    byteCounts_.fill(0);
    std::vector<std::uint32_t>().swap(pairCounts_);
    ++generation_;
}

std::size_t cNameIndex::bytesHeld() const {
    std::size_t bytes = 0;
    forEachArray([&bytes](const auto& array) { bytes += bytesOf(array); });
    return bytes;
}

} // namespace quarry
