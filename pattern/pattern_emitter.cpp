// Pattern emitter: counts the instructions a parsed pattern needs, then
// writes each once, in order. A jump or call to code not yet written is
// pointed at its target when the emitter gets there; nothing written moves.
//
// The shapes, with (x) marking the instruction a target names:
//   program      Call body; Fail, or AdvanceStart when unanchored; (body) S; Match
//   {S}          PushGroup g; GroupOpen g; Call s; PopGroup g; Return; (s) S; GroupClose g
//   (S)          Call s; Return; (s) S
//   !X           PushGroup g; ... Call l; ... PopGroup g; Return; (l), for the groups in X,
//                then PosToSlot p; DepthToSlot d; Call x; SlotToPos p; SlotToDepth d;
//                Jump end; (x) X; SlotToPos p; SlotToDepth d; Return; (end)
//   X|Y|Z        PushPos; Call x; PopPos; Jump y; (x) X; Jump end;
//                (y) PushPos; Call y'; PopPos; Jump z; (y') Y; Jump end; (z) Z; (end)
//   X??          Call end; X; (end)
//   X+, X+?      X, then the loop of X*, X*?
//   X*?          (c) Call end; X; Jump c; (end), when X always consumes
//                (c) LazyAny loop; AnyChar; Jump c, when X is "."
//                (c) Call end; PushSlot m; PosToSlot m; Call x; PopSlot m; Return;
//                (x) X; FailIfNoProgress m; Jump c; (end), when X can consume nothing
//   X*, X?       (a) PushSlot m; PosToSlot m; PushPos; Call x; PopPos; PopSlot m; Jump end;
//                (x) X; FailIfNoProgress m; PosToSlot m; Jump a; (end); X? without Jump a
//   X*           Run run; PopPos; PopSlot m, when X is one character test
// An empty S is a Nop. Slot m keeps where a pass of a loop started, so a pass
// that consumes nothing fails instead of repeating forever.
#include "pattern/pattern_syntax.h"

#include <algorithm>
#include <utility>

namespace quarry {

namespace {

// Counts stop growing here, so nested "+" cannot overflow them.
constexpr std::uint64_t kTooMany = std::uint64_t{kPatMaxInstructions} + 1;

bool isOneCharacterTest(const cPatNode& node) {
    if (node.kind != ePatNode::leaf) return false;
    return (node.op == opChar && node.value != 0) || node.op == opAnyChar || node.op == opInSet ||
           node.op == opNotInSet;
}

bool isAnyCharacter(const cPatNode& node) {
    return node.kind == ePatNode::leaf && node.op == opAnyChar;
}

// The capture groups of a construct, numbered in a row from `first`.
struct cGroups {
    std::uint32_t first;
    std::uint32_t count;
};

// Groups are numbered in the order their "{" appear, so those of a construct
// are the first one found and as many after it as there are.
cGroups groupsIn(const std::vector<cPatNode>& nodes, std::uint32_t node) {
    const cPatNode& n = nodes[node];
    cGroups groups{0, 0};
    if (n.kind == ePatNode::capture) groups = cGroups{n.value, 1};
    for (std::uint32_t part = n.body; part != kPatNoNode; part = nodes[part].next) {
        const cGroups inner = groupsIn(nodes, part);
        if (inner.count == 0) continue;
        if (groups.count == 0) groups.first = inner.first;
        groups.count += inner.count;
    }
    return groups;
}

// Counts the instructions of each shape in the table above; the emitter below
// writes them.
class cCounter {
public:
    explicit cCounter(const std::vector<cPatNode>& nodes) : nodes_(nodes) {}

    std::uint64_t sequence(std::uint32_t first) const {
        std::uint64_t cells = 0;
        for (std::uint32_t n = first; n != kPatNoNode; n = nodes_[n].next)
            cells = std::min(cells + (nodes_[n].kind == ePatNode::leaf ? 1 : node(n)), kTooMany);
        return cells;
    }

private:
    std::uint64_t node(std::uint32_t at) const {
        const cPatNode& n = nodes_[at];
        std::uint64_t cells = kTooMany;
        switch (n.kind) {
        case ePatNode::leaf:
            cells = 1;
            break;
        case ePatNode::capture:
            cells = 5 + std::max<std::uint64_t>(sequence(n.body), 1) + 1;
            break;
        case ePatNode::grouping:
            cells = 2 + std::max<std::uint64_t>(sequence(n.body), 1);
            break;
        case ePatNode::lookAhead: {
            const std::uint64_t inside = groupsIn(nodes_, n.body).count;
            cells = (inside > 0 ? 2 * inside + 2 : 0) + 6 + node(n.body) + 3;
            break;
        }
        case ePatNode::alternation:
            // Every alternative but the last has a head of four and a jump.
            cells = 0;
            for (std::uint32_t a = n.body; a != kPatNoNode; a = nodes_[a].next)
                cells =
                    std::min(cells + node(a) + (nodes_[a].next != kPatNoNode ? 5 : 0), kTooMany);
            break;
        case ePatNode::repeat:
            cells = repeat(n);
            break;
        }
        return std::min(cells, kTooMany);
    }

