#include "app/navigation_history.h"

namespace quarry {

void cNavigationHistory::record(ZRID zrid, TreeItemHandle treeItem) {
    while (position_ + 1 < identifiers_.size()) {
        identifiers_.pop_back();
        treeItems_.pop_back();
    }
    if (!identifiers_.empty()) ++position_;
    identifiers_.push_back(zrid);
    treeItems_.push_back(treeItem);
    if (position_ + 1 > kMaxEntries) {
        identifiers_.pop_front();
        treeItems_.pop_front();
        --position_;
    }
}

std::optional<cHistoryEntry> cNavigationHistory::back() {
    if (!canBack()) return std::nullopt;
    --position_;
    return at(position_);
}

std::optional<cHistoryEntry> cNavigationHistory::forward() {
    if (!canForward()) return std::nullopt;
    ++position_;
    return at(position_);
}

void cNavigationHistory::clear() {
    identifiers_.clear();
    treeItems_.clear();
    position_ = 0;
}

} // namespace quarry
