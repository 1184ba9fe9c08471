// The item as one rich-text document. Actions come before events whatever
// their order in the item file; every map is walked in its key order.
#include "report/item_report.h"

#include "report/report_sections.h"
#include "store/item_record.h"
#include "store/item_store.h"

namespace quarry {

void formatReport(const cItemRecord& item, std::string& text) {
    text.clear();
    cReportText out(text);
    appendReportHeader(out);
    appendTitle(out, item);
    appendDescription(out, item);
    appendAttributes(out, item);
    appendSkillLines(out, item);
    appendActions(out, item);
    appendEvents(out, item);
    appendReportEnd(out);
}

std::string writeItemReport(const cItemStore& store, ZRID zrid, cMessageSink& messages,
                            cItemStore::eLoadFailure* why) {
    std::string text = kFailedToLoadText;
    cItemRecord record;
    if (store.loadItem(zrid, record, messages, why)) formatReport(record, text);
    return text;
}

} // namespace quarry
