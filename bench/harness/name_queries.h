// Queries a player might type into Find, made from the names of an index:
// one to three neighbouring words of a real name, each whole, a prefix or a
// middle part, in mixed case; and misspelled ones that only the near-spelling
// fallback answers.
#pragma once

#include "gen/random_stream.h"
#include "search/query_index.h"

#include <string>
#include <vector>

namespace quarry {

std::vector<std::string> makeTypedQueries(const cQueryIndex& index, cRandomStream& random,
                                          std::size_t count);
// Queries with one or two words, each changed by one edit (two for words of
// 8 bytes or more), that match no name exactly.
std::vector<std::string> makeMisspelledQueries(const cQueryIndex& index, cRandomStream& random,
                                               std::size_t count);

} // namespace quarry
