#include "ui/compare_list.h"

#include "store/item_record.h"

#include <algorithm>

namespace quarry {

cComparedItem comparedItemOf(const cItemRecord& record) {
    return cComparedItem{record.zrid, record.name, record.ql, itemMembers(record)};
}

cCompareList::eAdded cCompareList::add(cComparedItem item) {
    if (contains(item.zrid)) return eAdded::present;
    if (items_.size() >= kMaxItems) return eAdded::full;
    items_.push_back(std::move(item));
    makeRows();
    return eAdded::added;
}

void cCompareList::remove(std::size_t column) {
    if (column >= items_.size()) return;
    items_.erase(items_.begin() + std::ptrdiff_t(column));
    makeRows();
}

void cCompareList::replace(std::vector<cComparedItem> items) {
    items_ = std::move(items);
    if (items_.size() > kMaxItems) items_.resize(kMaxItems);
    makeRows();
}

bool cCompareList::contains(ZRID zrid) const {
    return std::any_of(items_.begin(), items_.end(),
                       [zrid](const cComparedItem& item) { return item.zrid == zrid; });
}

void cCompareList::makeRows() {
    std::vector<const cItemMembers*> lists;
    for (const cComparedItem& item : items_)
        lists.push_back(&item.members);
    rows_ = memberRows(lists);
}

} // namespace quarry
