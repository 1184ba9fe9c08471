// A match that needs more backtrack stack than the engine allows fails
// instead of exhausting memory, and the context stays usable.
#include <gtest/gtest.h>

#include "pattern/pattern.h"

#include <string>

namespace quarry {

namespace {

std::string repeated(const std::string& piece, std::size_t count) {
    std::string text;
    text.reserve(piece.size() * count + 1);
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

} // namespace

// Every pass of a greedy loop leaves entries on the stack, so a long enough
// run needs more than kPatMaxStackEntries. One loop over a single character,
// one over a grouping (the general path).
TEST(PatternStack, MatchBeyondTheBoundFailsCleanly) {
    struct cCase {
        const char* pattern;
        std::string piece;
        const char* last;
    };
    for (const cCase& c : {cCase{"{a*}b", "a", "b"}, cCase{"{(ab)*}c", "ab", "c"}}) {
        SCOPED_TRACE(c.pattern);
        cPattern pattern;
        ASSERT_EQ(pattern.compile(c.pattern, true), patOk);
        cPatternMatch context;

        const std::string small = repeated(c.piece, 50000) + c.last;
        ASSERT_TRUE(pattern.match(small.c_str(), &context));
        EXPECT_EQ(getGroup(context, 0).size(), small.size() - 1);

        // At least one entry per pass: more passes than the bound allows.
        const std::string huge = repeated(c.piece, kPatMaxStackEntries + 16) + c.last;
        const char* end = nullptr;
        EXPECT_FALSE(pattern.match(huge.c_str(), &context, &end));
        EXPECT_EQ(getGroup(context, 0), "");
        EXPECT_NE(end, nullptr);

        // The same context matches again afterwards.
        ASSERT_TRUE(pattern.match(small.c_str(), &context));
        EXPECT_EQ(getGroup(context, 0).size(), small.size() - 1);
    }
}

// The patterns the program itself compiles stay far from the bound even on a
// long tag, because their loops are lazy over a known next character.
TEST(PatternStack, ProgramPatternsOnALongTag) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("^<.*?ZRID=\"{.*?}\".*?>", true), patOk);
    const std::string tag = "<Item Pad=\"" + std::string(4 * 1024 * 1024, 'p') + "\" ZRID=\"77\">";
    cPatternMatch context;
    ASSERT_TRUE(pattern.match(tag.c_str(), &context));
    EXPECT_EQ(getGroup(context, 0), "77");
}

} // namespace quarry
