#include "platform/rtf_reader.h"

#include <algorithm>
#include <string>

#include "platform/windows_1252.h"

namespace quarry {

namespace {

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

cRichTextDocument cRtfReader::read() {
    while (pos_ < input_.size() && !finished_) {
        const auto c = static_cast<unsigned char>(input_[pos_++]);
        groupStart_ = groupOpened_;
        groupOpened_ = false;
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            readControl();
            break;
        case '\r':
        case '\n':
            groupOpened_ = groupStart_;
            break; // line ends of the file, not of the text
        default:
            textByte(c);
            break;
        }
    }
    flushHighSurrogate();
    return builder_.finish();
}

void cRtfReader::openGroup() {
    pendingFallback_ = 0;
    groupOpened_ = true;
    if (saved_.size() < kMaxGroupDepth)
        saved_.push_back(state_);
    else
        ++overflowDepth_;
}

void cRtfReader::closeGroup() {
    pendingFallback_ = 0;
    if (overflowDepth_ > 0) {
        if (overflowDestinationDepth_ == overflowDepth_) {
            state_.destination = overflowSavedDestination_;
            overflowDestinationDepth_ = 0;
        }
        --overflowDepth_;
        return;
    }
    // A colour table whose last entry lacks its ";" still gets that entry.
    if (state_.destination == eDestination::colorTable && colorEntry_.isSet &&
        (saved_.empty() || saved_.back().destination != eDestination::colorTable)) {
        addColorEntry();
    }
    if (!saved_.empty()) {
        state_ = std::move(saved_.back());
        saved_.pop_back();
    }
    // The document is its outermost group; what follows it is not part of it.
    if (saved_.empty()) finished_ = true;
}

void cRtfReader::setDestination(eDestination destination) {
    if (state_.destination == destination || state_.destination == eDestination::skipped) return;
    if (overflowDepth_ > 0 && overflowDestinationDepth_ == 0) {
        overflowDestinationDepth_ = overflowDepth_;
        overflowSavedDestination_ = state_.destination;
    }
    state_.destination = destination;
}

void cRtfReader::readControl() {
    if (pos_ >= input_.size()) return; // a lone backslash at the end
    const auto c = static_cast<unsigned char>(input_[pos_]);
    if (isLetter(c)) {
        readControlWord();
    } else {
        ++pos_;
        readControlSymbol(c);
    }
}

void cRtfReader::readControlWord() {
    const std::size_t start = pos_;
    while (pos_ < input_.size() && isLetter(static_cast<unsigned char>(input_[pos_])))
        ++pos_;
    const std::string_view name = input_.substr(start, pos_ - start);

    bool negative = false;
    if (pos_ + 1 < input_.size() && input_[pos_] == '-' &&
        isDigit(static_cast<unsigned char>(input_[pos_ + 1]))) {
        negative = true;
        ++pos_;
    }
    bool hasParameter = false;
    long long parameter = 0;
    // Every digit belongs to the word, however many; the value saturates.
    while (pos_ < input_.size() && isDigit(static_cast<unsigned char>(input_[pos_]))) {
        hasParameter = true;
        if (parameter < kMaxParameter) parameter = parameter * 10 + (input_[pos_] - '0');
        ++pos_;
    }
    parameter = std::min(parameter, kMaxParameter);
    if (negative) parameter = -parameter;
    // One space ends a control word and is not part of the text.
    if (pos_ < input_.size() && input_[pos_] == ' ') ++pos_;
    applyWord(lookupRtfWord(name), hasParameter, parameter);
}

void cRtfReader::readControlSymbol(unsigned char symbol) {
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(symbol);
        break;
    case '\'':
        readHexByte();
        break;
    case '*':
        // Marks the group it opens as one to skip unless understood; a "\*"
        // anywhere else means nothing.
        if (groupStart_) setDestination(eDestination::skipped);
        break;
    case '\r':
    case '\n':
        if (state_.destination == eDestination::text) endParagraph();
        break;
    case '~':
        if (state_.destination == eDestination::text) appendCodePoint(0x00A0); // non-breaking space
        break;
    case '_':
        if (state_.destination == eDestination::text)
            appendCodePoint(0x2011); // non-breaking hyphen
        break;
    default:
        break; // optional hyphen, formula and index marks: nothing to show
    }
}

