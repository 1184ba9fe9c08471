// Small pieces both benchmark programs use: reading a number argument,
// keeping the longest gap between two moments, and a stopwatch of wall and
// thread CPU time.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <time.h>

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

// The CPU time this thread has used, in seconds.
inline double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The CPU time every thread of this process has used, in seconds.
inline double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall time, and the CPU time of this thread and of the whole process, since
// it was made. On a shared machine the CPU time is the steadier of the two
// kinds: it leaves out the time a thread waited for a processor.
class cStopwatch {
public:
    using Clock = std::chrono::steady_clock;

    double wallSeconds() const {
        return std::chrono::duration<double>(Clock::now() - wall_).count();
    }
    double cpuSeconds() const { return threadCpuSeconds() - cpu_; }
    // Includes the workers a measured call starts and joins.
    double allThreadsCpuSeconds() const { return processCpuSeconds() - processCpu_; }

private:
    Clock::time_point wall_ = Clock::now();
    double cpu_ = threadCpuSeconds();
    double processCpu_ = processCpuSeconds();
};

} // namespace quarry
