#include "store/work_pacer.h"

namespace quarry {

void cWorkPacer::pumpIfDue() {
    const auto now = std::chrono::steady_clock::now();
    if (pumped_ && now - last_ < kInterval) return;
    progress_.pumpMessages();
    pumped_ = true;
    // The interval runs from the end of the dispatch: a message box or a
    // long handler does not make the next dispatch due at once.
    last_ = std::chrono::steady_clock::now();
}

bool cWorkPacer::blockRead() {
    pumpIfDue();
    return !progress_.stopRequested();
}

} // namespace quarry