void cRtfReader::readHexByte() {
    int value = 0;
    int digits = 0;
    while (digits < 2 && pos_ < input_.size()) {
        const int digit = hexValue(static_cast<unsigned char>(input_[pos_]));
        if (digit < 0) break;
        value = value * 16 + digit;
        ++digits;
        ++pos_;
    }
    if (digits == 2) textByte(static_cast<unsigned char>(value));
}

void cRtfReader::applyWord(eRtfWord word, bool hasParameter, long long parameter) {
    if (word == eRtfWord::binary) {
        // Raw bytes follow, in whatever destination; they may hold braces.
        const auto count = static_cast<std::size_t>(std::max(parameter, 0LL));
        pos_ += std::min(count, input_.size() - pos_);
        return;
    }
    if (word == eRtfWord::skippedDestination) {
        setDestination(eDestination::skipped);
        return;
    }
    switch (state_.destination) {
    case eDestination::skipped:
        return;
    case eDestination::colorTable:
        applyColorWord(word, parameter);
        return;
    case eDestination::text:
        applyTextWord(word, hasParameter, parameter);
        return;
    }
}

void cRtfReader::applyColorWord(eRtfWord word, long long parameter) {
    const auto component = static_cast<std::uint32_t>(std::clamp(parameter, 0LL, 255LL));
    switch (word) {
    case eRtfWord::red:
        colorEntry_.rgb = (colorEntry_.rgb & 0x00FFFFu) | (component << 16);
        break;
    case eRtfWord::green:
        colorEntry_.rgb = (colorEntry_.rgb & 0xFF00FFu) | (component << 8);
        break;
    case eRtfWord::blue:
        colorEntry_.rgb = (colorEntry_.rgb & 0xFFFF00u) | component;
        break;
    default:
        return;
    }
    colorEntry_.isSet = true;
}

void cRtfReader::applyTextWord(eRtfWord word, bool hasParameter, long long parameter) {
    // A toggle without parameter, or with any but 0, switches on.
    const bool on = !hasParameter || parameter != 0;
    cRichTextParagraphFormat& paragraph = state_.paragraph;
    switch (word) {
    case eRtfWord::colorTable:
        colors_.clear();
        colorEntry_ = cColorEntry{};
        setDestination(eDestination::colorTable);
        break;
    case eRtfWord::bold:
        state_.characters.bold = on;
        break;
    case eRtfWord::italic:
        state_.characters.italic = on;
        break;
    case eRtfWord::colorFore:
        state_.characters.colorIndex = std::max(parameter, 0LL);
        break;
    case eRtfWord::plain:
        state_.characters = cCharacterFormat{};
        break;
    case eRtfWord::paragraphDefault:
        paragraph = cRichTextParagraphFormat{};
        break;
    case eRtfWord::justify:
        paragraph.align = eRichTextAlign::justify;
        break;
    case eRtfWord::alignLeft:
        paragraph.align = eRichTextAlign::left;
        break;
    case eRtfWord::tabStop:
        if (hasParameter && paragraph.tabStops.size() < kMaxTabStops)
            paragraph.tabStops.push_back(static_cast<int>(parameter));
        break;
    case eRtfWord::tab:
    case eRtfWord::cell:
        appendUtf8("\t");
        break;
    case eRtfWord::line:
        appendLineBreak();
        break;
    case eRtfWord::paragraph:
    case eRtfWord::row:
    case eRtfWord::page:
    case eRtfWord::section:
        endParagraph();
        break;
    case eRtfWord::unicode:
        // A signed 16-bit value; the bytes after it stand in for readers
        // without Unicode and are skipped.
        if (!hasParameter || parameter < -32768 || parameter > 65535) break;
        if (const auto codePoint =
                static_cast<char32_t>(parameter < 0 ? parameter + 65536 : parameter);
            codePoint == '\t')
            appendUtf8("\t");
        else if (codePoint >= 0x20) // other control characters are not shown
            appendCodePoint(codePoint);
        pendingFallback_ = state_.unicodeFallback;
        break;
    case eRtfWord::unicodeSkip:
        state_.unicodeFallback = static_cast<int>(std::clamp(parameter, 0LL, 16LL));
        break;
    case eRtfWord::emDash:
        appendCodePoint(0x2014);
        break;
    case eRtfWord::enDash:
        appendCodePoint(0x2013);
        break;
    case eRtfWord::bullet:
        appendCodePoint(0x2022);
        break;
    case eRtfWord::leftQuote:
        appendCodePoint(0x2018);
        break;
    case eRtfWord::rightQuote:
        appendCodePoint(0x2019);
        break;
    case eRtfWord::leftDoubleQuote:
        appendCodePoint(0x201C);
        break;
    case eRtfWord::rightDoubleQuote:
        appendCodePoint(0x201D);
        break;
    default:
        break; // unknown words, and words that mean nothing here
    }
}

