// The pattern engine: a small regular-expression compiler and an iterative
// backtracking matcher over zero-terminated 8-bit text.
//
// Syntax in brief: "." any character, "[...]" and "[^...]" sets with ranges and
// escapes, "{...}" capture groups, "(...)" groupings, "!" negative look-ahead,
// "\N" back-references, "\a \b \c \d \h \n \q \w \z" abbreviations, "^" and "$"
// anchors, greedy "* + ?" and lazy "*? +? ??" quantifiers, and "|" between
// single quantified atoms (alternation binds tighter than concatenation).
//
// Where the syntax leaves a choice open:
// - a lone "\" at the end of a pattern stands for a backslash;
// - a back-reference to a group with no complete text on the current path
//   (never closed, still open, or reopened after its last close) matches
//   the empty text;
// - a repetition that consumes nothing counts as failed, lazy or greedy, so
//   a lazy loop over a look-ahead or an empty group cannot spin forever;
// - a group inside a negative look-ahead never reports text from it;
// - nesting deeper than kPatMaxNesting fails with patTooDeep, and a
//   program larger than kPatMaxInstructions with patOutOfMemory;
// - a match needing more than kPatMaxStackEntries backtrack entries fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarry {

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
    // Groups, groupings, look-aheads and abbreviations nested deeper than
    // kPatMaxNesting; refused so compiling stays fast and never exhausts the
    // call stack.
    patTooDeep = 11,
};

// Deepest nesting of "{", "(", "!" and abbreviations a pattern may use.
inline constexpr std::uint32_t kPatMaxNesting = 200;
// Largest compiled program; "+" copies its operand, so nested "+" double the
// program each level. A pattern that needs more fails with patOutOfMemory.
inline constexpr std::uint32_t kPatMaxInstructions = 1u << 20;

// Instruction kinds of the compiled program.
enum ePatOp : std::uint32_t {
    opNop,              // go on
    opGroupOpen,        // group start := position
    opGroupClose,       // group end := position
    opChar,             // match one character (0 matches the terminator)
    opAnyChar,          // match any character but the terminator
    opInSet,            // match a member of the map that follows (kPatSetMapCells cells)
    opNotInSet,         // match a non-member (never the terminator)
    opJump,             // continue at the target
    opPushPos,          // push the position
    opPopPos,           // position := pop
    opCall,             // push the position and the next index, continue at the target
    opReturn,           // backtrack: resume at the last pushed index and position
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

// A map of characters, one bit per byte value: the members of a set, or the
// characters a match can go on with.
inline constexpr std::size_t kPatCharMapBytes = 256 / 8;

inline bool patMapHas(const unsigned char* map, unsigned char c) {
    return (map[c >> 3] >> (c & 7)) & 1u;
}

inline void patMapAdd(unsigned char* map, unsigned char c) {
    map[c >> 3] |= static_cast<unsigned char>(1u << (c & 7));
}

// A set instruction (opInSet, opNotInSet) carries its member map in the cells
// right after it; the next instruction follows the map.
inline constexpr std::uint32_t kPatSetMapCells = kPatCharMapBytes / sizeof(cPatInstruction);
static_assert(kPatSetMapCells * sizeof(cPatInstruction) == kPatCharMapBytes);
inline constexpr std::uint32_t kPatSetCells = 1 + kPatSetMapCells;

// Walks over the program test this and step over a set's map on a branch:
// stepping by patCells would make each index wait for the load before it.
constexpr bool patIsSet(std::uint32_t kind) {
    return kind == opInSet || kind == opNotInSet;
}

// Cells an instruction of this kind occupies, its data included; the
// instruction after it starts that many cells later.
constexpr std::uint32_t patCells(std::uint32_t kind) {
    return patIsSet(kind) ? kPatSetCells : 1;
}

// The member map of the set instruction at `set`.
inline const unsigned char* patSetMap(const cPatInstruction* set) {
    return reinterpret_cast<const unsigned char*>(set + 1);
}
inline unsigned char* patSetMap(cPatInstruction* set) {
    return reinterpret_cast<unsigned char*>(set + 1);
}

// The constructs the matcher's fast paths recognise, as cell offsets from the
// construct's first instruction. The compiler emits them through these names
// and the fast-path detector checks them through the same names.

// Every program: Call body; then AdvanceStart, or Fail when anchored, where a
// failed attempt ends up; then the body, ending in Match.
struct cPatProgram {
    enum : std::uint32_t { callBody, retry, body };
};

// A greedy loop over X ("X*", and the loops of "X+" and "X?"), with slot m
// holding where the current pass started:
//   (a) PushSlot m; PosToSlot m; PushPos; Call body; PopPos; PopSlot m; Jump end;
//   (body) X; FailIfNoProgress m; PosToSlot m; Jump a
// "X?" has no Jump a.
struct cPatGreedyLoop {
    enum : std::uint32_t {
        saveSlot,        // PushSlot m
        markPass,        // PosToSlot m
        savePosition,    // PushPos
        callBody,        // Call body
        restorePosition, // PopPos: a pass that fails resumes here
        restoreSlot,     // PopSlot m
        exit,            // Jump end
        body,            // X
    };
    // The tail after X, as offsets from X's end.
    enum : std::uint32_t { checkProgress, markNextPass, repeat };
};

// A lazy loop over an X that always consumes something: the rest is tried
// first, X when the rest fails.
//   (c) Call end; (body) X; Jump c
struct cPatLazyLoop {
    enum : std::uint32_t { tryRest, body };
};

// The backtrack stack never grows beyond this many entries; a match that would
// need more fails instead of exhausting memory.
inline constexpr std::uint32_t kPatMaxStackEntries = 16u * 1024u * 1024u;

// A match context: the results of the last match and the backtrack stack,
// reusable for any number of matches against any patterns.
class cPatternMatch {
public:
    explicit cPatternMatch(std::uint32_t initialStackCapacity = 256);
    // A copy carries the results of the last match, not the scratch state.
    cPatternMatch(const cPatternMatch& other);
    cPatternMatch& operator=(const cPatternMatch& other);

