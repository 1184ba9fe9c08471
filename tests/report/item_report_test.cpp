// The item report byte for byte: the knife and escaping. What a reader sees
// of every other form a section takes is checked by the round trip.
#include "knife_report.h"
#include "report/item_report.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

namespace {

std::string reportOf(const cItemRecord& item) {
    std::string text = "previous content";
    formatReport(item, text);
    return text;
}

} // namespace

TEST(ItemReport, KnifeReportIsExact) {
    EXPECT_EQ(reportOf(knifeRecord()), kKnifeReport);
}

// "\", "{" and "}" are escaped; every other byte is copied as it is.
TEST(ItemReport, ItemFileTextIsEscapedAndOtherwiseCopied) {
    cItemRecord item(5, "a\\b{c}\t\n\xE9%");
    item.description.clear();
    const std::string header = kKnifeReport.substr(0, kKnifeReport.find("ZRID"));
    EXPECT_EQ(reportOf(item), header + "ZRID 5: {\\b a\\\\b\\{c\\}\t\n\xE9%} (QL 0)\\line \\line "
                                       "\\qj{}\\line \\line \\cf2-[{\\cf1\\b\\i Attributes}]-"
                                       "\\cf1 \\line \\line}");
}

} // namespace quarry
