#include "store/item_record.h"

#include <utility>

namespace quarry {

namespace {

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
    return true;
}

} // namespace

std::int32_t findItemType(std::string_view name) {
    for (std::int32_t type = 0; type < kItemTypeCount; ++type)
        if (equalIgnoringAsciiCase(name, kItemTypeNames[type])) return type;
    return kItemTypeNone;
}

cItemRecord::cItemRecord(ZRID zrid, std::string name)
    : zrid(zrid), recordZrid(zrid), name(std::move(name)) {
    setDefaults();
}

void cItemRecord::setDefaults() {
    description = "--there's no description for this item--";
    ql = 0;
    itemType = kItemTypeNone;
    isNano = false;
}

void cItemRecord::setDescription(std::string text) {
    description = std::move(text);
}

// emplace keeps an existing key: the first element of a name wins.
void cItemRecord::addAttribute(const std::string& name, const std::string& value) {
    attributes.emplace(name, value);
}

void cItemRecord::addAtkValue(const std::string& name, std::int32_t percent) {
    atkValues.emplace(name, percent);
}

void cItemRecord::addDefValue(const std::string& name, std::int32_t percent) {
    defValues.emplace(name, percent);
}

bool cItemRecord::attributeContains(const std::string& name, std::string_view text) const {
    const auto found = attributes.find(name);
    return found != attributes.end() && found->second.find(text) != std::string::npos;
}

bool cItemRecord::hasAtkValue(const std::string& name) const {
    return atkValues.count(name) != 0;
}

std::string cItemRecord::treeLabel() const {
    if (isNano) return name;
    return name + " (QL " + std::to_string(ql) + ")";
}

TreeItemHandle cItemRecord::addToTree(cTreeControl& tree, TreeItemHandle parent) const {
    return tree.insertItem(treeLabel(), zrid, parent);
}

} // namespace quarry
