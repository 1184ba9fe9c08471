#include "search/item_lookup.h"

#include "search/name_index.h"

#include <algorithm>

namespace quarry {

void cItemLookup::update() {
    if (builtFor_ == names_.generation()) return;
    entries_.clear();
    entries_.reserve(names_.size());
    for (std::size_t position = 0; position < names_.size(); ++position)
        entries_.push_back(cEntry{names_.zrid(position), std::uint32_t(position)});
    std::sort(entries_.begin(), entries_.end(),
              [](const cEntry& a, const cEntry& b) { return a.zrid < b.zrid; });
    builtFor_ = names_.generation();
}

std::optional<cIndexedItem> cItemLookup::find(ZRID zrid) {
    update();
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), zrid,
                         [](const cEntry& entry, ZRID wanted) { return entry.zrid < wanted; });
    if (found == entries_.end() || found->zrid != zrid) return std::nullopt;
    return cIndexedItem{zrid, names_.name(found->position), names_.ql(found->position)};
}

} // namespace quarry
