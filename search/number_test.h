// Whole numbers in queries, and the tests a query puts to them (an item
// value is read as a number by wholeNumber, store/decimal_text.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quarry {

// A number as a query writes it: an optional sign, then one digit or more.
// Any number of digits is taken; beyond 18 the value is held at the largest
// (or smallest) 64-bit number, which compares with every item value as the
// exact number would.
std::optional<std::int64_t> queryNumber(std::string_view text);

// A test of a number: equal, differ, less, ... or an inclusive range.
struct cNumberTest {
    enum class eOp : std::uint8_t {
        equal,
        notEqual,
        less,
        lessOrEqual,
        greater,
        greaterOrEqual,
        range
    };
    eOp op = eOp::equal;
    std::int64_t value = 0;
    std::int64_t high = 0; // the range's upper end

    bool holds(std::int64_t number) const {
        switch (op) {
        case eOp::equal:
            return number == value;
        case eOp::notEqual:
            return number != value;
        case eOp::less:
            return number < value;
        case eOp::lessOrEqual:
            return number <= value;
        case eOp::greater:
            return number > value;
        case eOp::greaterOrEqual:
            return number >= value;
        case eOp::range:
            return number >= value && number <= high;
        }
        return false;
    }
};

} // namespace quarry
