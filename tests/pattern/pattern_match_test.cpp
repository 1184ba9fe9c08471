// Matching where the engine goes its own way or PCRE2 spells things
// differently (the differential test covers the syntax both share): the
// terminator, stray closers, empty repetitions, abbreviations, escapes,
// back-references to open groups, and the results API.
#include "pattern/pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

namespace {

// "-" for no match, else "start-end" and each group as "{text}", or "~" when
// it took no part.
std::string matchOf(const cPattern& pattern, const char* text, cPatternMatch& context) {
    if (!pattern.match(text, &context)) return "-";
    std::string out = std::to_string(context.matchStart() - text) + "-" +
                      std::to_string(context.matchEnd() - text);
    for (std::uint32_t g = 0; g < context.groupCount(); ++g)
        out += context.groupStart(g) ? "{" + getGroup(context, g) + "}" : "~";
    return out;
}

std::string matchOf(const char* pattern, const char* text) {
    cPattern compiled;
    const std::int32_t code = compiled.compile(pattern, true);
    if (code != patOk) return "compile error " + std::to_string(code);
    cPatternMatch context;
    return matchOf(compiled, text, context);
}

struct cCase {
    const char* pattern;
    const char* text;
    const char* expected;
};

// clang-format off
const cCase kCases[] = {
    // "|", "!", "*" and "+" where no atom can follow or stand are characters.
    {"^a|", "a|", "0-2"},   {"^a|$", "", "0-1"},   {"^a|$", "b", "-"},     {"^a||b", "|b", "0-2"},
    {"a!", "a!", "0-2"},    {"!", "!", "0-1"},     {"a**", "aa*", "0-3"},  {"^a**", "aa", "-"},
    {"^*", "*", "0-1"},     {"^+a", "+a", "0-2"},
    // A stray closer ends the pattern.
    {"ab)cd", "xab", "1-3"}, {"a]b", "a", "0-1"},  {"^}", "zz", "0-0"},
    // "$" at the end consumes the terminator; elsewhere "$" and "^" are
    // characters; "." and sets never match the terminator; the terminator's
    // own position is a start only for the empty text.
    {"$", "", "0-1"},       {"$", "a", "-"},       {"b$", "ab", "1-3"},    {"x*$", "ab", "-"},
    {"x*$", "", "0-1"},     {"a$b", "a$b", "0-3"}, {"a^", "a^", "0-2"},    {"a.", "a", "-"},
    {"a[^b]", "a", "-"},    {"^b", "ab", "-"},     {"", "abc", "0-0"},
    // A lazy loop resumes where it stood when what follows fails part-way.
    {"^.*?{ab}c", "ab abc", "0-6{ab}"}, {"^.*?{aab}", "aaab", "0-4{aab}"},
    {"^a*?{ab}", "aaab", "0-4{ab}"},
    {"x.*?a.*?b.*?c.*?d.*?{e.*?f}", "..x1a2b3c4d5e6f7f", "2-15{e6f}"},
    {"x.*?a.*?b.*?c.*?d.*?{e.*?f}", "..x1a2b3c4d5e6", "-"},
    // A repetition that consumes nothing fails, and is undone with its groups.
    {"{}*", "y", "0-0~"},   {"{a*}?b", "b", "0-1~"}, {"(!a)*?b", "ccc", "-"},
    {"^(!a)*?c", "c", "0-1"}, {"{}*?y", "zzz", "-"}, {"{}+?y", "zy", "1-2{}"},
    {"(a*)?", "b", "0-0"},  {"(a*)??", "a", "0-0"}, {"{x?}\\0*?y", "zzz", "-"},
    // Characters above 127 are ordinary; only A-Z fold without case.
    {"^[^ />]+$", "\x80\xA0\xE9\xFF", "0-5"}, {"a\xE9", "a\xC9", "-"},
    {"^[\xE0-\xEF]+$", "\xE0\xE9\xEF", "0-4"}, {"[\xE0-\xEF]", "\xDF\xF0", "-"},
    // Escapes and abbreviations; a letter without an entry is itself.
    {"^\\t$", "t", "0-2"},  {"\\t", "\t", "-"},    {"^[\\t]$", "\t", "0-2"}, {"[\\t]", "t", "-"},
    {"^\\k$", "k", "0-2"},  {"\\", "\\", "0-1"},   {"\\", "a", "-"},       {"[-a]", "x-", "1-2"},
    {"[a-c-e]", "xe", "1-2"}, {"^\\.\\[\\{\\($", ".[{(", "0-5"}, {"\\q", "'ab'", "-"},
    {"{\\q}", "x \"ab\" y", "2-6{\"ab\"}"}, {"{\\d+}", "ab123c", "2-5{123}"},
    {"{\\z}", "ab123c", "2-5{123}"}, {"{\\w}", "12abC3", "2-5{abC}"},
    {"{\\h+}", "xyzBeef", "3-7{Beef}"}, {"{\\a+}", "-a1-", "1-3{a1}"}, {"{\\c+}", "-a1-", "1-2{a}"},
    {"{\\b}", "x\ty", "1-2{\t}"}, {"x{\\n}y", "x\r\ny", "0-4{\r\n}"},
    {"x{\\n}y", "x\ny", "0-3{\n}"}, {"x{\\n}y", "x\ry", "0-3{\r}"},
    // A reference to a group still open, reopened, or that took no part is
    // the empty text; a reference never reads past the text's end.
    {"^{a\\0}$", "a", "0-2{a}"}, {"^({\\0a}x)*$", "axax", "0-5{a}"}, {"{ab}.*\\0", "ab-a", "-"},
    {"^(x{a})?\\0b$", "b", "0-2~"}, {"{a}\\0", "xaa", "1-3{a}"},
};
// clang-format on

TEST(PatternMatch, CasesWhereTheEngineGoesItsOwnWay) {
    for (const cCase& c : kCases)
        EXPECT_EQ(matchOf(c.pattern, c.text), c.expected) << c.pattern << " on " << c.text;
}

TEST(PatternMatch, ResultsAndEndOut) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{a}{b}?", true), patOk);
    cPatternMatch context;
    const char* sentinel = "untouched";
    const char* end = sentinel;
    EXPECT_FALSE(pattern.match(nullptr, &context, &end));
    EXPECT_FALSE(pattern.match("a", nullptr, &end));
    EXPECT_EQ(end, sentinel);
    const char* text = "xxa";
    ASSERT_TRUE(pattern.match(text, &context, &end));
    EXPECT_EQ(end, text + 3);
    EXPECT_EQ(getGroup(context, 0), "a");
    EXPECT_EQ(getGroup(context, 2), ""); // out of range
    EXPECT_EQ(context.groupStart(7), nullptr);
    // A failed match leaves every group empty, even with the context reused.
    EXPECT_FALSE(pattern.match("xyz", &context, &end));
    EXPECT_NE(end, nullptr);
    EXPECT_EQ(context.groupStart(0), nullptr);
}

