#include "search/name_search.h"

#include "search/name_text.h"
#include "search/near_spelling.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace quarry {

namespace {

constexpr int kRankCount = 4;
constexpr int kRankOther = kRankCount - 1;

// Whether `word` occurs at the name's start or after a byte that is not an
// ASCII letter or digit.
bool startsAWord(std::string_view name, std::string_view word) {
    for (std::size_t at = 0; at + word.size() <= name.size(); ++at)
        if ((at == 0 || !isNameWordByte(static_cast<unsigned char>(name[at - 1]))) &&
            name.compare(at, word.size(), word) == 0)
            return true;
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
        if (!containsBytes(name, word)) return false;
    return true;
}

// The scan looks for the word with the rarest pair of neighbouring bytes (or
// rarest byte, for a word of one byte) at the places where that pair sits:
// 16 places are compared at a time, and only those places in full.
struct cAnchor {
    std::string_view word;
    std::size_t first = 0; // the pair's places in the word (the same for a one-byte word)
    std::size_t second = 0;
};

cAnchor chooseAnchor(const cNameIndex& index, const std::vector<std::string>& words) {
    cAnchor anchor{words.front()};
    std::uint64_t rarest = UINT64_MAX;
    const auto consider = [&](std::string_view word, std::size_t first, std::uint64_t count) {
        if (count >= rarest) return;
        rarest = count;
        anchor = {word, first, std::min(first + 1, word.size() - 1)};
    };
    for (const std::string& word : words) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(word[at]); };
        if (word.size() == 1) consider(word, 0, index.byteCount(byte(0)));
        for (std::size_t at = 0; at + 1 < word.size(); ++at)
            consider(word, at, index.pairCount(byte(at), byte(at + 1)));
    }
    return anchor;
}

using cByteBlock = unsigned char __attribute__((vector_size(16)));

cByteBlock loadBlock(const char* bytes) {
    cByteBlock block;
    std::memcpy(&block, bytes, sizeof block);
    return block;
}

class cCandidateFinder {
public:
    cCandidateFinder(std::string_view arena, const cAnchor& anchor)
        : word_(anchor.word), base_(arena.data()), last_(arena.size() - anchor.word.size()),
          first_(anchor.first), second_(anchor.second), one_(byteAt(anchor, first_)),
          two_(byteAt(anchor, second_)), ones_(cByteBlock{} + one_), twos_(cByteBlock{} + two_) {}

    // The first place from `from` on (at most the last place the word fits)
    // that holds both bytes; SIZE_MAX when none.
    std::size_t next(std::size_t from) const {
        if (from > last_) return SIZE_MAX;
        if (word_.size() > kLongestPairScan) {
            // Long words go by the two-way search, which stays linear on
            // repetitive names where comparing at every pair would not.
            const void* hit =
                memmem(base_ + from, last_ + word_.size() - from, word_.data(), word_.size());
            return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base_) : SIZE_MAX;
        }
        std::size_t at = from;
        for (; at + sizeof(cByteBlock) <= last_ + 1; at += sizeof(cByteBlock)) {
            const auto hits = (loadBlock(base_ + at + first_) == ones_) &
                              (loadBlock(base_ + at + second_) == twos_);
            std::uint64_t words[sizeof hits / sizeof(std::uint64_t)];
            std::memcpy(words, &hits, sizeof hits);
            if ((words[0] | words[1]) == 0) continue;
            for (std::size_t k = 0;; ++k)
                if (hits[k] != 0) return at + k;
        }
        for (; at <= last_; ++at)
            if (holds(at)) return at;
        return SIZE_MAX;
    }

private:
    static unsigned char byteAt(const cAnchor& anchor, std::size_t at) {
        return static_cast<unsigned char>(anchor.word[at]);
    }
    bool holds(std::size_t at) const {
        return static_cast<unsigned char>(base_[at + first_]) == one_ &&
               static_cast<unsigned char>(base_[at + second_]) == two_;
    }

    static constexpr std::size_t kLongestPairScan = 32;

    std::string_view word_;
    const char* base_;
    std::size_t last_;
    std::size_t first_;
    std::size_t second_;
    unsigned char one_;
    unsigned char two_;
    cByteBlock ones_;
    cByteBlock twos_;
};

// The last name from `from` on that starts at or before `offset` (the name
// `from` must): a galloping search, as hits only move forward.
std::size_t nameHolding(const cNameIndex& index, std::size_t from, std::size_t offset) {
    std::size_t low = from;
    std::size_t step = 1;
    while (low + step < index.size() && index.nameStart(low + step) <= offset) {
        low += step;
        step *= 2;
    }
    std::size_t high = std::min(low + step, index.size());
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        (index.nameStart(middle) <= offset ? low : high) = middle;
    }
    return low;
}

// Calls visit(position) once for each committed name that contains the
// anchor's word, in name order.
template <class Visit>
void forEachNameContaining(const cNameIndex& index, const cAnchor& anchor, Visit&& visit) {
    const std::string_view arena = index.foldedArena();
    const std::string_view word = anchor.word;
    if (word.empty() || word.size() > arena.size()) return;
    const cCandidateFinder candidates(arena, anchor);
    std::size_t position = 0; // a name at or before the next place
    for (std::size_t from = 0;;) {
        const std::size_t start = candidates.next(from);
        if (start == SIZE_MAX) return;
        from = start + 1;
        if (arena.compare(start, word.size(), word) != 0) continue;
        // The word is there; it counts when it lies within one name.
        position = nameHolding(index, position, start);
        const std::size_t end = index.nameEnd(position);
        if (start + word.size() <= end) {
            visit(position);
            from = end;
            ++position;
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
