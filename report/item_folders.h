// The folders an item is filed under, gathered from the category tree build
// itself: a tree control that keeps the folder nodes (a few hundred) and notes
// the parent of each item node, so export can name an item's folders without
// keeping the item nodes or re-deriving the filing rules.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarry {

class cItemFolderTree : public cTreeControl {
public:
    void deleteAllItems() override;
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override;
    void expand(TreeItemHandle) override {}

    // The folders the item was filed under since the last call, in tree order,
    // each as the labels below the top-level node joined with "/"; empty when
    // none. Forgets every item node noted so far.
    const std::vector<std::string>& takeFolders(ZRID zrid);

private:
    struct cFolder {
        std::string path;
        // Position among its siblings at each depth: comparing these compares
        // places in the tree's pre-order, which appending never changes.
        std::vector<std::uint32_t> place;
        std::uint32_t childCount = 0;
    };
    struct cFiling {
        ZRID zrid;
        std::uint32_t folder; // index into folders_
    };

    std::vector<cFolder> folders_;
    std::uint32_t topLevelCount_ = 0;
    std::vector<cFiling> filings_;
    std::vector<std::uint32_t> itemFolders_;
    std::vector<std::string> paths_;
    std::uint64_t itemNodes_ = 0;
};

} // namespace quarry
