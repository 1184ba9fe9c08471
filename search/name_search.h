// Finds items by name: the query rule shared by the Find pane and
// `quarry-cli find`.
//
// Order of the result: the item a lone identifier names (when its record
// loaded), then the matches by rank (0 the name equals the words joined by
// single blanks; 1 the name starts with the first word; 2 every word starts
// a word of the name; 3 the rest; every match of a query without words is
// 3), each rank in name order (folded name, QL, index order). When a query
// with words matches nothing, near spellings may answer instead
// (near_spelling.h).
#pragma once

#include "search/name_index.h"
#include "search/name_query.h"

#include <cstdint>
#include <vector>

namespace quarry {

struct cNameSearchResult {
    // Positions in the index's committed name order, in the order shown.
    std::vector<std::uint32_t> items;
    // The near-spelling fallback answered.
    bool near = false;
};

// `allowNear` lets near spellings answer when nothing matches.
cNameSearchResult searchNames(const cNameIndex& index, const cNameQuery& query, bool allowNear);

} // namespace quarry
