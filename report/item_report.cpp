// cItemRecord::formatReport: the item as one rich-text document. Actions come
// before events whatever their order in the item file; every map is walked in
// its key order.
#include "report/report_sections.h"
#include "store/item_record.h"

namespace quarry {

void cItemRecord::formatReport(std::string& text) const {
    text.clear();
    cReportText out(text);
    appendReportHeader(out);
    appendTitle(out, *this);
    appendDescription(out, *this);
    appendAttributes(out, *this);
    appendSkillLines(out, *this);
    appendActions(out, *this);
    appendEvents(out, *this);
    appendReportEnd(out);
}

} // namespace quarry
