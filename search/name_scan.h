// Finding the names that contain words: one pass over the name index's
// folded arena, anchored on the rarest pair of neighbouring bytes among the
// words, so most of the arena is passed over sixteen bytes at a time.
#pragma once

#include "search/name_index.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quarry {

// The positions (in name order) of the committed names that contain every
// word, folded words against folded names. At least one word.
std::vector<std::uint32_t> namesContainingAll(const cNameIndex& index,
                                              const std::vector<std::string_view>& words);

} // namespace quarry
