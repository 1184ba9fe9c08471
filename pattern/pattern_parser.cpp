// Pattern parser: recursive descent from the text to the nodes of
// pattern_syntax.h, checking everything that can make a pattern invalid.
#include "pattern/pattern_syntax.h"

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

// What parsing one construct tells the construct around it: its node, the
// empty-operand flag of the pattern's rules, and whether the construct can
// in fact consume nothing (a look-ahead, a back-reference to an empty group,
// an empty group body).
struct cParsed {
    std::uint32_t node;
    eEmpty flag;
    bool canBeEmpty;
};

bool isCloser(unsigned char c) {
    return c == '}' || c == ']' || c == ')';
}

bool atomFollows(const unsigned char* p) {
    return *p != 0 && !isCloser(*p);
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

class cParser {
public:
    cParser(const unsigned char* text, cPatSyntax& syntax) : p_(text), syntax_(syntax) {}

    std::int32_t run();

private:
    bool fail(std::int32_t code) {
        error_ = code;
        return false;
    }
    std::uint32_t add(const cPatNode& node) {
        syntax_.nodes.push_back(node);
        return static_cast<std::uint32_t>(syntax_.nodes.size() - 1);
    }
    std::uint32_t addLeaf(ePatOp op, std::uint32_t value = 0) {
        cPatNode leaf;
        leaf.op = static_cast<std::uint8_t>(op);
        leaf.value = value;
        return add(leaf);
    }
    bool enter() {
        if (++depth_ > kPatMaxNesting) return fail(patTooDeep);
        return true;
    }
    void leave() { --depth_; }

    bool parseSequence(cParsed& out);
    bool parseElement(cParsed& out);
    bool parseQuantifiedAtom(cParsed& out);
    bool parseAtom(cParsed& out);
    bool parseSet(cParsed& out);
    bool parseCapture(cParsed& out);
    bool parseGrouping(cParsed& out);
    bool parseLookAhead(cParsed& out);
    bool parseBackReference(cParsed& out);
    bool parseAbbreviation(const char* expansion, cParsed& out);

    const unsigned char* p_;
    cPatSyntax& syntax_;
    std::uint32_t depth_ = 0;
    std::int32_t error_ = patOk;
};

std::int32_t cParser::run() {
    if (*p_ == '^') {
        ++p_;
        syntax_.anchored = true;
    }
    // At the top level a stray closer ends the pattern; the rest is ignored.
    cParsed top{};
    if (parseSequence(top)) syntax_.sequence = top.node;
    return error_;
}

// Elements one after another. The first gets the incoming flag, the others a
// fresh true; the sequence leaves the logical and. No element leaves the flag
// as is.
bool cParser::parseSequence(cParsed& out) {
    out = cParsed{kPatNoNode, eEmpty::pass, true};
    std::uint32_t last = kPatNoNode;
    while (atomFollows(p_)) {
        cParsed element{};
        if (!parseElement(element)) return false;
        if (last == kPatNoNode) {
            out.node = element.node;
            out.flag = element.flag;
        } else {
            syntax_.nodes[last].next = element.node;
            out.flag = andEmpty(out.flag, applyEmpty(element.flag, true));
        }
        out.canBeEmpty = out.canBeEmpty && element.canBeEmpty;
        last = element.node;
    }
    return true;
}

// A quantified atom, or an alternation of them ("|" binds tighter than
// concatenation).
bool cParser::parseElement(cParsed& out) {
    if (!parseQuantifiedAtom(out)) return false;
    if (!(p_[0] == '|' && atomFollows(p_ + 1))) return true;
    cPatNode alternation;
    alternation.kind = ePatNode::alternation;
    alternation.body = out.node;
    std::uint32_t last = out.node;
    while (p_[0] == '|' && atomFollows(p_ + 1)) {
        ++p_;
        cParsed next{};
        if (!parseQuantifiedAtom(next)) return false;
        syntax_.nodes[last].next = next.node;
        last = next.node;
        out.flag = orEmpty(out.flag, applyEmpty(next.flag, false));
        out.canBeEmpty = out.canBeEmpty || next.canBeEmpty;
    }
    out.node = add(alternation);
    return true;
}

// An atom and the quantifier after it, if any: "*", "+" or "?", made lazy by
// a following "?".
bool cParser::parseQuantifiedAtom(cParsed& out) {
    if (!parseAtom(out)) return false;
    const unsigned char kind = *p_;
    if (kind != '*' && kind != '+' && kind != '?') return true;
    const cParsed atom = out;
    ++p_;
    const bool lazy = *p_ == '?';
    if (lazy) ++p_;
    // The operand of a quantifier is judged with the flag set to false.
    if (applyEmpty(atom.flag, false) && kind != '?') return fail(patEmptyRepeat);
    cPatNode repeat;
    repeat.kind = ePatNode::repeat;
    repeat.quantifier = kind;
    repeat.lazy = lazy;
    repeat.operandCanBeEmpty = atom.canBeEmpty;
    repeat.body = atom.node;
    // Greedy "+" leaves the flag false and every other quantifier ("+?"
    // included) true; the construct can consume nothing unless it is "+" or
    // "+?" over an operand that cannot.
    const bool plus = kind == '+';
    out = cParsed{add(repeat), plus && !lazy ? eEmpty::no : eEmpty::yes,
                  plus ? atom.canBeEmpty : true};
    return true;
}

bool cParser::parseAtom(cParsed& out) {
    const unsigned char c = *p_;
    switch (c) {
    case '.':
        ++p_;
        out = cParsed{addLeaf(opAnyChar), eEmpty::no, false};
        return true;
    case '[':
        return parseSet(out);
    case '{':
        return parseCapture(out);
    case '(':
        return parseGrouping(out);
    case '!':
        if (atomFollows(p_ + 1)) return parseLookAhead(out);
        break;
    case '\\': {
        const unsigned char next = p_[1];
        if (next == 0) break; // a lone final backslash stands for itself
        if (next >= '0' && next <= '9') return parseBackReference(out);
        p_ += 2;
        if (const char* expansion = findAbbreviation(next))
            return parseAbbreviation(expansion, out);
        out = cParsed{addLeaf(opChar, next), eEmpty::no, false};
        return true;
    }
    case '$':
        if (p_[1] == 0) {
            ++p_;
            out = cParsed{addLeaf(opChar, 0), eEmpty::no, false};
            return true;
        }
        break;
    default:
        break;
    }
    ++p_;
    out = cParsed{addLeaf(opChar, c), eEmpty::no, false};
    return true;
}

// "[" or "[^", members, "]".
bool cParser::parseSet(cParsed& out) {
    ++p_;
    bool negated = false;
    if (*p_ == '^') {
        negated = true;
        ++p_;
    }
    if (*p_ == ']') return fail(patEmptyClass);
    // Built in place: a failed parse discards every set anyway.
    const auto index = static_cast<std::uint32_t>(syntax_.sets.size());
    cPatCharSet& set = syntax_.sets.emplace_back();
    for (;;) {
        const unsigned char c = *p_;
        if (c == 0) return fail(patBracketExpected);
        if (c == ']') {
            ++p_;
            break;
        }
        unsigned char low = c;
        if (c == '\\') {
            const unsigned char escaped = p_[1];
            if (escaped == 0) return fail(patBracketExpected);
            low = escaped == 't' ? '\t' : escaped;
            p_ += 2;
        } else {
            ++p_;
        }
        unsigned char high = low;
        if (*p_ == '-') {
            const unsigned char bound = p_[1];
            if (bound == ']' || bound == 0) return fail(patBracketExpected);
            if (bound < low) return fail(patBadRange);
            high = bound;
            p_ += 2;
        }
        for (unsigned v = low; v <= high; ++v)
            set.add(static_cast<unsigned char>(v));
    }
    out = cParsed{addLeaf(negated ? opNotInSet : opInSet, index), eEmpty::no, false};
    return true;
}

// "{", a sequence, "}".
bool cParser::parseCapture(cParsed& out) {
    if (!enter()) return false;
    ++p_;
    cPatNode capture;
    capture.kind = ePatNode::capture;
    capture.value = syntax_.groupCount++;
    if (!parseSequence(out)) return false;
    if (*p_ != '}') return fail(patBraceExpected);
    ++p_;
    leave();
    capture.body = out.node;
    out.node = add(capture);
    return true;
}

// "(", a sequence, ")".
bool cParser::parseGrouping(cParsed& out) {
    if (!enter()) return false;
    ++p_;
    if (!parseSequence(out)) return false;
    if (*p_ != ')') return fail(patParenExpected);
    ++p_;
    leave();
    cPatNode grouping;
    grouping.kind = ePatNode::grouping;
    grouping.body = out.node;
    out.node = add(grouping);
    return true;
}

// "!" and one atom.
bool cParser::parseLookAhead(cParsed& out) {
    if (!enter()) return false;
    ++p_;
    cPatNode lookAhead;
    lookAhead.kind = ePatNode::lookAhead;
    cParsed atom{};
    if (!parseAtom(atom)) return false;
    leave();
    lookAhead.body = atom.node;
    out = cParsed{add(lookAhead), atom.flag, true};
    return true;
}

// "\" and a group number; the group must have been opened before.
bool cParser::parseBackReference(cParsed& out) {
    ++p_;
    std::uint32_t n = 0;
    while (*p_ >= '0' && *p_ <= '9') {
        if (n < 1000000000u) n = n * 10 + static_cast<std::uint32_t>(*p_ - '0');
        ++p_;
    }
    if (n >= syntax_.groupCount) return fail(patBadBackReference);
    out = cParsed{addLeaf(opBackReference, n), eEmpty::no, true};
    return true;
}

// The expansion is a fixed pattern the parser reads in place of the
// abbreviation; only its nesting can fail.
bool cParser::parseAbbreviation(const char* expansion, cParsed& out) {
    if (!enter()) return false;
    const unsigned char* resume = p_;
    p_ = reinterpret_cast<const unsigned char*>(expansion);
    const bool ok = parseQuantifiedAtom(out);
    p_ = resume;
    if (!ok) return false;
    leave();
    return true;
}

} // namespace

std::int32_t parsePattern(const unsigned char* text, cPatSyntax& syntax) {
    return cParser(text, syntax).run();
}

} // namespace quarry
