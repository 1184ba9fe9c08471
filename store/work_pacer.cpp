#include "store/work_pacer.h"

namespace quarry {

void cWorkPacer::pumpIfDue() {
    const auto now = std::chrono::steady_clock::now();
    if (pumped_) {
        // A dispatch happened since the last look: the interval runs from here.
        pumped_ = false;
        since_ = now;
        return;
    }
    if (now - since_ < kInterval) return;
    progress_.pumpMessages();
    since_ = now;
}

bool cWorkPacer::blockRead() {
    pumpIfDue();
    return liveGeneration_ == generation_ && !progress_.stopRequested();
}

} // namespace quarry
