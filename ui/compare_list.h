// The items on the compare list, at most kMaxItems, each with the members it
// is compared by, and the rows of their members side by side (diff's member
// model: report/item_difference.h). Plain data: the pane shows it, the
// application fills it.
#pragma once

#include "report/item_difference.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarry {

class cItemRecord;

struct cComparedItem {
    ZRID zrid = 0;
    std::string name; // bytes as in the file
    std::int32_t ql = 0;
    cItemMembers members;
};

// What a loaded record gives the list.
cComparedItem comparedItemOf(const cItemRecord& record);

class cCompareList {
public:
    static constexpr std::size_t kMaxItems = 8;

    enum class eAdded { added, present, full };
    // Appends the item unless it is there already or the list is full.
    eAdded add(cComparedItem item);
    void remove(std::size_t column);
    // Every item at once (after an import: the ones that still load).
    void replace(std::vector<cComparedItem> items);
    void clear() { replace({}); }

    const std::vector<cComparedItem>& items() const { return items_; }
    bool contains(ZRID zrid) const;
    // One row per member any item has, in member order.
    const std::vector<cMemberRow>& rows() const { return rows_; }

private:
    void makeRows();

    std::vector<cComparedItem> items_;
    std::vector<cMemberRow> rows_; // into items_' members
};

} // namespace quarry