    std::uint64_t repeat(const cPatNode& r) const {
        const std::uint64_t x = node(r.body);
        if (r.quantifier == '?' && r.lazy) return 1 + x;
        const std::uint64_t first = r.quantifier == '+' ? x : 0;
        if (r.lazy && !r.operandCanBeEmpty) return first + 1 + x + 1;
        if (r.lazy) return first + 6 + x + 2;
        if (r.quantifier != '?' && isOneCharacterTest(nodes_[r.body])) return first + 3;
        return first + 7 + x + 2 + (r.quantifier != '?' ? 1 : 0);
    }

    const std::vector<cPatNode>& nodes_;
};

class cEmitter {
public:
    cEmitter(const cPatSyntax& syntax, cPatProgram& program)
        : nodes_(syntax.nodes), program_(program), code_(program.code) {}

    void emitProgram(std::uint32_t sequence, bool anchored);

private:
    std::uint32_t here() const { return static_cast<std::uint32_t>(code_.size()); }
    std::uint32_t emit(std::uint32_t kind, std::uint32_t operand = 0) {
        code_.push_back(cPatInstruction{kind, operand});
        return here() - 1;
    }
    // Points the jump or call at `at` to the next instruction.
    void pointHere(std::uint32_t at) { code_[at].operand = here(); }
    std::uint32_t takeSlot() { return program_.slotCount++; }

    void emitSequence(std::uint32_t first);
    void emitBody(std::uint32_t first);
    void emitNode(std::uint32_t node);
    void emitCapture(const cPatNode& capture);
    void emitGrouping(const cPatNode& grouping);
    void emitLookAhead(const cPatNode& lookAhead);
    void emitAlternation(const cPatNode& alternation);
    void emitRepeat(const cPatNode& repeat);
    void emitLazyLoop(std::uint32_t operand);
    void emitCheckedLazyLoop(std::uint32_t operand, std::uint32_t m);
    void emitGreedyLoop(std::uint32_t operand, std::uint32_t m, bool repeat);
    void emitRun(const cPatNode& test, std::uint32_t m);

