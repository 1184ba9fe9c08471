// The plain-text and HTML writers over documents built by hand.
#include <gtest/gtest.h>

#include <string>

#include "platform/rich_text.h"

namespace quarry {

namespace {

cRichTextRun run(std::string text, bool bold = false, bool italic = false) {
    cRichTextRun result;
    result.text = std::move(text);
    result.bold = bold;
    result.italic = italic;
    return result;
}

cRichTextRun coloredRun(std::string text, std::uint32_t color) {
    cRichTextRun result = run(std::move(text));
    result.hasColor = true;
    result.color = color;
    return result;
}

} // namespace

TEST(RichTextPlainWriter, ParagraphsAreSeparatedByOneLineFeed) {
    cRichTextDocument document;
    EXPECT_EQ(toPlainText(document), "");

    document.paragraphs.resize(4);
    document.paragraphs[0].runs = {run("a"), run("b", true)};
    document.paragraphs[2].runs = {run("c\td\n")};
    document.paragraphs[3].runs = {run("e")};
    EXPECT_EQ(toPlainText(document), "ab\n\nc\td\n\ne");

    cRichTextDocument twoEmpty;
    twoEmpty.paragraphs.resize(2);
    EXPECT_EQ(toPlainText(twoEmpty), "\n");
}

TEST(RichTextHtmlWriter, FormatsParagraphsAndRuns) {
    cRichTextDocument document;
    document.paragraphs.resize(3);
    cRichTextParagraph& first = document.paragraphs[0];
    first.align = eRichTextAlign::justify;
    first.tabStops = {2000, 250};
    first.runs = {run("Name", true, true), run(":\tvalue\nnext"), coloredRun("grey", 0x808080)};
    cRichTextParagraph& last = document.paragraphs[2];
    last.runs = {coloredRun("black", 0), run("end\n")};

    EXPECT_EQ(toHtml(document),
              "<p style=\"white-space:pre-wrap;text-align:justify\" data-tab-stops=\"2000 250\">"
              "<b><i>Name</i></b>:\tvalue<br>next<span style=\"color:#808080\">grey</span></p>\n"
              "<p style=\"white-space:pre-wrap\"><br></p>\n"
              "<p style=\"white-space:pre-wrap\"><span "
              "style=\"color:#000000\">black</span>end<br><br></p>\n");
}

TEST(RichTextHtmlWriter, EscapesMarkupCharacters) {
    cRichTextDocument document;
    document.paragraphs.resize(1);
    document.paragraphs[0].runs = {run("<a href=\"x\">&'</a>"), run(std::string("\0\x1F", 2))};
    EXPECT_EQ(toHtml(document),
              "<p style=\"white-space:pre-wrap\">"
              "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;&#xFFFD;&#xFFFD;</p>\n");
}

// What the reader makes of a report comes out in HTML with its formats.
TEST(RichTextHtmlWriter, ReportHeadingThroughReaderAndWriter) {
    const cRichTextDocument document = readRichText(
        R"({\rtf\ansi{\colortbl;\red0\green0\blue0;\red128\green128\blue128;}ZRID 1: {\b <x>})"
        R"(\line \line \cf2-[{\cf1\b\i Attributes}]-\cf1 \line \line})");
    EXPECT_EQ(toHtml(document), "<p style=\"white-space:pre-wrap\">ZRID 1: <b>&lt;x&gt;</b><br><br>"
                                "<span style=\"color:#808080\">-[</span>"
                                "<span style=\"color:#000000\"><b><i>Attributes</i></b></span>"
                                "<span style=\"color:#808080\">]-</span>"
                                "<span style=\"color:#000000\"><br><br></span><br></p>\n");
}

} // namespace quarry
