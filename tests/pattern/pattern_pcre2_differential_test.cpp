// Differential test: random patterns from the syntax both engines share,
// matched here and by PCRE2 on random texts; success, match span and every
// group span must agree. "{X}" is "(X)" there, "(X)" is "(?:X)", "A|B" of
// quantified atoms "(?:A|B)", "!X" "(?!X)", "\N" "\g{N+1}" with
// PCRE2_MATCH_UNSET_BACKREF, a final "$" "\z".
//
// Left out, where the engines differ by design: quantifiers on operands that
// can match the empty text (here such a repetition fails; PCRE2 takes one
// empty pass), references to a group not yet closed, and abbreviations.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "pattern/pattern.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace quarry {

namespace {

// A generated piece in both syntaxes.
struct cPiece {
    std::string ours;
    std::string pcre;
    bool canBeEmpty = true;
    void add(const std::string& oursText, const std::string& pcreText) {
        ours += oursText;
        pcre += pcreText;
    }
};

class cGenerator {
public:
    cGenerator(std::uint32_t seed, bool caseless) : random_(seed), caseless_(caseless) {}

    // A whole pattern; `anchoredEnd` tells whether it ends in "$".
    cPiece pattern(bool& anchoredEnd) {
        openedGroups_ = 0;
        closedGroups_.clear();
        cPiece out;
        if (chance(20)) out.add("^", "^");
        const cPiece body = sequence(0, 1 + pick(4));
        out.add(body.ours, body.pcre);
        if ((anchoredEnd = chance(15))) out.add("$", "\\z");
        return out;
    }

    std::string text() {
        static const char kAlphabet[] = {'a', 'b', 'c', 'a', 'b', '*', '\xE9', 'A', 'B', '\xC9'};
        std::string out;
        for (std::size_t length = pick(11); length > 0; --length)
            out += kAlphabet[pick(caseless_ ? 10 : 7)];
        return out;
    }

private:
    std::uint32_t pick(std::uint32_t n) { return static_cast<std::uint32_t>(random_() % n); }
    bool chance(std::uint32_t percent) { return pick(100) < percent; }

    cPiece sequence(int depth, std::uint32_t elements) {
        cPiece out;
        for (std::uint32_t i = 0; i < elements; ++i) {
            const cPiece e = element(depth);
            out.add(e.ours, e.pcre);
            out.canBeEmpty = out.canBeEmpty && e.canBeEmpty;
        }
        return out;
    }

    cPiece element(int depth) {
        if (!chance(20)) return quantifiedAtom(depth);
        cPiece out;
        out.canBeEmpty = false;
        out.pcre = "(?:";
        std::uint32_t alternatives = 2 + pick(2);
        for (std::uint32_t i = 0; i < alternatives; ++i) {
            const cPiece a = quantifiedAtom(depth);
            out.add((i > 0 ? "|" : "") + a.ours, (i > 0 ? "|" : "") + a.pcre);
            out.canBeEmpty = out.canBeEmpty || a.canBeEmpty;
        }
        out.pcre += ")";
        return out;
    }

    cPiece quantifiedAtom(int depth) {
        cPiece a = atom(depth);
        if (a.canBeEmpty || !chance(40)) return a;
        static const char* const kQuantifiers[] = {"*", "+", "?", "*?", "+?", "??"};
        const std::uint32_t q = pick(6);
        a.add(kQuantifiers[q], kQuantifiers[q]);
        // Only greedy "+" keeps its operand's emptiness; the empty-operand
        // check treats every other quantifier, "+?" included, as possibly
        // empty, so none of those is quantified again.
        a.canBeEmpty = q != 1;
        return a;
    }

    cPiece atom(int depth) {
        std::uint32_t kind = pick(depth < 3 ? 12 : 6);
        if (kind == 10 && !closedGroups_.empty()) {
            std::uint32_t g = closedGroups_[pick(static_cast<std::uint32_t>(closedGroups_.size()))];
            return {"\\" + std::to_string(g), "\\g{" + std::to_string(g + 1) + "}", true};
        }
        if (kind == 11) {
            cPiece inner = atom(depth + 1);
            return {"!" + inner.ours, "(?!" + inner.pcre + ")", true};
        }
        switch (kind) {
        case 0:
        case 1:
        case 2: {
            static const char* const kLiterals[] = {"a", "b", "c", "\xE9", "A", "B", "\xC9"};
            std::string c = kLiterals[pick(caseless_ ? 7 : 4)];
            return {c, c, false};
        }
        case 3:
            if (chance(30)) return {"\\*", "\\*", false};
            return {".", ".", false};
        case 4:
        case 5: {
            static const char* const kSets[] = {"[ab]", "[^a]",    "[a-c]", "[^bc]", "[a\xE9]",
                                                "[*b]", "[^\xE9]", "[A-C]", "[^B]",  "[b\xC9]"};
            std::string s = kSets[pick(caseless_ ? 10 : 7)];
            return {s, s, false};
        }
        case 6:
        case 7: {
            std::uint32_t g = openedGroups_++;
            cPiece body = sequence(depth + 1, pick(3));
            closedGroups_.push_back(g);
            return {"{" + body.ours + "}", "(" + body.pcre + ")", body.canBeEmpty};
        }
        default: {
            cPiece body = sequence(depth + 1, pick(3));
            return {"(" + body.ours + ")", "(?:" + body.pcre + ")", body.canBeEmpty};
        }
        }
    }

