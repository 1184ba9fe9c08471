// Numbers in the item file and in the identifier box are read the way the C
// library reads a decimal integer: leading white space, an optional sign, then
// digits up to the first other character; no digits give 0. Values beyond 32
// bits wrap around, done here in unsigned arithmetic rather than by overflow.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quarry {

std::int32_t parseDecimal(std::string_view text);

// A whole number as the item queries compare values: an optional sign, then 1
// to 18 decimal digits and nothing else (so it always fits 64 bits); none for
// any other text, white space included.
std::optional<std::int64_t> wholeNumber(std::string_view text);

} // namespace quarry
