#include "search/text_pool.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>

namespace quarry {

namespace {
constexpr std::size_t kFewestSlots = 64;
} // namespace

std::uint64_t cTextPool::hashOf(std::string_view text) {
    // Eight bytes at a time, each step a multiply and a rotation; the length
    // goes in first so texts that differ only by trailing NUL bytes differ.
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = text.size() * kMultiplier;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        hash = std::rotl((hash ^ word) * kMultiplier, 29);
    }
    std::uint64_t tail = 0;
    if (at < text.size()) std::memcpy(&tail, text.data() + at, text.size() - at);
    hash = (hash ^ tail) * kMultiplier;
    return hash ^ (hash >> 32);
}

void cTextPool::expect(std::size_t more) {
    std::size_t count = std::max<std::size_t>(kFewestSlots, slots_.size());
    while (2 * (std::size_t(size()) + more + 1) > count)
        count *= 2;
    if (count != slots_.size()) rehash(count);
}

void cTextPool::rehash(std::size_t count) {
    std::vector<std::uint32_t> slots(count, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 0; id < size(); ++id) {
        std::size_t at = hashOf(text(id)) & mask;
        while (slots[at] != 0)
            at = (at + 1) & mask;
        slots[at] = id + 1;
    }
    slots_.swap(slots);
}

std::uint32_t cTextPool::intern(std::string_view text) {
    // At most half the slots are taken, so every probe ends at an empty one.
    if (2 * (std::size_t(size()) + 1) > slots_.size()) expect(1);
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hashOf(text) & mask;
    for (; slots_[at] != 0; at = (at + 1) & mask) {
        const std::uint32_t id = slots_[at] - 1;
        if (this->text(id) == text) {
            ++counts_[id];
            return id;
        }
    }
    if (text.size() > UINT32_MAX - bytes_.size() || size() >= UINT32_MAX - 1) return kNoText;
    bytes_.append(text);
    ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    counts_.push_back(1);
    slots_[at] = size();
    return size() - 1;
}

std::vector<std::uint32_t> cTextPool::idsByFrequency() const {
    std::vector<std::uint32_t> ids(size());
    std::iota(ids.begin(), ids.end(), 0u);
    std::stable_sort(ids.begin(), ids.end(),
                     [this](std::uint32_t a, std::uint32_t b) { return counts_[a] > counts_[b]; });
    return ids;
}

bool cTextPool::restored() const {
    if (counts_.size() != ends_.size() || ends_.size() >= UINT32_MAX) return false;
    std::uint32_t end = 0;
    for (const std::uint32_t next : ends_) {
        if (next < end) return false;
        end = next;
    }
    if (end != bytes_.size()) return false;
    // intern() probes until an empty slot and grows the table before it is
    // half full: the table must be a power of two with that room.
    if (!slots_.empty() &&
        (!std::has_single_bit(slots_.size()) || 2 * ends_.size() >= slots_.size()))
        return false;
    std::size_t taken = 0;
    for (const std::uint32_t slot : slots_) {
        if (slot > size()) return false;
        taken += slot != 0;
    }
    return taken == size() && (size() == 0 || !slots_.empty());
}

void cTextPool::clear() {
    std::string().swap(bytes_);
    std::vector<std::uint32_t>().swap(ends_);
    std::vector<std::uint32_t>().swap(counts_);
    std::vector<std::uint32_t>().swap(slots_);
}

void cTextPool::shrinkToFit() {
    bytes_.shrink_to_fit();
    ends_.shrink_to_fit();
    counts_.shrink_to_fit();
}

} // namespace quarry
