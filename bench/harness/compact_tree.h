// A tree control held compactly in memory, shaped like the window's item
// model: one flat vector of fixed-size nodes linked by index and one arena for
// all labels, so appending hundreds of thousands of nodes costs little.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarry {

class cCompactTree : public cTreeControl {
public:
    void deleteAllItems() override;
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override;
    void expand(TreeItemHandle item) override;

    std::size_t nodeCount() const { return nodes_.size(); }
    // Nodes that carry an identifier rather than 0 (a folder).
    std::size_t itemNodeCount() const;
    std::size_t bytesHeld() const;

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    struct Node {
        std::uint64_t labelStart = 0;
        std::uint32_t labelLength = 0;
        ZRID data = 0;
        std::uint32_t parent = kNone;
        std::uint32_t firstChild = kNone;
        std::uint32_t lastChild = kNone;
        std::uint32_t nextSibling = kNone;
        bool expanded = false;
    };

    std::vector<Node> nodes_;
    std::string labels_;
    std::uint32_t lastRoot_ = kNone;
};

} // namespace quarry
