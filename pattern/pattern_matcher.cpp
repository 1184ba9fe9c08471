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

bool cPattern::execute(const unsigned char* subject, cPatternMatch& context,
                       const unsigned char*& stop) const {
    const cPatInstruction* code = instructions_.data();
    const std::uint32_t* skipIndex = skipSetIndex_.data();
    const cSkipSet* skipSets = skipSets_.data();
    const std::uint8_t* runHead = runHead_.data();
    const char** groups = context.groups();
    std::uintptr_t* slots = context.slots_;
    std::uintptr_t* stack = context.stack();
    const std::size_t limit = context.maxStackEntries_;
    std::size_t capacity = std::min<std::size_t>(context.stackCapacity(), limit);
    std::size_t depth = 0;

    // Grows the stack so `need` more cells fit; false once the bound is hit.
    auto reserve = [&](std::size_t need) -> bool {
        if (depth + need <= capacity) return true;
        if (depth + need > limit) return false;
        std::size_t grown = std::min<std::size_t>(2 * (depth + need) + 2, limit);
        context.growStack(grown, depth);
        stack = context.stack();
        capacity = grown;
        return true;
    };
    // Finds the next member of skip set `index` at or after `from`, or the
    // terminator. The last answer per set is remembered: a later search that
    // starts between its start and its result has the same result, so the
    // searches repeated from each new attempt do not rescan the text.
    const unsigned char** cache = context.skipCache_;
    auto skipTo = [&](std::uint32_t index, const unsigned char* from) -> const unsigned char* {
        const unsigned char*& lastFrom = cache[2 * index];
        const unsigned char*& lastFound = cache[2 * index + 1];
        if (lastFrom != nullptr && lastFrom <= from && from <= lastFound) return lastFound;
        const cSkipSet& set = skipSets[index];
        const unsigned char* p = from;
        if (set.useMembers) {
            p += std::strcspn(reinterpret_cast<const char*>(p), set.members);
        } else {
            while (*p && !patMapHas(set.map, *p))
                ++p;
        }
        lastFrom = from;
        lastFound = p;
        return p;
    };

    // 0, or 1 + the skip set of the characters a match can start with.
    const std::uint32_t startSet = skipIndex[cPatProgram::retry];
    const unsigned char* attempt = subject;
    if (startSet != 0) {
        attempt = skipTo(startSet - 1, attempt);
        if (*attempt == 0) {
            stop = attempt;
            context.matchStart_ = reinterpret_cast<const char*>(attempt);
            return false;
        }
    }
    const unsigned char* pos = attempt;
    std::uint32_t pc = cPatProgram::callBody;

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
            if (*pos == 0 || !patMapHas(patSetMap(code + pc), *pos)) goto backtrack;
            ++pos;
            pc += kPatSetCells;
            continue;
        case opNotInSet:
            if (*pos == 0 || patMapHas(patSetMap(code + pc), *pos)) goto backtrack;
            ++pos;
            pc += kPatSetCells;
            continue;
        case opJump:
            pc = ins.operand;
            continue;
        case opPushPos:
            if (!reserve(1)) goto exhausted;
            stack[depth++] = reinterpret_cast<std::uintptr_t>(pos);
            ++pc;
            continue;
        case opPopPos:
            pos = reinterpret_cast<const unsigned char*>(stack[--depth]);
            ++pc;
            continue;
        case opCall:
            if (skipIndex[pc] != 0) {
                // Lazy any-character loop: its continuation can only start
                // at a member of the set, so go straight to the next one.
                pos = skipTo(skipIndex[pc] - 1, pos);
                if (*pos == 0) goto backtrack;
            }
            if (!reserve(2)) goto exhausted;
            stack[depth++] = reinterpret_cast<std::uintptr_t>(pos);
            stack[depth++] = pc + 1;
            pc = ins.operand;
            continue;
        case opReturn:
            goto backtrack;
        case opPushSlot:
            if (runHead[pc]) {
                // A greedy loop (cPatGreedyLoop) over one character test:
                // take the whole run at once and leave, per pass, the entries
                // the loop would (old slot value, position, and the call
                // entry that resumes at PopPos), then go on after the loop.
                using L = cPatGreedyLoop;
                constexpr std::size_t kEntriesPerPass = 4;
                const cPatInstruction* test = code + pc + L::body;
                const unsigned char* end = pos;
                switch (test->kind) {
                case opChar:
                    while (*end == test->operand)
                        ++end;
                    break;
                case opAnyChar:
                    end += std::strlen(reinterpret_cast<const char*>(end));
                    break;
                case opInSet:
                    while (*end && patMapHas(patSetMap(test), *end))
                        ++end;
                    break;
                default: // opNotInSet
                    while (*end && !patMapHas(patSetMap(test), *end))
                        ++end;
                    break;
                }
                std::size_t count = static_cast<std::size_t>(end - pos);
                // The loop's last, failing pass needs its entries too.
                if (!reserve(kEntriesPerPass * (count + 1))) goto exhausted;
                std::uintptr_t saved = slots[ins.operand];
                for (const unsigned char* p = pos; p < end; ++p) {
                    stack[depth++] = saved;
                    stack[depth++] = reinterpret_cast<std::uintptr_t>(p);
                    stack[depth++] = reinterpret_cast<std::uintptr_t>(p);
                    stack[depth++] = pc + L::restorePosition;
                    saved = reinterpret_cast<std::uintptr_t>(p + 1);
                }
                slots[ins.operand] = saved;
                pos = end;
                pc = code[pc + L::exit].operand;
                continue;
            }
            if (!reserve(1)) goto exhausted;
            stack[depth++] = slots[ins.operand];
            ++pc;
            continue;
        case opPopSlot:
            slots[ins.operand] = stack[--depth];
            ++pc;
            continue;
        case opPosToSlot:
            slots[ins.operand] = reinterpret_cast<std::uintptr_t>(pos);
            ++pc;
            continue;
        case opDepthToSlot:
            slots[ins.operand] = depth;
            ++pc;
            continue;
        case opSlotToPos:
            pos = reinterpret_cast<const unsigned char*>(slots[ins.operand]);
            ++pc;
            continue;
        case opSlotToDepth:
            depth = slots[ins.operand];
            ++pc;
            continue;
        case opFailIfNoProgress:
            if (reinterpret_cast<std::uintptr_t>(pos) == slots[ins.operand]) goto backtrack;
            ++pc;
            continue;
        case opBackReference: {
            // A group without complete text on this path (not yet closed,
            // or closed before its latest opening) holds the empty text.
            const char* start = groups[2 * ins.operand];
            const char* end = groups[2 * ins.operand + 1];
            if (start != nullptr && end != nullptr && end > start) {
                std::size_t length = static_cast<std::size_t>(end - start);
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
            if (startSet != 0) attempt = skipTo(startSet - 1, attempt);
            if (*attempt == 0) {
                pos = attempt;
                goto failed;
            }
            pos = attempt;
            depth = 0;
            pc = cPatProgram::callBody;
            continue;
        case opMatch:
            context.matchStart_ = reinterpret_cast<const char*>(attempt);
            stop = pos;
            return true;
        case opPushGroup:
            if (!reserve(2)) goto exhausted;
            stack[depth++] = reinterpret_cast<std::uintptr_t>(groups[2 * ins.operand]);
            stack[depth++] = reinterpret_cast<std::uintptr_t>(groups[2 * ins.operand + 1]);
            ++pc;
            continue;
        case opPopGroup:
            groups[2 * ins.operand + 1] = reinterpret_cast<const char*>(stack[--depth]);
            groups[2 * ins.operand] = reinterpret_cast<const char*>(stack[--depth]);
            ++pc;
            continue;
        default:
            goto failed;
        }
    backtrack:
        if (depth < 2) goto failed; // cannot happen with a compiled program
        pc = static_cast<std::uint32_t>(stack[--depth]);
        pos = reinterpret_cast<const unsigned char*>(stack[--depth]);
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
    if (lastError_ != patOk || instructions_.empty()) return false;

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
        ctx.prepare(groupCount_, slotCount_, skipSets_.size());
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
    for (std::size_t i = 0; i < 2 * static_cast<std::size_t>(groupCount_); ++i)
        groups[i] = matched ? toCaller(groups[i]) : nullptr;
    if (endOut) *endOut = ctx.matchEnd_;
    return matched;
}

} // namespace quarry
