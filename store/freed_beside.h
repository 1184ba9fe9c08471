// Gives large values back to the allocator on a thread kept for it: millions
// of nodes or a record of a million attributes take a tenth of a second to
// free, which the window would otherwise spend not answering.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>

namespace quarry {

// Below this many elements, freeing on the spot costs less than a hand-over.
constexpr std::size_t kFreedBesideAbove = 100'000;

class cHeldValue {
public:
    virtual ~cHeldValue() = default;
};

// Queues `held` to be destroyed on the freeing thread, in the order given;
// the thread drains the queue before the program ends.
void freeHeldBeside(std::unique_ptr<cHeldValue> held);

// Takes `value` over and frees it beside.
template <class Value> void freeBeside(Value value) {
    struct cHeld : cHeldValue {
        explicit cHeld(Value&& taken) : value(std::move(taken)) {}
        Value value;
    };
    freeHeldBeside(std::make_unique<cHeld>(std::move(value)));
}

// When `value` holds more than kFreedBesideAbove elements (`elements`, as
// its owner counts them), takes it over, leaving it empty, and frees it
// beside; otherwise leaves it to its owner.
template <class Value> void freeBesideWhenLarge(Value& value, std::size_t elements) {
    if (elements > kFreedBesideAbove) freeBeside(std::exchange(value, Value{}));
}

} // namespace quarry
