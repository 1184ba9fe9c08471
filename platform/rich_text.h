// A reader for the small subset of rich text (RTF) the item report uses, into
// a document model of our own, plus writers that turn the model into plain
// text and HTML. Anything else in the input is skipped safely; any bytes give
// a document in time linear in their length.
//
// Understood: groups (a "}" restores the character and paragraph format of
// the enclosing group), \colortbl with \red \green \blue, \cf, \b and \i
// (with their 0 forms), \plain, \tx, \tab, \qj, \ql, \pard (left aligned,
// no tab stops), \line, \par, the escapes \\ \{ \} and \'hh, \u with its
// fallback bytes, and the one space that ends a control word. Bytes are read
// as Windows-1252 whatever \ansicpg says and held as UTF-8. Unknown words,
// "\*" destinations, font and style tables, pictures, objects and field
// instructions are skipped; a field's shown result is read as text. Reading
// stops where the document's outermost group closes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

// A stretch of text with one character format. Text is UTF-8; it may hold
// '\t' for a tab and '\n' for a line break inside the paragraph. The reader
// makes no empty runs, merges neighbours of one format, and from rich text
// keeps no other control characters (a plain text keeps all of its own).
struct cRichTextRun {
    std::string text;
    bool bold = false;
    bool italic = false;
    bool hasColor = false;   // false: the default text colour
    std::uint32_t color = 0; // 0xRRGGBB when hasColor
};

enum class eRichTextAlign { left, justify };

struct cRichTextParagraph {
    std::vector<cRichTextRun> runs;
    eRichTextAlign align = eRichTextAlign::left;
    std::vector<int> tabStops; // positions in twips, ascending as written
};

// A paragraph takes the format in effect where its content begins. Rich text
// that breaks lines with \line only (as the item report does) may change the
// format from one line to the next: a line that begins under another format
// than its paragraph's starts a new paragraph, the line break before it being
// the boundary, so the plain text is the same as if the line had stayed.
struct cRichTextDocument {
    std::vector<cRichTextParagraph> paragraphs;
};

// Reads a text beginning with "{\rtf" (exactly, at its first byte) as rich
// text: every paragraph a \par ends, plus the last one when it has content,
// so "{\rtf1 a\par}" is one paragraph and "{\rtf1}" none.
// Any other text becomes exactly one paragraph with at most one run of
// default format (none for an empty text) holding the text as it is: its
// bytes read as Windows-1252 like rich text, CR LF and a lone CR as '\n'.
cRichTextDocument readRichText(std::string_view text);

// What a reader sees: the paragraphs' texts (their runs joined, tabs as '\t',
// line breaks as '\n') with one '\n' between two paragraphs and none after
// the last; "" for a document without paragraphs. So a plain text comes back
// unchanged (up to CR LF), and a document ending in \line ends in '\n'.
std::string toPlainText(const cRichTextDocument& document);

// An HTML fragment for export and tests: one <p style="white-space:pre-wrap">
// per paragraph ("text-align:justify" added when justified, the tab
// stops in twips in a data-tab-stops attribute), each run inside
// <span style="color:#rrggbb">, <b>, <i> as its format says, '\n' as <br>,
// tabs kept, and & < > " ' escaped.
std::string toHtml(const cRichTextDocument& document);

} // namespace quarry
