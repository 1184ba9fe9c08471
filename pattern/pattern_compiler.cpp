// Pattern compiler: a recursive-descent parser that emits the flat
// instruction list the matcher runs.
//
// Each construct is parsed once. When a quantifier or an alternation turns
// out to follow an atom, the atom's instructions are moved behind the
// construct's prologue and their jump targets and slot numbers are shifted,
// which gives the same program as compiling the atom again in its final
// place, without the cost of re-parsing (which doubles per nesting level).
#include "pattern/pattern.h"

#include <cstring>
#include <new>

namespace quarry {

namespace {

// What a construct says about matching the empty text, as a function of the
// flag it receives: always false, always true, or the incoming flag.
enum class eEmpty : std::uint8_t { no, yes, pass };

bool applyEmpty(eEmpty e, bool incoming) {
    return e == eEmpty::pass ? incoming : e == eEmpty::yes;
}

eEmpty andEmpty(eEmpty a, bool b) {
    if (!b) return eEmpty::no;
    return a;
}

eEmpty orEmpty(eEmpty a, bool b) {
    if (b) return eEmpty::yes;
    return a;
}

// The result of parsing one construct: the empty-operand flag of the
// pattern's rules, and whether the construct can in fact consume nothing
// (a look-ahead, a back-reference to an empty group, an empty group body).
struct cParsed {
    eEmpty flag;
    bool canBeEmpty;
};

// A quantifier after an atom: "*", "+" or "?", made lazy by a following "?".
struct cQuantifier {
    unsigned char kind;
    bool lazy;
};

// The code emitted for a quantifier's operand, [begin, end), and the first of
// the slots it numbers for itself (it uses no other).
struct cOperand {
    std::size_t begin;
    std::size_t end;
    std::uint32_t firstSlot;
};

// What a quantified atom tells its sequence. Greedy "+" leaves the flag
// false and every other quantifier ("+?" included) true; the construct can
// consume nothing unless it is "+" or "+?" over an operand that cannot.
cParsed quantified(cQuantifier q, const cParsed& atom) {
    if (q.kind == '+' && !q.lazy) return cParsed{eEmpty::no, atom.canBeEmpty};
    return cParsed{eEmpty::yes, q.kind == '+' ? atom.canBeEmpty : true};
}

bool isCloser(unsigned char c) {
    return c == '}' || c == ']' || c == ')';
}

bool atomFollows(const unsigned char* p) {
    return *p != 0 && !isCloser(*p);
}

bool usesTarget(std::uint32_t kind) {
    return kind == opJump || kind == opCall;
}

bool usesSlot(std::uint32_t kind) {
    switch (kind) {
    case opPushSlot:
    case opPopSlot:
    case opPosToSlot:
    case opDepthToSlot:
    case opSlotToPos:
    case opSlotToDepth:
    case opFailIfNoProgress:
        return true;
    default:
        return false;
    }
}

// Abbreviation entries: the letter, then the expansion. Only the
// expansion's first atom (with its quantifier) is compiled.
struct cAbbreviation {
    char letter;
    const char* expansion;
};

const cAbbreviation kAbbreviations[] = {
    {'a', "([a-zA-Z0-9])"},
    {'b', "([ \t])"},
    {'c', "([a-zA-Z])"},
    {'d', "([0-9])"},
    {'h', "([0-9a-fA-F])"},
    {'n', "(\r|(\r?\n))"},
    {'q', "(\"[^\"]*\")|('[^']*')"},
    {'w', "([a-zA-Z]+)"},
    {'z', "([0-9]+)"},
};

const char* findAbbreviation(unsigned char letter) {
    for (const cAbbreviation& entry : kAbbreviations)
        if (static_cast<unsigned char>(entry.letter) == letter) return entry.expansion;
    return nullptr;
}

} // namespace

class cPatternCompiler {
public:
    cPatternCompiler(cPattern& pattern, const unsigned char* text)
        : code_(pattern.instructions_), p_(text) {}

    std::int32_t run(std::uint32_t& groupCount, std::uint32_t& slotCount);

private:
    bool fail(std::int32_t code) {
        if (error_ == patOk) error_ = code;
        return false;
    }
    bool emit(std::uint32_t kind, std::uint32_t operand = 0);
    // Points the jump or call at `at` to the next instruction to be emitted,
    // and returns that instruction's index.
    std::size_t pointHere(std::size_t at) {
        code_[at].operand = static_cast<std::uint32_t>(code_.size());
        return code_.size();
    }
    bool insertGap(std::size_t at, std::size_t count);
    bool appendCopy(std::size_t from, std::size_t to, std::uint32_t slotFrom, std::uint32_t slotTo);
    void shiftSlots(std::size_t from, std::size_t to, std::uint32_t slotFrom, std::uint32_t delta);

