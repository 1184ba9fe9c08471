#include "cli/recorded_tree.h"

#include "cli/cli_output.h"

#include <string_view>
#include <utility>

// Handles are node indexes plus one, so that 0 stays "none".

namespace quarry {

void cRecordedTree::deleteAllItems() {
    nodes_.clear();
    labels_.clear();
    firstRoot_ = lastRoot_ = kNone;
}

TreeItemHandle cRecordedTree::insertItem(const std::string& label, ZRID data,
                                         TreeItemHandle parent) {
    const auto index = static_cast<std::uint32_t>(nodes_.size());
    std::uint32_t* first = &firstRoot_;
    std::uint32_t* last = &lastRoot_;
    if (parent != 0) {
        if (parent > nodes_.size()) return 0; // not a node of this tree
        Node& owner = nodes_[parent - 1];
        first = &owner.firstChild;
        last = &owner.lastChild;
    }
    if (*last == kNone)
        *first = index;
    else
        nodes_[*last].nextSibling = index;
    *last = index;

    Node node;
    node.labelStart = labels_.size();
    node.labelLength = static_cast<std::uint32_t>(label.size());
    node.data = data;
    labels_ += label;
    nodes_.push_back(node);
    return TreeItemHandle(index) + 1;
}

std::size_t cRecordedTree::itemCount() const {
    std::size_t count = 0;
    for (const Node& node : nodes_)
        count += node.data != 0;
    return count;
}

std::size_t cRecordedTree::bytesHeld() const {
    return nodes_.capacity() * sizeof(Node) + labels_.capacity();
}

void cRecordedTree::print(cCliOutput& out) const {
    // Pre-order without recursion: a stack of (node, depth), siblings pushed as we go.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pending;
    if (firstRoot_ != kNone) pending.emplace_back(firstRoot_, 0);
    std::string line;
    while (!pending.empty()) {
        const auto [index, depth] = pending.back();
        pending.pop_back();
        const Node& node = nodes_[index];
        if (node.nextSibling != kNone) pending.emplace_back(node.nextSibling, depth);
        if (node.firstChild != kNone) pending.emplace_back(node.firstChild, depth + 1);

        line.assign(std::size_t(depth) * 2, ' ');
        appendField(line, std::string_view(labels_).substr(node.labelStart, node.labelLength));
        line += '\t';
        line += std::to_string(node.data);
        line += '\n';
        out.write(line);
    }
}

} // namespace quarry
