#include "store/tag_reader.h"

#include "pattern/pattern.h"

namespace quarry {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The engine reads zero-terminated text.
std::string_view untilNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

} // namespace

// "^<{/?[^ />]+} ?{.*?}( /)?>": after "<" an optional "/" and the longest run
// of bytes other than blank, "/" and ">" (a shorter run never helps, since
// none of its bytes is a ">"); one optional blank; then the attribute text up
// to the first place that is either " />" or ">".
cTagView splitTagText(std::string_view text) {
    cTagView tag;
    if (text.empty() || text[0] != '<') return tag;
    // The first ">" decides; the engine would not see past a NUL before it.
    const std::size_t close = text.find('>');
    if (close == npos || text.find('\0') < close) return tag;
    std::size_t at = 1;
    if (text[at] == '/') ++at;
    const std::size_t runStart = at;
    while (text[at] != ' ' && text[at] != '/' && text[at] != '>')
        ++at;
    if (at == runStart) return tag;
    tag.name = text.substr(1, at - 1);
    if (text[at] == ' ') ++at;
    // The attribute text ends at the first ">" or at a " />" before it.
    std::size_t attributesEnd = close;
    if (close >= at + 2 && text[close - 2] == ' ' && text[close - 1] == '/')
        attributesEnd = close - 2;
    tag.matched = true;
    tag.attributes = text.substr(at, attributesEnd - at);
    return tag;
}

// "{.+?}=\"{.*?}\"( {.+})?": the search succeeds at the first start or not at
// all, since any later start only narrows the choices. The name runs to the
// first '="' after at least one byte, the value to the next '"'; when a blank
// and at least one more byte follow, the rest is everything after the blank.
cAttributeView nextAttributeInTag(std::string_view text) {
    cAttributeView pair;
    const std::size_t equals = text.find("=\"", 1);
    if (equals == npos) return pair;
    const std::size_t valueStart = equals + 2;
    const std::size_t close = text.find('"', valueStart);
    if (close == npos) return pair;
    pair.matched = true;
    pair.name = text.substr(0, equals);
    pair.value = text.substr(valueStart, close - valueStart);
    if (close + 2 < text.size() && text[close + 1] == ' ') pair.rest = text.substr(close + 2);
    return pair;
}

cAttributeView nextAttributeOf(std::string_view text) {
    return nextAttributeInTag(untilNul(text));
}

const cPattern& standardIdentifierPattern() {
    static const cPattern pattern = [] {
        cPattern compiled;
        compiled.compile(kZridPattern, true);
        return compiled;
    }();
    return pattern;
}

std::string identifierTextOf(const std::string& tagText, const cPattern& identifierPattern,
                             cPatternMatch& context) {
    // A failed match leaves every group empty, so the text is then empty too.
    identifierPattern.match(tagText.c_str(), &context);
    return getGroup(context, 0);
}

} // namespace quarry