    std::mt19937 random_;
    bool caseless_;
    std::uint32_t openedGroups_ = 0;
    std::vector<std::uint32_t> closedGroups_;
};

// "-" for no match, else "start-end" and each group as " start-end" or " ~"
// when it took no part, all as offsets into the text.
std::string ourSpans(const cPattern& pattern, const std::string& text, cPatternMatch& context) {
    if (!pattern.match(text.c_str(), &context)) return "-";
    auto at = [&](const char* p) { return std::to_string(p - text.c_str()); };
    std::string out = at(context.matchStart()) + "-" + at(context.matchEnd());
    for (std::uint32_t g = 0; g < pattern.groupCount(); ++g)
        out += context.groupStart(g)
                   ? " " + at(context.groupStart(g)) + "-" + at(context.groupEnd(g))
                   : " ~";
    return out;
}

// The same from PCRE2's answer, adjusted where the engines differ by design.
std::string theirSpans(int rc, const PCRE2_SIZE* ovector, std::uint32_t groups,
                       const std::string& text, bool anchoredEnd) {
    // The end of a non-empty text is never tried as a start here.
    if (rc <= 0 || (ovector[0] == text.size() && !text.empty())) return "-";
    // A final "$" match ends one past the terminator here.
    std::string out = std::to_string(ovector[0]) + "-" + std::to_string(ovector[1] + anchoredEnd);
    for (std::uint32_t g = 1; g <= groups; ++g)
        out += static_cast<std::uint32_t>(rc) > g && ovector[2 * g] != PCRE2_UNSET
                   ? " " + std::to_string(ovector[2 * g]) + "-" + std::to_string(ovector[2 * g + 1])
                   : " ~";
    return static_cast<std::uint32_t>(rc) > groups + 1 ? out + " and more groups" : out;
}

// Runs `patterns` random patterns against six random texts each; answers the
// first mismatches, and counts the cases compared.
std::vector<std::string> mismatches(std::uint32_t seed, bool caseless, int patterns,
                                    std::size_t& compared) {
    cGenerator generator(seed, caseless);
    pcre2_match_data* data = pcre2_match_data_create(64, nullptr);
    cPatternMatch context(256);
    std::vector<std::string> found;
    for (int p = 0; p < patterns && found.size() < 10; ++p) {
        bool anchoredEnd = false;
        const cPiece piece = generator.pattern(anchoredEnd);
        cPattern ours;
        if (const std::int32_t code = ours.compile(piece.ours.c_str(), !caseless); code != patOk) {
            found.push_back("compile error " + std::to_string(code) + ": " + piece.ours);
            continue;
        }
        int error = 0;
        PCRE2_SIZE errorOffset = 0;
        pcre2_code* theirs =
            pcre2_compile(reinterpret_cast<PCRE2_SPTR>(piece.pcre.c_str()), piece.pcre.size(),
                          PCRE2_MATCH_UNSET_BACKREF | (caseless ? PCRE2_CASELESS : 0), &error,
                          &errorOffset, nullptr);
        if (theirs == nullptr) {
            found.push_back("PCRE2 refused: " + piece.pcre);
            continue;
        }
        for (int t = 0; t < 6; ++t, ++compared) {
            const std::string text = generator.text();
            const int rc = pcre2_match(theirs, reinterpret_cast<PCRE2_SPTR>(text.c_str()),
                                       text.size(), 0, 0, data, nullptr);
            const std::string expected = theirSpans(rc, pcre2_get_ovector_pointer(data),
                                                    ours.groupCount(), text, anchoredEnd);
            const std::string got = ourSpans(ours, text, context);
            if (got != expected)
                found.push_back(piece.ours + "  (" + piece.pcre + ")  on '" + text + "': " + got +
                                " vs " + expected);
        }
        pcre2_code_free(theirs);
    }
    pcre2_match_data_free(data);
    return found;
}

TEST(PatternDifferential, AgreesWithPcre2) {
    std::size_t compared = 0;
    EXPECT_EQ(mismatches(20261206u, false, 6000, compared), std::vector<std::string>{});
    EXPECT_EQ(mismatches(7u, true, 3000, compared), std::vector<std::string>{}) << "caseless";
    EXPECT_EQ(compared, 54000u);
}

} // namespace

} // namespace quarry
