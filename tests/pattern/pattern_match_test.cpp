// Matching: which match is reported, group texts and positions, and the
// behaviour at the edges (terminator, high characters, empty repetitions,
// bounded stack).
#include "pattern/pattern.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quarry {

namespace {

struct cResult {
    bool matched = false;
    long start = -1;
    long end = -1;
    std::string group0;
};

// Compiles `pattern` and matches it once against `text`.
cResult run(const char* pattern, const char* text, bool caseSensitive = true) {
    cPattern compiled;
    EXPECT_EQ(compiled.compile(pattern, caseSensitive), patOk) << pattern;
    cPatternMatch context;
    cResult result;
    result.matched = compiled.match(text, &context);
    if (context.matchStart()) result.start = context.matchStart() - text;
    if (context.matchEnd()) result.end = context.matchEnd() - text;
    result.group0 = getGroup(context, 0);
    return result;
}

bool matches(const char* pattern, const char* text) {
    return run(pattern, text).matched;
}

TEST(PatternMatch, AlternationBindsTighterThanConcatenation) {
    EXPECT_TRUE(matches("^ab|cd", "abd"));
    EXPECT_TRUE(matches("^ab|cd", "acd"));
    EXPECT_FALSE(matches("ab|cd", "ab"));
    EXPECT_FALSE(matches("ab|cd", "cd"));
    EXPECT_TRUE(matches("^(ab)|(cd)$", "cd"));
    cResult three = run("{x|y|z}", "..z");
    EXPECT_EQ(three.start, 2);
    EXPECT_EQ(three.group0, "z");
    // A "|" with no atom after it is an ordinary character.
    EXPECT_TRUE(matches("^a|", "a|"));
    EXPECT_TRUE(matches("^a|$", ""));
    EXPECT_FALSE(matches("^a|$", "b"));
    EXPECT_TRUE(matches("^a||b", "|b"));
}

TEST(PatternMatch, LeftmostStartThenFirstPathWins) {
    cResult empty = run("x*", "abc");
    EXPECT_TRUE(empty.matched);
    EXPECT_EQ(empty.start, 0);
    EXPECT_EQ(empty.end, 0);
    // Not the longest match: the first alternative that lets the rest succeed.
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{a|(ab)}{c|(bcd)}", true), patOk);
    cPatternMatch context;
    ASSERT_TRUE(pattern.match("abcd", &context));
    EXPECT_EQ(getGroup(context, 0), "a");
    EXPECT_EQ(getGroup(context, 1), "bcd");
    // Greedy takes all it can, lazy as little as it can.
    ASSERT_EQ(pattern.compile("{a*}{a*}", true), patOk);
    ASSERT_TRUE(pattern.match("aaa", &context));
    EXPECT_EQ(getGroup(context, 0), "aaa");
    EXPECT_EQ(getGroup(context, 1), "");
    ASSERT_EQ(pattern.compile("{a*?}{a+}", true), patOk);
    ASSERT_TRUE(pattern.match("aaa", &context));
    EXPECT_EQ(getGroup(context, 0), "");
    EXPECT_EQ(getGroup(context, 1), "aaa");
    // A lazy loop resumes from where it stood when what follows fails part-way.
    EXPECT_EQ(run("^.*?{ab}c", "ab abc").group0, "ab");
    EXPECT_EQ(run("^.*?{ab}c", "ab abc").end, 6);
    EXPECT_EQ(run("^.*?{aab}", "aaab").group0, "aab");
    EXPECT_EQ(run("^a*?{ab}", "aaab").group0, "ab");
}

TEST(PatternMatch, TerminatorAndEndAnchor) {
    cResult dollar = run("$", "");
    EXPECT_TRUE(dollar.matched);
    EXPECT_EQ(dollar.start, 0);
    EXPECT_FALSE(matches("$", "a"));
    // "$" consumes the terminator: the match end lies one past it.
    cResult tail = run("b$", "ab");
    EXPECT_TRUE(tail.matched);
    EXPECT_EQ(tail.start, 1);
    EXPECT_EQ(tail.end, 3);
    // The terminator's own position is tried only for the empty text.
    EXPECT_FALSE(matches("x*$", "ab"));
    EXPECT_TRUE(matches("x*$", ""));
    // "$" elsewhere, "^" elsewhere and "." never match the terminator.
    EXPECT_TRUE(matches("a$b", "a$b"));
    EXPECT_TRUE(matches("a^", "a^"));
    EXPECT_FALSE(matches("a.", "a"));
    EXPECT_FALSE(matches("a[^b]", "a"));
    EXPECT_FALSE(matches("^b", "ab"));
}

TEST(PatternMatch, StrayCloserEndsThePattern) {
    cResult result = run("ab)cd", "xab");
    EXPECT_TRUE(result.matched);
    EXPECT_EQ(result.start, 1);
    EXPECT_EQ(result.end, 3);
    EXPECT_TRUE(matches("a]b", "a"));
    EXPECT_TRUE(matches("^}", "zz"));
}

TEST(PatternMatch, QuantifierCharactersWhereAnAtomIsExpected) {
    EXPECT_EQ(run("a**", "aa*").end, 3);
    EXPECT_FALSE(matches("^a**", "aa"));
    EXPECT_TRUE(matches("^*", "*"));
    EXPECT_TRUE(matches("^+a", "+a"));
}

TEST(PatternMatch, EmptyRepetitionsFail) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{}*", true), patOk);
    cPatternMatch context;
    ASSERT_TRUE(pattern.match("y", &context));
    EXPECT_EQ(context.matchStart(), context.matchEnd());
    // The repetition consumed nothing, so it was undone with its group.
    EXPECT_EQ(context.groupStart(0), nullptr);
    // "?" on an operand that matched nothing also counts as not taken.
    ASSERT_EQ(pattern.compile("{a*}?b", true), patOk);
    ASSERT_TRUE(pattern.match("b", &context));
    EXPECT_EQ(context.groupStart(0), nullptr);
}

