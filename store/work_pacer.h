// Keeps the window answering during long work, and is the one place that
// decides how often it does: pending events are dispatched once the pump
// interval has passed since the last dispatch. The scan calls step() after
// every chunk and the tree build after every item, millions of times, so a
// step looks at the clock only every few calls; work between steps (one chunk
// hundreds of megabytes long, waiting for a worker) looks at every block read
// or wait.
#pragma once

#include "store/filtered_stream.h"
#include "store/store_host.h"

#include <chrono>
#include <cstdint>

namespace quarry {

class cWorkPacer : public cReadWatcher {
public:
    static constexpr std::chrono::milliseconds kInterval{30};
    // Steps between two looks at the clock: a step is a chunk or an item,
    // microseconds each, so this many take far less than the interval.
    static constexpr std::uint32_t kStepsPerLook = 32;

    // The first step dispatches at once, so a new phase shows its label.
    explicit cWorkPacer(cProgressHost& progress) : progress_(progress) {}

    // One step of the work; dispatches when due.
    void step() {
        if (++steps_ % kStepsPerLook == 0) pumpIfDue();
    }
    // Dispatches when the interval has passed since the last dispatch.
    void pumpIfDue();
    // cReadWatcher: dispatches when due; false once the program is ending.
    bool blockRead() override;

private:
    cProgressHost& progress_;
    std::uint32_t steps_ = kStepsPerLook - 1;
    bool pumped_ = false;
    std::chrono::steady_clock::time_point last_{};
};

} // namespace quarry
