#include "store/decimal_text.h"

namespace quarry {

namespace {
bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
} // namespace

std::int32_t parseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    constexpr std::size_t kMostDigits = 18;
    const bool hasSign = !text.empty() && (text[0] == '+' || text[0] == '-');
    const std::string_view digits = text.substr(hasSign ? 1 : 0);
    if (digits.empty() || digits.size() > kMostDigits) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return text[0] == '-' ? -value : value;
}

} // namespace quarry
