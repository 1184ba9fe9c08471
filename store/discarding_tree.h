// A tree control for builds wanted only for their loads and messages: it
// hands out handles and keeps nothing.
#pragma once

#include "store/store_host.h"

namespace quarry {

class cDiscardingTree : public cTreeControl {
public:
    void deleteAllItems() override {}
    TreeItemHandle insertItem(const std::string&, ZRID, TreeItemHandle) override { return ++last_; }
    void expand(TreeItemHandle) override {}

private:
    TreeItemHandle last_ = 0;
};

} // namespace quarry
