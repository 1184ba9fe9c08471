#include "store/item_index.h"

#include <algorithm>

namespace quarry {

namespace {

std::uint32_t keyOf(ZRID zrid) {
    return static_cast<std::uint32_t>(zrid);
}

bool keyLess(const cIndexEntry& a, const cIndexEntry& b) {
    return keyOf(a.zrid) < keyOf(b.zrid);
}

} // namespace

cItemIndex cItemIndex::fromFileOrder(std::vector<cIndexEntry> entries) {
    cItemIndex index;
    index.starts_.reserve(entries.size());
    for (const cIndexEntry& entry : entries)
        index.starts_.push_back(entry.position);
    // A stable sort keeps repeated identifiers in file order, so unique()
    // keeps the first one met.
    std::stable_sort(entries.begin(), entries.end(), keyLess);
    entries.erase(
        std::unique(entries.begin(), entries.end(),
                    [](const cIndexEntry& a, const cIndexEntry& b) { return a.zrid == b.zrid; }),
        entries.end());
    entries.shrink_to_fit();
    index.entries_ = std::move(entries);
    return index;
}

std::optional<cItemIndex> cItemIndex::fromSorted(std::vector<cIndexEntry> entries,
                                                 std::vector<RecordPosition> starts) {
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (keyOf(entries[i - 1].zrid) >= keyOf(entries[i].zrid)) return std::nullopt;
    for (std::size_t i = 1; i < starts.size(); ++i)
        if (starts[i - 1] >= starts[i]) return std::nullopt;
    // Every entry is the start of a record.
    for (const cIndexEntry& entry : entries)
        if (!std::binary_search(starts.begin(), starts.end(), entry.position)) return std::nullopt;
    cItemIndex index;
    index.entries_ = std::move(entries);
    index.starts_ = std::move(starts);
    return index;
}

bool cItemIndex::add(ZRID zrid, RecordPosition position) {
    const cIndexEntry entry{zrid, position};
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), entry, keyLess);
    if (at != entries_.end() && at->zrid == zrid) return false;
    entries_.insert(at, entry);
    return true;
}

std::optional<RecordPosition> cItemIndex::nextRecordStart(RecordPosition position) const {
    // The scan met the records front to back: the starts are ascending.
    const auto at = std::upper_bound(starts_.begin(), starts_.end(), position);
    if (at == starts_.end()) return std::nullopt;
    return *at;
}

std::optional<RecordPosition> cItemIndex::find(ZRID zrid) const {
    const cIndexEntry probe{zrid, 0};
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), probe, keyLess);
    if (at == entries_.end() || at->zrid != zrid) return std::nullopt;
    return at->position;
}

} // namespace quarry
