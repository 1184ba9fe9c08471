// Collects the content the rich-text reader finds into a cRichTextDocument:
// merges neighbouring content of one character format into one run and
// decides where paragraphs begin and end.
#pragma once

#include <string_view>
#include <vector>

#include "platform/rich_text.h"

namespace quarry {

// The paragraph format in effect at some point of the input.
struct cRichTextParagraphFormat {
    eRichTextAlign align = eRichTextAlign::left;
    std::vector<int> tabStops;

    bool operator==(const cRichTextParagraphFormat&) const = default;
};

class cRichTextBuilder {
public:
    // Appends text (UTF-8, no '\n') with the character format of `format`
    // (its text is ignored). A '\t' in the text is a tab.
    void appendText(std::string_view text, const cRichTextRun& format,
                    const cRichTextParagraphFormat& paragraph);
    // Appends a line break inside the paragraph.
    void appendLineBreak(const cRichTextRun& format, const cRichTextParagraphFormat& paragraph);
    // Ends the paragraph (also an empty one); the next content opens a new one.
    void endParagraph(const cRichTextParagraphFormat& paragraph);
    // The document so far; a last paragraph is kept only when it has content.
    cRichTextDocument finish();

private:
    void beginContent(const cRichTextParagraphFormat& paragraph);
    void append(std::string_view text, const cRichTextRun& format);
    void closeCurrent();

    cRichTextDocument document_;
    cRichTextParagraph current_;
    bool hasContent_ = false; // current_ holds text, a tab or a line break
    bool atLineStart_ = true; // nothing yet on the current line
};

} // namespace quarry