TEST(PatternMatch, LazyOptionalSkipsItsOperandFirst) {
    cResult alone = run("(ab)??c", "c");
    EXPECT_TRUE(alone.matched);
    EXPECT_EQ(alone.end, 1);
    cResult whole = run("(ab)??c", "abc");
    EXPECT_EQ(whole.start, 0);
    EXPECT_EQ(whole.end, 3);
    EXPECT_EQ(run("{[ab]??}c", "ac").group0, "a");
    EXPECT_EQ(run("{[ab]??}c", "c").group0, "");
    // The greedy form takes the operand first.
    EXPECT_EQ(run("{a?}{a?}", "a").group0, "a");
    EXPECT_EQ(run("{a??}a?", "a").group0, "");
}

TEST(PatternMatch, GroupsReportTheLastSuccessfulPath) {
    // Backtracking over the group restores it: here it takes no part.
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{a}?ab", true), patOk);
    cPatternMatch context;
    ASSERT_TRUE(pattern.match("ab", &context));
    EXPECT_EQ(context.groupStart(0), nullptr);
    EXPECT_EQ(context.groupEnd(0), nullptr);
    // A group inside a repetition reports its last repetition.
    EXPECT_EQ(run("{[a-c]}*", "abc").group0, "c");
    EXPECT_EQ(run("{[a-c]}+?c", "abc").group0, "b");
    // A group whose last try failed keeps the text of the earlier one.
    EXPECT_EQ(run("({a}|b)+", "ab").group0, "a");
}

