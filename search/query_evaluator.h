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
#include "search/search_stop.h"

#include <cstdint>
#include <vector>

namespace quarry {

struct cQueryResult {
    // Item numbers of the index, in the order shown.
    std::vector<std::uint32_t> items;
    // Near spellings answered.
    bool near = false;
    // The stop flag was raised: the search ended early, without items.
    bool abandoned = false;
};

// `allowNear` lets near spellings answer when nothing matches. `stop`, when
// given, may be raised by another thread: the search looks at it before each
// node of the query and every few thousand names, and then gives up.
cQueryResult runQuery(const cQueryIndex& index, const cQuery& query, bool allowNear,
                      const cSearchStop* stop = nullptr);

} // namespace quarry
