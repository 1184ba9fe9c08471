// The rich-text reader and its writers: any bytes give a document whose
// texts are valid UTF-8, in bounded size.
#include "platform/rich_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quarry {

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t value = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            length = 2;
            value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
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
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < least[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

void readAndWrite(std::string_view input) {
    const cRichTextDocument document = readRichText(input);
    for (const cRichTextParagraph& paragraph : document.paragraphs)
        for (const cRichTextRun& run : paragraph.runs)
            require(isValidUtf8(run.text));
    const std::string plain = toPlainText(document);
    // One input byte gives at most three bytes of text, plus paragraph breaks.
    require(plain.size() <= 3 * input.size() + document.paragraphs.size());
    require(isValidUtf8(plain));
    require(isValidUtf8(toHtml(document)));
}

} // namespace

} // namespace quarry

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarry;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    readAndWrite(input);
    // Most mutations of a document break its header; read them as rich text too.
    readAndWrite(std::string("{\\rtf1 ").append(input));
    return 0;
}
