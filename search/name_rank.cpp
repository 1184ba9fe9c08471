#include "search/name_rank.h"

#include "search/name_text.h"

#include <cstring>

namespace quarry {

std::vector<std::uint32_t> prefixTable(std::string_view word) {
    std::vector<std::uint32_t> table(word.size(), 0);
    std::uint32_t length = 0;
    for (std::size_t i = 1; i < word.size(); ++i) {
        while (length > 0 && word[i] != word[length])
            length = table[length - 1];
        if (word[i] == word[length]) ++length;
        table[i] = length;
    }
    return table;
}

bool startsAWord(std::string_view name, std::string_view word,
                 const std::vector<std::uint32_t>& fallback) {
    if (word.empty()) return true;
    // Most names have few words: compare at each word start while that has
    // cost less than twice the name's bytes, then go on in one linear pass.
    std::size_t budget = 2 * name.size();
    for (std::size_t at = 0; at + word.size() <= name.size(); ++at) {
        if (at > 0 && isNameWordByte(static_cast<unsigned char>(name[at - 1]))) continue;
        if (name[at] == word[0] && std::memcmp(name.data() + at, word.data(), word.size()) == 0)
            return true;
        if (word.size() > budget) break;
        budget -= word.size();
    }
    std::size_t matched = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        while (matched > 0 && name[i] != word[matched])
            matched = fallback[matched - 1];
        if (name[i] == word[matched]) ++matched;
        if (matched == word.size()) {
            const std::size_t start = i + 1 - word.size();
            if (start == 0 || !isNameWordByte(static_cast<unsigned char>(name[start - 1])))
                return true;
            matched = fallback[matched - 1];
        }
    }
    return false;
}

cNameRanker::cNameRanker(std::vector<std::string_view> words) : words_(std::move(words)) {
    for (std::size_t w = 0; w < words_.size(); ++w) {
        tables_.push_back(prefixTable(words_[w]));
        if (w > 0) joined_ += ' ';
        joined_ += words_[w];
    }
}

int cNameRanker::rank(std::string_view name) const {
    if (words_.empty()) return kLastRank;
    if (name == joined_) return 0;
    if (name.starts_with(words_.front())) return 1;
    for (std::size_t w = 0; w < words_.size(); ++w)
        if (!startsAWord(name, words_[w], tables_[w])) return kLastRank;
    return 2;
}

} // namespace quarry
