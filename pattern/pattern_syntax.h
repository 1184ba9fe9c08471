// The parsed form of a pattern, which the parser builds and the emitter turns
// into a program: nodes in one vector, the nodes of a sequence (and the
// alternatives of an alternation) chained through `next`.
#pragma once

#include "pattern/pattern.h"

#include <cstdint>
#include <vector>

namespace quarry {

inline constexpr std::uint32_t kPatNoNode = 0xFFFFFFFFu;

enum class ePatNode : std::uint8_t {
    leaf,        // one instruction, `op` with operand `value`
    capture,     // group `value` around the sequence `body`
    grouping,    // the sequence `body`
    lookAhead,   // fails where the atom `body` matches
    repeat,      // the atom `body` under `quantifier`
    alternation, // the alternatives chained from `body`, each a quantified atom
};

// Sixteen bytes, so that a long pattern's nodes take little of the cache.
struct cPatNode {
    ePatNode kind = ePatNode::leaf;
    std::uint8_t op = opNop;            // leaf: an ePatOp
    unsigned char quantifier = 0;       // repeat: '*', '+' or '?'
    bool lazy : 1 = false;              // repeat: "*?", "+?" or "??"
    bool operandCanBeEmpty : 1 = false; // repeat: the atom can match without consuming
    std::uint32_t value = 0;            // leaf: the operand; capture: the group
    std::uint32_t body = kPatNoNode;
    std::uint32_t next = kPatNoNode;
};
static_assert(sizeof(cPatNode) == 16);

struct cPatSyntax {
    std::vector<cPatNode> nodes;
    std::uint32_t sequence = kPatNoNode; // the whole pattern
    bool anchored = false;               // it began with "^"
    std::uint32_t groupCount = 0;
    std::vector<cPatCharSet> sets; // the sets leaves name
};

// Parses the zero-terminated pattern (lowered already when matching ignores
// case); patOk or the error of the first fault in reading order.
std::int32_t parsePattern(const unsigned char* text, cPatSyntax& syntax);

// The number of instructions `syntax` compiles to, or kPatMaxInstructions + 1
// when that is more than allowed.
std::uint64_t countProgram(const cPatSyntax& syntax);

// Emits the program for `syntax` into the empty `program`, taking the sets;
// patOutOfMemory, before emitting anything, when it would be too large.
std::int32_t emitProgram(cPatSyntax& syntax, cPatProgram& program);

} // namespace quarry
