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
// program each level. The compiler counts a program before it emits any of
// it, and refuses one that needs more with patOutOfMemory.
inline constexpr std::uint32_t kPatMaxInstructions = 1u << 20;

// The instructions of a compiled program, each with what it does and what its
// operand is. The program starts at instruction 0 with a call of the
// pattern's code; when that fails it reaches instruction 1, the retry
// (opFail or opAdvanceStart).
enum ePatOp : std::uint32_t {
    opNop,              // go on (stands for an empty group)
    opGroupOpen,        // group `operand` starts at the position
    opGroupClose,       // group `operand` ends at the position
    opChar,             // match the character `operand` (0 matches the terminator)
    opAnyChar,          // match any character but the terminator
    opInSet,            // match a member of set `operand`
    opNotInSet,         // match a character outside set `operand`, never the terminator
    opJump,             // continue at instruction `operand`
    opPushPos,          // push the position
    opPopPos,           // position := pop
    opCall,             // push the position and the next index, continue at `operand`
    opReturn,           // backtrack: resume at the last pushed index and position
    opPushSlot,         // push slot `operand`'s value
    opPopSlot,          // slot `operand` := pop
    opPosToSlot,        // slot `operand` := position
    opDepthToSlot,      // slot `operand` := stack depth
    opSlotToPos,        // position := slot `operand`
    opSlotToDepth,      // stack depth := slot `operand`
    opFailIfNoProgress, // backtrack when the position equals slot `operand`
    opBackReference,    // match the text group `operand` holds now
    opFail,             // the match fails (the retry of an anchored pattern)
    opAdvanceStart,     // start the next attempt one character later, at instruction 0
    opMatch,            // the match succeeds
    opPushGroup,        // push group `operand`'s start and end
    opPopGroup,         // restore group `operand`'s end and start from the stack
    opRun,              // greedy loop over one character test, run `operand`, taken whole
    opLazyAny,          // try lazy any-character loop `operand`'s rest, skipping ahead
};

struct cPatInstruction {
    std::uint32_t kind;    // an ePatOp
    std::uint32_t operand; // what the kind's comment names
};

// A set of characters, one bit per byte value.
struct cPatCharSet {
    unsigned char bits[256 / 8] = {};

    bool has(unsigned char c) const { return (bits[c >> 3] >> (c & 7)) & 1u; }
    void add(unsigned char c) { bits[c >> 3] |= static_cast<unsigned char>(1u << (c & 7)); }
};

// A greedy loop ("X*", or the loop of "X+") whose X is one character test.
// opRun takes every character the test accepts at once and leaves, per
// character, the entries one pass of the loop leaves: the slot's old value,
// the position, and a call entry resuming at `resume`. There an opPopPos and
// an opPopSlot of `slot` undo a pass each time the rest fails, so the loop
// gives its characters back one by one; after the run the match goes on at
// `exit`.
struct cPatRun {
    cPatInstruction test; // opChar (never 0), opAnyChar, opInSet or opNotInSet
    std::uint32_t slot;   // where a pass's start is kept
    std::uint32_t resume;
    std::uint32_t exit;
};

// A lazy loop over any character ("X*?" or the loop of "X+?" with X "."):
//   (head) opLazyAny; opAnyChar; opJump head; (rest)
// opLazyAny calls `rest` as opCall would. When the rest can only begin with
// a member of a skip set, it first moves to the next such character, since
// the rest fails at every place between.
struct cPatLazyAny {
    std::uint32_t rest;
    std::uint32_t skipSet; // kPatNoSkipSet, or an index into the skip sets
};
inline constexpr std::uint32_t kPatNoSkipSet = 0xFFFFFFFFu;

// Characters where a match or the rest of a lazy loop may begin. A search for
// the next one runs through the member list when the set is this small.
struct cPatSkipSet {
    static constexpr int kMaxListed = 8;
    cPatCharSet set;
    char members[kMaxListed + 1]; // zero-terminated member list when useMembers
    bool useMembers;
};

// A compiled program: the instructions and the tables their operands name.
struct cPatProgram {
    std::vector<cPatInstruction> code;
    std::vector<cPatCharSet> sets;
    std::vector<cPatRun> runs;
    std::vector<cPatLazyAny> lazyAnyLoops;
    std::uint32_t groupCount = 0;
    std::uint32_t slotCount = 0;
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
    friend class cPatBacktrackStack;
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
    std::uint32_t groupCount() const { return program_.groupCount; }
    std::uint32_t slotCount() const { return program_.slotCount; }
    bool caseSensitive() const { return caseSensitive_; }
    // The compiled program, for tests and diagnostics.
    const std::vector<cPatInstruction>& instructions() const { return program_.code; }

private:
    void clear();
    // Works out the matcher's skip sets after a successful compile; they
    // never change what a match reports.
    void buildFastPaths();
    // Runs the program on `subject`; `stop` receives where matching ended.
    bool execute(const unsigned char* subject, cPatternMatch& context,
                 const unsigned char*& stop) const;

    std::int32_t lastError_ = 0;
    bool caseSensitive_ = true;
    cPatProgram program_;
    std::vector<cPatSkipSet> skipSets_;
    // The skip set of the characters a match can start with (unanchored
    // patterns only), or kPatNoSkipSet.
    std::uint32_t startSet_ = kPatNoSkipSet;
};

// The text of capture group `index` of the last match held by `context`; empty
// for a group that took no part, a failed match, or an index out of range.
std::string getGroup(const cPatternMatch& context, std::uint32_t index);

} // namespace quarry
