// The state machine that reads rich text (a text beginning with "{\rtf") into
// a document. One pass over the bytes, no recursion: groups live on an
// explicit stack with a depth cap, so any input ends in linear time with
// bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/rich_text.h"
#include "platform/rich_text_builder.h"
#include "platform/rich_text_words.h"

namespace quarry {

class cRtfReader {
public:
    // Groups nested deeper than this are read on, but no longer restore the
    // character format when they close (the destination they open still ends).
    static constexpr std::size_t kMaxGroupDepth = 1000;
    // Further tab stops of one paragraph are ignored.
    static constexpr std::size_t kMaxTabStops = 64;
    // Colour table entries past this many are not kept (their \cf shows the
    // default colour).
    static constexpr std::size_t kMaxColors = 4096;
    // Control word parameters are clamped to plus or minus this.
    static constexpr long long kMaxParameter = 1'000'000'000;

    explicit cRtfReader(std::string_view input) : input_(input) {}
    cRichTextDocument read();

private:
    enum class eDestination { text, colorTable, skipped };

    struct cCharacterFormat {
        bool bold = false;
        bool italic = false;
        long long colorIndex = 0;
    };

    // What a "{" saves and the matching "}" restores.
    struct cGroupState {
        cCharacterFormat characters;
        cRichTextParagraphFormat paragraph;
        eDestination destination = eDestination::text;
        int unicodeFallback = 1; // bytes that stand in for a \u character
    };

    struct cColorEntry {
        bool isSet = false; // false: the default colour (an empty entry)
        std::uint32_t rgb = 0;
    };

    void openGroup();
    void closeGroup();
    void readControl();
    void readControlWord();
    void readControlSymbol(unsigned char symbol);
    void readHexByte();
    void applyWord(eRtfWord word, bool hasParameter, long long parameter);
    void applyColorWord(eRtfWord word, long long parameter);
    void applyTextWord(eRtfWord word, bool hasParameter, long long parameter);
    void setDestination(eDestination destination);
    void textByte(unsigned char byte);
    void addColorEntry();
    void appendCodePoint(char32_t codePoint);
    void appendUtf8(std::string_view text);
    void appendLineBreak();
    void endParagraph();
    void flushHighSurrogate();
    cRichTextRun currentFormat() const;

    std::string_view input_;
    std::size_t pos_ = 0;
    bool finished_ = false;    // the document's outermost group has closed
    bool groupOpened_ = false; // the last character read was a "{"
    bool groupStart_ = false;  // the current token directly follows a "{"

    cGroupState state_;
    std::vector<cGroupState> saved_;
    std::size_t overflowDepth_ = 0;            // groups open beyond the cap
    std::size_t overflowDestinationDepth_ = 0; // overflow group that changed the destination
    eDestination overflowSavedDestination_ = eDestination::text;

    int pendingFallback_ = 0;           // fallback bytes after \u still to skip
    char16_t pendingHighSurrogate_ = 0; // first half of a \u surrogate pair

    std::vector<cColorEntry> colors_;
    cColorEntry colorEntry_; // the colour table entry being read

    cRichTextBuilder builder_;
};

} // namespace quarry
