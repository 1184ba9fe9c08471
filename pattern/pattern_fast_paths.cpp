// The matcher's skip sets, worked out once per compiled pattern.
//
// Both rest on the set of characters that the code from some instruction on
// can consume first. A place where the next character is not in that set is
// one where that code fails before consuming anything, so the matcher may
// skip such places without changing any result:
// - a lazy loop over any character (cPatLazyAny) tries its rest at every
//   position; it jumps to the next possible start;
// - an unanchored pattern starts its next attempt at the next character a
//   match can begin with.
// The set is unusable (no fast path) when the code can succeed without
// consuming, or looks behind or back at positions in ways the walk does not
// follow (look-ahead, back-references, the terminator).
#include "pattern/pattern.h"

#include <bit>

namespace quarry {

namespace {

// Instructions one walk may visit; beyond that the walk gives up, so the
// skip sets cost at most this much per loop however large the pattern.
constexpr std::size_t kWalkBudget = 256;

// Scratch for the walks: instructions visited by the current walk carry its
// stamp, so no walk clears a table as large as the program.
struct cWalkScratch {
    std::vector<std::uint32_t> visitedStamp;
    std::uint32_t stamp = 0;
    std::vector<std::uint32_t> work;
};

// Adds what one character test can consume to `first`; false when that is
// any character or the terminator.
bool addTest(const cPatProgram& program, const cPatInstruction& test, cPatCharSet& first) {
    switch (test.kind) {
    case opChar:
        if (test.operand == 0) return false;
        first.add(static_cast<unsigned char>(test.operand));
        return true;
    case opInSet:
    case opNotInSet: {
        const cPatCharSet& set = program.sets[test.operand];
        for (std::size_t b = 0; b < sizeof set.bits; ++b)
            first.bits[b] |=
                test.kind == opInSet ? set.bits[b] : static_cast<unsigned char>(~set.bits[b]);
        first.bits[0] &= static_cast<unsigned char>(~1u); // the terminator is never consumed
        return true;
    }
    default: // opAnyChar
        return false;
    }
}

// Collects the first-consumed characters reachable from `from` into `first`;
// false when no useful set exists.
bool firstCharacters(const cPatProgram& program, std::uint32_t from, cPatCharSet& first,
                     cWalkScratch& scratch) {
    const std::vector<cPatInstruction>& code = program.code;
    first = cPatCharSet();
    ++scratch.stamp;
    std::vector<std::uint32_t>& work = scratch.work;
    work.assign(1, from);
    std::size_t budget = kWalkBudget;
    while (!work.empty()) {
        const std::uint32_t i = work.back();
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
        case opLazyAny:
            work.push_back(program.lazyAnyLoops[ins.operand].rest);
            work.push_back(i + 1);
            break;
        case opRun: {
            // The run may take none of its characters.
            const cPatRun& run = program.runs[ins.operand];
            if (!addTest(program, run.test, first)) return false;
            work.push_back(run.exit);
            break;
        }
        case opReturn:
        case opFail:
        case opAdvanceStart:
            break;
        case opChar:
        case opAnyChar:
        case opInSet:
        case opNotInSet:
            if (!addTest(program, ins, first)) return false;
            break;
        default: // opMatch, opBackReference, opDepthToSlot, opSlotToPos, opSlotToDepth
            return false;
        }
    }
    for (std::size_t b = 0; b < sizeof first.bits; ++b)
        if (first.bits[b] != (b == 0 ? 0xFE : 0xFF)) return true;
    return false; // every character: nothing to skip
}

// The skip set of `first`, which never holds the terminator. Its members
// are listed while they are few; the count stops one past the list.
cPatSkipSet skipSetOf(const cPatCharSet& first) {
    constexpr int kMaxListed = cPatSkipSet::kMaxListed;
    cPatSkipSet skip{};
    skip.set = first;
    int count = 0;
    for (unsigned b = 0; b < sizeof first.bits && count <= kMaxListed; ++b)
        for (unsigned bits = first.bits[b]; bits != 0 && count <= kMaxListed; bits &= bits - 1) {
            if (count < kMaxListed)
                skip.members[count] = static_cast<char>(8 * b + std::countr_zero(bits));
            ++count;
        }
    skip.useMembers = count <= kMaxListed;
    return skip;
}

} // namespace

void cPattern::buildFastPaths() {
    skipSets_.clear();
    startSet_ = kPatNoSkipSet;
    const std::vector<cPatInstruction>& code = program_.code;
    cWalkScratch scratch;
    scratch.visitedStamp.assign(code.size(), 0);
    cPatCharSet first;
    auto addSkipSet = [&]() {
        skipSets_.push_back(skipSetOf(first));
        return static_cast<std::uint32_t>(skipSets_.size() - 1);
    };
    // Instruction 0 calls the pattern's code; instruction 1 is the retry.
    if (code[1].kind == opAdvanceStart &&
        firstCharacters(program_, code[0].operand, first, scratch))
        startSet_ = addSkipSet();
    for (cPatLazyAny& loop : program_.lazyAnyLoops)
        if (firstCharacters(program_, loop.rest, first, scratch)) loop.skipSet = addSkipSet();
}

} // namespace quarry
