// Taking tags and pairs apart: tables of the forms item files hold, the
// scanners held against the compiled patterns on random texts, and the
// identifier of an item start tag.
#include "pattern/pattern.h"
#include "store/tag_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

namespace {

// "name|attributes", or "-" when the text is no tag.
std::string split(std::string_view text) {
    const cTagView tag = splitTagText(text);
    return tag.matched ? std::string(tag.name) + "|" + std::string(tag.attributes) : "-";
}

// "name|value|rest", or "-" when the text holds no pair.
std::string pairOf(std::string_view text) {
    const cAttributeView pair = nextAttributeInTag(text);
    return pair.matched ? std::string(pair.name) + "|" + std::string(pair.value) + "|" +
                              std::string(pair.rest)
                        : "-";
}

} // namespace

TEST(TagReader, SplitsATagIntoNameAndAttributeText) {
    using namespace std::literals;
    // The last text is seen only up to its NUL.
    // clang-format off
    const std::pair<std::string_view, const char*> cases[] = {
        {"<Item p q r>", "Item|p q r"}, {"</Item>", "/Item|"},
        {"<Attribute p q />", "Attribute|p q"}, {"<Description />", "Description|/"},
        {"<Description/>", "Description|/"}, {"<Event p/>", "Event|p/"}, {"<Item  p>", "Item| p"},
        {"</Item >", "/Item|"}, {"<Item\tp>", "Item\tp|"}, {"<A x / y />", "A|x / y"},
        {"<N\xE9\xFF a>", "N\xE9\xFF|a"}, {"\n<Item p>", "-"}, {"< Item>", "-"}, {">", "-"},
        {"<//x>", "-"}, {"</>", "-"}, {"<Item p", "-"}, {"<A x\0y>"sv, "-"}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(split(text), expected) << text;
}

TEST(TagReader, TakesOnePairAtATimeExactlyAsTheTextStands) {
    // A blank after a pair starts the rest, a second one the next name; without
    // a blank the next pair is lost; a quotation mark ends a value.
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"A=\"1\" B=\"2\" C=\"3\"", "A|1|B=\"2\" C=\"3\""}, {"v=\"\"", "v||"},
        {"A=\"1\"  B=\"2\"", "A|1| B=\"2\""}, {"A=\"1\"B=\"2\"", "A|1|"}, {"a=b=\"c\"", "a=b|c|"},
        {"v=\"a=b\"", "v|a=b|"}, {"v=\"x\" y\" n=\"1\"", "v|x|y\" n=\"1\""},
        {"y\" n=\"1\"", "y\" n|1|"}, {"v=\"1\"/", "v|1|"}, {"v=\"1\" ", "v|1|"},
        {" a=\"1\"", " a|1|"}, {"", "-"}, {"abc", "-"}, {"a=b", "-"}, {"a= \"b\"", "-"},
        {"=\"1\"", "-"}, {"A=\"1", "-"}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(pairOf(text), expected) << text;
}

// Texts made of the pieces the patterns care about, NUL included: the
// scanners must give exactly the groups of the patterns that define them.
TEST(TagReader, ScannersGiveThePatternsGroupsOnRandomTexts) {
    cPattern tagPattern, attributePattern;
    ASSERT_EQ(tagPattern.compile(kTagPattern, true), patOk);
    ASSERT_EQ(attributePattern.compile(kAttributePattern, true), patOk);
    // clang-format off
    static const std::string pieces[] = {
        "<", ">", "/", " ", "=", "\"", "a", "bc", "ZRID=\"", "=\"", " />", "Item", "\t", " ", "\"",
        "<Item ", std::string(1, '\0')};
    // clang-format on
    unsigned seed = 2024;
    auto random = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    cPatternMatch context(256);
    int tags = 0, pairs = 0, rests = 0;
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
