#include "store/tag_reader.h"

#include "pattern/pattern.h"

#include <array>
#include <cstring>

namespace quarry {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The engine reads zero-terminated text.
std::string_view untilNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// "^<{/?[^ />]+} ?{.*?}( /)?>" on a text whose first ">" is at `close` with no
// NUL before it: after "<" an optional "/" and the longest run of bytes other
// than blank, "/" and ">" (a shorter run never helps, since none of its bytes
// is a ">"); one optional blank; then the attribute text up to the first place
// that is either " />" or ">".
cTagView splitTagAt(std::string_view text, std::size_t close) {
    // The bytes that end the name's run.
    static constexpr std::array<bool, 256> kEndsName = [] {
        std::array<bool, 256> ends{};
        for (const unsigned char byte : {' ', '/', '>'})
            ends[byte] = true;
        return ends;
    }();
    cTagView tag;
    const char* const bytes = text.data();
    if (bytes[0] != '<') return tag;
    std::size_t at = 1;
    if (bytes[at] == '/') ++at;
    const std::size_t runStart = at;
    while (!kEndsName[static_cast<unsigned char>(bytes[at])])
        ++at;
    if (at == runStart) return tag;
    tag.name = std::string_view(bytes + 1, at - 1);
    if (bytes[at] == ' ') ++at;
    // The attribute text ends at the first ">" or at a " />" before it.
    std::size_t attributesEnd = close;
    if (close >= at + 2 && bytes[close - 2] == ' ' && bytes[close - 1] == '/')
        attributesEnd = close - 2;
    tag.matched = true;
    tag.attributes = std::string_view(bytes + at, attributesEnd - at);
    return tag;
}

} // namespace

cTagView splitTagText(std::string_view text) {
    // The first ">" decides; the engine would not see past a NUL before it.
    const std::size_t close = text.find('>');
    if (close == npos || std::memchr(text.data(), '\0', close) != nullptr) return {};
    return splitTagAt(text, close);
}

cTagView splitWholeTag(std::string_view text) {
    if (text.empty() || text.back() != '>') return {};
    return splitTagAt(text, text.size() - 1);
}

// "{.+?}=\"{.*?}\"( {.+})?": the search succeeds at the first start or not at
// all, since any later start only narrows the choices. The name runs to the
// first '="' after at least one byte, the value to the next '"'; when a blank
// and at least one more byte follow, the rest is everything after the blank.
cAttributeView nextAttributeInTag(std::string_view text) {
    cAttributeView pair;
    // The shortest pair is a name byte, '="' and '"'.
    if (text.size() < 4) return pair;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* equals = begin + 1;
    for (;; ++equals) {
        equals = static_cast<const char*>(
            std::memchr(equals, '=', static_cast<std::size_t>(end - equals)));
        if (equals == nullptr || end - equals < 2) return pair;
        if (equals[1] == '"') break;
    }
    const char* const valueStart = equals + 2;
    const char* const close = static_cast<const char*>(
        std::memchr(valueStart, '"', static_cast<std::size_t>(end - valueStart)));
    if (close == nullptr) return pair;
    pair.matched = true;
    pair.name = std::string_view(begin, static_cast<std::size_t>(equals - begin));
    pair.value = std::string_view(valueStart, static_cast<std::size_t>(close - valueStart));
    if (end - close > 2 && close[1] == ' ')
        pair.rest = std::string_view(close + 2, static_cast<std::size_t>(end - close - 2));
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
