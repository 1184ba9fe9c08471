#include "store/filtered_stream.h"
#include "store/tag_reader.h"
#include "temp_item_file.h"

#include "pattern/pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

struct Split {
    std::string name;
    std::string attributes;
    bool operator==(const Split&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Split& split) {
    return out << "'" << split.name << "' '" << split.attributes << "'";
}

Split split(const std::string& tag) {
    const cTagView parts = splitTagText(tag);
    return {std::string(parts.name), std::string(parts.attributes)};
}

// One pair taken off a text, held as copies.
struct cAttributePair {
    bool matched = false;
    std::string name;
    std::string value;
    std::string rest;
};
cAttributePair nextAttribute(const std::string& text) {
    const cAttributeView pair = nextAttributeOf(text);
    return {pair.matched, std::string(pair.name), std::string(pair.value), std::string(pair.rest)};
}

const char q = '"';

// A="1"-style pair texts without escaping noise.
std::string pair(const std::string& name, const std::string& value) {
    return name + "=" + q + value + q;
}

} // namespace

TEST(TagReaderSplitTag, TheTableOfTagForms) {
    EXPECT_EQ(split("<Item p q r>"), (Split{"Item", "p q r"}));
    EXPECT_EQ(split("</Item>"), (Split{"/Item", ""}));
    EXPECT_EQ(split("<Attribute p q />"), (Split{"Attribute", "p q"}));
    EXPECT_EQ(split("<Description />"), (Split{"Description", "/"}));
    EXPECT_EQ(split("<Description/>"), (Split{"Description", "/"}));
    EXPECT_EQ(split("<Event p/>"), (Split{"Event", "p/"}));
    EXPECT_EQ(split("<Description>"), (Split{"Description", ""}));
    EXPECT_EQ(split("\n<Item p>"), (Split{"", ""}));
    EXPECT_EQ(split("< Item>"), (Split{"", ""}));
    EXPECT_EQ(split("<Item  p>"), (Split{"Item", " p"}));
}

TEST(TagReaderSplitTag, EdgeCases) {
    EXPECT_EQ(split(">"), (Split{"", ""}));
    EXPECT_EQ(split("</Item >"), (Split{"/Item", ""}));
    EXPECT_EQ(split("<a:b-c.d>"), (Split{"a:b-c.d", ""}));
    EXPECT_EQ(split("<Item\tp>"), (Split{"Item\tp", ""}));
    EXPECT_EQ(split("<item x>"), (Split{"item", "x"}));
    EXPECT_EQ(split("<//x>"), (Split{"", ""}));
    EXPECT_EQ(split("</>"), (Split{"", ""}));
    EXPECT_EQ(split("<Item p"), (Split{"", ""})); // no ">"
    EXPECT_EQ(split("<A x / y />"), (Split{"A", "x / y"}));
    EXPECT_EQ(split(std::string("<A x\0y>", 7)), (Split{"", ""})); // seen only up to the NUL
}

TEST(TagReaderNextAttribute, TakesOnePairAtATime) {
    const std::string three = pair("A", "1") + " " + pair("B", "2") + " " + pair("C", "3");
    cAttributePair first = nextAttribute(three);
    EXPECT_TRUE(first.matched);
    EXPECT_EQ(first.name, "A");
    EXPECT_EQ(first.value, "1");
    EXPECT_EQ(first.rest, pair("B", "2") + " " + pair("C", "3"));
    const cAttributePair last = nextAttribute(pair("C", "3"));
    EXPECT_EQ(last.name, "C");
    EXPECT_EQ(last.value, "3");
    EXPECT_EQ(last.rest, "");
}

TEST(TagReaderNextAttribute, TheRulesInWords) {
    EXPECT_EQ(nextAttribute(pair("A", "")).value, "");
    EXPECT_TRUE(nextAttribute(pair("A", "")).matched);
    // Two blanks: the next name starts with a blank.
    const cAttributePair twoBlanks = nextAttribute(pair("A", "1") + "  " + pair("B", "2"));
    EXPECT_EQ(twoBlanks.rest, " " + pair("B", "2"));
    EXPECT_EQ(nextAttribute(twoBlanks.rest).name, " B");
    // No blank: the second pair is lost.
    EXPECT_EQ(nextAttribute(pair("A", "1") + pair("B", "2")).rest, "");
    // An equals sign in the name, or in the value.
    EXPECT_EQ(nextAttribute(pair("a=b", "c")).name, "a=b");
    EXPECT_EQ(nextAttribute(pair("a=b", "c")).value, "c");
    EXPECT_EQ(nextAttribute(pair("A", "x=y")).value, "x=y");
    // A quotation mark inside a value ends it.
    const cAttributePair quoted = nextAttribute("A=\"x\" y\" B=\"2\"");
    EXPECT_EQ(quoted.value, "x");
    EXPECT_EQ(nextAttribute(quoted.rest).name, "y\" B");
    // A pair followed by "/", or by a lone blank.
    EXPECT_EQ(nextAttribute(pair("A", "1") + "/").rest, "");
    EXPECT_EQ(nextAttribute(pair("A", "1") + " ").rest, "");
    // A leading blank joins the name.
    EXPECT_EQ(nextAttribute(" " + pair("A", "1")).name, " A");
}

TEST(TagReaderNextAttribute, NoMatchGivesEverythingEmpty) {
    for (const std::string& text : {std::string(), std::string("A=1"), std::string("A=\"1"),
                                    std::string("=\"1\""), std::string("p q r")}) {
        const cAttributePair none = nextAttribute(text);
        EXPECT_FALSE(none.matched) << text;
        EXPECT_EQ(none.name + none.value + none.rest, "") << text;
    }
}

TEST(TagReaderZrid, ValueOfTheItemStartTag) {
    cPatternMatch context(256);
    const auto zrid = [&](const std::string& tag) {
        return identifierTextOf(tag, standardIdentifierPattern(), context);
    };
    EXPECT_EQ(zrid("<Item ZRID=\"281\" Name=\"x\">"), "281");
    EXPECT_EQ(zrid("<Item Name=\"x\" ZRID=\"12ab\">"), "12ab");
    EXPECT_EQ(zrid("<Items>"), "");
    EXPECT_EQ(zrid("<Item XZRID=\"5\">"), "5"); // any text before "ZRID=" will do
    EXPECT_EQ(zrid("<Item ZRID=\"5\""), "");    // a ">" must follow
    EXPECT_EQ(zrid("Item ZRID=\"5\">"), "");
    // A failed match after a successful one leaves nothing of the earlier value.
    EXPECT_EQ(zrid("<Item ZRID=\"7\">"), "7");
    EXPECT_EQ(zrid("<Item Name=\"x\">"), "");
    EXPECT_EQ(zrid("<ItemZRID=\"\">"), "");
}

TEST(TagReaderStream, ReadingTagsAndATextElement) {
    cTempItemFile file("<Description>Sharp &amp; keen</Description><Next>");
    cFilteredStream stream(file.path());
    EXPECT_EQ(stream.readTag(), "<Description>");
    ASSERT_TRUE(stream.readLines(1, "<"));
    EXPECT_EQ(stream.text(), "Sharp &amp; keen");
    stream.readLines(1, ">");
    EXPECT_EQ(stream.readTag(), "<Next>");
    EXPECT_EQ(split(stream.readTag()), (Split{"", ""}));
}

} // namespace quarry
