// The matcher: one loop over the instruction list with all backtracking
// state on the context's explicit stack.
//
// A call entry is two stack cells, the position and then the instruction
// index to resume at; backtracking pops both, so every resumed path starts
// from the position it was saved at (a lazy loop relies on that). The other
// pushes (position, slot, group) are single cells popped by the instruction
// that follows the call which guards them.
#include "pattern/pattern.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quarry {

// The backtrack stack of one match: the context's cells, grown on demand up
// to the context's bound.
class cPatBacktrackStack {
public:
    explicit cPatBacktrackStack(cPatternMatch& context)
        : context_(context), cells_(context.stack()), limit_(context.maxStackEntries_),
          capacity_(std::min<std::size_t>(context.stackCapacity(), limit_)) {}

    // Makes room for `count` more entries; false when that would pass the bound.
    bool reserve(std::size_t count) {
        if (depth + count <= capacity_) return true;
        if (depth + count > limit_) return false;
        capacity_ = std::min<std::size_t>(2 * (depth + count) + 2, limit_);
        context_.growStack(capacity_, depth);
        cells_ = context_.stack();
        return true;
    }
    void push(std::uintptr_t value) { cells_[depth++] = value; }
    std::uintptr_t pop() { return cells_[--depth]; }

    std::size_t depth = 0; // entries in use

private:
    cPatternMatch& context_;
    std::uintptr_t* cells_;
    const std::size_t limit_;
    std::size_t capacity_;
};

