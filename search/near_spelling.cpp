#include "search/near_spelling.h"

#include "search/name_rank.h"
#include "search/name_text.h"

#include <algorithm>
#include <tuple>
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

    // Three rows of the table (a swap looks two rows back), each filled only
    // within `limit` of its diagonal; the cells beside the band hold `over`.
    // A row's smallest cell never shrinks further down, so a row above the
    // limit ends the work.
    scratch.assign(3 * (m + 1), over);
    int* before = scratch.data();
    int* prev = before + m + 1;
    int* cur = prev + m + 1;
    for (std::size_t j = 0; j <= std::min(m, band); ++j)
        prev[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t lo = i > band ? i - band : 1;
        const std::size_t hi = std::min(m, i + band);
        cur[lo - 1] = lo == 1 ? std::min(static_cast<int>(i), over) : over;
        int rowMin = cur[lo - 1];
        for (std::size_t j = lo; j <= hi; ++j) {
            int cell = std::min(
                {prev[j - 1] + (a[i - 1] != b[j - 1] ? 1 : 0), prev[j] + 1, cur[j - 1] + 1});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                cell = std::min(cell, before[j - 2] + 1);
            cur[j] = std::min(cell, over);
            rowMin = std::min(rowMin, cur[j]);
        }
        if (hi < m) cur[hi + 1] = over;
        if (rowMin > limit) return over;
        int* const oldest = before;
        before = prev;
        prev = cur;
        cur = oldest;
    }
    return std::min(prev[m], over);
}

std::vector<std::uint32_t> findNearSpellings(const cQueryIndex& index, const cItemBits& admitted,
                                             const std::vector<std::string_view>& words,
                                             const cSearchStop* stop) {
    const cNameIndex& names = index.names();
    const std::size_t wordCount = words.size();
    std::vector<int> limits;
    for (const std::string_view word : words)
        limits.push_back(nearEditLimit(word.size()));

    struct cFound {
        int edits;
        int rank;
        std::uint32_t position;
    };
    std::vector<cFound> found;
    std::vector<int> fewest(wordCount);
    std::vector<std::string_view> closest(wordCount);
    std::vector<int> scratch;
    for (std::uint32_t position = 0; position < names.size(); ++position) {
        if (position % kNamesBetweenStopLooks == 0 && stopRaised(stop)) break;
        if (!admitted.test(names.item(position))) continue;
        const std::string_view name = names.foldedName(position);
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
            // Only a strictly closer word replaces the one found first.
            for (std::size_t w = 0; w < wordCount; ++w)
                if (fewest[w] > 0) {
                    const int edits =
                        boundedEditDistance(words[w], nameWord, fewest[w] - 1, scratch);
                    if (edits < fewest[w]) {
                        fewest[w] = edits;
                        closest[w] = nameWord;
                    }
                }
            at = end;
        }
        int total = 0;
        bool near = true;
        for (std::size_t w = 0; w < wordCount; ++w) {
            near = near && fewest[w] <= limits[w];
            total += fewest[w];
        }
        if (near) found.push_back({total, cNameRanker(closest).rank(name), position});
    }
    std::sort(found.begin(), found.end(), [&names](const cFound& a, const cFound& b) {
        if (a.edits != b.edits || a.rank != b.rank)
            return std::tie(a.edits, a.rank) < std::tie(b.edits, b.rank);
        return names.before(a.position, b.position);
    });
    std::vector<std::uint32_t> items;
    items.reserve(found.size());
    for (const cFound& entry : found)
        items.push_back(names.item(entry.position));
    return items;
}

} // namespace quarry
