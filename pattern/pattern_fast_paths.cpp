// Fast paths for the matcher, worked out once per compiled pattern.
//
// Both rest on the set of characters that the code from some instruction on
// can consume first. A place where the next character is not in that set is
// one where that code fails before consuming anything, so the matcher may
// skip such places without changing any result:
// - a lazy loop over any character (cPatLazyLoop over AnyChar) tries its
//   rest at every position; it jumps to the next possible start;
// - an unanchored pattern starts its next attempt at the next character a
//   match can begin with.
// A third needs no set: a greedy loop over one character test
// (cPatGreedyLoop, repeating) is run by the matcher in one scan, leaving
// exactly the stack entries and slot value the loop would.
// The set is unusable (no fast path) when the code can succeed without
// consuming, or looks behind or back at positions in ways the walk does not
// follow (look-ahead, back-references, the terminator).
#include "pattern/pattern.h"

#include <cstring>

namespace quarry {

namespace {

// Instructions one walk may visit; beyond that the walk gives up, so the
// side table costs at most this much per loop however large the pattern.
constexpr std::size_t kWalkBudget = 256;

// Scratch for the walks: instructions visited by the current walk carry its
// stamp, so no walk clears a table as large as the program.
struct cWalkScratch {
    std::vector<std::uint32_t> visitedStamp;
    std::uint32_t stamp = 0;
    std::vector<std::size_t> work;
};

// Collects the first-consumed characters reachable from `from` into `map`;
// false when no useful set exists.
bool firstCharacters(const std::vector<cPatInstruction>& code, std::size_t from,
                     unsigned char (&map)[kPatCharMapBytes], cWalkScratch& scratch) {
    std::memset(map, 0, sizeof map);
    ++scratch.stamp;
    std::vector<std::size_t>& work = scratch.work;
    work.assign(1, from);
    std::size_t budget = kWalkBudget;
    while (!work.empty()) {
        std::size_t i = work.back();
        work.pop_back();
        if (i >= code.size()) return false;
        if (scratch.visitedStamp[i] == scratch.stamp) continue;
        scratch.visitedStamp[i] = scratch.stamp;
        if (budget-- == 0) return false;
        const cPatInstruction& ins = code[i];
        switch (ins.kind) {
        case opNop:
        case opGroupOpen:
        case opGroupClose:
        case opPushPos:
        case opPopPos:
        case opPushSlot:
        case opPopSlot:
        case opPosToSlot:
        case opPushGroup:
        case opPopGroup:
        case opFailIfNoProgress:
            work.push_back(i + 1);
            break;
        case opJump:
            work.push_back(ins.operand);
            break;
        case opCall:
            // The following instruction runs, at the same position, when the
            // called code fails.
            work.push_back(ins.operand);
            work.push_back(i + 1);
            break;
        case opReturn:
        case opFail:
        case opAdvanceStart:
            break;
        case opChar:
            if (ins.operand == 0) return false;
            patMapAdd(map, static_cast<unsigned char>(ins.operand));
            break;
        case opAnyChar:
            return false;
        case opInSet:
        case opNotInSet: {
            const unsigned char* bits = patSetMap(&code[i]);
            for (std::size_t b = 0; b < kPatCharMapBytes; ++b)
                map[b] |= ins.kind == opInSet ? bits[b] : static_cast<unsigned char>(~bits[b]);
            map[0] &= static_cast<unsigned char>(~1u); // the terminator is never consumed
            break;
        }
        default: // opMatch, opBackReference, opDepthToSlot, opSlotToPos, opSlotToDepth
            return false;
        }
    }
    for (std::size_t b = 0; b < kPatCharMapBytes; ++b)
        if (map[b] != (b == 0 ? 0xFE : 0xFF)) return true;
    return false; // every character: nothing to skip
}

// True when `a` heads a greedy loop (cPatGreedyLoop) whose operand is one
// character test that never consumes the terminator.
bool isSingleCharacterRun(const std::vector<cPatInstruction>& code, std::size_t a) {
    using L = cPatGreedyLoop;
    std::size_t body = a + L::body;
    if (body >= code.size() || code[a + L::saveSlot].kind != opPushSlot) return false;
    auto is = [&code](std::size_t i, std::uint32_t kind, std::size_t operand) {
        return code[i].kind == kind && code[i].operand == operand;
    };
    std::uint32_t m = code[a + L::saveSlot].operand;
    if (!is(a + L::markPass, opPosToSlot, m) || code[a + L::savePosition].kind != opPushPos ||
        !is(a + L::callBody, opCall, body) || code[a + L::restorePosition].kind != opPopPos ||
        !is(a + L::restoreSlot, opPopSlot, m) || code[a + L::exit].kind != opJump)
        return false;
    const cPatInstruction& test = code[body];
    bool oneCharacter = (test.kind == opChar && test.operand != 0) || test.kind == opAnyChar ||
                        test.kind == opInSet || test.kind == opNotInSet;
    if (!oneCharacter) return false;
    std::size_t tail = body + patCells(test.kind);
    return tail + L::repeat < code.size() && is(tail + L::checkProgress, opFailIfNoProgress, m) &&
           is(tail + L::markNextPass, opPosToSlot, m) && is(tail + L::repeat, opJump, a) &&
           code[a + L::exit].operand == tail + L::repeat + 1;
}

// True when `c` heads a lazy loop (cPatLazyLoop) over any character.
bool isLazyAnyCharacterLoop(const std::vector<cPatInstruction>& code, std::size_t c) {
    using L = cPatLazyLoop;
    std::size_t repeat = c + L::body + patCells(opAnyChar);
    return repeat < code.size() && code[c + L::tryRest].kind == opCall &&
           code[c + L::tryRest].operand == repeat + 1 && code[c + L::body].kind == opAnyChar &&
           code[repeat].kind == opJump && code[repeat].operand == c;
}

} // namespace

void cPattern::buildFastPaths() {
    runHead_.assign(instructions_.size(), 0);
    skipSetIndex_.assign(instructions_.size(), 0);
    skipSets_.clear();
    auto addSet = [this](std::size_t at, const unsigned char(&map)[kPatCharMapBytes]) {
        cSkipSet set{};
        std::memcpy(set.map, map, sizeof map);
        int count = 0;
        for (unsigned c = 1; c < 256; ++c) {
            if (!patMapHas(map, static_cast<unsigned char>(c))) continue;
            if (count < cSkipSet::kMaxListed) set.members[count] = static_cast<char>(c);
            ++count;
        }
        set.useMembers = count <= cSkipSet::kMaxListed;
        skipSets_.push_back(set);
        skipSetIndex_[at] = static_cast<std::uint32_t>(skipSets_.size());
    };

    unsigned char map[kPatCharMapBytes];
    const std::vector<cPatInstruction>& code = instructions_;
    cWalkScratch scratch;
    scratch.visitedStamp.assign(code.size(), 0);
    using P = cPatProgram;
    if (code.size() > P::body && code[P::retry].kind == opAdvanceStart &&
        firstCharacters(code, P::body, map, scratch))
        addSet(P::retry, map);
    for (std::size_t c = P::body; c < code.size(); ++c) {
        if (patIsSet(code[c].kind)) {
            c += kPatSetMapCells;
            continue;
        }
        // The loop's rest is what its call tries first.
        if (isLazyAnyCharacterLoop(code, c) &&
            firstCharacters(code, code[c + cPatLazyLoop::tryRest].operand, map, scratch))
            addSet(c, map);
        if (isSingleCharacterRun(code, c)) runHead_[c] = 1;
    }
}

} // namespace quarry