// Eleven groups, more slots and skip sets than fit inline: one context serves
// them and small patterns alike, and a copy carries the results.
TEST(PatternMatch, OneContextServesPatternsOfEveryShape) {
    cPattern groups, slots, loops;
    ASSERT_EQ(groups.compile("{a}{b}{c}{d}{e}{f}{g}{h}{i}{j}{k}", true), patOk);
    ASSERT_EQ(slots.compile("^{a*b*c*d*e*f*g*h*i*j*}k?(l)?m?$", true), patOk);
    ASSERT_EQ(loops.compile("x.*?a.*?b.*?c.*?d.*?{e.*?f}", true), patOk);
    cPattern small;
    ASSERT_EQ(small.compile("{x}{y}", true), patOk);
    cPatternMatch context;
    EXPECT_EQ(matchOf(small, "-xy", context), "1-3{x}{y}");
    EXPECT_EQ(matchOf(groups, "-abcdefghijk", context), "1-12{a}{b}{c}{d}{e}{f}{g}{h}{i}{j}{k}");
    EXPECT_EQ(matchOf(slots, "aabbcdeeeffghhijjk", context), "0-19{aabbcdeeeffghhijj}");
    EXPECT_EQ(matchOf(loops, "x1a2b3c4d5eef", context), "0-13{eef}");
    EXPECT_EQ(matchOf(small, "xy", context), "0-2{x}{y}");
    ASSERT_TRUE(groups.match("abcdefghijk", &context));
    cPatternMatch copy = context;
    EXPECT_EQ(getGroup(copy, 10), "k");
    copy = cPatternMatch();
    ASSERT_TRUE(loops.match("x1a2b3c4d5eef", &context));
    copy = context;
    EXPECT_EQ(getGroup(copy, 0), "eef");
}

// Every pass of a greedy loop leaves stack entries; past the bound the match
// fails cleanly and the context works again. One loop over a character (the
// fast path), one over a grouping.
TEST(PatternMatch, BacktrackStackIsBounded) {
    EXPECT_EQ(cPatternMatch().maxStackEntries(), kPatMaxStackEntries);
    for (const char* loop : {"^{a*}$", "^{(a)*}$"}) {
        cPattern pattern;
        ASSERT_EQ(pattern.compile(loop, true), patOk);
        const std::string text(5000, 'a');
        cPatternMatch context(16);
        EXPECT_EQ(matchOf(pattern, text.c_str(), context), "0-5001{" + text + "}");
        context.setMaxStackEntries(1000);
        const char* end = nullptr;
        EXPECT_FALSE(pattern.match(text.c_str(), &context, &end)) << loop;
        EXPECT_EQ(context.groupStart(0), nullptr);
        EXPECT_NE(end, nullptr);
        EXPECT_EQ(matchOf(pattern, "aaa", context), "0-4{aaa}");
        context.setMaxStackEntries(0xFFFFFFFFu);
        EXPECT_EQ(context.maxStackEntries(), kPatMaxStackEntries);
    }
}

} // namespace

} // namespace quarry
