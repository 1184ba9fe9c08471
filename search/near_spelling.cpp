#include "search/near_spelling.h"

#include "search/name_text.h"

#include <algorithm>
#include <utility>

namespace quarry {

int nearEditLimit(std::size_t wordLength) {
    return wordLength <= 3 ? 0 : wordLength <= 7 ? 1 : 2;
}

int boundedEditDistance(std::string_view a, std::string_view b, int limit,
                        std::vector<int>& scratch) {
    if (a.size() > b.size()) std::swap(a, b);
    const int over = limit + 1;
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    const auto band = static_cast<std::size_t>(limit);
    if (m - n > band) return over;
    if (n == 0) return static_cast<int>(m);

    // Two rows of the classic table, each filled only within `limit` of its
    // diagonal; cells outside the band hold `over`.
    scratch.assign(2 * (m + 1), over);
    int* prev = scratch.data();
    int* cur = prev + m + 1;
    for (std::size_t j = 0; j <= std::min(m, band); ++j)
        prev[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t lo = i > band ? i - band : 1;
        const std::size_t hi = std::min(m, i + band);
        cur[lo - 1] = lo == 1 ? std::min(static_cast<int>(i), over) : over;
        int rowMin = cur[lo - 1];
        for (std::size_t j = lo; j <= hi; ++j) {
            const int substitute = prev[j - 1] + (a[i - 1] != b[j - 1] ? 1 : 0);
            cur[j] = std::min({substitute, prev[j] + 1, cur[j - 1] + 1, over});
            rowMin = std::min(rowMin, cur[j]);
        }
        if (hi < m) cur[hi + 1] = over;
        if (rowMin > limit) return over;
        std::swap(prev, cur);
    }
    return std::min(prev[m], over);
}

std::vector<std::uint32_t> findNearSpellings(const cNameIndex& index, const cNameQuery& query) {
    const std::size_t wordCount = query.words.size();
    std::vector<int> limits;
    for (const std::string& word : query.words)
        limits.push_back(nearEditLimit(word.size()));

    std::vector<std::pair<int, std::uint32_t>> found; // total edits, position
    std::vector<int> fewest(wordCount);
    std::vector<int> scratch;
    for (std::size_t position = 0; position < index.size(); ++position) {
        if (!query.admitsQl(index.ql(position))) continue;
        const std::string_view name = index.foldedName(position);
        for (std::size_t w = 0; w < wordCount; ++w)
            fewest[w] = limits[w] + 1;
        for (std::size_t at = 0; at < name.size();) {
            if (!isNameWordByte(static_cast<unsigned char>(name[at]))) {
                ++at;
                continue;
            }
            std::size_t end = at;
            while (end < name.size() && isNameWordByte(static_cast<unsigned char>(name[end])))
                ++end;
            const std::string_view nameWord = name.substr(at, end - at);
            for (std::size_t w = 0; w < wordCount; ++w)
                if (fewest[w] > 0)
                    fewest[w] = std::min(fewest[w], boundedEditDistance(query.words[w], nameWord,
                                                                        fewest[w] - 1, scratch));
            at = end;
        }
        int total = 0;
        bool near = true;
        for (std::size_t w = 0; w < wordCount; ++w) {
            near = near && fewest[w] <= limits[w];
            total += fewest[w];
        }
        if (near && !query.excludesName(name))
            found.emplace_back(total, static_cast<std::uint32_t>(position));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::uint32_t> positions;
    positions.reserve(found.size());
    for (const auto& entry : found)
        positions.push_back(entry.second);
    return positions;
}

} // namespace quarry
