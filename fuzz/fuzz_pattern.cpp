// The pattern engine: compile a pattern and match it against a text.
//
// Input: one flag byte (bit 0: case-sensitive, bit 1: a tiny stack bound),
// then the pattern up to the first NUL, then the text. Every match runs on a
// context with a small stack bound, so the fuzzer reaches the bound instead of
// memory limits.
//
// A backtracking matcher takes exponential time on nested or stacked
// quantifiers and alternatives ("(a*)*b" against a run of a's); that is the
// nature of the engine, not a fault, and the program's own patterns are fixed.
// So the text is kept short when the pattern has more than one place that
// branches, and patterns with many such places are skipped.
#include "pattern/pattern.h"
#include "pattern/pattern_syntax.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quarry {

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool inside(const char* p, const std::string& text) {
    return p >= text.c_str() && p <= text.c_str() + text.size();
}

// Results must lie in the text.
void checkResults(bool matched, const cPatternMatch& context, const std::string& text,
                  std::uint32_t groupCount) {
    if (!matched) {
        for (std::uint32_t i = 0; i <= groupCount; ++i)
            require(getGroup(context, i).empty());
        return;
    }
    // A final "$" matches the terminator itself, so the end may lie just past it.
    require(inside(context.matchStart(), text));
    require(context.matchStart() <= context.matchEnd() &&
            context.matchEnd() <= text.c_str() + text.size() + 1);
    require(context.groupCount() == groupCount);
    for (std::uint32_t i = 0; i < groupCount; ++i) {
        const char* start = context.groupStart(i);
        const char* end = context.groupEnd(i);
        if (start != nullptr) require(inside(start, text));
        if (end != nullptr) require(inside(end, text));
        require(getGroup(context, i).size() <= text.size());
    }
    require(getGroup(context, groupCount).empty());
}

} // namespace

} // namespace quarry

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarry;
    if (size < 1) return 0;
    const bool caseSensitive = (data[0] & 1u) != 0;
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const std::size_t restSize = size - 1;
    const void* nul = std::memchr(rest, 0, restSize);
    const std::size_t patternSize = nul ? static_cast<const char*>(nul) - rest : restSize;
    const std::string pattern(rest, patternSize);
    std::string text =
        nul ? std::string(rest + patternSize + 1, restSize - patternSize - 1) : std::string();
    std::size_t branches = 0;
    // Abbreviations such as "\w" and "\z" hold quantifiers of their own.
    for (char c : pattern)
        branches += c == '*' || c == '+' || c == '?' || c == '|' || c == '\\';
    if (branches > 8) return 0;
    const std::size_t longest = branches <= 1 ? text.size() : branches <= 3 ? 12 : 6;
    if (text.size() > longest) text.resize(longest);

    cPattern compiled;
    const std::int32_t result = compiled.compile(pattern.c_str(), caseSensitive);
    require(result == compiled.lastError());
    require(result >= patOk && result <= patTooDeep);
    require(compiled.instructions().size() <= kPatMaxInstructions);
    // The size counted before emitting is the size emitted (the case-blind
    // compile reads a lowered copy, so only the exact one is counted here).
    if (result == patOk && caseSensitive) {
        cPatSyntax syntax;
        parsePattern(reinterpret_cast<const unsigned char*>(pattern.c_str()), syntax);
        require(countProgram(syntax) == compiled.instructions().size());
    }

    cPatternMatch context(16);
    context.setMaxStackEntries((data[0] & 2u) != 0 ? 64 : 64 * 1024);
    const char* end = nullptr;
    const bool matched = compiled.match(text.c_str(), &context, &end);
    if (result != patOk) require(!matched);
    checkResults(matched, context, text, compiled.groupCount());
    const std::string firstGroup = getGroup(context, 0);

    // A context used before gives the same answer as a fresh one.
    const bool again = compiled.match(text.c_str(), &context);
    require(again == matched && getGroup(context, 0) == firstGroup);
    return 0;
}
