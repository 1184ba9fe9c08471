// Runs a parsed query over a query index: the one evaluator of the Find pane
// and `quarry-cli find`.
//
// Each term yields the set of searchable items it holds for (a scan of the
// index's arrays for that field), and the sets are combined as the query's
// tree says. Order of the result: the item a lone identifier names, when it
// is searchable; then the matches by rank on the query's name words
// (name_rank.h), each rank in name order (folded name, QL, index order).
// When nothing matches a query of terms joined by "and" only that has name
// words, near spellings may answer instead (near_spelling.h).
#pragma once

#include "search/query.h"
#include "search/query_index.h"

#include <cstdint>
#include <vector>

namespace quarry {

struct cQueryResult {
    // Item numbers of the index, in the order shown.
    std::vector<std::uint32_t> items;
    // Near spellings answered.
    bool near = false;
};

// `allowNear` lets near spellings answer when nothing matches.
cQueryResult runQuery(const cQueryIndex& index, const cQuery& query, bool allowNear);

} // namespace quarry
