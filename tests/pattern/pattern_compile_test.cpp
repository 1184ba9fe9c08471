// Compilation: the instruction lists, group and slot counts, and the
// result codes of malformed patterns.
#include "pattern/pattern.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace quarry {

namespace {

struct cExpected {
    std::uint32_t kind;
    std::uint32_t operand;
};

std::vector<cPatInstruction> compiled(const char* text, bool caseSensitive = true) {
    cPattern pattern;
    EXPECT_EQ(pattern.compile(text, caseSensitive), patOk) << text;
    return pattern.instructions();
}

// The instruction kinds in order, with the four map cells of a set left out.
std::vector<std::uint32_t> kinds(const std::vector<cPatInstruction>& code) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < code.size(); ++i) {
        out.push_back(code[i].kind);
        if (code[i].kind == opInSet || code[i].kind == opNotInSet) i += 4;
    }
    return out;
}

TEST(PatternCompile, IdentifierPatternMatchesTheWorkedExample) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("^<.*?ZRID=\"{.*?}\".*?>", true), patOk);
    EXPECT_EQ(pattern.groupCount(), 1u);
    EXPECT_EQ(pattern.slotCount(), 0u);
    const std::vector<cExpected> expected = {
        {opCall, 2},       {opFail, 0},   {opChar, '<'},    {opCall, 6},      {opAnyChar, 0},
        {opJump, 3},       {opChar, 'Z'}, {opChar, 'R'},    {opChar, 'I'},    {opChar, 'D'},
        {opChar, '='},     {opChar, '"'}, {opPushGroup, 0}, {opGroupOpen, 0}, {opCall, 17},
        {opPopGroup, 0},   {opReturn, 0}, {opCall, 20},     {opAnyChar, 0},   {opJump, 17},
        {opGroupClose, 0}, {opChar, '"'}, {opCall, 25},     {opAnyChar, 0},   {opJump, 22},
        {opChar, '>'},     {opMatch, 0},
    };
    const std::vector<cPatInstruction>& code = pattern.instructions();
    ASSERT_EQ(code.size(), expected.size());
    for (std::size_t i = 0; i < code.size(); ++i) {
        EXPECT_EQ(code[i].kind, expected[i].kind) << "instruction " << i;
        // Operands of kinds without one carry no meaning.
        if (expected[i].operand != 0 || code[i].kind == opChar) {
            EXPECT_EQ(code[i].operand, expected[i].operand) << "instruction " << i;
        }
    }
}

TEST(PatternCompile, AttributePatternHas55InstructionsThreeGroupsTwoSlots) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{.+?}=\"{.*?}\"( {.+})?", true), patOk);
    EXPECT_EQ(pattern.instructions().size(), 55u);
    EXPECT_EQ(pattern.groupCount(), 3u);
    EXPECT_EQ(pattern.slotCount(), 2u);
    // Slot 0 belongs to the optional part, whose prologue comes first; slot 1
    // to the "+" inside it.
    const std::vector<cPatInstruction>& code = pattern.instructions();
    std::vector<std::uint32_t> slotsInOrder;
    for (const cPatInstruction& ins : code)
        if (ins.kind == opPushSlot) slotsInOrder.push_back(ins.operand);
    EXPECT_EQ(slotsInOrder, (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(code[1].kind, static_cast<std::uint32_t>(opAdvanceStart));
    EXPECT_EQ(code.back().kind, static_cast<std::uint32_t>(opMatch));
}

TEST(PatternCompile, TagPatternCompiles) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("^<{/?[^ />]+} ?{.*?}( /)?>", true), patOk);
    EXPECT_EQ(pattern.groupCount(), 2u);
    // "?" after "/", the "+" loop, " ?" and "( /)?" each own one slot.
    EXPECT_EQ(pattern.slotCount(), 4u);
}