    std::uint32_t groupCount() const;
    const char* matchStart() const;
    const char* matchEnd() const;
    // Start and end of group i; both null when the group took no part.
    const char* groupStart(std::uint32_t i) const;
    const char* groupEnd(std::uint32_t i) const;

    // Lowers the bound on this context's backtrack stack (never above
    // kPatMaxStackEntries); a match that needs more fails.
    void setMaxStackEntries(std::uint32_t entries);
    std::uint32_t maxStackEntries() const { return maxStackEntries_; }

private:
    friend class cPattern;
    friend std::string getGroup(const cPatternMatch& context, std::uint32_t index);

    // Small patterns (every pattern the program uses) run entirely in the
    // inline buffers, so a context made for one match costs no allocation;
    // larger ones use vectors that only ever grow, so a reused context
    // matches without allocating after its first match.
    static constexpr std::size_t kInlineStack = 256;
    static constexpr std::size_t kInlineGroups = 8;
    static constexpr std::size_t kInlineSlots = 8;
    static constexpr std::size_t kInlineSkipSets = 4;

    // Prepares group, slot and skip-cache storage for a pattern.
    void prepare(std::uint32_t groups, std::uint32_t slots, std::size_t skipSets);
    const char** groups() {
        return groupCount_ <= kInlineGroups ? inlineGroups_ : heapGroups_.data();
    }
    const char* const* groups() const {
        return groupCount_ <= kInlineGroups ? inlineGroups_ : heapGroups_.data();
    }
    std::uintptr_t* stack() { return heapStack_.empty() ? inlineStack_ : heapStack_.data(); }
    std::size_t stackCapacity() const {
        return heapStack_.empty() ? kInlineStack : heapStack_.size();
    }
    // Grows the stack to `entries`, keeping the first `depth` entries.
    void growStack(std::size_t entries, std::size_t depth);

    std::uint32_t groupCount_ = 0;
    bool matched_ = false;
    const char* matchStart_ = nullptr;
    const char* matchEnd_ = nullptr;
    std::uint32_t maxStackEntries_ = kPatMaxStackEntries;
    std::uintptr_t* slots_ = nullptr;           // into inlineSlots_ or heapSlots_
    const unsigned char** skipCache_ = nullptr; // per skip set: last search start, result
    std::vector<const char*> heapGroups_;       // start, end per group
    std::vector<std::uintptr_t> heapSlots_;
    std::vector<const unsigned char*> heapSkipCache_;
    std::vector<std::uintptr_t> heapStack_; // empty while the inline stack suffices
    std::vector<char> lowered_;             // the text lowered, for case-insensitive matching
    const char* inlineGroups_[2 * kInlineGroups];
    std::uintptr_t inlineSlots_[kInlineSlots];
    const unsigned char* inlineSkipCache_[2 * kInlineSkipSets];
    std::uintptr_t inlineStack_[kInlineStack];
};

// A compiled pattern.
class cPattern {
public:
    // Replaces whatever the pattern held; returns patOk or an error code,
    // which is also kept as lastError(). A null pattern returns patNoPattern
    // and leaves the object, its last error included, as it was.
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
    friend class cPatternCompiler;
    // Side table for the matcher's fast paths, built after a successful
    // compile; it never changes what a match reports.
    void buildFastPaths();
    // Runs the program on `subject`; `stop` receives where matching ended.
    bool execute(const unsigned char* subject, cPatternMatch& context,
                 const unsigned char*& stop) const;

    std::int32_t lastError_ = 0;
    std::vector<cPatInstruction> instructions_;
    std::uint32_t groupCount_ = 0;
    std::uint32_t slotCount_ = 0;
    bool caseSensitive_ = true;
    // For each instruction: 0, or 1 + an index into skipSets_ when the
    // instruction heads a lazy any-character loop whose continuation can only
    // start with a member of that set. At instruction 1 of an unanchored
    // pattern: the set of characters a match can start with.
    std::vector<std::uint32_t> skipSetIndex_;
    struct cSkipSet {
        // Sets this small are searched through their member list.
        static constexpr int kMaxListed = 8;
        unsigned char map[kPatCharMapBytes];
        char members[kMaxListed + 1]; // zero-terminated member list when useMembers
        bool useMembers;
    };
    std::vector<cSkipSet> skipSets_;
    // For each instruction: 1 when it heads a greedy "*" loop whose operand
    // is one character test, which the matcher runs without dispatching.
    std::vector<std::uint8_t> runHead_;
};

// The text of capture group `index` of the last match held by `context`; empty
// for a group that took no part, a failed match, or an index out of range.
std::string getGroup(const cPatternMatch& context, std::uint32_t index);

} // namespace quarry
