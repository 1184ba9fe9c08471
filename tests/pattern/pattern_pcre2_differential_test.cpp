// Differential test: random patterns from the syntax both engines share,
// matched here and by PCRE2 on random texts; success, match span and every
// group span must agree.
//
// Translation: "{X}" becomes "(X)", "(X)" becomes "(?:X)", an alternation
// of quantified atoms "A|B" becomes "(?:A|B)" (here "|" binds tighter than
// concatenation), "!X" becomes "(?!X)", "\N" becomes "\g{N+1}" matched
// with PCRE2_MATCH_UNSET_BACKREF (a group that took no part holds the empty
// text), a final "$" becomes "\z".
//
// Left out, because the engines differ there by design:
// - quantifiers on operands that can match the empty text (or that follow
//   a "+?", which the empty-operand check counts as possibly empty): here a
//   repetition that consumes nothing counts as failed (and "*", "+", "*?",
//   "+?" on such operands do not compile), while PCRE2 accepts one empty
//   iteration and keeps its captures;
// - back-references to a group that has not closed yet where the reference
//   stands (PCRE2 sees the previous repetition's text, this engine the
//   empty text);
// - abbreviations, which PCRE2 spells differently.
// Kept, with the expectation adjusted: a "$" match ends one past the
// terminator here, and the terminator's own position is tried as a start
// only for the empty text, so a PCRE2 match that starts at the end of a
// non-empty text is expected to fail here.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "pattern/pattern.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace quarry {

namespace {

// A generated piece in both syntaxes.
struct cPiece {
    std::string ours;
    std::string pcre;
    bool canBeEmpty = true;
};

class cGenerator {
public:
    cGenerator(std::uint32_t seed, bool caseless) : random_(seed), caseless_(caseless) {}

    // A whole pattern; `anchoredEnd` tells whether it ends in "$".
    cPiece pattern(bool& anchoredEnd) {
        openedGroups_ = 0;
        closedGroups_.clear();
        cPiece out;
        if (chance(20)) {
            out.ours = "^";
            out.pcre = "^";
        }
        cPiece body = sequence(0, 1 + pick(4));
        out.ours += body.ours;
        out.pcre += body.pcre;
        anchoredEnd = chance(15);
        if (anchoredEnd) {
            out.ours += "$";
            out.pcre += "\\z";
        }
        return out;
    }

    std::string text() {
        static const char kAlphabet[] = {'a', 'b', 'c', 'a', 'b', '*', '\xE9', 'A', 'B', '\xC9'};
        std::size_t letters = caseless_ ? 10 : 7;
        std::string out;
        std::size_t length = pick(11);
        for (std::size_t i = 0; i < length; ++i)
            out += kAlphabet[pick(letters)];
        return out;
    }

private:
    std::uint32_t pick(std::uint32_t n) { return static_cast<std::uint32_t>(random_() % n); }
    bool chance(std::uint32_t percent) { return pick(100) < percent; }

    cPiece sequence(int depth, std::uint32_t elements) {
        cPiece out;
        for (std::uint32_t i = 0; i < elements; ++i) {
            cPiece e = element(depth);
            out.ours += e.ours;
            out.pcre += e.pcre;
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
            cPiece a = quantifiedAtom(depth);
            if (i > 0) {
                out.ours += "|";
                out.pcre += "|";
            }
            out.ours += a.ours;
            out.pcre += a.pcre;
            out.canBeEmpty = out.canBeEmpty || a.canBeEmpty;
        }
        out.pcre += ")";
        return out;
    }

    cPiece quantifiedAtom(int depth) {
        cPiece a = atom(depth);
        if (a.canBeEmpty || !chance(40)) return a;
        static const char* const kQuantifiers[] = {"*", "+", "?", "*?", "+?", "??"};
        std::uint32_t q = pick(6);
        a.ours += kQuantifiers[q];
        a.pcre += kQuantifiers[q];
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

std::string printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            out += buffer;
        }
    }
    return out;
}

