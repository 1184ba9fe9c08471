// Compilation: the size the compiler counts before emitting, the result
// codes of malformed patterns, and the limits on nesting and size.
#include "pattern/pattern.h"
#include "pattern/pattern_syntax.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

// The compiler counts a program's instructions before it emits them; the
// count is the emitted size for every construct, alone, nested and copied.
TEST(PatternCompile, CountedSizeIsTheEmittedSize) {
    const char* const patterns[] = {
        "",    "^ab$",     "{}",     "{a}b",   "()",      "(ab)",  "!a",  "!{a}{b}", "!(!{a}b)",
        "a|b", "a|{b}|c*", "a??",    "(ab)??", "a?",      "(ab)?", "a*",  "[ab]+",   "(ab)*",
        "a*?", ".+?",      "(ab)+?", "(!a)*?", "{\\0}+?", "\\q+",  "\\n", "((a)+)+", "{.*?}x"};
    for (const char* text : patterns) {
        cPatSyntax syntax;
        ASSERT_EQ(parsePattern(reinterpret_cast<const unsigned char*>(text), syntax), patOk)
            << text;
        const std::uint64_t counted = countProgram(syntax);
        cPattern pattern;
        ASSERT_EQ(pattern.compile(text, true), patOk) << text;
        EXPECT_EQ(pattern.instructions().size(), counted) << text;
    }
}

TEST(PatternCompile, FailuresReturnTheirCodesAndNeverMatch) {
    // clang-format off
    const std::pair<const char*, std::int32_t> cases[] = {
        {"(a*)*", patEmptyRepeat},   {"(a*)+", patEmptyRepeat},   {"(a?)*?", patEmptyRepeat},
        {"{b*}+?", patEmptyRepeat},  {"[z-a]", patBadRange},      {"[]", patEmptyClass},
        {"[^]", patEmptyClass},      {"[ab", patBracketExpected}, {"[a-]", patBracketExpected},
        {"[a-", patBracketExpected}, {"[", patBracketExpected},   {"[a\\", patBracketExpected},
        {"{ab", patBraceExpected},   {"{ab)", patBraceExpected},  {"(ab", patParenExpected},
        {"(ab}", patParenExpected},  {"\\1{a}", patBadBackReference},
        {"{a}\\1", patBadBackReference}, {"\\99999999999999999999", patBadBackReference}};
    // clang-format on
    for (const auto& [text, code] : cases) {
        cPattern pattern;
        EXPECT_EQ(pattern.compile(text, true), code) << text;
        EXPECT_EQ(pattern.lastError(), code) << text;
        EXPECT_TRUE(pattern.instructions().empty()) << text;
        cPatternMatch context;
        EXPECT_FALSE(pattern.match("aaaa", &context)) << text;
    }
    cPatternMatch context;
    EXPECT_FALSE(cPattern().match("", &context)); // never compiled
}

// A null pattern leaves the pattern as it was, its last error included;
// compiling again replaces it.
TEST(PatternCompile, NullPatternChangesNothingAndRecompilingReplaces) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{a}b", true), patOk);
    EXPECT_EQ(pattern.compile(nullptr, false), patNoPattern);
    EXPECT_TRUE(pattern.lastError() == patOk && pattern.caseSensitive());
    cPatternMatch context;
    EXPECT_TRUE(pattern.match("xab", &context));
    ASSERT_EQ(pattern.compile("c", false), patOk);
    EXPECT_TRUE(pattern.groupCount() == 0 && !pattern.caseSensitive());
}

TEST(PatternCompile, NestingDeeperThanTheLimitAndOversizedProgramsAreRefused) {
    auto nested = [](std::size_t depth, char open, const std::string& close) {
        std::string text = std::string(depth, open) + "a";
        for (std::size_t i = 0; i < depth; ++i)
            text += close;
        return text;
    };
    cPattern pattern;
    // At the limit, with a quantifier at every level, compiling stays linear
    // in the pattern per level (no re-parse per level).
    EXPECT_EQ(pattern.compile(nested(kPatMaxNesting, '(', ")?").c_str(), true), patOk);
    EXPECT_EQ(pattern.compile(nested(kPatMaxNesting, '{', "}?").c_str(), true), patOk);
    EXPECT_EQ(pattern.groupCount(), kPatMaxNesting);
    EXPECT_EQ(pattern.compile(nested(kPatMaxNesting + 1, '(', ")").c_str(), true), patTooDeep);
    EXPECT_EQ(pattern.compile(nested(kPatMaxNesting + 1, '!', "").c_str(), true), patTooDeep);
    EXPECT_EQ(pattern.compile(std::string(100000, '{').c_str(), true), patTooDeep);
    // Nested "+" double the program each level: refused, not exhausting memory.
    EXPECT_EQ(pattern.compile(nested(40, '(', ")+").c_str(), true), patOutOfMemory);
    EXPECT_TRUE(pattern.instructions().empty());
}

} // namespace quarry
