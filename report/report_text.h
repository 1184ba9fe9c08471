// The report under construction. Fixed markup goes in as written; text that
// comes from the item file goes in escaped, so a rich-text reader shows it
// exactly as written instead of taking a "\", "{" or "}" in it for markup.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarry {

// Appends `text` to `out` with a backslash before each "\", "{" and "}".
void appendRichTextEscaped(std::string& out, std::string_view text);

class cReportText {
public:
    explicit cReportText(std::string& out) : out_(out) {}

    cReportText& markup(std::string_view fixed) {
        out_.append(fixed);
        return *this;
    }
    cReportText& text(std::string_view fromFile) {
        appendRichTextEscaped(out_, fromFile);
        return *this;
    }
    cReportText& number(std::int32_t value) {
        out_.append(std::to_string(value));
        return *this;
    }

private:
    std::string& out_;
};

} // namespace quarry