TEST(PatternMatch, NegativeLookAhead) {
    EXPECT_TRUE(matches("^!a.", "ba"));
    EXPECT_FALSE(matches("^!a.", "ab"));
    cResult unanchored = run("!ab", "ab");
    EXPECT_TRUE(unanchored.matched);
    EXPECT_EQ(unanchored.start, 1);
    EXPECT_EQ(unanchored.end, 2);
    // "!" with no atom after it is an ordinary character.
    EXPECT_TRUE(matches("a!", "a!"));
    // A group inside a failed look-ahead keeps no text from it.
    cPattern pattern;
    ASSERT_EQ(pattern.compile("(!{a}|.)b", true), patOk);
    cPatternMatch context;
    ASSERT_TRUE(pattern.match("ab", &context));
    EXPECT_EQ(context.matchStart() - context.matchEnd(), -2);
    EXPECT_EQ(context.groupStart(0), nullptr);
}

TEST(PatternMatch, LazyRepetitionOfAnOperandThatConsumesNothingEnds) {
    // These pass the empty-operand check yet consume nothing; repeating them
    // lazily must neither hang nor succeed where nothing can follow.
    EXPECT_FALSE(matches("(!a)*?b", "ccc"));
    EXPECT_TRUE(matches("^(!a)*?c", "c"));
    EXPECT_FALSE(matches("{x?}\\0*?y", "zzz"));
    EXPECT_FALSE(matches("{}*?y", "zzz"));
    EXPECT_FALSE(matches("{}+?y", "zzz"));
    EXPECT_EQ(run("{}+?y", "zy").start, 1);
}

TEST(PatternMatch, HighCharactersAreOrdinary) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("[^ />]", true), patOk);
    cPatternMatch context;
    for (int c = 128; c < 256; ++c) {
        char text[2] = {static_cast<char>(c), 0};
        EXPECT_TRUE(pattern.match(text, &context)) << c;
    }
    EXPECT_TRUE(matches("a\xE9", "a\xE9"));
    EXPECT_FALSE(matches("a\xE9", "a\xC9"));
    EXPECT_TRUE(matches("^[\xE0-\xEF]+$", "\xE0\xE9\xEF"));
    EXPECT_FALSE(matches("[\xE0-\xEF]", "\xDF\xF0"));
}

TEST(PatternMatch, EscapesAndAbbreviations) {
    EXPECT_TRUE(matches("^\\t$", "t"));
    EXPECT_FALSE(matches("\\t", "\t"));
    EXPECT_TRUE(matches("^[\\t]$", "\t"));
    EXPECT_FALSE(matches("[\\t]", "t"));
    EXPECT_TRUE(matches("^\\.\\[\\{\\($", ".[{("));
    EXPECT_EQ(run("{\\q}", "x \"ab\" y").group0, "\"ab\"");
    EXPECT_FALSE(matches("\\q", "'ab'"));
    EXPECT_EQ(run("{\\d+}", "ab123c").group0, "123");
    EXPECT_EQ(run("{\\z}", "ab123c").group0, "123");
    EXPECT_EQ(run("{\\w}", "12abC3").group0, "abC");
    EXPECT_EQ(run("{\\h+}", "xyzBeef").group0, "Beef");
    EXPECT_EQ(run("{\\a+}", "-a1-").group0, "a1");
    EXPECT_EQ(run("{\\c+}", "-a1-").group0, "a");
    EXPECT_EQ(run("{\\b}", "x\ty").group0, "\t");
    EXPECT_EQ(run("x{\\n}y", "x\r\ny").group0, "\r\n");
    EXPECT_EQ(run("x{\\n}y", "x\ny").group0, "\n");
    EXPECT_EQ(run("x{\\n}y", "x\ry").group0, "\r");
    // A letter without an entry is itself.
    EXPECT_TRUE(matches("^\\k$", "k"));
}

