#include "platform/rich_text_words.h"

#include <algorithm>
#include <iterator>

namespace quarry {

namespace {

struct cWordEntry {
    std::string_view name;
    eRtfWord word;
};

// Sorted by name for the binary search. The skipped destinations hold fonts,
// styles, document information, pictures, objects, field instructions, and
// text shown elsewhere than in the body (headers, footnotes, comments).
constexpr cWordEntry kWords[] = {
    {"annotation", eRtfWord::skippedDestination},
    {"atnauthor", eRtfWord::skippedDestination},
    {"atnid", eRtfWord::skippedDestination},
    {"author", eRtfWord::skippedDestination},
    {"b", eRtfWord::bold},
    {"bin", eRtfWord::binary},
    {"blue", eRtfWord::blue},
    {"bullet", eRtfWord::bullet},
    {"cell", eRtfWord::cell},
    {"cf", eRtfWord::colorFore},
    {"colortbl", eRtfWord::colorTable},
    {"comment", eRtfWord::skippedDestination},
    {"datastore", eRtfWord::skippedDestination},
    {"do", eRtfWord::skippedDestination},
    {"doccomm", eRtfWord::skippedDestination},
    {"emdash", eRtfWord::emDash},
    {"endash", eRtfWord::enDash},
    {"falt", eRtfWord::skippedDestination},
    {"fldinst", eRtfWord::skippedDestination},
    {"fonttbl", eRtfWord::skippedDestination},
    {"footer", eRtfWord::skippedDestination},
    {"footerf", eRtfWord::skippedDestination},
    {"footerl", eRtfWord::skippedDestination},
    {"footerr", eRtfWord::skippedDestination},
    {"footnote", eRtfWord::skippedDestination},
    {"green", eRtfWord::green},
    {"header", eRtfWord::skippedDestination},
    {"headerf", eRtfWord::skippedDestination},
    {"headerl", eRtfWord::skippedDestination},
    {"headerr", eRtfWord::skippedDestination},
    {"i", eRtfWord::italic},
    {"info", eRtfWord::skippedDestination},
    {"keywords", eRtfWord::skippedDestination},
    {"ldblquote", eRtfWord::leftDoubleQuote},
    {"line", eRtfWord::line},
    {"listoverridetable", eRtfWord::skippedDestination},
    {"listtable", eRtfWord::skippedDestination},
    {"lquote", eRtfWord::leftQuote},
    {"nonshppict", eRtfWord::skippedDestination},
    {"objdata", eRtfWord::skippedDestination},
    {"object", eRtfWord::skippedDestination},
    {"operator", eRtfWord::skippedDestination},
    {"page", eRtfWord::page},
    {"par", eRtfWord::paragraph},
    {"pard", eRtfWord::paragraphDefault},
    {"pict", eRtfWord::skippedDestination},
    {"plain", eRtfWord::plain},
    {"pntext", eRtfWord::skippedDestination},
    {"pntxta", eRtfWord::skippedDestination},
    {"pntxtb", eRtfWord::skippedDestination},
    {"qj", eRtfWord::justify},
    {"ql", eRtfWord::alignLeft},
    {"rdblquote", eRtfWord::rightDoubleQuote},
    {"red", eRtfWord::red},
    {"result", eRtfWord::skippedDestination},
    {"revtbl", eRtfWord::skippedDestination},
    {"row", eRtfWord::row},
    {"rquote", eRtfWord::rightQuote},
    {"rsidtbl", eRtfWord::skippedDestination},
    {"sect", eRtfWord::section},
    {"shp", eRtfWord::skippedDestination},
    {"shppict", eRtfWord::skippedDestination},
    {"stylesheet", eRtfWord::skippedDestination},
    {"subject", eRtfWord::skippedDestination},
    {"tab", eRtfWord::tab},
    {"tc", eRtfWord::skippedDestination},
    {"template", eRtfWord::skippedDestination},
    {"title", eRtfWord::skippedDestination},
    {"tx", eRtfWord::tabStop},
    {"txe", eRtfWord::skippedDestination},
    {"u", eRtfWord::unicode},
    {"uc", eRtfWord::unicodeSkip},
    {"xe", eRtfWord::skippedDestination},
};

constexpr bool isSorted() {
    for (std::size_t i = 1; i < std::size(kWords); ++i)
        if (!(kWords[i - 1].name < kWords[i].name)) return false;
    return true;
}
static_assert(isSorted(), "kWords must stay sorted for the binary search");

} // namespace

eRtfWord lookupRtfWord(std::string_view name) {
    auto found = std::lower_bound(
        std::begin(kWords), std::end(kWords), name,
        [](const cWordEntry& entry, std::string_view key) { return entry.name < key; });
    if (found != std::end(kWords) && found->name == name) return found->word;
    return eRtfWord::unknown;
}

} // namespace quarry
