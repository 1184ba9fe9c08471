// What the item store asks of its host, as cheap stand-ins for the fuzz
// targets: a tree control that only counts and checks its handles, a
// progress display that checks its range, and a message sink that counts.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace quarry {

class cFuzzTree : public cTreeControl {
public:
    void deleteAllItems() override { parents_.clear(); }
    TreeItemHandle insertItem(const std::string&, ZRID, TreeItemHandle parent) override {
        check(parent, true);
        parents_.push_back(parent);
        return parents_.size();
    }
    void expand(TreeItemHandle item) override { check(item, false); }
    std::size_t size() const { return parents_.size(); }

private:
    // A handle the tree never gave out is a fault of the caller.
    void check(TreeItemHandle handle, bool zeroAllowed) const {
        if (handle == 0 ? !zeroAllowed : handle > parents_.size()) std::abort();
    }
    std::vector<TreeItemHandle> parents_;
};

class cFuzzProgress : public cProgressHost {
public:
    void beginProgress(const std::string&, std::int32_t start) override { checkRange(start); }
    void setProgress(std::int32_t position) override { checkRange(position); }
    void endProgress() override {}
    void pumpMessages() override {}

private:
    static void checkRange(std::int32_t position) {
        if (position < 0 || position > 100) std::abort();
    }
};

class cFuzzMessages : public cMessageSink {
public:
    void showMessage(const std::string&, const std::string&) override { ++count; }
    std::uint64_t count = 0;
};

} // namespace quarry
