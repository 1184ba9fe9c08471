#include "store/item_store.h"

#include "store/tag_reader.h"

namespace quarry {

cItemStore::cItemStore(const cStreamLimits& limits)
    : limits_(limits), identifierPattern_(&standardIdentifierPattern()),
      index_(std::make_shared<const cItemIndex>()) {}

void cItemStore::forgetIndex() {
    index_ = std::make_shared<const cItemIndex>();
}

std::optional<RecordPosition> cItemStore::findItem(ZRID zrid) const {
    return index_->find(zrid);
}

} // namespace quarry
