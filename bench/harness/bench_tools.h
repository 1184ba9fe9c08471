// Small pieces both benchmark programs use: reading a number argument and
// keeping the longest gap between two moments.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace quarry {

// A whole decimal number that fills the whole argument.
inline bool parseNumber(const char* text, std::uint64_t& value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return *end == '\0';
}

// Keeps the longest time between two calls of note() (the first gap runs from
// restart()).
class cGapMeter {
public:
    using Clock = std::chrono::steady_clock;

    void restart() {
        last_ = Clock::now();
        longest_ = {};
    }
    void note() {
        const Clock::time_point now = Clock::now();
        if (now - last_ > longest_) longest_ = now - last_;
        last_ = now;
    }
    double longestSeconds() const { return std::chrono::duration<double>(longest_).count(); }

private:
    Clock::time_point last_ = Clock::now();
    Clock::duration longest_{};
};

} // namespace quarry
