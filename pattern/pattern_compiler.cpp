// Compiling a pattern: parse the text into nodes, count and emit the program,
// then work out the matcher's skip sets.
#include "pattern/pattern.h"
#include "pattern/pattern_syntax.h"

#include <cstring>
#include <new>
#include <string>

namespace quarry {

// Empties the program, keeping the storage for the next one.
void cPattern::clear() {
    program_.code.clear();
    program_.sets.clear();
    program_.runs.clear();
    program_.lazyAnyLoops.clear();
    program_.groupCount = 0;
    program_.slotCount = 0;
    skipSets_.clear();
    startSet_ = kPatNoSkipSet;
}

std::int32_t cPattern::compile(const char* pattern, bool caseSensitive) {
    if (pattern == nullptr) return patNoPattern;
    clear();
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
        cPatSyntax syntax;
        syntax.nodes.reserve(std::strlen(pattern) + 1);
        result = parsePattern(text, syntax);
        if (result == patOk) result = emitProgram(syntax, program_);
        if (result == patOk) buildFastPaths();
    } catch (const std::bad_alloc&) {
        result = patOutOfMemory;
    }
    if (result != patOk) {
        // A failed program is never run; drop it so a stray match fails.
        clear();
    }
    lastError_ = result;
    return result;
}

} // namespace quarry
