// Items of Find's query index looked up by identifier, for the report's
// links: a table of the index's searchable items sorted by identifier, made
// again only when the index has changed since (its generation or its size),
// so one import costs one sort and every lookup after it a binary search.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quarry {

class cQueryIndex;

// What the index holds of one item.
struct cIndexedItem {
    ZRID zrid = 0;
    std::string_view name; // bytes as in the file, valid until the index changes
    std::int32_t ql = 0;
};

class cItemLookup {
public:
    explicit cItemLookup(const cQueryIndex& index) : index_(index) {}

    // The item with this identifier, when the index holds it.
    std::optional<cIndexedItem> find(ZRID zrid);
    // Makes the table for the index as it is now, unless it is made already.
    void update();

private:
    struct cEntry {
        ZRID zrid;
        std::uint32_t item; // the index's number for it
    };
    struct cBuiltFor {
        std::uint64_t generation;
        std::uint32_t size;
        bool operator==(const cBuiltFor&) const = default;
    };

    const cQueryIndex& index_;
    std::vector<cEntry> entries_;
    std::optional<cBuiltFor> builtFor_; // the index as it was when the table was made
};

} // namespace quarry
