// Abandoning a search from another thread: the thread that started it raises
// a flag, and the search looks at it now and then and gives up. Looking is
// one relaxed load: the flag carries no data, it only ends work early.
#pragma once

#include <atomic>
#include <cstdint>

namespace quarry {

using cSearchStop = std::atomic<bool>;

// Scans over the names look at the flag once per this many names.
inline constexpr std::uint32_t kNamesBetweenStopLooks = 4096;

inline bool stopRaised(const cSearchStop* stop) {
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

} // namespace quarry
