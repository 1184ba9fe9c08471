// The identifier index: for every item identifier met by the import scan, the
// position at which the item's record begins. Kept as a vector sorted by the
// identifier read as an unsigned 32-bit number (so negative identifiers come
// after all others): 16 bytes per item and a binary search per lookup.
#pragma once

#include "store/store_host.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quarry {

struct cIndexEntry {
    ZRID zrid = 0;
    RecordPosition position = 0;
};

class cItemIndex {
public:
    cItemIndex() = default;
    // The index of entries listed in file order; for a repeated identifier the
    // first entry wins.
    static cItemIndex fromFileOrder(std::vector<cIndexEntry> entries);

    // The index of entries already in ascending unsigned identifier order,
    // each identifier once, and the starts of every record in file order,
    // ascending (what a cache kept of an index); none when they are not.
    static std::optional<cItemIndex> fromSorted(std::vector<cIndexEntry> entries,
                                                std::vector<RecordPosition> starts);

    // Inserts unless the identifier is present; true when it was inserted.
    bool add(ZRID zrid, RecordPosition position);
    std::optional<RecordPosition> find(ZRID zrid) const;

    // Where the next record after the one at `position` begins in the file
    // (any record the scan found, indexed or not); none after the last one.
    // It bounds how much a load reads at once, not where the record ends.
    std::optional<RecordPosition> nextRecordStart(RecordPosition position) const;

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // Entries in ascending unsigned identifier order.
    const cIndexEntry* begin() const { return entries_.data(); }
    const cIndexEntry* end() const { return entries_.data() + entries_.size(); }
    // Where every record the scan found begins, in file order.
    const std::vector<RecordPosition>& starts() const { return starts_; }

private:
    std::vector<cIndexEntry> entries_;
    std::vector<RecordPosition> starts_; // every record the scan found, in file order
};

} // namespace quarry
