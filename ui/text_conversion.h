// Text from the item file is 8-bit: UTF-8 when it is valid UTF-8, otherwise
// taken as Latin-1, so no byte is ever lost or turned into a replacement mark.
#pragma once

#include <QString>

#include <string_view>

namespace quarry {

QString textFromBytes(std::string_view bytes);

} // namespace quarry
