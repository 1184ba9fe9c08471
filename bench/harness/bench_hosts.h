// Stand-ins for the window around the item store while it is measured: a
// progress display that does nothing, one that records the longest pause
// between two dispatches of window events, and a message sink that counts.
#pragma once

#include "store/store_host.h"

#include <chrono>
#include <cstdint>
#include <string>

class cQuietProgress : public cProgressHost {
public:
    void beginProgress(const std::string&, std::int32_t) override {}
    void setProgress(std::int32_t) override {}
    void endProgress() override {}
    void pumpMessages() override {}
};

// The window dispatches pending events only from pumpMessages, so the longest
// time between two calls (or between the start or end of the work and the
// nearest call) is the longest the window would not answer.
class cPumpGapProbe : public cProgressHost {
public:
    using Clock = std::chrono::steady_clock;

    void start() { last_ = Clock::now(); }
    // Closes the last gap; call when the work is done.
    void finish() { note(); }

    void beginProgress(const std::string&, std::int32_t) override {}
    void setProgress(std::int32_t) override {}
    void endProgress() override {}
    void pumpMessages() override { note(); ++pumps_; }

    double longestGapSeconds() const { return std::chrono::duration<double>(longest_).count(); }
    std::uint64_t pumps() const { return pumps_; }

private:
    void note()
    {
        const Clock::time_point now = Clock::now();
        if (now - last_ > longest_)
            longest_ = now - last_;
        last_ = now;
    }

    Clock::time_point last_ = Clock::now();
    Clock::duration longest_ {};
    std::uint64_t pumps_ = 0;
};

class cCountingSink : public cMessageSink {
public:
    void showMessage(const std::string&, const std::string&) override { ++messages_; }
    std::uint64_t messages() const { return messages_; }

private:
    std::uint64_t messages_ = 0;
};