TEST(PatternMatch, LoneFinalBackslashIsABackslash) {
    // The pattern sits in a buffer of exactly its size, so reading past its
    // terminator would be caught by the address sanitizer.
    std::unique_ptr<char[]> exact(new char[3]{'a', '\\', 0});
    cResult result = run(exact.get(), "xa\\y");
    EXPECT_TRUE(result.matched);
    EXPECT_EQ(result.start, 1);
    EXPECT_EQ(result.end, 3);
    EXPECT_TRUE(matches("\\", "\\"));
    EXPECT_FALSE(matches("\\", "a"));
    std::unique_ptr<char[]> inSet(new char[4]{'[', 'a', '\\', 0});
    cPattern pattern;
    EXPECT_EQ(pattern.compile(inSet.get(), true), patBracketExpected);
}

TEST(PatternMatch, BackReferences) {
    EXPECT_TRUE(matches("^{a|b}\\0$", "bb"));
    EXPECT_FALSE(matches("^{a|b}\\0$", "ab"));
    EXPECT_EQ(run("{[a-z]+} \\0", "xx yy yy").group0, "yy");
    // A reference to a group that is still open matches the empty text.
    EXPECT_TRUE(matches("^{a\\0}$", "a"));
    // Reopened in a later repetition, the group's old end lies before its
    // new start: still the empty text, never a negative length.
    cPattern pattern;
    ASSERT_EQ(pattern.compile("^({\\0a}x)*$", true), patOk);
    cPatternMatch context;
    ASSERT_TRUE(pattern.match("axax", &context));
    EXPECT_EQ(getGroup(context, 0), "a");
    // A reference never reads past the text's end.
    EXPECT_FALSE(matches("{ab}.*\\0", "ab-a"));
    // A group that took no part compares as the empty text.
    EXPECT_TRUE(matches("^(x{a})?\\0b$", "b"));
}

TEST(PatternMatch, CaseInsensitivePositionsPointIntoTheCallersText) {
    const char* text = "xaBy";
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{AB}", false), patOk);
    cPatternMatch context;
    const char* end = nullptr;
    ASSERT_TRUE(pattern.match(text, &context, &end));
    EXPECT_EQ(context.matchStart(), text + 1);
    EXPECT_EQ(context.matchEnd(), text + 3);
    EXPECT_EQ(end, text + 3);
    EXPECT_EQ(context.groupStart(0), text + 1);
    EXPECT_EQ(getGroup(context, 0), "aB");
    EXPECT_TRUE(run("[A-C]z", "bZ", false).matched);
    EXPECT_FALSE(run("\xC9", "\xE9", false).matched); // only A-Z are folded
    EXPECT_FALSE(run("AB", "xaBy", true).matched);
}

TEST(PatternMatch, ResultsAndEndOut) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{a}{b}?", true), patOk);
    cPatternMatch context;
    const char* sentinel = "untouched";
    const char* end = sentinel;
    EXPECT_FALSE(pattern.match(nullptr, &context, &end));
    EXPECT_EQ(end, sentinel);
    EXPECT_FALSE(pattern.match("a", nullptr, &end));
    EXPECT_EQ(end, sentinel);

    const char* text = "xxa";
    ASSERT_TRUE(pattern.match(text, &context, &end));
    EXPECT_EQ(end, text + 3);
    EXPECT_EQ(context.groupCount(), 2u);
    EXPECT_EQ(getGroup(context, 0), "a");
    EXPECT_EQ(context.groupStart(1), nullptr); // took no part
    EXPECT_EQ(getGroup(context, 1), "");
    EXPECT_EQ(getGroup(context, 2), ""); // out of range
    EXPECT_EQ(context.groupStart(7), nullptr);

    // A failed match leaves every group empty, even with the context reused.
    EXPECT_FALSE(pattern.match("xyz", &context, &end));
    EXPECT_NE(end, nullptr);
    EXPECT_EQ(getGroup(context, 0), "");
    EXPECT_EQ(context.groupStart(0), nullptr);

    // One context serves patterns of different shapes one after another.
    cPattern other;
    ASSERT_EQ(other.compile("{x}{y}{z}", true), patOk);
    ASSERT_TRUE(other.match("-xyz", &context));
    EXPECT_EQ(context.groupCount(), 3u);
    EXPECT_EQ(getGroup(context, 2), "z");
    ASSERT_TRUE(pattern.match("ab", &context));
    EXPECT_EQ(context.groupCount(), 2u);
    EXPECT_EQ(getGroup(context, 1), "b");
}

