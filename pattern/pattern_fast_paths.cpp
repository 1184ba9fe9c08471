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

// What one walk has seen and has still to see, both bounded by the budget
// whatever the program's size: the instructions it visited, in a small hash
// set whose entries carry the walk's stamp (so no walk clears it), and those
// it has still to visit. A walk processes at most kWalkBudget instructions,
// each adding at most two to visit.
class cWalk {
public:
    void start(std::uint32_t from) {
        ++stamp_;
        waiting_ = 0;
        push(from);
    }
    bool done() const { return waiting_ == 0; }
    void push(std::uint32_t at) { toVisit_[waiting_++] = at; }
    std::uint32_t pop() { return toVisit_[--waiting_]; }
    // Marks instruction `at` visited; false when this walk has visited it.
    bool firstVisit(std::uint32_t at) {
        constexpr std::size_t kMask = kVisitSlots - 1;
        for (std::size_t h = (at * 2654435761u) & kMask;; h = (h + 1) & kMask) {
            if (visited_[h].stamp != stamp_) {
                visited_[h] = cVisit{at, stamp_};
                return true;
            }
            if (visited_[h].at == at) return false;
        }
    }

private:
    struct cVisit {
        std::uint32_t at = 0;
        std::uint32_t stamp = 0;
    };
    static constexpr std::size_t kVisitSlots = 2 * kWalkBudget; // a power of two, at most half full
    static_assert((kVisitSlots & (kVisitSlots - 1)) == 0);
    cVisit visited_[kVisitSlots];
    std::uint32_t stamp_ = 0;
    std::uint32_t toVisit_[2 * kWalkBudget + 1];
    std::size_t waiting_ = 0;
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
                     cWalk& walk) {
    const std::vector<cPatInstruction>& code = program.code;
    first = cPatCharSet();
    walk.start(from);
    std::size_t budget = kWalkBudget;
    while (!walk.done()) {
        const std::uint32_t i = walk.pop();
        if (i >= code.size()) return false;
        if (!walk.firstVisit(i)) continue;
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
            walk.push(i + 1);
            break;
        case opJump:
            walk.push(ins.operand);
            break;
        case opCall:
            // The following instruction runs, at the same position, when the
            // called code fails.
            walk.push(ins.operand);
            walk.push(i + 1);
            break;
        case opLazyAny:
            walk.push(program.lazyAnyLoops[ins.operand].rest);
            walk.push(i + 1);
            break;
        case opRun: {
            // The run may take none of its characters.
            const cPatRun& run = program.runs[ins.operand];
            if (!addTest(program, run.test, first)) return false;
            walk.push(run.exit);
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
    cWalk walk;
    cPatCharSet first;
    auto addSkipSet = [&]() {
        skipSets_.push_back(skipSetOf(first));
        return static_cast<std::uint32_t>(skipSets_.size() - 1);
    };
    // Instruction 0 calls the pattern's code; instruction 1 is the retry.
    if (code[1].kind == opAdvanceStart && firstCharacters(program_, code[0].operand, first, walk))
        startSet_ = addSkipSet();
    for (cPatLazyAny& loop : program_.lazyAnyLoops)
        if (firstCharacters(program_, loop.rest, first, walk)) loop.skipSet = addSkipSet();
}

} // namespace quarry