// Runs `patterns` random patterns against `textsEach` random texts; returns
// the number of cases compared and fills `report` with the first mismatches.
std::size_t runDifferential(std::uint32_t seed, bool caseless, int patterns, int textsEach,
                            int& mismatches, std::string& report) {
    cGenerator generator(seed, caseless);
    pcre2_match_data* data = pcre2_match_data_create(64, nullptr);
    cPatternMatch context(256);
    std::size_t compared = 0;
    mismatches = 0;
    for (int p = 0; p < patterns; ++p) {
        bool anchoredEnd = false;
        cPiece piece = generator.pattern(anchoredEnd);
        cPattern ours;
        std::int32_t code = ours.compile(piece.ours.c_str(), !caseless);
        if (code != patOk) {
            if (++mismatches <= 10)
                report += "compile " + std::to_string(code) + ": " + printable(piece.ours) + "\n";
            continue;
        }
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        pcre2_code* theirs =
            pcre2_compile(reinterpret_cast<PCRE2_SPTR>(piece.pcre.c_str()), piece.pcre.size(),
                          PCRE2_MATCH_UNSET_BACKREF | (caseless ? PCRE2_CASELESS : 0), &errorCode,
                          &errorOffset, nullptr);
        if (theirs == nullptr) {
            ++mismatches;
            report += "PCRE2 refused: " + printable(piece.pcre) + "\n";
            continue;
        }
        for (int t = 0; t < textsEach; ++t) {
            std::string text = generator.text();
            int rc = pcre2_match(theirs, reinterpret_cast<PCRE2_SPTR>(text.c_str()), text.size(), 0,
                                 0, data, nullptr);
            PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
            bool expected = rc > 0;
            // The end of a non-empty text is never tried as a start here.
            if (expected && ovector[0] == text.size() && !text.empty()) expected = false;

            bool matched = ours.match(text.c_str(), &context);
            ++compared;
            std::ostringstream why;
            if (matched != expected) {
                why << "success " << matched << " vs " << expected;
            } else if (matched) {
                std::size_t start = static_cast<std::size_t>(context.matchStart() - text.c_str());
                std::size_t end = static_cast<std::size_t>(context.matchEnd() - text.c_str());
                std::size_t expectedEnd = ovector[1] + (anchoredEnd ? 1 : 0);
                if (start != ovector[0] || end != expectedEnd)
                    why << "span " << start << "-" << end << " vs " << ovector[0] << "-"
                        << expectedEnd;
                std::uint32_t groups = ours.groupCount();
                if (static_cast<std::uint32_t>(rc) > groups + 1)
                    why << " PCRE2 reports more groups";
                for (std::uint32_t g = 0; g < groups; ++g) {
                    bool set = g + 1 < static_cast<std::uint32_t>(rc) &&
                               ovector[2 * (g + 1)] != PCRE2_UNSET;
                    const char* s = context.groupStart(g);
                    const char* e = context.groupEnd(g);
                    if (!set) {
                        if (s != nullptr) why << " group " << g << " set, PCRE2 unset";
                        continue;
                    }
                    if (s == nullptr || e == nullptr) {
                        why << " group " << g << " unset";
                        continue;
                    }
                    std::size_t gs = static_cast<std::size_t>(s - text.c_str());
                    std::size_t ge = static_cast<std::size_t>(e - text.c_str());
                    if (gs != ovector[2 * (g + 1)] || ge != ovector[2 * (g + 1) + 1])
                        why << " group " << g << " " << gs << "-" << ge << " vs "
                            << ovector[2 * (g + 1)] << "-" << ovector[2 * (g + 1) + 1];
                }
            }
            if (!why.str().empty()) {
                if (++mismatches <= 10)
                    report += printable(piece.ours) + "  (" + printable(piece.pcre) + ")  on '" +
                              printable(text) + "': " + why.str() + "\n";
            }
        }
        pcre2_code_free(theirs);
    }
    pcre2_match_data_free(data);
    return compared;
}

TEST(PatternDifferential, AgreesWithPcre2CaseSensitive) {
    int mismatches = 0;
    std::string report;
    std::size_t compared = runDifferential(20261206u, false, 6000, 6, mismatches, report);
    EXPECT_GE(compared, 30000u);
    EXPECT_EQ(mismatches, 0) << report;
}

TEST(PatternDifferential, AgreesWithPcre2CaseInsensitive) {
    int mismatches = 0;
    std::string report;
    std::size_t compared = runDifferential(7u, true, 3000, 6, mismatches, report);
    EXPECT_GE(compared, 15000u);
    EXPECT_EQ(mismatches, 0) << report;
}

} // namespace

} // namespace quarry
