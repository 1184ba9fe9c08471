// A small, fast pseudo-random source that gives the same sequence for the same
// seed on every compiler and library (unlike the standard distributions), so a
// generated item file is reproducible byte for byte.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quarry {

class cRandomStream {
public:
    explicit cRandomStream(std::uint64_t seed) {
        // Spread the seed over the whole state with splitmix64.
        for (std::uint64_t& word : state_) {
            seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }

    // xoshiro256**.
    std::uint64_t next() {
        const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotl(state_[3], 45);
        return result;
    }

    // A number from 0 to bound - 1 (bound > 0). The slight bias of the
    // multiply-shift reduction does not matter for test data.
    std::uint32_t below(std::uint32_t bound) {
        return static_cast<std::uint32_t>(((next() >> 32) * bound) >> 32);
    }

    // A number from low to high, both included.
    std::int32_t between(std::int32_t low, std::int32_t high) {
        return low + static_cast<std::int32_t>(below(static_cast<std::uint32_t>(high - low + 1)));
    }

    // True with the given chance in thousandths.
    bool chance(std::uint32_t perMille) { return below(1000) < perMille; }

    template <typename T> const T& pick(const std::vector<T>& items) {
        return items[below(static_cast<std::uint32_t>(items.size()))];
    }

    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[below(static_cast<std::uint32_t>(N))];
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::uint64_t state_[4];
};

} // namespace quarry
