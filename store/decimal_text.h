// Numbers in the item file and in the identifier box are read the way the C
// library reads a decimal integer: leading white space, an optional sign, then
// digits up to the first other character; no digits give 0. Values beyond 32
// bits wrap around, done here in unsigned arithmetic rather than by overflow.
#pragma once

#include <cstdint>
#include <string_view>

namespace quarry {

std::int32_t parseDecimal(std::string_view text);

} // namespace quarry
