#include "report/item_folders.h"

#include <algorithm>

namespace quarry {

namespace {

// Item nodes are never parents in the build; their handles only have to
// differ from the folders' (index + 1), so they count from the top bit.
constexpr TreeItemHandle kItemNodeBit = TreeItemHandle(1) << 63;

} // namespace

void cItemFolderTree::deleteAllItems() {
    folders_.clear();
    topLevelCount_ = 0;
    filings_.clear();
}

TreeItemHandle cItemFolderTree::insertItem(const std::string& label, ZRID data,
                                           TreeItemHandle parent) {
    const bool underFolder = parent != 0 && parent <= folders_.size();
    if (data != 0) { // an item node: data is its identifier, folders carry 0
        if (underFolder) filings_.push_back(cFiling{data, static_cast<std::uint32_t>(parent - 1)});
        return kItemNodeBit | ++itemNodes_;
    }
    cFolder folder;
    if (underFolder) {
        cFolder& owner = folders_[parent - 1];
        folder.place = owner.place;
        folder.place.push_back(owner.childCount++);
        // The top-level node (the root) is left out of the paths.
        folder.path = owner.place.size() == 1 ? label : owner.path + "/" + label;
    } else {
        folder.place.push_back(topLevelCount_++);
    }
    folders_.push_back(std::move(folder));
    return folders_.size();
}

const std::vector<std::string>& cItemFolderTree::takeFolders(ZRID zrid) {
    itemFolders_.clear();
    for (const cFiling& filing : filings_)
        if (filing.zrid == zrid) itemFolders_.push_back(filing.folder);
    filings_.clear();
    std::sort(itemFolders_.begin(), itemFolders_.end(), [this](std::uint32_t a, std::uint32_t b) {
        return folders_[a].place < folders_[b].place;
    });
    paths_.clear();
    for (const std::uint32_t folder : itemFolders_)
        paths_.push_back(folders_[folder].path);
    return paths_;
}

} // namespace quarry
