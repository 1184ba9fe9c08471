#include "search/name_search.h"

#include "search/name_text.h"
#include "search/near_spelling.h"

#include <cstring>
#include <optional>

namespace quarry {

namespace {

constexpr int kRankCount = 4;
constexpr int kRankOther = kRankCount - 1;

// Whether `word` occurs at the name's start or after a byte that is not an
// ASCII letter or digit.
bool startsAWord(std::string_view name, std::string_view word) {
    for (std::size_t at = name.find(word); at != std::string_view::npos;
         at = name.find(word, at + 1))
        if (at == 0 || !isNameWordByte(static_cast<unsigned char>(name[at - 1]))) return true;
    return false;
}

int rankOf(std::string_view name, const cNameQuery& query, std::string_view joinedWords) {
    if (name == joinedWords) return 0;
    if (name.starts_with(query.words.front())) return 1;
    for (const std::string& word : query.words)
        if (!startsAWord(name, word)) return kRankOther;
    return 2;
}

bool containsAll(std::string_view name, const std::vector<std::string>& words) {
    for (const std::string& word : words)
        if (name.find(word) == std::string_view::npos) return false;
    return true;
}

// The scan looks for one byte of one word with memchr: the byte rarest in the
// index among all bytes of all words, and its place in its word.
struct cAnchor {
    std::string_view word;
    std::size_t at = 0;
};

cAnchor chooseAnchor(const cNameIndex& index, const std::vector<std::string>& words) {
    cAnchor anchor{words.front(), 0};
    std::uint64_t rarest = UINT64_MAX;
    for (const std::string& word : words)
        for (std::size_t i = 0; i < word.size(); ++i) {
            const std::uint64_t count = index.byteCount(static_cast<unsigned char>(word[i]));
            if (count < rarest) {
                rarest = count;
                anchor = {word, i};
            }
        }
    return anchor;
}

// Calls visit(position) once for each committed name that contains the
// anchor's word, in name order.
template <class Visit>
void forEachNameContaining(const cNameIndex& index, const cAnchor& anchor, Visit&& visit) {
    const std::string_view arena = index.foldedArena();
    const std::string_view word = anchor.word;
    if (word.empty() || word.size() > arena.size()) return;
    const char* const base = arena.data();
    const std::size_t lastStart = arena.size() - word.size();
    std::size_t from = 0;     // the first place the word may start
    std::size_t position = 0; // the name that holds the next hit (names only move forward)
    while (from <= lastStart) {
        const void* hit =
            std::memchr(base + from + anchor.at, word[anchor.at], lastStart - from + 1);
        if (hit == nullptr) return;
        const std::size_t start =
            static_cast<std::size_t>(static_cast<const char*>(hit) - base) - anchor.at;
        while (index.nameEnd(position) <= start)
            ++position;
        const std::size_t end = index.nameEnd(position);
        if (start + word.size() <= end &&
            std::memcmp(base + start, word.data(), word.size()) == 0) {
            visit(position);
            from = end;
            ++position;
        } else {
            from = start + 1;
        }
    }
}

std::optional<std::uint32_t> findIdentifier(const cNameIndex& index, ZRID zrid) {
    for (std::size_t position = 0; position < index.size(); ++position)
        if (index.zrid(position) == zrid) return static_cast<std::uint32_t>(position);
    return std::nullopt;
}

std::string joinWords(const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

} // namespace

cNameSearchResult searchNames(const cNameIndex& index, const cNameQuery& query, bool allowNear) {
    cNameSearchResult result;
    std::optional<std::uint32_t> first;
    if (query.identifier) first = findIdentifier(index, *query.identifier);
    if (first) result.items.push_back(*first);
    if (!query.hasConditions()) return result;

    const std::string joined = joinWords(query.words);
    std::vector<std::uint32_t> ranks[kRankCount];
    const auto consider = [&](std::size_t position) {
        if (first == position) return;
        const std::string_view name = index.foldedName(position);
        if (!query.admitsQl(index.ql(position)) || !containsAll(name, query.words) ||
            query.excludesName(name))
            return;
        const int rank = query.words.empty() ? kRankOther : rankOf(name, query, joined);
        ranks[rank].push_back(static_cast<std::uint32_t>(position));
    };
    if (query.words.empty()) {
        for (std::size_t position = 0; position < index.size(); ++position)
            consider(position);
    } else {
        forEachNameContaining(index, chooseAnchor(index, query.words), consider);
    }

    std::size_t matched = 0;
    for (const auto& rank : ranks)
        matched += rank.size();
    if (matched == 0 && allowNear && !query.words.empty()) {
        for (const std::uint32_t position : findNearSpellings(index, query))
            if (first != position) {
                result.items.push_back(position);
                result.near = true;
            }
        return result;
    }
    result.items.reserve(result.items.size() + matched);
    for (const auto& rank : ranks)
        result.items.insert(result.items.end(), rank.begin(), rank.end());
    return result;
}

} // namespace quarry
