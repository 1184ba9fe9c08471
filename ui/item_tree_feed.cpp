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
    model_.reserve(nodesFor(items), labelBytesFor(items));
}

void cItemTreeFeed::expand(TreeItemHandle item) {
    model_.requestExpand(item);
}

} // namespace quarry
