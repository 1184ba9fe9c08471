// A set of item numbers 0 to size() - 1 as one bit each: what each predicate
// of a query yields, combined with and, or and not a word at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarry {

class cItemBits {
public:
    explicit cItemBits(std::size_t size = 0, bool every = false)
        : words_((size + 63) / 64, every ? ~std::uint64_t(0) : 0), size_(size) {
        clearTail();
    }

    std::size_t size() const { return size_; }
    bool test(std::size_t item) const { return (words_[item / 64] >> (item % 64)) & 1; }
    void set(std::size_t item) { words_[item / 64] |= std::uint64_t(1) << (item % 64); }
    void reset(std::size_t item) { words_[item / 64] &= ~(std::uint64_t(1) << (item % 64)); }

    void intersect(const cItemBits& other) {
        for (std::size_t i = 0; i < words_.size(); ++i)
            words_[i] &= other.words_[i];
    }
    void unite(const cItemBits& other) {
        for (std::size_t i = 0; i < words_.size(); ++i)
            words_[i] |= other.words_[i];
    }
    void invert() {
        for (std::uint64_t& word : words_)
            word = ~word;
        clearTail();
    }
    std::size_t count() const {
        std::size_t total = 0;
        for (const std::uint64_t word : words_)
            total += static_cast<std::size_t>(std::popcount(word));
        return total;
    }
    // Calls visit(item) for every item in the set, in ascending order.
    template <class Visit> void forEach(Visit&& visit) const {
        for (std::size_t i = 0; i < words_.size(); ++i)
            for (std::uint64_t word = words_[i]; word != 0; word &= word - 1)
                visit(i * 64 + static_cast<std::size_t>(std::countr_zero(word)));
    }

private:
    void clearTail() {
        if (size_ % 64 != 0) words_.back() &= (std::uint64_t(1) << (size_ % 64)) - 1;
    }

    std::vector<std::uint64_t> words_;
    std::size_t size_;
};

} // namespace quarry
