#include "pattern_corpus.h"

#include "pattern/pattern.h"
#include "store/filtered_stream.h"

#include <cstring>
#include <fstream>

namespace quarry {

const char* const kTagPatternText = "^<{/?[^ />]+} ?{.*?}( /)?>";
const char* const kAttributePatternText = "{.+?}=\"{.*?}\"( {.+})?";
const char* const kTagPatternPcre = "^<(/?[^ />]+) ?(.*?)(?: /)?>";
const char* const kAttributePatternPcre = "(.+?)=\"(.*?)\"(?: (.+))?";

void cTextArena::add(const char* text, std::size_t length) {
    starts.push_back(bytes.size());
    lengths.push_back(length);
    bytes.insert(bytes.end(), text, text + length);
    bytes.push_back('\0');
}

void cTextArena::addSuffix(std::size_t text, std::size_t offset) {
    starts.push_back(starts[text] + offset);
    lengths.push_back(lengths[text] - offset);
}

bool buildPatternCorpus(const std::string& path, cPatternCorpus& corpus) {
    if (!std::ifstream(path).good()) return false;
    cPattern tagPattern;
    cPattern attributePattern;
    tagPattern.compile(kTagPatternText, true);
    attributePattern.compile(kAttributePatternText, true);
    cPatternMatch context(256);

    cFilteredStream stream(path);
    for (;;) {
        const std::string tag = stream.readTag();
        if (tag == ">") break;
        corpus.tags.add(tag.c_str(), tag.size());

        if (!tagPattern.match(tag.c_str(), &context) || context.groupStart(1) == nullptr) continue;
        const std::string text(context.groupStart(1), context.groupEnd(1));
        if (text.empty()) continue;
        // The attribute text, then each rest, as the loaders take pairs off. A
        // rest runs to the end of the text, so it is kept as a suffix of it.
        corpus.attributeTexts.add(text.c_str(), text.size());
        const std::size_t whole = corpus.attributeTexts.count() - 1;
        const char* const textEnd = text.c_str() + text.size();
        const char* at = text.c_str();
        while (attributePattern.match(at, &context) && context.groupStart(2) != nullptr &&
               context.groupEnd(2) == textEnd && context.groupStart(2) != textEnd) {
            at = context.groupStart(2);
            corpus.attributeTexts.addSuffix(whole, static_cast<std::size_t>(at - text.c_str()));
        }
    }
    return true;
}

} // namespace quarry