    bool parseSequence(cParsed& out);
    bool parseElement(cParsed& out);
    bool parseQuantifiedAtom(cParsed& out);
    bool readQuantifier(cQuantifier& q);
    bool emitQuantifier(cQuantifier q, bool operandCanBeEmpty, cOperand x);
    bool appendLoopCopy(cOperand& x);
    std::uint32_t takeProgressSlot(const cOperand& x);
    bool emitLazyOptional(const cOperand& x);
    bool emitGreedyLoop(const cOperand& x, std::uint32_t m, bool repeat);
    bool emitLazyLoop(const cOperand& x);
    bool emitCheckedLazyLoop(const cOperand& x, std::uint32_t m);
    bool parseAtom(cParsed& out);
    bool parseSet();
    bool parseCapture(cParsed& out);
    bool parseGrouping(cParsed& out);
    bool parseLookAhead(cParsed& out);
    bool parseBackReference();
    bool parseAbbreviation(const char* expansion, cParsed& out);
    bool enter() {
        if (++depth_ > kPatMaxNesting) return fail(patTooDeep);
        return true;
    }
    void leave() { --depth_; }

    std::vector<cPatInstruction>& code_;
    const unsigned char* p_;
    std::uint32_t groups_ = 0;
    std::uint32_t slots_ = 0;
    std::uint32_t depth_ = 0;
    std::int32_t error_ = patOk;
};

bool cPatternCompiler::emit(std::uint32_t kind, std::uint32_t operand) {
    if (code_.size() >= kPatMaxInstructions) return fail(patOutOfMemory);
    code_.push_back(cPatInstruction{kind, operand});
    return true;
}

// Opens `count` cells at `at`, moving what follows and adjusting every jump
// or call target that points at or beyond `at`. Only called for code that
// was emitted last, so targets below `at` stay valid.
bool cPatternCompiler::insertGap(std::size_t at, std::size_t count) {
    if (code_.size() + count > kPatMaxInstructions) return fail(patOutOfMemory);
    code_.insert(code_.begin() + static_cast<std::ptrdiff_t>(at), count, cPatInstruction{opNop, 0});
    for (std::size_t i = at + count; i < code_.size(); ++i) {
        cPatInstruction& ins = code_[i];
        if (patIsSet(ins.kind))
            i += kPatSetMapCells;
        else if (usesTarget(ins.kind) && ins.operand >= at)
            ins.operand += static_cast<std::uint32_t>(count);
    }
    return true;
}

// Adds slot `delta` to every slot number >= slotFrom in [from, to).
void cPatternCompiler::shiftSlots(std::size_t from, std::size_t to, std::uint32_t slotFrom,
                                  std::uint32_t delta) {
    for (std::size_t i = from; i < to; ++i) {
        cPatInstruction& ins = code_[i];
        if (patIsSet(ins.kind))
            i += kPatSetMapCells;
        else if (usesSlot(ins.kind) && ins.operand >= slotFrom)
            ins.operand += delta;
    }
}

// Appends a copy of [from, to) with its targets moved to the new place and
// its slots renumbered from slotFrom to slotTo; group numbers stay.
bool cPatternCompiler::appendCopy(std::size_t from, std::size_t to, std::uint32_t slotFrom,
                                  std::uint32_t slotTo) {
    std::size_t length = to - from;
    if (code_.size() + length > kPatMaxInstructions) return fail(patOutOfMemory);
    std::size_t base = code_.size();
    code_.reserve(base + length);
    for (std::size_t i = from; i < to; ++i)
        code_.push_back(code_[i]);
    std::uint32_t delta = static_cast<std::uint32_t>(base - from);
    for (std::size_t i = base; i < base + length; ++i) {
        cPatInstruction& ins = code_[i];
        if (patIsSet(ins.kind))
            i += kPatSetMapCells;
        else if (usesTarget(ins.kind))
            ins.operand += delta;
        else if (usesSlot(ins.kind) && ins.operand >= slotFrom)
            ins.operand = ins.operand - slotFrom + slotTo;
    }
    return true;
}

std::int32_t cPatternCompiler::run(std::uint32_t& groupCount, std::uint32_t& slotCount) {
    // The head (cPatProgram): call the body; when it fails, an anchored
    // pattern fails and any other tries again one character later.
    static_assert(cPatProgram::callBody == 0 && cPatProgram::retry == 1);
    emit(opCall, cPatProgram::body);
    if (*p_ == '^') {
        ++p_;
        emit(opFail);
    } else {
        emit(opAdvanceStart);
    }
    cParsed top{eEmpty::yes, true};
    // At the top level a stray closer ends the pattern; the rest is ignored.
    if (parseSequence(top)) emit(opMatch);
    groupCount = groups_;
    slotCount = slots_;
    return error_;
}

bool cPatternCompiler::parseSequence(cParsed& out) {
    // The first element gets the incoming flag, the others a fresh true;
    // the sequence leaves the logical and. No element leaves the flag as is.
    eEmpty flag = eEmpty::pass;
    bool canBeEmpty = true;
    bool first = true;
    while (atomFollows(p_)) {
        cParsed element{};
        if (!parseElement(element)) return false;
        if (first)
            flag = element.flag;
        else
            flag = andEmpty(flag, applyEmpty(element.flag, true));
        canBeEmpty = canBeEmpty && element.canBeEmpty;
        first = false;
    }
    out = cParsed{flag, canBeEmpty};
    return true;
}

// An alternation of quantified atoms. Every alternative but the last gets a
// head that tries it and, when it fails, the alternatives after it:
//   PushPos; Call a; PopPos; Jump next; (a) X; Jump end; (next) ...
bool cPatternCompiler::parseElement(cParsed& out) {
    enum : std::uint32_t {
        savePosition,
        callAlternative,
        restorePosition,
        skipToNext,
        alternative
    };
    std::size_t start = code_.size();
    cParsed first{};
    if (!parseQuantifiedAtom(first)) return false;
    if (!(p_[0] == '|' && atomFollows(p_ + 1))) {
        out = first;
        return true;
    }
    eEmpty flag = first.flag;
    bool canBeEmpty = first.canBeEmpty;
    std::vector<std::size_t> jumpsToEnd;
    std::size_t head = start; // where the latest alternative starts; its head goes there
    while (p_[0] == '|' && atomFollows(p_ + 1)) {
        ++p_;
        // Earlier alternatives and their jumps lie before the gap.
        if (!insertGap(head, alternative)) return false;
        code_[head + savePosition] = {opPushPos, 0};
        code_[head + callAlternative] = {opCall, static_cast<std::uint32_t>(head + alternative)};
        code_[head + restorePosition] = {opPopPos, 0};
        code_[head + skipToNext] = {opJump, 0};
        jumpsToEnd.push_back(code_.size());
        if (!emit(opJump, 0)) return false;
        head = pointHere(head + skipToNext); // the next alternative starts here
        cParsed next{};
        if (!parseQuantifiedAtom(next)) return false;
        flag = orEmpty(flag, applyEmpty(next.flag, false));
        canBeEmpty = canBeEmpty || next.canBeEmpty;
    }
    for (std::size_t j : jumpsToEnd)
        pointHere(j);
    out = cParsed{flag, canBeEmpty};
    return true;
}

// An atom and the quantifier after it, if any. The atom is compiled first;
// a quantifier found after it then wraps the atom's code in place.
bool cPatternCompiler::parseQuantifiedAtom(cParsed& out) {
    cOperand x{code_.size(), 0, slots_};
    cParsed atom{};
    if (!parseAtom(atom)) return false;
    x.end = code_.size();
    cQuantifier q{};
    if (!readQuantifier(q)) {
        out = atom;
        return true;
    }
    // The operand of a quantifier is judged with the flag set to false.
    if (applyEmpty(atom.flag, false) && q.kind != '?') return fail(patEmptyRepeat);
    if (!emitQuantifier(q, atom.canBeEmpty, x)) return false;
    out = quantified(q, atom);
    return true;
}

bool cPatternCompiler::readQuantifier(cQuantifier& q) {
    unsigned char kind = *p_;
    if (kind != '*' && kind != '+' && kind != '?') return false;
    ++p_;
    q = cQuantifier{kind, *p_ == '?'};
    if (q.lazy) ++p_;
    return true;
}

// Wraps the operand's code in the code of quantifier `q`.
bool cPatternCompiler::emitQuantifier(cQuantifier q, bool operandCanBeEmpty, cOperand x) {
    // "X??" needs no loop.
    if (q.kind == '?' && q.lazy) return emitLazyOptional(x);
    // "X+" keeps X as its first pass and loops over a copy.
    if (q.kind == '+' && !appendLoopCopy(x)) return false;
    // A lazy loop whose every pass consumes cannot spin.
    if (q.lazy && !operandCanBeEmpty) return emitLazyLoop(x);
    // Every other loop keeps where its pass started in a slot, to fail a
    // pass that consumes nothing instead of repeating it forever.
    std::uint32_t m = takeProgressSlot(x);
    if (q.lazy) return emitCheckedLazyLoop(x, m);
    return emitGreedyLoop(x, m, q.kind != '?');
}

// "X+" is X once, then the loop of "X*" over a copy of X: `x` becomes the
// copy. The copy numbers slots of its own, as a second X written in the
// pattern would.
bool cPatternCompiler::appendLoopCopy(cOperand& x) {
    std::uint32_t operandSlots = slots_ - x.firstSlot;
    std::size_t copy = code_.size();
    if (!appendCopy(x.begin, x.end, x.firstSlot, slots_)) return false;
    x = cOperand{copy, code_.size(), slots_};
    slots_ += operandSlots;
    return true;
}

// Takes the slot a loop keeps its pass's start in. The loop's code comes
// before its operand's, so its slot is numbered before the operand's own
// slots, which move up by one, as though it had been taken before parsing
// the operand.
std::uint32_t cPatternCompiler::takeProgressSlot(const cOperand& x) {
    shiftSlots(x.begin, x.end, x.firstSlot, 1);
    ++slots_;
    return x.firstSlot;
}

// "X??": Call end; X -- the rest is tried first, X when the rest fails.
bool cPatternCompiler::emitLazyOptional(const cOperand& x) {
    if (!insertGap(x.begin, 1)) return false;
    code_[x.begin] = {opCall, static_cast<std::uint32_t>(code_.size())};
    return true;
}

// The loop of cPatGreedyLoop; "X?" (no `repeat`) is its first pass only.
bool cPatternCompiler::emitGreedyLoop(const cOperand& x, std::uint32_t m, bool repeat) {
    using L = cPatGreedyLoop;
    std::size_t a = x.begin;
    if (!insertGap(a, L::body)) return false;
    code_[a + L::saveSlot] = {opPushSlot, m};
    code_[a + L::markPass] = {opPosToSlot, m};
    code_[a + L::savePosition] = {opPushPos, 0};
    code_[a + L::callBody] = {opCall, static_cast<std::uint32_t>(a + L::body)};
    code_[a + L::restorePosition] = {opPopPos, 0};
    code_[a + L::restoreSlot] = {opPopSlot, m};
    code_[a + L::exit] = {opJump, 0};
    static_assert(L::checkProgress == 0 && L::markNextPass == 1 && L::repeat == 2);
    if (!emit(opFailIfNoProgress, m) || !emit(opPosToSlot, m)) return false;
    if (repeat && !emit(opJump, static_cast<std::uint32_t>(a))) return false;
    pointHere(a + L::exit);
    return true;
}

// The loop of cPatLazyLoop, for an operand that always consumes.
bool cPatternCompiler::emitLazyLoop(const cOperand& x) {
    std::size_t c = x.begin;
    if (!insertGap(c, cPatLazyLoop::body)) return false;
    code_[c + cPatLazyLoop::tryRest] = {opCall, 0};
    if (!emit(opJump, static_cast<std::uint32_t>(c))) return false;
    pointHere(c + cPatLazyLoop::tryRest);
    return true;
}

// A lazy loop over an operand that can consume nothing although the
// empty-operand check let it pass (a look-ahead, a back-reference, an empty
// group) would repeat forever without progress. It fails a pass that
// consumes nothing, as a greedy loop does:
//   (c) Call end; PushSlot m; PosToSlot m; Call body; PopSlot m; Return;
//   (body) X; FailIfNoProgress m; Jump c
bool cPatternCompiler::emitCheckedLazyLoop(const cOperand& x, std::uint32_t m) {
    enum : std::uint32_t { tryRest, saveSlot, markPass, callBody, restoreSlot, backtrack, body };
    std::size_t c = x.begin;
    if (!insertGap(c, body)) return false;
    code_[c + tryRest] = {opCall, 0};
    code_[c + saveSlot] = {opPushSlot, m};
    code_[c + markPass] = {opPosToSlot, m};
    code_[c + callBody] = {opCall, static_cast<std::uint32_t>(c + body)};
    code_[c + restoreSlot] = {opPopSlot, m};
    code_[c + backtrack] = {opReturn, 0};
    if (!emit(opFailIfNoProgress, m) || !emit(opJump, static_cast<std::uint32_t>(c))) return false;
    pointHere(c + tryRest);
    return true;
}

bool cPatternCompiler::parseAtom(cParsed& out) {
    unsigned char c = *p_;
    switch (c) {
    case '.':
        ++p_;
        out = cParsed{eEmpty::no, false};
        return emit(opAnyChar);
    case '[':
        out = cParsed{eEmpty::no, false};
        return parseSet();
    case '{':
        return parseCapture(out);
    case '(':
        return parseGrouping(out);
    case '!':
        if (atomFollows(p_ + 1)) return parseLookAhead(out);
        break;
    case '\\': {
        unsigned char next = p_[1];
        if (next == 0) break; // a lone final backslash stands for itself
        if (next >= '0' && next <= '9') {
            out = cParsed{eEmpty::no, true};
            return parseBackReference();
        }
        if (const char* expansion = findAbbreviation(next)) {
            p_ += 2;
            return parseAbbreviation(expansion, out);
        }
        p_ += 2;
        out = cParsed{eEmpty::no, false};
        return emit(opChar, next);
    }
    case '$':
        if (p_[1] == 0) {
            ++p_;
            out = cParsed{eEmpty::no, false};
            return emit(opChar, 0);
        }
        break;
    default:
        break;
    }
    ++p_;
    out = cParsed{eEmpty::no, false};
    return emit(opChar, c);
}

// "[" or "[^", members, "]"; the member map follows the instruction.
bool cPatternCompiler::parseSet() {
    ++p_;
    bool negated = false;
    if (*p_ == '^') {
        negated = true;
        ++p_;
    }
    if (*p_ == ']') return fail(patEmptyClass);
    unsigned char map[kPatCharMapBytes] = {};
    for (;;) {
        unsigned char c = *p_;
        if (c == 0) return fail(patBracketExpected);
        if (c == ']') {
            ++p_;
            break;
        }
        unsigned char low = c;
        if (c == '\\') {
            unsigned char escaped = p_[1];
            if (escaped == 0) return fail(patBracketExpected);
            low = escaped == 't' ? '\t' : escaped;
            p_ += 2;
        } else {
            ++p_;
        }
        unsigned char high = low;
        if (*p_ == '-') {
            unsigned char bound = p_[1];
            if (bound == ']' || bound == 0) return fail(patBracketExpected);
            if (bound < low) return fail(patBadRange);
            high = bound;
            p_ += 2;
        }
        for (unsigned v = low; v <= high; ++v)
            patMapAdd(map, static_cast<unsigned char>(v));
    }
    std::size_t set = code_.size();
    if (!emit(negated ? opNotInSet : opInSet)) return false;
    for (std::uint32_t i = 0; i < kPatSetMapCells; ++i)
        if (!emit(opNop)) return false;
    std::memcpy(patSetMap(&code_[set]), map, sizeof map);
    return true;
}

// PushGroup g; GroupOpen g; Call X; PopGroup g; Return; X; GroupClose g
bool cPatternCompiler::parseCapture(cParsed& out) {
    if (!enter()) return false;
    ++p_;
    std::uint32_t g = groups_++;
    if (!emit(opPushGroup, g) || !emit(opGroupOpen, g)) return false;
    std::size_t call = code_.size();
    if (!emit(opCall) || !emit(opPopGroup, g) || !emit(opReturn)) return false;
    std::size_t body = pointHere(call);
    if (!parseSequence(out)) return false;
    if (code_.size() == body && !emit(opNop)) return false;
    if (*p_ != '}') return fail(patBraceExpected);
    ++p_;
    leave();
    return emit(opGroupClose, g);
}

// Call X; Return; X
bool cPatternCompiler::parseGrouping(cParsed& out) {
    if (!enter()) return false;
    ++p_;
    std::size_t call = code_.size();
    if (!emit(opCall) || !emit(opReturn)) return false;
    std::size_t body = pointHere(call);
    if (!parseSequence(out)) return false;
    if (code_.size() == body && !emit(opNop)) return false;
    if (*p_ != ')') return fail(patParenExpected);
    ++p_;
    leave();
    return true;
}

// PosToSlot p; DepthToSlot d; Call X; SlotToPos p; SlotToDepth d; Jump end;
// X; SlotToPos p; SlotToDepth d; Return
bool cPatternCompiler::parseLookAhead(cParsed& out) {
    if (!enter()) return false;
    ++p_;
    std::size_t start = code_.size();
    std::uint32_t groupsBefore = groups_;
    std::uint32_t ps = slots_++;
    std::uint32_t ds = slots_++;
    if (!emit(opPosToSlot, ps) || !emit(opDepthToSlot, ds)) return false;
    std::size_t call = code_.size();
    if (!emit(opCall) || !emit(opSlotToPos, ps) || !emit(opSlotToDepth, ds)) return false;
    std::size_t jumpPast = code_.size();
    if (!emit(opJump)) return false;
    pointHere(call);
    cParsed atom{};
    if (!parseAtom(atom)) return false;
    if (!emit(opSlotToPos, ps) || !emit(opSlotToDepth, ds) || !emit(opReturn)) return false;
    pointHere(jumpPast);

    // When the atom matches, the look-ahead drops the stack entries the atom
    // pushed, among them those that would restore its capture groups. Save
    // those groups around the look-ahead so a failed look-ahead leaves them
    // as they were: PushGroup g...; Call L; PopGroup g...; Return; (L) ...
    std::uint32_t inner = groups_ - groupsBefore;
    if (inner > 0) {
        std::size_t wrapper = 2 * inner + 2; // a push and a pop per group, Call, Return
        if (!insertGap(start, wrapper)) return false;
        std::size_t i = start;
        for (std::uint32_t g = groupsBefore; g < groups_; ++g)
            code_[i++] = {opPushGroup, g};
        code_[i++] = {opCall, static_cast<std::uint32_t>(start + wrapper)};
        for (std::uint32_t g = groups_; g-- > groupsBefore;)
            code_[i++] = {opPopGroup, g};
        code_[i++] = {opReturn, 0};
    }
    leave();
    out = cParsed{atom.flag, true};
    return true;
}

bool cPatternCompiler::parseBackReference() {
    ++p_;
    std::uint32_t n = 0;
    while (*p_ >= '0' && *p_ <= '9') {
        if (n < 1000000000u) n = n * 10 + static_cast<std::uint32_t>(*p_ - '0');
        ++p_;
    }
    if (n >= groups_) return fail(patBadBackReference);
    return emit(opBackReference, n);
}

bool cPatternCompiler::parseAbbreviation(const char* expansion, cParsed& out) {
    if (!enter()) return false;
    const unsigned char* resume = p_;
    p_ = reinterpret_cast<const unsigned char*>(expansion);
    bool ok = parseQuantifiedAtom(out);
    p_ = resume;
    if (!ok) {
        if (error_ != patOutOfMemory && error_ != patTooDeep) error_ = patBadAbbreviation;
        return false;
    }
    leave();
    return true;
}

std::int32_t cPattern::compile(const char* pattern, bool caseSensitive) {
    if (pattern == nullptr) return patNoPattern;
    instructions_.clear();
    skipSetIndex_.clear();
    skipSets_.clear();
    runHead_.clear();
    groupCount_ = 0;
    slotCount_ = 0;
    lastError_ = patOk;
    caseSensitive_ = caseSensitive;

    std::int32_t result = patOk;
    try {
        std::string lowered;
        const unsigned char* text = reinterpret_cast<const unsigned char*>(pattern);
        if (!caseSensitive) {
            lowered = pattern;
            for (char& c : lowered)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            text = reinterpret_cast<const unsigned char*>(lowered.c_str());
        }
        cPatternCompiler compiler(*this, text);
        result = compiler.run(groupCount_, slotCount_);
        if (result == patOk) buildFastPaths();
    } catch (const std::bad_alloc&) {
        result = patOutOfMemory;
    }
    if (result != patOk) {
        // A failed program is never run; drop it so a stray match fails.
        instructions_.clear();
        skipSetIndex_.clear();
        skipSets_.clear();
        runHead_.clear();
    }
    lastError_ = result;
    return result;
}

} // namespace quarry
