// Back and Forward through the last ten items shown: the identifiers shown,
// the tree node each was shown at (0 for none), and the position of the
// current one.
#pragma once

#include "store/store_host.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

namespace quarry {

struct cHistoryEntry {
    ZRID zrid = 0;
    TreeItemHandle treeItem = 0;
};

class cNavigationHistory {
public:
    static constexpr std::size_t kMaxEntries = 10;

    // A step: drops the entries ahead of the current one, appends the new one
    // as current, and forgets the oldest beyond ten. No check for repeats.
    void record(ZRID zrid, TreeItemHandle treeItem);

    bool canBack() const { return position_ > 0; }
    bool canForward() const { return position_ + 1 < identifiers_.size(); }
    // Moves one step and answers the entry now current; nothing (and no
    // move) when the enable rule does not hold.
    std::optional<cHistoryEntry> back();
    std::optional<cHistoryEntry> forward();

    std::size_t size() const { return identifiers_.size(); }
    std::uint32_t position() const { return position_; }
    const std::deque<ZRID>& identifiers() const { return identifiers_; }
    const std::deque<TreeItemHandle>& treeItems() const { return treeItems_; }
    void clear();

private:
    cHistoryEntry at(std::size_t i) const { return {identifiers_[i], treeItems_[i]}; }

    std::deque<ZRID> identifiers_;
    std::deque<TreeItemHandle> treeItems_;
    std::uint32_t position_ = 0;
};

} // namespace quarry
