#include "platform/rich_text_builder.h"

#include <utility>

namespace quarry {

namespace {

bool sameCharacterFormat(const cRichTextRun& a, const cRichTextRun& b) {
    return a.bold == b.bold && a.italic == b.italic && a.hasColor == b.hasColor &&
           (!a.hasColor || a.color == b.color);
}

bool sameParagraphFormat(const cRichTextParagraph& paragraph,
                         const cRichTextParagraphFormat& format) {
    return paragraph.align == format.align && paragraph.tabStops == format.tabStops;
}

} // namespace

// A paragraph takes the format in effect where its content begins. Rich text
// without paragraph marks (the item report uses only line breaks) changes the
// format from line to line; a line that begins under another format than its
// paragraph's therefore starts a new paragraph, and the line break before it
// becomes the boundary, so the text reads exactly as before.
void cRichTextBuilder::beginContent(const cRichTextParagraphFormat& paragraph) {
    if (!hasContent_) {
        current_.align = paragraph.align;
        current_.tabStops = paragraph.tabStops;
        hasContent_ = true;
        return;
    }
    if (!atLineStart_ || sameParagraphFormat(current_, paragraph)) return;
    // The current paragraph ends in the line break that opened this line.
    std::string& last = current_.runs.back().text;
    last.pop_back();
    if (last.empty()) current_.runs.pop_back();
    closeCurrent();
    current_.align = paragraph.align;
    current_.tabStops = paragraph.tabStops;
    hasContent_ = true;
}

void cRichTextBuilder::append(std::string_view text, const cRichTextRun& format) {
    if (current_.runs.empty() || !sameCharacterFormat(current_.runs.back(), format)) {
        cRichTextRun run;
        run.bold = format.bold;
        run.italic = format.italic;
        run.hasColor = format.hasColor;
        run.color = format.hasColor ? format.color : 0;
        current_.runs.push_back(std::move(run));
    }
    current_.runs.back().text += text;
}

void cRichTextBuilder::appendText(std::string_view text, const cRichTextRun& format,
                                  const cRichTextParagraphFormat& paragraph) {
    if (text.empty()) return;
    beginContent(paragraph);
    append(text, format);
    atLineStart_ = false;
}

void cRichTextBuilder::appendLineBreak(const cRichTextRun& format,
                                       const cRichTextParagraphFormat& paragraph) {
    beginContent(paragraph);
    append("\n", format);
    atLineStart_ = true;
}

void cRichTextBuilder::endParagraph(const cRichTextParagraphFormat& paragraph) {
    if (!hasContent_) {
        current_.align = paragraph.align;
        current_.tabStops = paragraph.tabStops;
    }
    closeCurrent();
}

void cRichTextBuilder::closeCurrent() {
    document_.paragraphs.push_back(std::move(current_));
    current_ = cRichTextParagraph{};
    hasContent_ = false;
    atLineStart_ = true;
}

cRichTextDocument cRichTextBuilder::finish() {
    if (hasContent_) closeCurrent();
    return std::move(document_);
}

} // namespace quarry
