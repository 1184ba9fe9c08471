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
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            value = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            value = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            value = c & 0x07;
        } else
            return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        if ((length == 3 && value < 0x800) ||
            (length == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
            (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace quarry
