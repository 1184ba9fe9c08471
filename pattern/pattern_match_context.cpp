// The match context and reading its results.
#include "pattern/pattern.h"

#include <algorithm>

#include <cstring>

namespace quarry {

cPatternMatch::cPatternMatch(std::uint32_t initialStackCapacity) {
    if (initialStackCapacity > kInlineStack) heapStack_.resize(initialStackCapacity);
}

cPatternMatch::cPatternMatch(const cPatternMatch& other) {
    *this = other;
}

cPatternMatch& cPatternMatch::operator=(const cPatternMatch& other) {
    if (this == &other) return *this;
    maxStackEntries_ = other.maxStackEntries_;
    matched_ = other.matched_;
    matchStart_ = other.matchStart_;
    matchEnd_ = other.matchEnd_;
    groupCount_ = other.groupCount_;
    if (groupCount_ > kInlineGroups) heapGroups_.resize(2 * static_cast<std::size_t>(groupCount_));
    std::copy(other.groups(), other.groups() + 2 * static_cast<std::size_t>(groupCount_), groups());
    return *this;
}

void cPatternMatch::prepare(std::uint32_t groups, std::uint32_t slots, std::size_t skipSets) {
    groupCount_ = groups;
    const char** g = this->groups();
    if (groups > kInlineGroups) {
        heapGroups_.resize(2 * static_cast<std::size_t>(groups));
        g = heapGroups_.data();
    }
    std::fill(g, g + 2 * static_cast<std::size_t>(groups), nullptr);
    if (slots > kInlineSlots) {
        heapSlots_.resize(slots);
        slots_ = heapSlots_.data();
    } else {
        slots_ = inlineSlots_;
    }
    std::fill(slots_, slots_ + slots, 0);
    if (skipSets > kInlineSkipSets) {
        heapSkipCache_.resize(2 * skipSets);
        skipCache_ = heapSkipCache_.data();
    } else {
        skipCache_ = inlineSkipCache_;
    }
    std::fill(skipCache_, skipCache_ + 2 * skipSets, nullptr);
}

void cPatternMatch::growStack(std::size_t entries, std::size_t depth) {
    if (heapStack_.empty()) {
        std::vector<std::uintptr_t> grown(entries);
        std::memcpy(grown.data(), inlineStack_, depth * sizeof(std::uintptr_t));
        heapStack_.swap(grown);
    } else if (entries > heapStack_.size()) {
        heapStack_.resize(entries);
    }
}

void cPatternMatch::setMaxStackEntries(std::uint32_t entries) {
    maxStackEntries_ = entries < kPatMaxStackEntries ? entries : kPatMaxStackEntries;
}

std::uint32_t cPatternMatch::groupCount() const {
    return groupCount_;
}
const char* cPatternMatch::matchStart() const {
    return matchStart_;
}
const char* cPatternMatch::matchEnd() const {
    return matchEnd_;
}

const char* cPatternMatch::groupStart(std::uint32_t i) const {
    return i < groupCount_ ? groups()[2 * static_cast<std::size_t>(i)] : nullptr;
}

const char* cPatternMatch::groupEnd(std::uint32_t i) const {
    return i < groupCount_ ? groups()[2 * static_cast<std::size_t>(i) + 1] : nullptr;
}

std::string getGroup(const cPatternMatch& context, std::uint32_t index) {
    if (!context.matched_ || index >= context.groupCount_) return std::string();
    const char* start = context.groups()[2 * static_cast<std::size_t>(index)];
    const char* end = context.groups()[2 * static_cast<std::size_t>(index) + 1];
    if (start == nullptr || end == nullptr || end <= start) return std::string();
    return std::string(start, end);
}

} // namespace quarry
