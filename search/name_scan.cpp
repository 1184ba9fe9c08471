#include "search/name_scan.h"

#include "search/name_text.h"

#include <algorithm>
#include <cstring>

namespace quarry {

namespace {

// The scan looks for the word with the rarest pair of neighbouring bytes (or
// rarest byte, for a word of one byte) at the places where that pair sits:
// 16 places are compared at a time, and only those places in full.
struct cAnchor {
    std::string_view word;
    std::size_t first = 0; // the pair's places in the word (the same for a one-byte word)
    std::size_t second = 0;
};

cAnchor chooseAnchor(const cNameIndex& index, const std::vector<std::string_view>& words) {
    cAnchor anchor{words.front()};
    std::uint64_t rarest = UINT64_MAX;
    const auto consider = [&](std::string_view word, std::size_t first, std::uint64_t count) {
        if (count >= rarest) return;
        rarest = count;
        anchor = {word, first, std::min(first + 1, word.size() - 1)};
    };
    for (const std::string_view word : words) {
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

bool containsAll(std::string_view name, const std::vector<std::string_view>& words) {
    for (const std::string_view word : words)
        if (!containsBytes(name, word)) return false;
    return true;
}

} // namespace

std::vector<std::uint32_t> namesContainingAll(const cNameIndex& index,
                                              const std::vector<std::string_view>& words) {
    std::vector<std::uint32_t> found;
    const std::string_view arena = index.foldedArena();
    const cAnchor anchor = chooseAnchor(index, words);
    const std::string_view word = anchor.word;
    if (word.empty()) { // every name contains it: the other words decide
        for (std::size_t position = 0; position < index.size(); ++position)
            if (containsAll(index.foldedName(position), words))
                found.push_back(static_cast<std::uint32_t>(position));
        return found;
    }
    if (word.size() > arena.size()) return found;
    const cCandidateFinder candidates(arena, anchor);
    std::size_t position = 0; // a name at or before the next place
    for (std::size_t from = 0;;) {
        const std::size_t start = candidates.next(from);
        if (start == SIZE_MAX) return found;
        from = start + 1;
        if (arena.compare(start, word.size(), word) != 0) continue;
        // The word is there; it counts when it lies within one name.
        position = nameHolding(index, position, start);
        const std::size_t end = index.nameEnd(position);
        if (start + word.size() <= end) {
            if (containsAll(index.foldedName(position), words))
                found.push_back(static_cast<std::uint32_t>(position));
            from = end;
            ++position;
        }
    }
}

} // namespace quarry