    const std::vector<cPatNode>& nodes_;
    cPatProgram& program_;
    std::vector<cPatInstruction>& code_;
};

void cEmitter::emitProgram(std::uint32_t sequence, bool anchored) {
    const std::uint32_t call = emit(opCall);
    emit(anchored ? opFail : opAdvanceStart);
    pointHere(call);
    emitSequence(sequence);
    emit(opMatch);
}

void cEmitter::emitSequence(std::uint32_t first) {
    for (std::uint32_t n = first; n != kPatNoNode; n = nodes_[n].next) {
        const cPatNode& node = nodes_[n];
        if (node.kind == ePatNode::leaf)
            emit(node.op, node.value);
        else
            emitNode(n);
    }
}

// The contents of a group: a Nop when empty, so the call into it has a target
// of its own.
void cEmitter::emitBody(std::uint32_t first) {
    if (first == kPatNoNode)
        emit(opNop);
    else
        emitSequence(first);
}

void cEmitter::emitNode(std::uint32_t node) {
    const cPatNode& n = nodes_[node];
    switch (n.kind) {
    case ePatNode::leaf:
        emit(n.op, n.value);
        return;
    case ePatNode::capture:
        emitCapture(n);
        return;
    case ePatNode::grouping:
        emitGrouping(n);
        return;
    case ePatNode::lookAhead:
        emitLookAhead(n);
        return;
    case ePatNode::alternation:
        emitAlternation(n);
        return;
    case ePatNode::repeat:
        emitRepeat(n);
        return;
    }
}

void cEmitter::emitCapture(const cPatNode& capture) {
    const std::uint32_t g = capture.value;
    emit(opPushGroup, g);
    emit(opGroupOpen, g);
    const std::uint32_t call = emit(opCall);
    emit(opPopGroup, g);
    emit(opReturn);
    pointHere(call);
    emitBody(capture.body);
    emit(opGroupClose, g);
}

void cEmitter::emitGrouping(const cPatNode& grouping) {
    const std::uint32_t call = emit(opCall);
    emit(opReturn);
    pointHere(call);
    emitBody(grouping.body);
}

void cEmitter::emitLookAhead(const cPatNode& lookAhead) {
    // When the atom matches, the look-ahead drops the stack entries the atom
    // pushed, among them those that would restore its groups; saving those
    // groups around the look-ahead leaves them as they were when it fails.
    const cGroups inside = groupsIn(nodes_, lookAhead.body);
    if (inside.count > 0) {
        for (std::uint32_t g = inside.first; g < inside.first + inside.count; ++g)
            emit(opPushGroup, g);
        const std::uint32_t call = emit(opCall);
        for (std::uint32_t g = inside.first + inside.count; g-- > inside.first;)
            emit(opPopGroup, g);
        emit(opReturn);
        pointHere(call);
    }
    const std::uint32_t p = takeSlot();
    const std::uint32_t d = takeSlot();
    emit(opPosToSlot, p);
    emit(opDepthToSlot, d);
    const std::uint32_t call = emit(opCall);
    emit(opSlotToPos, p);
    emit(opSlotToDepth, d);
    const std::uint32_t pastAtom = emit(opJump);
    pointHere(call);
    emitNode(lookAhead.body);
    emit(opSlotToPos, p);
    emit(opSlotToDepth, d);
    emit(opReturn);
    pointHere(pastAtom);
}

void cEmitter::emitAlternation(const cPatNode& alternation) {
    // The jumps to the end wait in a chain through their operands until the
    // end is reached.
    constexpr std::uint32_t kChainEnd = 0xFFFFFFFFu;
    std::uint32_t jumpsToEnd = kChainEnd;
    std::uint32_t a = alternation.body;
    for (; nodes_[a].next != kPatNoNode; a = nodes_[a].next) {
        emit(opPushPos);
        const std::uint32_t call = emit(opCall);
        emit(opPopPos);
        const std::uint32_t toNext = emit(opJump);
        pointHere(call);
        emitNode(a);
        jumpsToEnd = emit(opJump, jumpsToEnd);
        pointHere(toNext);
    }
    emitNode(a);
    while (jumpsToEnd != kChainEnd)
        pointHere(std::exchange(jumpsToEnd, code_[jumpsToEnd].operand));
}

void cEmitter::emitRepeat(const cPatNode& repeat) {
    const std::uint32_t x = repeat.body;
    if (repeat.quantifier == '?' && repeat.lazy) {
        const std::uint32_t call = emit(opCall);
        emitNode(x);
        pointHere(call);
        return;
    }
    if (repeat.quantifier == '+') emitNode(x);
    // A lazy loop whose every pass consumes cannot spin.
    if (repeat.lazy && !repeat.operandCanBeEmpty) return emitLazyLoop(x);
    const std::uint32_t m = takeSlot();
    if (repeat.lazy) return emitCheckedLazyLoop(x, m);
    if (repeat.quantifier != '?' && isOneCharacterTest(nodes_[x])) return emitRun(nodes_[x], m);
    emitGreedyLoop(x, m, repeat.quantifier != '?');
}

void cEmitter::emitLazyLoop(std::uint32_t operand) {
    const std::uint32_t head = here();
    if (isAnyCharacter(nodes_[operand])) {
        const auto loop = static_cast<std::uint32_t>(program_.lazyAnyLoops.size());
        program_.lazyAnyLoops.push_back(cPatLazyAny{0, kPatNoSkipSet});
        emit(opLazyAny, loop);
        emit(opAnyChar);
        emit(opJump, head);
        program_.lazyAnyLoops[loop].rest = here();
        return;
    }
    emit(opCall);
    emitNode(operand);
    emit(opJump, head);
    pointHere(head);
}

void cEmitter::emitCheckedLazyLoop(std::uint32_t operand, std::uint32_t m) {
    const std::uint32_t head = emit(opCall);
    emit(opPushSlot, m);
    emit(opPosToSlot, m);
    const std::uint32_t call = emit(opCall);
    emit(opPopSlot, m);
    emit(opReturn);
    pointHere(call);
    emitNode(operand);
    emit(opFailIfNoProgress, m);
    emit(opJump, head);
    pointHere(head);
}

void cEmitter::emitGreedyLoop(std::uint32_t operand, std::uint32_t m, bool repeat) {
    const std::uint32_t head = emit(opPushSlot, m);
    emit(opPosToSlot, m);
    emit(opPushPos);
    const std::uint32_t call = emit(opCall);
    emit(opPopPos);
    emit(opPopSlot, m);
    const std::uint32_t exit = emit(opJump);
    pointHere(call);
    emitNode(operand);
    emit(opFailIfNoProgress, m);
    emit(opPosToSlot, m);
    if (repeat) emit(opJump, head);
    pointHere(exit);
}

void cEmitter::emitRun(const cPatNode& test, std::uint32_t m) {
    const auto run = static_cast<std::uint32_t>(program_.runs.size());
    emit(opRun, run);
    const std::uint32_t resume = emit(opPopPos);
    emit(opPopSlot, m);
    program_.runs.push_back(cPatRun{cPatInstruction{test.op, test.value}, m, resume, here()});
}

} // namespace

std::uint64_t countProgram(const cPatSyntax& syntax) {
    const std::uint64_t head = 3; // Call, the retry and Match
    return std::min(head + cCounter(syntax.nodes).sequence(syntax.sequence), kTooMany);
}

std::int32_t emitProgram(cPatSyntax& syntax, cPatProgram& program) {
    const std::uint64_t cells = countProgram(syntax);
    if (cells > kPatMaxInstructions) return patOutOfMemory;
    program.code.reserve(cells);
    program.sets.swap(syntax.sets);
    program.groupCount = syntax.groupCount;
    cEmitter(syntax, program).emitProgram(syntax.sequence, syntax.anchored);
    return patOk;
}

} // namespace quarry
