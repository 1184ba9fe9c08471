// The control words the rich-text reader acts on. Every other word is
// unknown and skipped.
#pragma once

#include <string_view>

namespace quarry {

enum class eRtfWord {
    unknown,
    // character format
    bold,
    italic,
    colorFore,
    plain,
    // paragraph format
    paragraphDefault,
    justify,
    alignLeft,
    tabStop,
    // content
    tab,
    line,
    paragraph,
    cell,
    row,
    page,
    section,
    unicode,
    unicodeSkip,
    emDash,
    enDash,
    bullet,
    leftQuote,
    rightQuote,
    leftDoubleQuote,
    rightDoubleQuote,
    // colour table
    colorTable,
    red,
    green,
    blue,
    // binary data that follows the word (its parameter is the byte count)
    binary,
    // a destination whose content is never shown
    skippedDestination,
};

eRtfWord lookupRtfWord(std::string_view name);

} // namespace quarry
