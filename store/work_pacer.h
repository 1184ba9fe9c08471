// Keeps the window answering during long work. The scan dispatches pending
// events after every chunk and the tree build after every filed item; work
// between those places (items that are not filed, one chunk hundreds of
// megabytes long) dispatches here once it has run for a pump interval.
#pragma once

#include "store/filtered_stream.h"
#include "store/store_host.h"

#include <chrono>
#include <cstdint>

namespace quarry {

class cWorkPacer : public cReadWatcher {
public:
    static constexpr std::chrono::milliseconds kInterval{30};

    // `liveGeneration` is the store's import counter; once it moves away from
    // `generation`, long reads are abandoned.
    cWorkPacer(cProgressHost& progress, const std::uint64_t& liveGeneration,
               std::uint64_t generation)
        : progress_(progress), liveGeneration_(liveGeneration), generation_(generation) {}

    // A dispatch the work's own rule asks for; costs no clock read.
    void pump() {
        progress_.pumpMessages();
        pumped_ = true;
    }
    // Dispatches when the interval has passed since the last dispatch.
    void pumpIfDue();
    // cReadWatcher: dispatches when due; false once a newer import began or
    // the program is ending.
    bool blockRead() override;

private:
    cProgressHost& progress_;
    const std::uint64_t& liveGeneration_;
    std::uint64_t generation_;
    bool pumped_ = true;
    std::chrono::steady_clock::time_point since_{};
};

} // namespace quarry
