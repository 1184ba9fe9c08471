// Taking tags and attribute pairs apart.
//
// What a tag and a pair are is defined by patterns of the pattern engine
// (kept here as text). The item identifier is taken with the engine itself,
// once per item. Tags and pairs, taken millions of times in an import, go
// through scanners that give exactly the groups the tag and attribute
// patterns capture, but read the text once, front to back, and work on views,
// so taking all pairs off an attribute text costs time linear in its length
// (a pattern whose last group runs to the end of the text cannot). Tests hold
// the scanners against the compiled patterns.
//
// Like the pattern engine, every function sees its text only up to the first
// NUL character.
#pragma once

#include <string>
#include <string_view>

namespace quarry {

class cPattern;
class cPatternMatch;

// Group 0: the tag name, with a leading "/" for a closing tag; group 1: the
// attribute text.
inline constexpr const char* kTagPattern = "^<{/?[^ />]+} ?{.*?}( /)?>";
// Group 0: the attribute name; group 1: its value; group 2: the rest of the
// text after the pair and one blank.
inline constexpr const char* kAttributePattern = "{.+?}=\"{.*?}\"( {.+})?";
// Group 0: the value of an item start tag's ZRID attribute.
inline constexpr const char* kZridPattern = "^<.*?ZRID=\"{.*?}\".*?>";

// Whether a chunk of the file starts an item record: it begins with "<Item".
// The scan indexes exactly these chunks, and a load checks its position
// still holds one.
inline constexpr std::string_view kItemRecordStart = "<Item";
constexpr bool startsItemRecord(std::string_view chunk) {
    return chunk.starts_with(kItemRecordStart);
}

struct cTagView {
    bool matched = false;
    std::string_view name;
    std::string_view attributes;
};

struct cAttributeView {
    bool matched = false;
    std::string_view name;
    std::string_view value;
    std::string_view rest; // a suffix of the text that was taken apart
};

// The groups of kTagPattern in `tagText`; all empty when it does not match.
cTagView splitTagText(std::string_view tagText);
// The same for a tag whose only ">" is its last byte and which holds no NUL,
// as every tag the stream reads: no search for its end.
cTagView splitWholeTag(std::string_view tagText);
// The groups of kAttributePattern in `attributeText`; all empty when it does not match.
cAttributeView nextAttributeOf(std::string_view attributeText);
// The same for a text without NUL characters, such as every attribute text
// splitTagText gives; costs time in the length of the pair, not of the text,
// so taking every pair off a text is linear.
cAttributeView nextAttributeInTag(std::string_view attributeText);
// kZridPattern compiled, for callers that have no pattern of their own.
const cPattern& standardIdentifierPattern();
// Group 0 of the identifier pattern on a tag text: the text of its ZRID value,
// empty when the pattern does not match. `context` is reused between calls.
std::string identifierTextOf(const std::string& tagText, const cPattern& identifierPattern,
                             cPatternMatch& context);

} // namespace quarry
