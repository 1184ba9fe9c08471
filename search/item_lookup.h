// Items of Find's name index looked up by identifier, for the report's links:
// a table of the index's committed items sorted by identifier, made again
// only when the index has changed since (its generation), so one import costs
// one sort and every lookup after it a binary search.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quarry {

class cNameIndex;

// What the index holds of one item.
struct cIndexedItem {
    ZRID zrid = 0;
    std::string_view name; // bytes as in the file, valid until the index changes
    std::int32_t ql = 0;
};

class cItemLookup {
public:
    explicit cItemLookup(const cNameIndex& names) : names_(names) {}

    // The item with this identifier, when the index holds it.
    std::optional<cIndexedItem> find(ZRID zrid);
    // Makes the table for the index as it is now, unless it is made already.
    void update();

private:
    struct cEntry {
        ZRID zrid;
        std::uint32_t position; // in the index's name order
    };

    const cNameIndex& names_;
    std::vector<cEntry> entries_;
    std::optional<std::uint64_t> builtFor_; // the index's generation the table was made for
};

} // namespace quarry