void cRtfReader::textByte(unsigned char byte) {
    if (pendingFallback_ > 0) {
        --pendingFallback_;
        return;
    }
    switch (state_.destination) {
    case eDestination::skipped:
        return;
    case eDestination::colorTable:
        if (byte == ';') // ends one entry
            addColorEntry();
        return;
    case eDestination::text:
        break;
    }
    if (byte == '\t')
        appendUtf8("\t");
    else if (byte >= 0x20) // other control characters are not shown
        appendCodePoint(windows1252ToCodePoint(byte));
}

void cRtfReader::appendCodePoint(char32_t codePoint) {
    if (pendingHighSurrogate_ != 0 && isLowSurrogate(codePoint)) {
        codePoint =
            0x10000 + ((char32_t(pendingHighSurrogate_) - 0xD800) << 10) + (codePoint - 0xDC00);
        pendingHighSurrogate_ = 0;
    } else if (isHighSurrogate(codePoint)) {
        flushHighSurrogate();
        pendingHighSurrogate_ = static_cast<char16_t>(codePoint);
        return;
    }
    std::string utf8;
    quarry::appendUtf8(utf8, codePoint); // a lone low surrogate becomes U+FFFD
    appendUtf8(utf8);
}

void cRtfReader::appendUtf8(std::string_view text) {
    flushHighSurrogate();
    builder_.appendText(text, currentFormat(), state_.paragraph);
}

void cRtfReader::appendLineBreak() {
    flushHighSurrogate();
    builder_.appendLineBreak(currentFormat(), state_.paragraph);
}

void cRtfReader::endParagraph() {
    flushHighSurrogate();
    builder_.endParagraph(state_.paragraph);
}

// A high surrogate not followed by its low half is shown as U+FFFD.
void cRtfReader::flushHighSurrogate() {
    if (pendingHighSurrogate_ == 0) return;
    pendingHighSurrogate_ = 0;
    builder_.appendText("\xEF\xBF\xBD", currentFormat(), state_.paragraph);
}

void cRtfReader::addColorEntry() {
    if (colors_.size() < kMaxColors) colors_.push_back(colorEntry_);
    colorEntry_ = cColorEntry{};
}

cRichTextRun cRtfReader::currentFormat() const {
    cRichTextRun format;
    format.bold = state_.characters.bold;
    format.italic = state_.characters.italic;
    const long long index = state_.characters.colorIndex;
    if (index < static_cast<long long>(colors_.size()) && colors_[index].isSet) {
        format.hasColor = true;
        format.color = colors_[index].rgb;
    }
    return format;
}

} // namespace quarry
