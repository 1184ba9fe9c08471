// The plain-text and HTML writers over documents built by hand.
#include <gtest/gtest.h>

#include <string>

#include "platform/rich_text.h"
#include "rich_text_test_support.h"

namespace quarry {

namespace {

cRichTextRun run(std::string text, bool bold = false, bool italic = false, int color = -1) {
    return cRichTextRun{std::move(text), bold, italic, color >= 0,
                        static_cast<std::uint32_t>(color)};
}

} // namespace

TEST(RichTextWriters, HtmlFormatsParagraphsAndRunsAndEscapesMarkup) {
    cRichTextDocument document;
    document.paragraphs.resize(4);
    cRichTextParagraph& first = document.paragraphs[0];
    first.align = eRichTextAlign::justify;
    first.tabStops = {2000, 250};
    first.runs = {run("Name", true, true), run(":\tvalue\nnext"),
                  run("grey", false, false, 0x808080)};
    document.paragraphs[2].runs = {run("black", false, false, 0), run("end\n")};
    document.paragraphs[3].runs = {run("<a href=\"x\">&'</a>"), run(std::string("\0\x1F", 2))};
    EXPECT_EQ(toHtml(document),
              "<p style=\"white-space:pre-wrap;text-align:justify\" data-tab-stops=\"2000 250\">"
              "<b><i>Name</i></b>:\tvalue<br>next<span style=\"color:#808080\">grey</span></p>\n"
              "<p style=\"white-space:pre-wrap\"><br></p>\n"
              "<p style=\"white-space:pre-wrap\"><span style=\"color:#000000\">black</span>end"
              "<br><br></p>\n<p style=\"white-space:pre-wrap\">&lt;a href=&quot;x&quot;&gt;"
              "&amp;&#39;&lt;/a&gt;&#xFFFD;&#xFFFD;</p>\n");
}

} // namespace quarry
