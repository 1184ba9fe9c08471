// The sections of an item report, each appended in document order by
// formatReport (report/item_report.h).
#pragma once

#include "report/report_text.h"

namespace quarry {

class cItemRecord;

void appendReportHeader(cReportText& out);
void appendTitle(cReportText& out, const cItemRecord& item);
void appendDescription(cReportText& out, const cItemRecord& item);
void appendAttributes(cReportText& out, const cItemRecord& item);
void appendSkillLines(cReportText& out, const cItemRecord& item);
void appendActions(cReportText& out, const cItemRecord& item);
void appendEvents(cReportText& out, const cItemRecord& item);
void appendReportEnd(cReportText& out);

} // namespace quarry
