#include "store/item_store.h"

namespace quarry {

cItemStore::cItemStore(const cStreamLimits& limits)
    : limits_(limits), identifierPattern_(&standardIdentifierPattern()),
      index_(std::make_shared<const cItemIndex>()) {}

bool cItemStore::addItem(ZRID zrid, RecordPosition position) {
    if (index_->find(zrid)) return true;
    // Snapshots handed out stay as they were: change a copy.
    auto changed = std::make_shared<cItemIndex>(*index_);
    changed->add(zrid, position);
    index_ = std::move(changed);
    return true;
}

std::optional<RecordPosition> cItemStore::findItem(ZRID zrid) const {
    return index_->find(zrid);
}

cTagParts cItemStore::splitTag(const std::string& tagText) {
    const cTagView tag = splitTagText(tagText);
    return cTagParts{std::string(tag.name), std::string(tag.attributes)};
}

cAttributePair cItemStore::nextAttribute(const std::string& attributeText) {
    const cAttributeView pair = nextAttributeOf(attributeText);
    return cAttributePair{pair.matched, std::string(pair.name), std::string(pair.value),
                          std::string(pair.rest)};
}

} // namespace quarry
