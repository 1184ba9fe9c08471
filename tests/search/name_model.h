// The plain model of the name rules the differential tests compare with,
// written from the rules' wording: lower-cased copies, regular expressions,
// full tables.
#pragma once

#include <algorithm>
#include <cctype>
#include <regex>
#include <string>
#include <vector>

namespace quarry::model {

inline std::string lower(std::string text) {
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? char(c + 32) : c;
    return text;
}

inline std::vector<std::string> split(const std::string& text, const std::regex& separator) {
    std::vector<std::string> parts;
    for (std::sregex_token_iterator i(text.begin(), text.end(), separator, -1), end; i != end; ++i)
        if (i->length() > 0) parts.push_back(*i);
    return parts;
}

// Insertions, deletions, substitutions and swaps of neighbours.
inline int editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        for (std::size_t j = 0; j <= b.size(); ++j) {
            d[i][j] = i == 0 || j == 0 ? int(i + j)
                                       : std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                                   d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// 0 the name equals the words joined by blanks, 1 it starts with the first,
// 2 each starts a word of it, 3 the rest (and every name without words).
inline int rank(const std::string& name, const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    if (words.empty()) return 3;
    if (name == joined) return 0;
    if (name.rfind(words[0], 0) == 0) return 1;
    for (const std::string& word : words) {
        const std::string spaced = " " + name; // the name's start counts as after a blank
        bool starts = false;
        for (std::size_t at = 1; at + word.size() <= spaced.size(); ++at)
            starts = starts || (!std::isalnum(static_cast<unsigned char>(spaced[at - 1])) &&
                                spaced.compare(at, word.size(), word) == 0);
        if (!starts) return 3;
    }
    return 2;
}

// Whether every word is within 0 (up to 3 bytes), 1 (4 to 7) or 2 edits of a
// word of the name; the total of the fewest edits, and the near-spelling
// rank: the rank with each word replaced by its first closest name word.
inline bool nearSpelled(const std::string& name, const std::vector<std::string>& words, int& total,
                        int& nearRank) {
    static const std::regex notAlnum("[^a-z0-9]");
    const std::vector<std::string> nameWords = split(name, notAlnum);
    std::vector<std::string> corrected;
    bool close = true;
    total = 0;
    for (const std::string& word : words) {
        int fewest = 1 << 20;
        corrected.emplace_back();
        for (const std::string& nameWord : nameWords)
            if (editDistance(word, nameWord) < fewest) {
                fewest = editDistance(word, nameWord);
                corrected.back() = nameWord;
            }
        close = close && fewest <= (word.size() <= 3 ? 0 : word.size() <= 7 ? 1 : 2);
        total += fewest;
    }
    nearRank = rank(name, corrected);
    return close;
}

} // namespace quarry::model
