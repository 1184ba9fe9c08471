// Taking tags and pairs apart: the scanners held against the compiled
// patterns on random texts, and the identifier of an item start tag.
#include "pattern/pattern.h"
#include "store/tag_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

// Texts made of the pieces the patterns care about, NUL and bytes above 127
// included, and each also as a whole tag: the scanners must give exactly the
// groups of the patterns that define them.
TEST(TagReader, ScannersGiveThePatternsGroupsOnRandomTexts) {
    cPattern tagPattern, attributePattern;
    ASSERT_EQ(tagPattern.compile(kTagPattern, true), patOk);
    ASSERT_EQ(attributePattern.compile(kAttributePattern, true), patOk);
    // clang-format off
    static const std::string pieces[] = {
        "<", ">", "/", " ", "=", "\"", "a", "bc", "ZRID=\"", "=\"", " />", "Item", "\t", " ", "\"",
        "<Item ", std::string(1, '\0'), "\xE9\xFF"};
    // clang-format on
    unsigned seed = 2024;
    auto random = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    cPatternMatch context(256);
    int tags = 0, wholeTags = 0, pairs = 0, rests = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (unsigned n = random() % 14; n > 0; --n)
            text += pieces[random() % std::size(pieces)];
        SCOPED_TRACE("text: '" + text + "'");

        const cTagView tag = splitTagText(text);
        ASSERT_EQ(tag.matched, tagPattern.match(text.c_str(), &context));
        ASSERT_EQ(tag.name, getGroup(context, 0));
        ASSERT_EQ(tag.attributes, getGroup(context, 1));
        tags += tag.matched;

        // The text as the stream would read it: no ">" or NUL but the closing ">".
        std::string whole = text;
        std::erase_if(whole, [](char c) { return c == '>' || c == '\0'; });
        whole += '>';
        const cTagView wholeTag = splitWholeTag(whole);
        ASSERT_EQ(wholeTag.matched, tagPattern.match(whole.c_str(), &context));
        ASSERT_EQ(wholeTag.name, getGroup(context, 0));
        ASSERT_EQ(wholeTag.attributes, getGroup(context, 1));
        wholeTags += wholeTag.matched;

        // The engine sees the text up to its first NUL.
        const std::string untilNul = text.substr(0, text.find('\0'));
        const cAttributeView pair = nextAttributeInTag(untilNul);
        ASSERT_EQ(pair.matched, attributePattern.match(text.c_str(), &context));
        ASSERT_EQ(pair.name, getGroup(context, 0));
        ASSERT_EQ(pair.value, getGroup(context, 1));
        ASSERT_EQ(pair.rest, getGroup(context, 2));
        pairs += pair.matched;
        rests += !pair.rest.empty();
    }
    // The texts reach every kind of match often enough to mean something.
    EXPECT_GT(tags, 500);
    EXPECT_GT(wholeTags, 1000);
    EXPECT_GT(pairs, 500);
    EXPECT_GT(rests, 200);
}

// Any text may stand before "ZRID=", a ">" must follow; a failed match
// leaves nothing of the value before.
TEST(TagReader, IdentifierIsTheZridValueOfAnItemStartTag) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"<Item ZRID=\"281\" Name=\"x\">", "281"}, {"<Item Name=\"x\" ZRID=\"12ab\">", "12ab"},
        {"<Item XZRID=\"5\">", "5"}, {"<Item ZRID=\"\">", ""}, {"<Items>", ""},
        {"<Item ZRID=\"5\"", ""}, {"Item ZRID=\"5\">", ""}, {" <Item ZRID=\"1\">", ""},
        {"<Item ZRIX=\"1\" ZRID=\"7\">", "7"}, {"<Item Name=\"x\">", ""}};
    // clang-format on
    cPatternMatch context(256);
    for (const auto& [tag, expected] : cases)
        EXPECT_EQ(identifierTextOf(tag, standardIdentifierPattern(), context), expected) << tag;
}

} // namespace quarry
