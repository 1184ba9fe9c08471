#include <string>

#include "platform/rich_text.h"
#include "platform/rtf_reader.h"
#include "platform/windows_1252.h"

namespace quarry {

namespace {

constexpr std::string_view kRichTextStart = "{\\rtf";

// Text that is not rich text is shown as it is: one paragraph, its bytes
// read as Windows-1252 like everything else, with CR LF and lone CR taken
// as line breaks so the model holds only '\n' for them.
cRichTextDocument readPlainText(std::string_view text) {
    cRichTextRun run;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            run.text += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            appendWindows1252(run.text, c);
        }
    }
    cRichTextParagraph paragraph;
    if (!run.text.empty()) paragraph.runs.push_back(std::move(run));
    cRichTextDocument document;
    document.paragraphs.push_back(std::move(paragraph));
    return document;
}

} // namespace

cRichTextDocument readRichText(std::string_view text) {
    if (text.starts_with(kRichTextStart)) return cRtfReader(text).read();
    return readPlainText(text);
}

} // namespace quarry
