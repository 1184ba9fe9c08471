// Writes an item file: an XML declaration, a root element, and item records
// held back to back (every "<Item" right after the previous tag's ">"), the way
// the import scan and the record parser read them. The mix covers every item
// type and unknown ones, nano programs with and without quality level, armor
// and utility slots, weapons, events, actions, and a small share of the rough
// edges real files have.
#pragma once

#include "random_stream.h"
#include "word_forge.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarry {

struct cItemFileCounts {
    std::uint64_t items = 0;
    std::uint64_t nanos = 0;
    std::uint64_t meantToFail = 0; // written so that loading them fails
};

class cItemFileWriter {
public:
    explicit cItemFileWriter(std::uint64_t seed);

    // Each call appends its text to out.
    void writeHeader(std::string& out);
    void writeItem(std::string& out);
    void writeFooter(std::string& out);

    const cItemFileCounts& counts() const { return counts_; }

private:
    struct Pair {
        std::string name;
        std::string value;
    };

    void writeTag(std::string& out, const char* name, std::vector<Pair> pairs, bool selfClosing);
    void writeDescription(std::string& out);
    void writeAttributes(std::string& out, int itemType, bool nano);
    void writeSkillValues(std::string& out, const char* tag, const char* const* skills,
                          int skillCount, int count);
    void writeEvents(std::string& out, int itemType, bool nano);
    void writeFunction(std::string& out);
    void writeActions(std::string& out, int itemType, bool nano);
    Pair requirementPair(const char* name);
    void writeRequirement(std::string& out);
    void maybeComment(std::string& out, std::uint32_t perMille);
    std::int32_t nextIdentifier();

    cRandomStream random_;
    cWordForge forge_;
    cItemFileCounts counts_;
    std::int32_t lastIdentifier_ = 100000;
    std::int32_t lateIdentifier_ = 5000000;
    std::vector<std::string> recentNames_;
};

} // namespace quarry
