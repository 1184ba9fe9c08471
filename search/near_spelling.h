// Near spellings: what answers a query of name words joined by "and" when
// nothing matches. A name qualifies when every name word of the query is
// within a few edits of some word of the name (a run of ASCII letters and
// digits, folded): 0 edits for words of up to 3 bytes, 1 for 4 to 7, 2 for
// 8 or more. An edit inserts, deletes or substitutes a byte, or swaps two
// neighbouring bytes (optimal string alignment).
#pragma once

#include "search/item_bits.h"
#include "search/query_index.h"
#include "search/search_stop.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quarry {

int nearEditLimit(std::size_t wordLength);

// The distance of `a` and `b` when it is at most `limit`, else limit + 1,
// in time proportional to the shorter text times the limit. `scratch` is
// reused between calls.
int boundedEditDistance(std::string_view a, std::string_view b, int limit,
                        std::vector<int>& scratch);

// The searchable items of `admitted` whose names qualify for `words`, in the
// order shown: fewest edits in total first; then by rank (name_rank.h) with
// each word replaced by the first name word closest to it; then in name
// order. The work is linear in the names' bytes for each word. Once `stop`
// (when given) is raised, it ends early with what it found so far.
std::vector<std::uint32_t> findNearSpellings(const cQueryIndex& index, const cItemBits& admitted,
                                             const std::vector<std::string_view>& words,
                                             const cSearchStop* stop = nullptr);

} // namespace quarry
