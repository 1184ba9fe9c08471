// The store's tree control over the window's tree model: the category tree
// build appends through it, and the model shows the appends to its views in
// batches (cItemTreeModel::commitPending).
#pragma once

#include "store/store_host.h"

namespace quarry {

class cItemTreeModel;

class cItemTreeFeed : public cTreeControl {
public:
    explicit cItemTreeFeed(cItemTreeModel& model) : model_(model) {}

    void deleteAllItems() override;
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override;
    void expand(TreeItemHandle item) override;
    void expectItems(std::size_t items) override;

private:
    cItemTreeModel& model_;
};

} // namespace quarry
