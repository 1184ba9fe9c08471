#include "compact_tree.h"

namespace quarry {

void cCompactTree::deleteAllItems() {
    nodes_.clear();
    labels_.clear();
    lastRoot_ = kNone;
}

TreeItemHandle cCompactTree::insertItem(const std::string& label, ZRID data,
                                        TreeItemHandle parent) {
    const auto index = static_cast<std::uint32_t>(nodes_.size());
    Node node;
    node.labelStart = labels_.size();
    node.labelLength = static_cast<std::uint32_t>(label.size());
    node.data = data;
    labels_ += label;

    if (parent == 0 || parent > nodes_.size()) {
        if (lastRoot_ != kNone) nodes_[lastRoot_].nextSibling = index;
        lastRoot_ = index;
    } else {
        const auto parentIndex = static_cast<std::uint32_t>(parent - 1);
        node.parent = parentIndex;
        Node& up = nodes_[parentIndex];
        if (up.lastChild == kNone)
            up.firstChild = index;
        else
            nodes_[up.lastChild].nextSibling = index;
        up.lastChild = index;
    }
    nodes_.push_back(node);
    return TreeItemHandle(index) + 1;
}

void cCompactTree::expand(TreeItemHandle item) {
    if (item != 0 && item <= nodes_.size()) nodes_[item - 1].expanded = true;
}

std::size_t cCompactTree::itemNodeCount() const {
    std::size_t count = 0;
    for (const Node& node : nodes_)
        count += node.data != 0;
    return count;
}

std::size_t cCompactTree::bytesHeld() const {
    return nodes_.capacity() * sizeof(Node) + labels_.capacity();
}

} // namespace quarry
