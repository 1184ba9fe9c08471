// A tree control that keeps its nodes in memory, to print or count them: one
// flat vector of fixed-size nodes linked by index and one arena for every
// label, so appending hundreds of thousands of nodes costs little. The
// command-line tool prints and counts with it; the benchmark builds the
// category tree into it.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarry {

class cCliOutput;

class cRecordedTree : public cTreeControl {
public:
    void deleteAllItems() override;
    // Answers 0 (and appends nothing) for a parent that is not a node.
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override;
    void expand(TreeItemHandle) override {}
    // Room for the items' nodes at once, so appending them moves nothing.
    void expectItems(std::size_t items) override { nodes_.reserve(nodes_.size() + items); }

    std::size_t nodeCount() const { return nodes_.size(); }
    // Nodes whose data is an identifier rather than 0 (a folder).
    std::size_t itemCount() const;
    // The memory the nodes and labels take up.
    std::size_t bytesHeld() const;

    // One line per node in pre-order: two spaces per depth, the label (each
    // tab or line break in it a blank), a tab, the data as a signed decimal.
    void print(cCliOutput& out) const;

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    struct Node {
        std::uint64_t labelStart = 0;
        std::uint32_t labelLength = 0;
        ZRID data = 0;
        std::uint32_t firstChild = kNone;
        std::uint32_t lastChild = kNone;
        std::uint32_t nextSibling = kNone;
    };

    std::vector<Node> nodes_;
    std::string labels_; // every label, back to back
    // The top level as a list of its own: first and last root.
    std::uint32_t firstRoot_ = kNone;
    std::uint32_t lastRoot_ = kNone;
};

} // namespace quarry
