// The item report: one item as a rich-text document, and the text the report
// pane receives for an indexed item.
#pragma once

#include "store/item_store.h"

#include <string>

namespace quarry {

class cItemRecord;

// The text shown instead of a report when an item cannot be loaded.
inline constexpr const char* kFailedToLoadText = "--failed to load item data--";

// Replaces `text` with the item's rich-text report.
void formatReport(const cItemRecord& item, std::string& text);

// Loads the item from the store and answers its report, or kFailedToLoadText
// when it does not load (`why`, when given, says why). Unexpected tags are
// reported to `messages`.
std::string writeItemReport(const cItemStore& store, ZRID zrid, cMessageSink& messages,
                            cItemStore::eLoadFailure* why = nullptr);

} // namespace quarry