TEST(PatternMatch, ManyGroupsSlotsAndLoopsShareOneContext) {
    cPatternMatch context;
    cPattern groups;
    ASSERT_EQ(groups.compile("{a}{b}{c}{d}{e}{f}{g}{h}{i}{j}{k}", true), patOk);
    ASSERT_TRUE(groups.match("-abcdefghijk", &context));
    EXPECT_EQ(context.groupCount(), 11u);
    EXPECT_EQ(getGroup(context, 10), "k");
    EXPECT_EQ(getGroup(context, 0), "a");
    cPattern slots;
    ASSERT_EQ(slots.compile("^{a*b*c*d*e*f*g*h*i*j*}k?(l)?m?$", true), patOk);
    EXPECT_GT(slots.slotCount(), 8u);
    ASSERT_TRUE(slots.match("aabbcdeeeffghhijjk", &context));
    EXPECT_EQ(getGroup(context, 0), "aabbcdeeeffghhijj");
    cPattern lazyLoops;
    ASSERT_EQ(lazyLoops.compile("x.*?a.*?b.*?c.*?d.*?{e.*?f}", true), patOk);
    ASSERT_TRUE(lazyLoops.match("..x1a2b3c4d5e6f7f", &context));
    EXPECT_EQ(getGroup(context, 0), "e6f");
    EXPECT_FALSE(lazyLoops.match("..x1a2b3c4d5e6", &context));
    // Back to a small pattern on the same context.
    ASSERT_TRUE(groups.match("abcdefghijk", &context));
    EXPECT_EQ(getGroup(context, 3), "d");
    cPatternMatch copy = context;
    EXPECT_EQ(getGroup(copy, 3), "d");
    ASSERT_TRUE(groups.match("abcdefghijk", &copy));
    EXPECT_EQ(getGroup(copy, 10), "k");
    ASSERT_TRUE(lazyLoops.match("x1a2b3c4d5eef", &context));
    copy = context;
    EXPECT_EQ(getGroup(copy, 0), "eef");
}

TEST(PatternMatch, FailedCompileNeverMatches) {
    cPattern pattern;
    ASSERT_NE(pattern.compile("(a", true), patOk);
    cPatternMatch context;
    EXPECT_FALSE(pattern.match("(a", &context));
    cPattern empty;
    EXPECT_FALSE(empty.match("", &context));
}

TEST(PatternMatch, BacktrackStackIsBounded) {
    // Every greedy repetition keeps a few entries to come back to.
    std::string text(5000, 'a');
    cPattern pattern;
    ASSERT_EQ(pattern.compile("^{a*}$", true), patOk);
    cPatternMatch context(16);
    ASSERT_TRUE(pattern.match(text.c_str(), &context));
    EXPECT_EQ(getGroup(context, 0).size(), 5000u);
    // With a bound far below what the match needs, it fails cleanly, and
    // the same context works again once the bound allows it.
    context.setMaxStackEntries(1000);
    const char* end = nullptr;
    EXPECT_FALSE(pattern.match(text.c_str(), &context, &end));
    EXPECT_EQ(getGroup(context, 0), "");
    EXPECT_NE(end, nullptr);
    ASSERT_TRUE(pattern.match("aaa", &context));
    EXPECT_EQ(getGroup(context, 0), "aaa");
    context.setMaxStackEntries(0xFFFFFFFFu);
    EXPECT_EQ(context.maxStackEntries(), kPatMaxStackEntries);
    EXPECT_TRUE(pattern.match(text.c_str(), &context));
}

} // namespace

} // namespace quarry