TEST(PatternCompile, ConstructsFollowTheScheme) {
    // A grouping: Call X; Return; X.
    EXPECT_EQ(kinds(compiled("(a)")), (std::vector<std::uint32_t>{opCall, opAdvanceStart, opCall,
                                                                  opReturn, opChar, opMatch}));
    // Empty bodies compile to one Nop.
    EXPECT_EQ(kinds(compiled("()")), (std::vector<std::uint32_t>{opCall, opAdvanceStart, opCall,
                                                                 opReturn, opNop, opMatch}));
    EXPECT_EQ(kinds(compiled("{}")),
              (std::vector<std::uint32_t>{opCall, opAdvanceStart, opPushGroup, opGroupOpen, opCall,
                                          opPopGroup, opReturn, opNop, opGroupClose, opMatch}));
    // Greedy star: PushSlot; PosToSlot; PushPos; Call h; PopPos; PopSlot;
    // Jump end; (h) X; FailIfNoProgress; PosToSlot; Jump a.
    std::vector<cPatInstruction> star = compiled("a*");
    EXPECT_EQ(kinds(star),
              (std::vector<std::uint32_t>{opCall, opAdvanceStart, opPushSlot, opPosToSlot,
                                          opPushPos, opCall, opPopPos, opPopSlot, opJump, opChar,
                                          opFailIfNoProgress, opPosToSlot, opJump, opMatch}));
    EXPECT_EQ(star[5].operand, 9u);
    EXPECT_EQ(star[8].operand, 13u);
    EXPECT_EQ(star[12].operand, 2u);
    // "?" is the same without the jump back.
    EXPECT_EQ(compiled("a?").size(), star.size() - 1);
    // "+": X, then the starred form of a second copy with a slot of its own.
    std::vector<cPatInstruction> plus = compiled("a+");
    EXPECT_EQ(plus[2].kind, static_cast<std::uint32_t>(opChar));
    EXPECT_EQ(plus.size(), star.size() + 1);
    // Lazy forms: (c) Call end; X; Jump c, and Call end; X.
    EXPECT_EQ(kinds(compiled("a*?")), (std::vector<std::uint32_t>{opCall, opAdvanceStart, opCall,
                                                                  opChar, opJump, opMatch}));
    EXPECT_EQ(kinds(compiled("a+?")),
              (std::vector<std::uint32_t>{opCall, opAdvanceStart, opChar, opCall, opChar, opJump,
                                          opMatch}));
    EXPECT_EQ(kinds(compiled("a??")),
              (std::vector<std::uint32_t>{opCall, opAdvanceStart, opCall, opChar, opMatch}));
    // Alternation: PushPos; Call a; PopPos; Jump r; (a) X; Jump end; (r) rest.
    std::vector<cPatInstruction> alt = compiled("a|b");
    EXPECT_EQ(kinds(alt),
              (std::vector<std::uint32_t>{opCall, opAdvanceStart, opPushPos, opCall, opPopPos,
                                          opJump, opChar, opJump, opChar, opMatch}));
    EXPECT_EQ(alt[3].operand, 6u);
    EXPECT_EQ(alt[5].operand, 8u);
    EXPECT_EQ(alt[7].operand, 9u);
    // Negative look-ahead with its two slots.
    cPattern look;
    ASSERT_EQ(look.compile("!a", true), patOk);
    EXPECT_EQ(look.slotCount(), 2u);
    EXPECT_EQ(kinds(look.instructions()),
              (std::vector<std::uint32_t>{opCall, opAdvanceStart, opPosToSlot, opDepthToSlot,
                                          opCall, opSlotToPos, opSlotToDepth, opJump, opChar,
                                          opSlotToPos, opSlotToDepth, opReturn, opMatch}));
    // A final "$" is Char 0; a back-reference names its group.
    EXPECT_EQ(compiled("a$")[3].kind, static_cast<std::uint32_t>(opChar));
    EXPECT_EQ(compiled("a$")[3].operand, 0u);
    EXPECT_EQ(compiled("{a}\\0").at(9).kind, static_cast<std::uint32_t>(opBackReference));
}

TEST(PatternCompile, ThreeWayAlternationNestsTheRest) {
    std::vector<cPatInstruction> code = compiled("x|y|z");
    // Both earlier alternatives jump to the common end.
    ASSERT_EQ(code.size(), 16u);
    EXPECT_EQ(code[7].kind, static_cast<std::uint32_t>(opJump));
    EXPECT_EQ(code[7].operand, 15u);
    EXPECT_EQ(code[13].operand, 15u);
    EXPECT_EQ(code[14].operand, 'z');
}

TEST(PatternCompile, SetMapHoldsExactlyItsMembers) {
    std::vector<cPatInstruction> code = compiled("[-a-c\\]\\t\xE9]");
    ASSERT_EQ(code[2].kind, static_cast<std::uint32_t>(opInSet));
    const unsigned char* map = reinterpret_cast<const unsigned char*>(&code[3]);
    std::string members;
    for (unsigned c = 0; c < 256; ++c)
        if (map[c >> 3] & (1u << (c & 7))) members += static_cast<char>(c);
    EXPECT_EQ(members, std::string("\t-]abc\xE9"));
    EXPECT_EQ(compiled("[^x]")[2].kind, static_cast<std::uint32_t>(opNotInSet));
}

