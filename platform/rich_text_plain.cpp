#include <string>

#include "platform/rich_text.h"

namespace quarry {

std::string toPlainText(const cRichTextDocument& document) {
    std::string text;
    bool first = true;
    for (const cRichTextParagraph& paragraph : document.paragraphs) {
        if (!first) text += '\n';
        first = false;
        for (const cRichTextRun& run : paragraph.runs)
            text += run.text;
    }
    return text;
}

} // namespace quarry
