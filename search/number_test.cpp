#include "search/number_test.h"

namespace quarry {

namespace {

// The sign and the digits of `text`; false when it is not sign and digits.
bool splitNumber(std::string_view text, bool& negative, std::string_view& digits) {
    negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    digits = text;
    return true;
}

// Digits as a number, held at `ceiling` when larger.
std::int64_t digitValue(std::string_view digits, std::int64_t ceiling) {
    std::int64_t value = 0;
    for (const char c : digits) {
        if (value > (ceiling - (c - '0')) / 10) return ceiling;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::optional<std::int64_t> queryNumber(std::string_view text) {
    bool negative = false;
    std::string_view digits;
    if (!splitNumber(text, negative, digits)) return std::nullopt;
    const std::int64_t value = digitValue(digits, INT64_MAX);
    return negative ? -value : value;
}

} // namespace quarry
