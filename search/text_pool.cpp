#include "search/text_pool.h"

#include <algorithm>
#include <numeric>

namespace quarry {

std::uint64_t cTextPool::hashOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

void cTextPool::growSlots() {
    std::vector<std::uint32_t> slots(std::max<std::size_t>(64, slots_.size() * 2), 0);
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
    if (2 * (std::size_t(size()) + 1) > slots_.size()) growSlots();
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
