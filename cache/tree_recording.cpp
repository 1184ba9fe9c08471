#include "cache/tree_recording.h"

#include "store/work_pacer.h"

#include <algorithm>

namespace quarry {

bool cTreeRecording::agrees() const {
    const std::size_t nodes = parents.size();
    if (data.size() != nodes || labelEnds.size() != nodes || nodes >= UINT32_MAX) return false;
    std::uint64_t end = 0;
    for (std::size_t node = 0; node < nodes; ++node) {
        if (parents[node] > node || labelEnds[node] < end) return false;
        end = labelEnds[node];
    }
    if (end != labels.size()) return false;
    for (const std::uint32_t node : expanded)
        if (node >= nodes) return false;
    return true;
}

bool cTreeRecording::replay(cTreeControl& tree, cProgressHost& progress) const {
    cWorkPacer pacer(progress);
    tree.deleteAllItems();
    tree.expectItems(std::max<std::size_t>(expectedItems, parents.size()));
    std::vector<TreeItemHandle>
        handles; // filled as it goes: zeroing millions first holds the window
    handles.reserve(parents.size());
    std::string label;
    std::uint64_t start = 0;
    for (std::size_t node = 0; node < parents.size(); ++node) {
        label.assign(labels, start, labelEnds[node] - start);
        start = labelEnds[node];
        const TreeItemHandle parent = parents[node] == 0 ? 0 : handles[parents[node] - 1];
        handles.push_back(tree.insertItem(label, data[node], parent));
        pacer.step();
        if (progress.stopRequested()) {
            tree.deleteAllItems();
            return false;
        }
    }
    for (const std::uint32_t node : expanded)
        tree.expand(handles[node]);
    return true;
}

void cRecordingTree::deleteAllItems() {
    tree_.deleteAllItems();
    recording_.clear();
    numbers_.clear();
    complete_ = true;
}

TreeItemHandle cRecordingTree::insertItem(const std::string& label, ZRID data,
                                          TreeItemHandle parent) {
    const TreeItemHandle handle = tree_.insertItem(label, data, parent);
    const auto parentNumber = numbers_.find(parent);
    if (parent != 0 && parentNumber == numbers_.end()) complete_ = false;
    recording_.parents.push_back(parentNumber == numbers_.end() ? 0 : parentNumber->second);
    recording_.data.push_back(data);
    recording_.labels += label;
    recording_.labelEnds.push_back(recording_.labels.size());
    if (handle != 0 && data == 0)
        numbers_[handle] = static_cast<std::uint32_t>(recording_.parents.size());
    return handle;
}

void cRecordingTree::expand(TreeItemHandle item) {
    tree_.expand(item);
    if (const auto number = numbers_.find(item); number != numbers_.end())
        recording_.expanded.push_back(number->second - 1);
    else
        complete_ = false;
}

void cRecordingTree::expectItems(std::size_t items) {
    tree_.expectItems(items);
    recording_.expectedItems = items;
    // The arrays are not copied as they grow.
    recording_.parents.reserve(recording_.parents.size() + nodesFor(items));
    recording_.data.reserve(recording_.data.size() + nodesFor(items));
    recording_.labelEnds.reserve(recording_.labelEnds.size() + nodesFor(items));
    recording_.labels.reserve(recording_.labels.size() + labelBytesFor(items));
}

} // namespace quarry
