// A reader for the small subset of rich text (RTF) the item report uses, into
// a document model of our own, plus writers that turn the model into plain
// text and HTML. Anything else in the input is skipped safely; any bytes give
// a document in time linear in their length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A stretch of text with one character format. Text is UTF-8; it may hold
// '\t' for a tab and '\n' for a line break inside the paragraph.
struct cRichTextRun {
    std::string text;
    bool bold = false;
    bool italic = false;
    bool hasColor = false;      // false: the default text colour
    std::uint32_t color = 0;    // 0xRRGGBB when hasColor
};

enum class eRichTextAlign { left, justify };

struct cRichTextParagraph {
    std::vector<cRichTextRun> runs;
    eRichTextAlign align = eRichTextAlign::left;
    std::vector<int> tabStops;  // positions in twips, ascending as written
};

struct cRichTextDocument {
    std::vector<cRichTextParagraph> paragraphs;
};

// Reads a text beginning with "{\rtf"; any other text becomes one plain
// paragraph holding it as it is.
cRichTextDocument readRichText(std::string_view text);

// What a reader sees: runs joined, tabs as tabs, line breaks and paragraph ends
// as line feeds.
std::string toPlainText(const cRichTextDocument& document);

// An HTML fragment for export and tests.
std::string toHtml(const cRichTextDocument& document);
