// The texts the pattern engine is given when a whole item file is read: every
// tag text the filtered stream yields (each ending in its ">"), and every text
// the attribute pattern is applied to while the pairs of those tags are taken
// off one at a time (the attribute text, then each rest). All are held
// zero-terminated in two arenas, so both engines see the same bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quarry {

struct cTextArena {
    std::vector<char> bytes;
    std::vector<std::size_t> starts;  // start of each text in bytes
    std::vector<std::size_t> lengths; // its length, terminator excluded

    std::size_t count() const { return starts.size(); }
    const char* text(std::size_t i) const { return bytes.data() + starts[i]; }
    std::size_t length(std::size_t i) const { return lengths[i]; }
    // Appends a text with its terminator.
    void add(const char* text, std::size_t length);
    // Adds the suffix of text number `text` that begins at `offset`, sharing its bytes.
    void addSuffix(std::size_t text, std::size_t offset);
};

struct cPatternCorpus {
    cTextArena tags;
    cTextArena attributeTexts;
};

// The tag and attribute patterns exactly as the item store compiles them, and
// their equivalents in PCRE2 syntax ("." there needs DOTALL to take line feeds,
// since ours takes every character but the terminator).
extern const char* const kTagPatternText;
extern const char* const kAttributePatternText;
extern const char* const kTagPatternPcre;
extern const char* const kAttributePatternPcre;

// Reads the file through the filtered stream; false when it cannot be opened.
bool buildPatternCorpus(const std::string& path, cPatternCorpus& corpus);

} // namespace quarry
