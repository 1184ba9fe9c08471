// Near spellings: the fallback when a query with words matches nothing. A
// name qualifies when every word of the query is within a few edits
// (insertions, deletions, substitutions) of some word of the name (a run of
// ASCII letters and digits, folded): 0 edits for words of up to 3 bytes, 1
// for 4 to 7, 2 for 8 or more. Exclusions and QL ranges still apply. Matches
// come by the total of each word's fewest edits, then in name order.
#pragma once

#include "search/name_index.h"
#include "search/name_query.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quarry {

int nearEditLimit(std::size_t wordLength);

// The edit distance of `a` and `b` when it is at most `limit`, else limit + 1.
// `scratch` is reused between calls.
int boundedEditDistance(std::string_view a, std::string_view b, int limit,
                        std::vector<int>& scratch);

// Positions of the names that qualify, in the order shown.
std::vector<std::uint32_t> findNearSpellings(const cNameIndex& index, const cNameQuery& query);

} // namespace quarry