namespace {

std::uintptr_t cell(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

// Finds the next member of a skip set at or after a place, or the
// terminator. The last answer per set is remembered: a later search that
// starts between its start and its result has the same result, so the
// searches repeated from each new attempt do not rescan the text.
class cSkipSearch {
public:
    cSkipSearch(const cPatSkipSet* sets, const unsigned char** cache)
        : sets_(sets), cache_(cache) {}

    const unsigned char* next(std::uint32_t index, const unsigned char* from) {
        const unsigned char*& lastFrom = cache_[2 * index];
        const unsigned char*& lastFound = cache_[2 * index + 1];
        if (lastFrom != nullptr && lastFrom <= from && from <= lastFound) return lastFound;
        const cPatSkipSet& skip = sets_[index];
        const unsigned char* p = from;
        if (skip.useMembers) {
            p += std::strcspn(reinterpret_cast<const char*>(p), skip.members);
        } else {
            while (*p && !skip.set.has(*p))
                ++p;
        }
        lastFrom = from;
        lastFound = p;
        return p;
    }

private:
    const cPatSkipSet* sets_;
    const unsigned char** cache_;
};

// Takes a greedy run (cPatRun) whole: every character from `pos` on that
// the test accepts, leaving per character the entries one pass of the loop
// leaves, and the slot as the loop leaves it. False when the stack bound
// stops the loop, which then fails the match as the loop itself would.
bool takeRun(const cPatRun& run, const cPatCharSet* sets, std::uintptr_t* slots,
             const unsigned char*& pos, cPatBacktrackStack& stack) {
    constexpr std::size_t kEntriesPerPass = 4;
    const unsigned char* end = pos;
    switch (run.test.kind) {
    case opChar:
        while (*end == run.test.operand)
            ++end;
        break;
    case opAnyChar:
        end += std::strlen(reinterpret_cast<const char*>(end));
        break;
    case opInSet:
        while (*end && sets[run.test.operand].has(*end))
            ++end;
        break;
    default: // opNotInSet
        while (*end && !sets[run.test.operand].has(*end))
            ++end;
        break;
    }
    const auto count = static_cast<std::size_t>(end - pos);
    // The loop's last, failing pass needs its entries too.
    if (!stack.reserve(kEntriesPerPass * (count + 1))) return false;
    std::uintptr_t saved = slots[run.slot];
    for (const unsigned char* p = pos; p < end; ++p) {
        stack.push(saved);      // PushSlot
        stack.push(cell(p));    // PushPos
        stack.push(cell(p));    // Call: the position,
        stack.push(run.resume); // and where to resume
        saved = cell(p + 1);    // PosToSlot after the pass
    }
    slots[run.slot] = saved;
    pos = end;
    return true;
}

} // namespace

bool cPattern::execute(const unsigned char* subject, cPatternMatch& context,
                       const unsigned char*& stop) const {
    const cPatInstruction* code = program_.code.data();
    const cPatCharSet* sets = program_.sets.data();
    const cPatRun* runs = program_.runs.data();
    const cPatLazyAny* lazyAnyLoops = program_.lazyAnyLoops.data();
    const char** groups = context.groups();
    std::uintptr_t* slots = context.slots_;
    cPatBacktrackStack stack(context);
    cSkipSearch skip(skipSets_.data(), context.skipCache_);

    const unsigned char* attempt = subject;
    if (startSet_ != kPatNoSkipSet) {
        attempt = skip.next(startSet_, attempt);
        if (*attempt == 0) {
            stop = attempt;
            context.matchStart_ = reinterpret_cast<const char*>(attempt);
            return false;
        }
    }
    const unsigned char* pos = attempt;
    std::uint32_t pc = 0;

    for (;;) {
        const cPatInstruction ins = code[pc];
        switch (ins.kind) {
        case opNop:
            ++pc;
            continue;
        case opGroupOpen:
            groups[2 * ins.operand] = reinterpret_cast<const char*>(pos);
            ++pc;
            continue;
        case opGroupClose:
            groups[2 * ins.operand + 1] = reinterpret_cast<const char*>(pos);
            ++pc;
            continue;
        case opChar:
            if (*pos != ins.operand) goto backtrack;
            ++pos;
            ++pc;
            continue;
        case opAnyChar:
            if (*pos == 0) goto backtrack;
            ++pos;
            ++pc;
            continue;
        case opInSet:
            if (*pos == 0 || !sets[ins.operand].has(*pos)) goto backtrack;
            ++pos;
            ++pc;
            continue;
        case opNotInSet:
            if (*pos == 0 || sets[ins.operand].has(*pos)) goto backtrack;
            ++pos;
            ++pc;
            continue;
        case opJump:
            pc = ins.operand;
            continue;
        case opPushPos:
            if (!stack.reserve(1)) goto exhausted;
            stack.push(cell(pos));
            ++pc;
            continue;
        case opPopPos:
            pos = reinterpret_cast<const unsigned char*>(stack.pop());
            ++pc;
            continue;
        case opCall:
            if (!stack.reserve(2)) goto exhausted;
            stack.push(cell(pos));
            stack.push(pc + 1);
            pc = ins.operand;
            continue;
        case opReturn:
            goto backtrack;
        case opPushSlot:
            if (!stack.reserve(1)) goto exhausted;
            stack.push(slots[ins.operand]);
            ++pc;
            continue;
        case opPopSlot:
            slots[ins.operand] = stack.pop();
            ++pc;
            continue;
        case opPosToSlot:
            slots[ins.operand] = cell(pos);
            ++pc;
            continue;
        case opDepthToSlot:
            slots[ins.operand] = stack.depth;
            ++pc;
            continue;
        case opSlotToPos:
            pos = reinterpret_cast<const unsigned char*>(slots[ins.operand]);
            ++pc;
            continue;
        case opSlotToDepth:
            stack.depth = slots[ins.operand];
            ++pc;
            continue;
        case opFailIfNoProgress:
            if (cell(pos) == slots[ins.operand]) goto backtrack;
            ++pc;
            continue;
        case opBackReference: {
            // A group without complete text on this path (not yet closed,
            // or closed before its latest opening) holds the empty text.
            const char* start = groups[2 * ins.operand];
            const char* end = groups[2 * ins.operand + 1];
            if (start != nullptr && end != nullptr && end > start) {
                const auto length = static_cast<std::size_t>(end - start);
                // Group texts hold no terminator, so this stops at the
                // text's end instead of reading past it.
                if (std::strncmp(reinterpret_cast<const char*>(pos), start, length) != 0)
                    goto backtrack;
                pos += length;
            }
            ++pc;
            continue;
        }
        case opFail:
            goto failed;
        case opAdvanceStart:
            if (*attempt == 0) goto failed;
            ++attempt;
            if (startSet_ != kPatNoSkipSet) attempt = skip.next(startSet_, attempt);
            if (*attempt == 0) {
                pos = attempt;
                goto failed;
            }
            pos = attempt;
            stack.depth = 0;
            pc = 0;
            continue;
        case opMatch:
            context.matchStart_ = reinterpret_cast<const char*>(attempt);
            stop = pos;
            return true;
        case opPushGroup:
            if (!stack.reserve(2)) goto exhausted;
            stack.push(cell(groups[2 * ins.operand]));
            stack.push(cell(groups[2 * ins.operand + 1]));
            ++pc;
            continue;
        case opPopGroup:
            groups[2 * ins.operand + 1] = reinterpret_cast<const char*>(stack.pop());
            groups[2 * ins.operand] = reinterpret_cast<const char*>(stack.pop());
            ++pc;
            continue;
        case opRun: {
            const cPatRun& run = runs[ins.operand];
            if (!takeRun(run, sets, slots, pos, stack)) goto exhausted;
            pc = run.exit;
            continue;
        }
        case opLazyAny: {
            const cPatLazyAny& loop = lazyAnyLoops[ins.operand];
            if (loop.skipSet != kPatNoSkipSet) {
                pos = skip.next(loop.skipSet, pos);
                if (*pos == 0) goto backtrack;
            }
            if (!stack.reserve(2)) goto exhausted;
            stack.push(cell(pos));
            stack.push(pc + 1);
            pc = loop.rest;
            continue;
        }
        default:
            goto failed;
        }
    backtrack:
        if (stack.depth < 2) goto failed; // cannot happen with a compiled program
        pc = static_cast<std::uint32_t>(stack.pop());
        pos = reinterpret_cast<const unsigned char*>(stack.pop());
        continue;
    exhausted:
        // The match would need more stack entries than the context allows.
        break;
    }
failed:
    context.matchStart_ = reinterpret_cast<const char*>(attempt);
    stop = pos;
    return false;
}

bool cPattern::match(const char* text, cPatternMatch* context, const char** endOut) const {
    if (text == nullptr || context == nullptr) return false;
    if (endOut) *endOut = nullptr;
    cPatternMatch& ctx = *context;
    ctx.matched_ = false;
    ctx.matchStart_ = nullptr;
    ctx.matchEnd_ = nullptr;
    ctx.groupCount_ = 0;
    if (lastError_ != patOk || program_.code.empty()) return false;

    const unsigned char* subject = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* stop = subject;
    bool matched = false;
    try {
        if (!caseSensitive_) {
            // Match a lowered copy and report positions in the caller's text.
            std::size_t length = std::strlen(text);
            ctx.lowered_.resize(length + 1);
            for (std::size_t i = 0; i <= length; ++i) {
                char c = text[i];
                ctx.lowered_[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            }
            subject = reinterpret_cast<const unsigned char*>(ctx.lowered_.data());
        }
        ctx.prepare(program_.groupCount, program_.slotCount, skipSets_.size());
        matched = execute(subject, ctx, stop);
    } catch (const std::bad_alloc&) {
        ctx.groupCount_ = 0;
        return false;
    }

    const char* base = reinterpret_cast<const char*>(subject);
    auto toCaller = [&](const char* p) -> const char* {
        return p == nullptr ? nullptr : text + (p - base);
    };
    ctx.matched_ = matched;
    ctx.matchStart_ = toCaller(ctx.matchStart_);
    ctx.matchEnd_ = toCaller(reinterpret_cast<const char*>(stop));
    const char** groups = ctx.groups();
    for (std::size_t i = 0; i < 2 * static_cast<std::size_t>(program_.groupCount); ++i)
        groups[i] = matched ? toCaller(groups[i]) : nullptr;
    if (endOut) *endOut = ctx.matchEnd_;
    return matched;
}

} // namespace quarry
