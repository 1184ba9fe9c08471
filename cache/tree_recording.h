// The category tree an import built, kept so a later import of the same file
// can build it again without loading a record: every node in the order it was
// appended, with its parent, label and data, and the nodes expanded.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace quarry {

struct cTreeRecording {
    // Per node, in the order appended: its parent as the parent's number + 1
    // (0: the top level), its data, and where its label ends in `labels`.
    std::vector<std::uint32_t> parents;
    std::vector<ZRID> data;
    std::vector<std::uint64_t> labelEnds;
    std::string labels;                  // every label, back to back
    std::vector<std::uint32_t> expanded; // node numbers, in the order expanded
    std::uint64_t expectedItems = 0;     // what the build announced (expectItems)

    std::size_t nodeCount() const { return parents.size(); }
    void clear() { *this = cTreeRecording(); }
    // Whether the arrays agree: one parent, data and label end per node, every
    // parent appended before its child, labels in order, expanded nodes that
    // exist. A recording that does not cannot be replayed.
    bool agrees() const;
    // Empties `tree` and builds the recorded tree into it, as the import did,
    // dispatching window events on the way. False when the program is ending
    // (cProgressHost::stopRequested): the tree is emptied then.
    bool replay(cTreeControl& tree, cProgressHost& progress) const;

    // Calls visit(member) for each array and number, in a fixed order.
    template <class Visit> void forEachArray(Visit&& visit) const { visitArrays(*this, visit); }
    template <class Visit> void fillEachArray(Visit&& visit) { visitArrays(*this, visit); }

private:
    template <class Self, class Visit> static void visitArrays(Self& self, Visit& visit) {
        visit(self.parents);
        visit(self.data);
        visit(self.labelEnds);
        visit(self.labels);
        visit(self.expanded);
        visit(self.expectedItems);
    }
};

// A tree control that passes every call on to another and records the tree
// built: what the import builds into the window's or the tool's tree goes
// into the cache as well.
class cRecordingTree : public cTreeControl {
public:
    explicit cRecordingTree(cTreeControl& tree) : tree_(tree) {}

    void deleteAllItems() override;
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override;
    void expand(TreeItemHandle item) override;
    void expectItems(std::size_t items) override;

    const cTreeRecording& recording() const { return recording_; }
    // Whether the recording holds the whole tree: false once a node was
    // put under, or an expand asked of, a node that is not a folder.
    bool complete() const { return complete_; }

private:
    cTreeControl& tree_;
    cTreeRecording recording_;
    // Folders only (nodes with data 0), the parents of the category tree:
    // items are leaves, and millions of them would make a large table.
    std::unordered_map<TreeItemHandle, std::uint32_t> numbers_; // handle -> node number + 1
    bool complete_ = true;
};

} // namespace quarry
