// The three patterns the program compiles, on the tag and attribute texts
// the import and the tag reader feed them.
#include "pattern/pattern.h"
#include "store/tag_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

namespace {

class ProgramPatterns : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(identifier.compile(kZridPattern, true), patOk);
        ASSERT_EQ(tag.compile(kTagPattern, true), patOk);
        ASSERT_EQ(attribute.compile(kAttributePattern, true), patOk);
    }

    struct cTag {
        bool matched;
        std::string name;
        std::string attributes;
    };
    cTag splitTag(const std::string& text) {
        cPatternMatch context(256);
        bool matched = tag.match(text.c_str(), &context);
        return {matched, getGroup(context, 0), getGroup(context, 1)};
    }

    struct cAttribute {
        bool matched;
        std::string name;
        std::string value;
        std::string rest;
    };
    cAttribute nextAttribute(const std::string& text) {
        cPatternMatch context(256);
        bool matched = attribute.match(text.c_str(), &context);
        return {matched, getGroup(context, 0), getGroup(context, 1), getGroup(context, 2)};
    }

    cPattern identifier;
    cPattern tag;
    cPattern attribute;
};

TEST_F(ProgramPatterns, IdentifierPatternFindsTheZridValue) {
    cPatternMatch context(256);
    ASSERT_TRUE(identifier.match("<Item QL=\"12\" ZRID=\"281\" Name=\"x\">", &context));
    EXPECT_EQ(getGroup(context, 0), "281");
    // A name that merely starts like ZRID is passed over.
    ASSERT_TRUE(identifier.match("<Item ZRIX=\"1\" ZRID=\"7\">", &context));
    EXPECT_EQ(getGroup(context, 0), "7");
    ASSERT_TRUE(identifier.match("<Item ZRID=\"\">", &context));
    EXPECT_EQ(getGroup(context, 0), "");
    EXPECT_FALSE(identifier.match("<Items>", &context));
    EXPECT_EQ(getGroup(context, 0), "");
    EXPECT_FALSE(identifier.match(" <Item ZRID=\"1\">", &context));
    EXPECT_FALSE(identifier.match("<Item ZRID=\"1\"", &context));
}

TEST_F(ProgramPatterns, TagPatternSplitsNameAndAttributeText) {
    struct cCase {
        const char* input;
        bool matched;
        const char* name;
        const char* attributes;
    };
    const cCase cases[] = {
        {"<Item p q r>", true, "Item", "p q r"},
        {"</Item>", true, "/Item", ""},
        {"<Attribute p q />", true, "Attribute", "p q"},
        {"<Description />", true, "Description", "/"},
        {"<Description/>", true, "Description", "/"},
        {"<Event p/>", true, "Event", "p/"},
        {"<Description>", true, "Description", ""},
        {"\n<Item p>", false, "", ""},
        {"< Item>", false, "", ""},
        {"<Item  p>", true, "Item", " p"},
        {">", false, "", ""},
        {"</Item >", true, "/Item", ""},
        {"<a:b-c.d>", true, "a:b-c.d", ""},
        {"<Item\tp>", true, "Item\tp", ""},
        {"<item x=\"1\">", true, "item", "x=\"1\""},
        {"<N\xE9\xFF a>", true, "N\xE9\xFF", "a"},
    };
    for (const cCase& c : cases) {
        cTag result = splitTag(c.input);
        EXPECT_EQ(result.matched, c.matched) << c.input;
        EXPECT_EQ(result.name, c.name) << c.input;
        EXPECT_EQ(result.attributes, c.attributes) << c.input;
    }
    cPatternMatch context(256);
    ASSERT_TRUE(tag.match("</Item>", &context));
    EXPECT_EQ(getGroup(context, 2), "");
}

TEST_F(ProgramPatterns, AttributePatternTakesOnePairAtATime) {
    cAttribute first = nextAttribute("A=\"1\" B=\"2\" C=\"3\"");
    ASSERT_TRUE(first.matched);
    EXPECT_EQ(first.name, "A");
    EXPECT_EQ(first.value, "1");
    EXPECT_EQ(first.rest, "B=\"2\" C=\"3\"");
    cAttribute second = nextAttribute(first.rest);
    EXPECT_EQ(second.name, "B");
    EXPECT_EQ(second.value, "2");
    EXPECT_EQ(second.rest, "C=\"3\"");
    cAttribute last = nextAttribute(second.rest);
    EXPECT_EQ(last.name, "C");
    EXPECT_EQ(last.value, "3");
    EXPECT_EQ(last.rest, "");

    cAttribute two = nextAttribute("a=\"1\" b=\"2\"");
    EXPECT_EQ(two.name, "a");
    EXPECT_EQ(two.value, "1");
    EXPECT_EQ(two.rest, "b=\"2\"");
    EXPECT_EQ(nextAttribute("a=\"1\"").rest, "");
}

TEST_F(ProgramPatterns, AttributePatternTakesTextsExactlyAsTheyStand) {
    EXPECT_EQ(nextAttribute("v=\"\"").value, "");
    EXPECT_TRUE(nextAttribute("v=\"\"").matched);

    cAttribute twoBlanks = nextAttribute("A=\"1\"  B=\"2\"");
    EXPECT_EQ(twoBlanks.rest, " B=\"2\"");
    EXPECT_EQ(nextAttribute(twoBlanks.rest).name, " B");

    cAttribute noBlank = nextAttribute("A=\"1\"B=\"2\"");
    EXPECT_EQ(noBlank.value, "1");
    EXPECT_EQ(noBlank.rest, "");

    cAttribute nameWithEquals = nextAttribute("a=b=\"c\"");
    EXPECT_EQ(nameWithEquals.name, "a=b");
    EXPECT_EQ(nameWithEquals.value, "c");

    cAttribute quoteInValue = nextAttribute("v=\"x\" y\" n=\"1\"");
    EXPECT_EQ(quoteInValue.value, "x");
    cAttribute stray = nextAttribute(quoteInValue.rest);
    EXPECT_EQ(stray.name, "y\" n");
    EXPECT_EQ(stray.value, "1");

    EXPECT_EQ(nextAttribute("v=\"a=b\"").value, "a=b");

    cAttribute slash = nextAttribute("v=\"1\"/");
    EXPECT_EQ(slash.name, "v");
    EXPECT_EQ(slash.value, "1");
    EXPECT_EQ(slash.rest, "");

    EXPECT_EQ(nextAttribute(" a=\"1\"").name, " a");

    for (const char* none : {"", "abc", "a=b", "a= \"b\"", "=\"1\""}) {
        cAttribute result = nextAttribute(none);
        EXPECT_FALSE(result.matched) << none;
        EXPECT_EQ(result.name, "") << none;
        EXPECT_EQ(result.value, "") << none;
        EXPECT_EQ(result.rest, "") << none;
    }
}

TEST_F(ProgramPatterns, LongTextsWithoutAPairFailInTime) {
    // Without the pair the attribute pattern would try every start against
    // every later position; the matcher's skips keep this short.
    std::string noPair(200000, 'x');
    EXPECT_FALSE(nextAttribute(noPair).matched);
    std::string openTag = "<Item " + std::string(200000, 'x');
    EXPECT_FALSE(splitTag(openTag).matched);
    std::string longValue = "v=\"" + std::string(100000, 'y') + "\" w=\"2\"";
    cAttribute result = nextAttribute(longValue);
    EXPECT_EQ(result.value.size(), 100000u);
    EXPECT_EQ(result.rest, "w=\"2\"");
}

} // namespace

} // namespace quarry
