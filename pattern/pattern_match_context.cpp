// The match context and reading its results.
#include "pattern/pattern.h"

cPatternMatch::cPatternMatch(std::uint32_t initialStackCapacity)
    : stack_(initialStackCapacity < 16 ? 16 : initialStackCapacity) {}

void cPatternMatch::setMaxStackEntries(std::uint32_t entries) {
    maxStackEntries_ = entries < kPatMaxStackEntries ? entries : kPatMaxStackEntries;
}

std::uint32_t cPatternMatch::groupCount() const { return groupCount_; }
const char* cPatternMatch::matchStart() const { return matchStart_; }
const char* cPatternMatch::matchEnd() const { return matchEnd_; }

const char* cPatternMatch::groupStart(std::uint32_t i) const {
    return i < groupCount_ ? groups_[2 * static_cast<std::size_t>(i)] : nullptr;
}

const char* cPatternMatch::groupEnd(std::uint32_t i) const {
    return i < groupCount_ ? groups_[2 * static_cast<std::size_t>(i) + 1] : nullptr;
}

std::string getGroup(const cPatternMatch& context, std::uint32_t index) {
    if (!context.matched_ || index >= context.groupCount_) return std::string();
    const char* start = context.groups_[2 * static_cast<std::size_t>(index)];
    const char* end = context.groups_[2 * static_cast<std::size_t>(index) + 1];
    if (start == nullptr || end == nullptr || end <= start) return std::string();
    return std::string(start, end);
}
