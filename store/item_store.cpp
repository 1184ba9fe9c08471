#include "store/item_store.h"

namespace quarry {

cItemStore::cItemStore() : index_(std::make_shared<const cItemIndex>()) {}

std::optional<RecordPosition> cItemStore::findItem(ZRID zrid) const {
    return index_->find(zrid);
}

} // namespace quarry
