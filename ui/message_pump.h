// Lets the window answer while a long operation runs on the user-interface
// thread. The import calls this after every chunk of the file, millions of
// times, so dispatching is limited by time: pending events run at most once
// per interval, and a call in between costs one clock read.
#pragma once

#include <chrono>
#include <functional>

namespace quarry {

class cMessagePump {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::chrono::milliseconds kDefaultInterval{30};

    explicit cMessagePump(std::chrono::milliseconds interval = kDefaultInterval, Clock clock = {});

    // True when the interval has passed since the last dispatch (or reset);
    // a true answer starts the next interval.
    bool due();
    // Makes the next due() answer true, so a new phase of work (a new
    // progress label) is painted at once.
    void reset() { primed_ = true; }

private:
    std::chrono::milliseconds interval_;
    Clock clock_;
    std::chrono::steady_clock::time_point last_{};
    bool primed_ = true;
};

// Dispatches the thread's pending window events when the shared pump is due,
// after running `beforeDispatch` (which brings views up to date). Answers
// whether it dispatched.
bool pumpMessages(const std::function<void()>& beforeDispatch = {});
// The pump pumpMessages() uses.
cMessagePump& sharedMessagePump();

} // namespace quarry
