// The pattern engine: a small regular-expression compiler and an iterative
// backtracking matcher over zero-terminated 8-bit text.
//
// Syntax in brief: "." any character, "[...]" and "[^...]" sets with ranges and
// escapes, "{...}" capture groups, "(...)" groupings, "!" negative look-ahead,
// "\N" back-references, "\a \b \c \d \h \n \q \w \z" abbreviations, "^" and "$"
// anchors, greedy "* + ?" and lazy "*? +? ??" quantifiers, and "|" between
// single quantified atoms (alternation binds tighter than concatenation).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Results of cPattern::compile.
enum : std::int32_t {
    patOk = 0,
    patOutOfMemory = 1,
    patBraceExpected = 2,
    patParenExpected = 3,
    patBracketExpected = 4,
    patBadAbbreviation = 5,
    patEmptyClass = 6,
    patBadBackReference = 7,
    patBadRange = 8,
    patEmptyRepeat = 9,
    patNoPattern = 10,
};

// Instruction kinds of the compiled program.
enum ePatOp : std::uint32_t {
    opNop,              // go on
    opGroupOpen,        // group start := position
    opGroupClose,       // group end := position
    opChar,             // match one character (0 matches the terminator)
    opAnyChar,          // match any character but the terminator
    opInSet,            // match a member of the 256-bit map in the next four cells
    opNotInSet,         // match a non-member (never the terminator)
    opJump,             // continue at the target
    opPushPos,          // push the position
    opPopPos,           // position := pop
    opCall,             // push the next index, continue at the target
    opReturn,           // backtrack
    opPushSlot,         // push a slot's value
    opPopSlot,          // slot := pop
    opPosToSlot,        // slot := position
    opDepthToSlot,      // slot := stack depth
    opSlotToPos,        // position := slot
    opSlotToDepth,      // stack depth := slot
    opFailIfNoProgress, // backtrack when the position equals the slot
    opBackReference,    // match the text a group holds now
    opFail,             // the match fails (anchored patterns)
    opAdvanceStart,     // start the next attempt one character later
    opMatch,            // the match succeeds
    opPushGroup,        // push a group's start and end
    opPopGroup,         // restore a group's end and start from the stack
};

struct cPatInstruction {
    std::uint32_t kind;
    std::uint32_t operand;
};

// The backtrack stack never grows beyond this many entries; a match that would
// need more fails instead of exhausting memory.
inline constexpr std::uint32_t kPatMaxStackEntries = 16u * 1024u * 1024u;

// A match context: the results of the last match and the backtrack stack,
// reusable for any number of matches against any patterns.
class cPatternMatch {
public:
    explicit cPatternMatch(std::uint32_t initialStackCapacity = 256);

    std::uint32_t groupCount() const;
    const char* matchStart() const;
    const char* matchEnd() const;
    // Start and end of group i; both null when the group took no part.
    const char* groupStart(std::uint32_t i) const;
    const char* groupEnd(std::uint32_t i) const;

private:
    friend class cPattern;
    struct Impl;
    // Implementation-defined members follow in pattern.cpp's view of this class;
    // kept as plain vectors so a context can be reused without reallocating.
    std::uint32_t groupCount_ = 0;
    const char* matchStart_ = nullptr;
    const char* matchEnd_ = nullptr;
    std::vector<std::uint32_t> slots_;
    std::vector<const char*> groups_; // start, end per group
    std::vector<std::uintptr_t> stack_;
    std::uint32_t depth_ = 0;
};

// A compiled pattern.
class cPattern {
public:
    // Replaces whatever the pattern held; returns patOk or an error code,
    // which is also kept as lastError().
    std::int32_t compile(const char* pattern, bool caseSensitive);

    // True when the pattern matches somewhere in the zero-terminated text (at
    // its start only when anchored). The context receives match and group
    // positions; endOut, when given, the match end (or where matching stopped).
    bool match(const char* text, cPatternMatch* context, const char** endOut = nullptr) const;

    std::int32_t lastError() const { return lastError_; }
    std::uint32_t groupCount() const { return groupCount_; }
    std::uint32_t slotCount() const { return slotCount_; }
    bool caseSensitive() const { return caseSensitive_; }
    // The compiled program, for tests and diagnostics.
    const std::vector<cPatInstruction>& instructions() const { return instructions_; }

private:
    std::int32_t lastError_ = 0;
    std::vector<cPatInstruction> instructions_;
    std::uint32_t groupCount_ = 0;
    std::uint32_t slotCount_ = 0;
    bool caseSensitive_ = true;
};

// The text of capture group `index` of the last match held by `context`; empty
// for a group that took no part, a failed match, or an index out of range.
std::string getGroup(const cPatternMatch& context, std::uint32_t index);
