#include <cstdio>
#include <string>

#include "platform/rich_text.h"

namespace quarry {

namespace {

void appendEscaped(std::string& html, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        case '\'':
            html += "&#39;";
            break;
        case '\n':
            html += "<br>";
            break;
        case '\t':
            html += '\t';
            break;
        default:
            // Other control characters are not allowed in HTML text.
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                html += "&#xFFFD;";
            else
                html += c;
        }
    }
}

std::string colorText(std::uint32_t rgb) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFFu));
    return buffer;
}

void appendParagraphStart(std::string& html, const cRichTextParagraph& paragraph) {
    html += "<p style=\"white-space:pre-wrap";
    if (paragraph.align == eRichTextAlign::justify) html += ";text-align:justify";
    html += '"';
    if (!paragraph.tabStops.empty()) {
        html += " data-tab-stops=\"";
        for (std::size_t i = 0; i < paragraph.tabStops.size(); ++i) {
            if (i > 0) html += ' ';
            html += std::to_string(paragraph.tabStops[i]);
        }
        html += '"';
    }
    html += '>';
}

void appendRun(std::string& html, const cRichTextRun& run) {
    if (run.hasColor) html += "<span style=\"color:" + colorText(run.color) + "\">";
    if (run.bold) html += "<b>";
    if (run.italic) html += "<i>";
    appendEscaped(html, run.text);
    if (run.italic) html += "</i>";
    if (run.bold) html += "</b>";
    if (run.hasColor) html += "</span>";
}

} // namespace

std::string toHtml(const cRichTextDocument& document) {
    std::string html;
    for (const cRichTextParagraph& paragraph : document.paragraphs) {
        appendParagraphStart(html, paragraph);
        for (const cRichTextRun& run : paragraph.runs)
            appendRun(html, run);
        // A line break at the end, or an empty paragraph, still takes a line;
        // browsers do not show a last <br> of a block by itself.
        if (paragraph.runs.empty() || paragraph.runs.back().text.ends_with('\n')) html += "<br>";
        html += "</p>\n";
    }
    return html;
}

} // namespace quarry
