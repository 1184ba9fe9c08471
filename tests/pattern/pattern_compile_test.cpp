// Compilation: the shapes of the programs the application runs, set maps,
// the result codes of malformed patterns, and the limits on nesting and size.
#include "pattern/pattern.h"
#include "store/tag_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

namespace {

// The program as one line: each instruction's kind, then its operand where
// it has one ("Char<", "Call6", "Slot1"); a set's four map cells are left out.
std::string listing(const cPattern& pattern) {
    static const char* const kNames[] = {
        "Nop",     "Open",        "Close",     "Char",        "Any",        "In",       "NotIn",
        "Jump",    "PushPos",     "PopPos",    "Call",        "Return",     "PushSlot", "PopSlot",
        "ToSlot",  "DepthToSlot", "SlotToPos", "SlotToDepth", "NoProgress", "Ref",      "Fail",
        "Advance", "Match",       "PushGroup", "PopGroup"};
    std::string out;
    const std::vector<cPatInstruction>& code = pattern.instructions();
    for (std::size_t i = 0; i < code.size(); ++i) {
        out += (i ? " " : "") + std::string(kNames[code[i].kind]);
        if (code[i].kind == opChar)
            out += static_cast<char>(code[i].operand);
        else if (code[i].operand != 0 || code[i].kind == opCall || code[i].kind == opJump)
            out += std::to_string(code[i].operand);
        if (code[i].kind == opInSet || code[i].kind == opNotInSet) i += 4;
    }
    return out;
}

cPattern compiled(const char* text) {
    cPattern pattern;
    EXPECT_EQ(pattern.compile(text, true), patOk) << text;
    return pattern;
}

} // namespace

// The identifier pattern runs once per item of an import; its program is
// the anchored form with lazy loops and one group.
TEST(PatternCompile, ProgramPatternsCompileToTheirKnownShapes) {
    const cPattern identifier = compiled(kZridPattern);
    EXPECT_EQ(listing(identifier),
              "Call2 Fail Char< Call6 Any Jump3 CharZ CharR CharI CharD Char= Char\" "
              "PushGroup Open Call17 PopGroup Return Call20 Any Jump17 Close Char\" Call25 Any "
              "Jump22 Char> Match");
    EXPECT_EQ(identifier.groupCount(), 1u);
    EXPECT_EQ(identifier.slotCount(), 0u);

    // The attribute pattern runs once per pair. Slot 0 belongs to the
    // optional part, whose prologue comes first; slot 1 to the "+" inside it.
    const cPattern attribute = compiled(kAttributePattern);
    EXPECT_EQ(listing(attribute),
              "Call2 Advance PushGroup Open Call7 PopGroup Return Any Call11 Any Jump8 Close "
              "Char= Char\" PushGroup1 Open1 Call19 PopGroup1 Return Call22 Any Jump19 Close1 "
              "Char\" PushSlot ToSlot PushPos Call31 PopPos PopSlot Jump54 Call33 Return Char  "
              "PushGroup2 Open2 Call39 PopGroup2 Return Any PushSlot1 ToSlot1 PushPos Call47 "
              "PopPos PopSlot1 Jump51 Any NoProgress1 ToSlot1 Jump40 Close2 NoProgress ToSlot "
              "Match");
    EXPECT_EQ(attribute.groupCount(), 3u);
    EXPECT_EQ(attribute.slotCount(), 2u);

    // "?" after "/", the "+" loop, " ?" and "( /)?" each own one slot.
    const cPattern tag = compiled(kTagPattern);
    EXPECT_EQ(tag.groupCount(), 2u);
    EXPECT_EQ(tag.slotCount(), 4u);
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
