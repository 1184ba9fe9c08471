#include "search/item_lookup.h"

#include "search/query_index.h"

#include <algorithm>

namespace quarry {

void cItemLookup::update() {
    const cBuiltFor now{index_.generation(), index_.size()};
    if (builtFor_ == now) return;
    entries_.clear();
    entries_.reserve(index_.size());
    for (std::uint32_t item = 0; item < index_.size(); ++item)
        entries_.push_back(cEntry{index_.zrid(item), item});
    // Items arrive in index order, which is identifier order: the check is
    // what it usually costs.
    const auto byIdentifier = [](const cEntry& a, const cEntry& b) { return a.zrid < b.zrid; };
    if (!std::is_sorted(entries_.begin(), entries_.end(), byIdentifier))
        std::sort(entries_.begin(), entries_.end(), byIdentifier);
    builtFor_ = now;
}

std::optional<cIndexedItem> cItemLookup::find(ZRID zrid) {
    update();
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), zrid,
                         [](const cEntry& entry, ZRID wanted) { return entry.zrid < wanted; });
    if (found == entries_.end() || found->zrid != zrid) return std::nullopt;
    return cIndexedItem{zrid, index_.name(found->item), index_.ql(found->item)};
}

} // namespace quarry
