#include "report/report_text.h"

namespace quarry {

void appendRichTextEscaped(std::string& out, std::string_view text) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == '{' || c == '}') {
            out.append(text.substr(runStart, i - runStart));
            out.push_back('\\');
            runStart = i; // the character itself starts the next run
        }
    }
    out.append(text.substr(runStart));
}

} // namespace quarry
