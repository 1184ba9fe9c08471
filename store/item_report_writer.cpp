// The report text of one item, kept apart from the loader so that users of
// the store that never render do not need the report renderer.
#include "store/item_store.h"

namespace quarry {

std::string cItemStore::writeItemReport(ZRID zrid, cMessageSink& messages) const {
    std::string text = kFailedToLoadText;
    cItemRecord record;
    if (loadItem(zrid, record, messages)) record.formatReport(text);
    return text;
}

} // namespace quarry
