// The item report: one item as a rich-text document, and the text the report
// pane receives for an indexed item.
#pragma once

#include "store/store_host.h"

#include <string>

namespace quarry {

class cItemRecord;
class cItemStore;

// The text shown instead of a report when an item cannot be loaded.
inline constexpr const char* kFailedToLoadText = "--failed to load item data--";

// Replaces `text` with the item's rich-text report.
void formatReport(const cItemRecord& item, std::string& text);

// Loads the item from the store and answers its report, or kFailedToLoadText
// when it does not load. Unexpected tags are reported to `messages`.
std::string writeItemReport(const cItemStore& store, ZRID zrid, cMessageSink& messages);

} // namespace quarry
