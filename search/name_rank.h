// The rank of a name against the name words of a query (folded): 0 the
// name equals the words joined by single blanks; 1 it starts with the first
// word; 2 each word starts a word of it (occurs at its start or after a byte
// that is not an ASCII letter or digit); 3 the rest. Every test takes time
// linear in the name and the words, whatever their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

inline constexpr int kRankCount = 4;
inline constexpr int kLastRank = kRankCount - 1;

// Whether `word` starts a word of `name`: compared at the name's word starts
// while that costs less than twice the name's length, else found by one pass
// of the Knuth-Morris-Pratt search. `fallback` is the word's table of longest
// proper prefixes that are also suffixes (prefixTable()).
bool startsAWord(std::string_view name, std::string_view word,
                 const std::vector<std::uint32_t>& fallback);
std::vector<std::uint32_t> prefixTable(std::string_view word);

class cNameRanker {
public:
    explicit cNameRanker(std::vector<std::string_view> words);
    // The rank of a folded name; kLastRank when there are no words.
    int rank(std::string_view name) const;

private:
    std::vector<std::string_view> words_;
    std::vector<std::vector<std::uint32_t>> tables_;
    std::string joined_;
};

} // namespace quarry
