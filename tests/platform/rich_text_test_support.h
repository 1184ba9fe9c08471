// Helpers that let the rich-text tests state a whole document compactly.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/rich_text.h"

namespace quarry {

// The document on one line: each paragraph as "P(left)" or
// "P(justify;2000,250)", each run after it as its text in quotes (tab as \t,
// line break as \n) followed by "b", "i" and "#rrggbb" as its format has them:
// P(left) "a" "b"b "c"bi#ff0000
inline std::string describe(const cRichTextDocument& document) {
    std::string out;
    for (const cRichTextParagraph& paragraph : document.paragraphs) {
        out += out.empty() ? "" : " ";
        out += paragraph.align == eRichTextAlign::justify ? "P(justify" : "P(left";
        for (std::size_t i = 0; i < paragraph.tabStops.size(); ++i)
            out += (i == 0 ? ";" : ",") + std::to_string(paragraph.tabStops[i]);
        out += ")";
        for (const cRichTextRun& run : paragraph.runs) {
            out += " \"";
            for (const char c : run.text)
                out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
            out += '"';
            if (run.bold) out += "b";
            if (run.italic) out += "i";
            if (run.hasColor) {
                char color[16];
                std::snprintf(color, sizeof color, "#%06x", static_cast<unsigned>(run.color));
                out += color;
            }
        }
    }
    return out;
}

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
inline bool isValidUtf8(std::string_view text) {
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i++]);
        const std::size_t more = lead < 0x80   ? 0
                                 : lead < 0xC0 ? 9
                                 : lead < 0xE0 ? 1
                                 : lead < 0xF0 ? 2
                                               : 3;
        if (more > 3 || more > text.size() - i) return false;
        char32_t value = more ? lead & (0x3F >> more) : lead;
        for (std::size_t k = 0; k < more; ++k) {
            const auto next = static_cast<unsigned char>(text[i++]);
            if ((next & 0xC0) != 0x80) return false;
            value = value << 6 | (next & 0x3F);
        }
        if (value < kLeast[more] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
    }
    return true;
}

} // namespace quarry
