// Gives a large value back to the allocator on a thread beside: millions of
// array elements take a tenth of a second to free, which the window would
// otherwise spend not answering.
#pragma once

#include <cstddef>
#include <future>
#include <utility>

namespace quarry {

// Below this many elements, freeing on the spot costs less than a thread.
constexpr std::size_t kFreedBesideAbove = 100'000;

// The future is ready once `value` is freed; its destructor waits for that.
template <class Value> std::future<void> freeBeside(Value&& value) {
    return std::async(std::launch::async, [held = std::forward<Value>(value)]() mutable {
        const Value gone = std::move(held);
    });
}

} // namespace quarry
