// Stand-ins for the window around the item store while it is measured: a
// progress display that does nothing, one that records the longest pause
// between two dispatches of window events, and a message sink that counts.
#pragma once

#include "harness/bench_tools.h"
#include "store/store_host.h"

#include <cstdint>
#include <string>

namespace quarry {

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
    void start() { gaps_.restart(); }
    // Closes the last gap; call when the work is done.
    void finish() { gaps_.note(); }

    void beginProgress(const std::string&, std::int32_t) override {}
    void setProgress(std::int32_t) override {}
    void endProgress() override {}
    void pumpMessages() override {
        gaps_.note();
        ++pumps_;
    }

    double longestGapSeconds() const { return gaps_.longestSeconds(); }
    std::uint64_t pumps() const { return pumps_; }

private:
    cGapMeter gaps_;
    std::uint64_t pumps_ = 0;
};

class cCountingSink : public cMessageSink {
public:
    void showMessage(const std::string&, const std::string&) override { ++messages_; }
    std::uint64_t messages() const { return messages_; }

private:
    std::uint64_t messages_ = 0;
};

} // namespace quarry
