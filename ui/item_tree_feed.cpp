#include "ui/item_tree_feed.h"

#include "ui/item_tree_model.h"

namespace quarry {

void cItemTreeFeed::deleteAllItems() {
    model_.clear();
}

TreeItemHandle cItemTreeFeed::insertItem(const std::string& label, ZRID data,
                                         TreeItemHandle parent) {
    return model_.appendNode(label, data, parent);
}

void cItemTreeFeed::expectItems(std::size_t items) {
    // Most items are filed once, under a label a little longer than a name.
    constexpr std::size_t kLabelBytes = 32;
    model_.reserve(items, kLabelBytes);
}

void cItemTreeFeed::expand(TreeItemHandle item) {
    model_.requestExpand(item);
}

} // namespace quarry