TEST(PatternCompile, FailuresReturnTheirCodes) {
    struct cCase {
        const char* pattern;
        std::int32_t code;
    };
    const cCase cases[] = {
        {"(a*)*", patEmptyRepeat},
        {"(a*)+", patEmptyRepeat},
        {"(a?)*?", patEmptyRepeat},
        {"{b*}+?", patEmptyRepeat},
        {"[z-a]", patBadRange},
        {"[]", patEmptyClass},
        {"[^]", patEmptyClass},
        {"[ab", patBracketExpected},
        {"[a-]", patBracketExpected},
        {"[a-", patBracketExpected},
        {"[", patBracketExpected},
        {"[a\\", patBracketExpected},
        {"{ab", patBraceExpected},
        {"{ab)", patBraceExpected},
        {"(ab", patParenExpected},
        {"(ab}", patParenExpected},
        {"\\1{a}", patBadBackReference},
        {"{a}\\1", patBadBackReference},
        {"\\99999999999999999999", patBadBackReference},
    };
    for (const cCase& c : cases) {
        cPattern pattern;
        EXPECT_EQ(pattern.compile(c.pattern, true), c.code) << c.pattern;
        EXPECT_EQ(pattern.lastError(), c.code) << c.pattern;
        cPatternMatch context;
        EXPECT_FALSE(pattern.match("aaaa", &context)) << c.pattern;
    }
}

TEST(PatternCompile, AcceptedEdgeForms) {
    for (const char* text : {"(a*)?", "{}*", "a**", "{a}\\0", "{a\\0}", "(a*)??", "[-a]", "[a-c-e]",
                             "ab)cd", "a|", "!", "\\", "a||b", "^", "$", ""}) {
        cPattern pattern;
        EXPECT_EQ(pattern.compile(text, true), patOk) << text;
    }
}

TEST(PatternCompile, NullPatternLeavesThePatternUnchanged) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("ab", true), patOk);
    std::size_t size = pattern.instructions().size();
    EXPECT_EQ(pattern.compile(nullptr, false), patNoPattern);
    EXPECT_EQ(pattern.instructions().size(), size);
    EXPECT_TRUE(pattern.caseSensitive());
    cPatternMatch context;
    EXPECT_TRUE(pattern.match("xab", &context));
}

TEST(PatternCompile, RecompilingReplacesTheProgram) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("{a}{b}", true), patOk);
    ASSERT_EQ(pattern.compile("[", true), patBracketExpected);
    EXPECT_TRUE(pattern.instructions().empty());
    ASSERT_EQ(pattern.compile("c", true), patOk);
    EXPECT_EQ(pattern.groupCount(), 0u);
    EXPECT_EQ(pattern.lastError(), patOk);
}

TEST(PatternCompile, DeepNestingIsRefusedPastTheStatedDepth) {
    auto nested = [](std::size_t depth, const char* open, const char* close) {
        std::string text;
        for (std::size_t i = 0; i < depth; ++i)
            text += open;
        text += "a";
        for (std::size_t i = 0; i < depth; ++i)
            text += close;
        return text;
    };
    cPattern pattern;
    // At the limit, with a quantifier at every level, compiling stays
    // linear in the pattern per level (no re-parse per level).
    EXPECT_EQ(pattern.compile(nested(kPatMaxNesting, "(", ")?").c_str(), true), patOk);
    EXPECT_EQ(pattern.compile(nested(kPatMaxNesting, "{", "}?").c_str(), true), patOk);
    EXPECT_EQ(pattern.groupCount(), kPatMaxNesting);
    EXPECT_EQ(pattern.compile(nested(kPatMaxNesting + 1, "(", ")").c_str(), true), patTooDeep);
    EXPECT_EQ(pattern.compile(nested(100000, "(", ")").c_str(), true), patTooDeep);
    EXPECT_EQ(pattern.compile(nested(100000, "!", "").c_str(), true), patTooDeep);
    // Nested "+" double the program each level: refused, not exhausting memory.
    EXPECT_EQ(pattern.compile(nested(40, "(", ")+").c_str(), true), patOutOfMemory);
    EXPECT_TRUE(pattern.instructions().empty());
}

TEST(PatternCompile, LongFlatPatternsCompile) {
    // Many lazy loops, alternatives and quantifiers one after another: each
    // is placed once, whatever the length of the pattern.
    std::string loops;
    for (int i = 0; i < 20000; ++i)
        loops += ".*?a?";
    cPattern pattern;
    ASSERT_EQ(pattern.compile(loops.c_str(), true), patOk);
    EXPECT_EQ(pattern.slotCount(), 20000u);
    cPatternMatch context;
    EXPECT_TRUE(pattern.match("xyz", &context));
    std::string alternatives = "a";
    for (int i = 0; i < 20000; ++i)
        alternatives += "|b";
    ASSERT_EQ(pattern.compile(alternatives.c_str(), true), patOk);
    EXPECT_TRUE(pattern.match("xb", &context));
}

TEST(PatternCompile, CaseInsensitiveCompilesALoweredCopy) {
    cPattern pattern;
    ASSERT_EQ(pattern.compile("A[B-C]", false), patOk);
    EXPECT_FALSE(pattern.caseSensitive());
    EXPECT_EQ(pattern.instructions()[2].operand, static_cast<std::uint32_t>('a'));
}

} // namespace

} // namespace quarry
