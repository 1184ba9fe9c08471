// The tag reader's scanners against the patterns that define them, compiled
// by the pattern engine, on texts made of the pieces those patterns care about.
#include "pattern/pattern.h"
#include "store/tag_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

class cPieceText {
public:
    explicit cPieceText(unsigned seed) : seed_(seed) {}
    std::string next() {
        static const std::string pieces[] = {"<",
                                             ">",
                                             "/",
                                             " ",
                                             "=",
                                             "\"",
                                             "a",
                                             "bc",
                                             "ZRID=\"",
                                             "=\"",
                                             " />",
                                             "Item",
                                             "\t",
                                             " ",
                                             "\"",
                                             "<Item ",
                                             std::string(1, '\0')};
        std::string text;
        const unsigned length = random() % 14;
        for (unsigned i = 0; i < length; ++i)
            text += pieces[random() % std::size(pieces)];
        return text;
    }

private:
    unsigned random() {
        seed_ = seed_ * 1103515245u + 12345u;
        return (seed_ >> 16) & 0x7fff;
    }
    unsigned seed_;
};

cPattern compiled(const char* pattern) {
    cPattern compiledPattern;
    EXPECT_EQ(compiledPattern.compile(pattern, true), patOk) << pattern;
    return compiledPattern;
}

} // namespace

TEST(TagReaderPatterns, ScannersGiveThePatternsGroups) {
    const cPattern tagPattern = compiled(kTagPattern);
    const cPattern attributePattern = compiled(kAttributePattern);
    cPatternMatch context(256);
    cPieceText texts(2024);
    int tags = 0, pairs = 0, rests = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string text = texts.next();
        SCOPED_TRACE("text: '" + text + "'");

        const bool tagMatched = tagPattern.match(text.c_str(), &context);
        const cTagView tag = splitTagText(text);
        ASSERT_EQ(tag.matched, tagMatched);
        tags += tagMatched;
        ASSERT_EQ(std::string(tag.name), getGroup(context, 0));
        ASSERT_EQ(std::string(tag.attributes), getGroup(context, 1));

        const bool pairMatched = attributePattern.match(text.c_str(), &context);
        const cAttributeView pair = nextAttributeOf(text);
        ASSERT_EQ(pair.matched, pairMatched);
        pairs += pairMatched;
        rests += !pair.rest.empty();
        ASSERT_EQ(std::string(pair.name), getGroup(context, 0));
        ASSERT_EQ(std::string(pair.value), getGroup(context, 1));
        ASSERT_EQ(std::string(pair.rest), getGroup(context, 2));
        if (text.find('\0') == std::string::npos) {
            const cAttributeView inTag = nextAttributeInTag(text);
            ASSERT_EQ(inTag.matched, pair.matched);
            ASSERT_EQ(inTag.rest, pair.rest);
        }
    }
    // The texts reach every kind of match often enough to mean something.
    EXPECT_GT(tags, 500);
    EXPECT_GT(pairs, 500);
    EXPECT_GT(rests, 200);
}

} // namespace quarry
