// A tree control that keeps the nodes in memory so the tool can print them:
// one flat vector of nodes linked by index, cheap to append to by the hundred
// thousand.
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
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override;
    void setItemData(TreeItemHandle item, ZRID data) override;
    void expand(TreeItemHandle) override {}

    std::size_t nodeCount() const { return nodes_.size(); }
    // Nodes whose data is an identifier rather than 0 (a folder).
    std::size_t itemCount() const;

    // One line per node in pre-order: two spaces per depth, the label (each
    // tab or line break in it a blank), a tab, the data as a signed decimal.
    void print(cCliOutput& out) const;

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    struct Node {
        std::string label;
        ZRID data = 0;
        std::uint32_t firstChild = kNone;
        std::uint32_t lastChild = kNone;
        std::uint32_t nextSibling = kNone;
    };

    std::vector<Node> nodes_;
    // The top level as a list of its own: first and last root.
    std::uint32_t firstRoot_ = kNone;
    std::uint32_t lastRoot_ = kNone;
};

} // namespace quarry
