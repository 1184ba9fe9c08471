// Input nobody should write: the reader ends on it, shows what it could read
// and never holds more than a bounded multiple of the input.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/rich_text.h"
#include "rich_text_test_support.h"

namespace quarry {

namespace {

std::string plain(std::string_view text) {
    return toPlainText(readRichText(text));
}

std::string repeated(std::string_view piece, std::size_t count) {
    std::string out;
    out.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

// Every run holds valid UTF-8 and some text, and the writers accept the
// document. One input byte gives at most three bytes of text.
void expectSaneDocument(std::string_view input) {
    const cRichTextDocument document = readRichText(input);
    for (const cRichTextParagraph& paragraph : document.paragraphs) {
        for (const cRichTextRun& run : paragraph.runs) {
            EXPECT_FALSE(run.text.empty());
            EXPECT_TRUE(isValidUtf8(run.text));
        }
    }
    const std::string text = toPlainText(document);
    EXPECT_LE(text.size(), 3 * input.size() + 1);
    const std::string html = toHtml(document);
    EXPECT_TRUE(isValidUtf8(html));
}

} // namespace

TEST(RichTextHostile, RandomBytes) {
    std::mt19937 random(4); // fixed seed: the same inputs every run
    // Mostly the characters that drive the reader, some of any value.
    const std::string alphabet = "{}\\\\\\'*;0123456789-  abcdefghilnpqrstux";
    for (int round = 0; round < 400; ++round) {
        std::string input = round % 2 == 0 ? "{\\rtf1" : "";
        const std::size_t length = random() % 3000;
        for (std::size_t i = 0; i < length; ++i) {
            if (random() % 8 == 0)
                input += static_cast<char>(random() % 256);
            else
                input += alphabet[random() % alphabet.size()];
        }
        SCOPED_TRACE(round);
        expectSaneDocument(input);
    }
}

TEST(RichTextHostile, DeepNestingIsReadWithoutRecursion) {
    const std::size_t depth = 100000;
    EXPECT_EQ(plain("{\\rtf1 " + repeated("{", depth)), "");
    EXPECT_EQ(plain("{\\rtf1 " + repeated("{", depth) + "deep" + repeated("}", depth) + " after}"),
              "deep after");
    expectSaneDocument("{\\rtf1 " + repeated("{\\b ", depth) + "x");
}

// Beyond the depth the reader keeps, a group still ends its destination, and
// the format it sets ends with the enclosing groups.
TEST(RichTextHostile, GroupsBeyondTheDepthCapStillEndWhatTheyOpened) {
    const std::string open = repeated("{", 3000);
    const std::string close = repeated("}", 3000);
    EXPECT_EQ(plain("{\\rtf1 " + open + "{\\*\\foo hidden}shown" + close + "}"), "shown");
    EXPECT_EQ(plain("{\\rtf1 " + open + "{\\fonttbl{\\f0 Arial;}}shown" + close + "}"), "shown");
    const cRichTextDocument document = readRichText("{\\rtf1 " + open + "\\b x" + close + " y}");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    ASSERT_EQ(document.paragraphs[0].runs.size(), 2u);
    EXPECT_TRUE(document.paragraphs[0].runs[0].bold);
    EXPECT_EQ(document.paragraphs[0].runs[1].text, " y");
    EXPECT_FALSE(document.paragraphs[0].runs[1].bold);
}

TEST(RichTextHostile, HugeParametersAreClamped) {
    EXPECT_EQ(
        describe(readRichText(
            R"({\rtf1\tx99999999999999999999 \tx-99999999999999999999)"
            R"(\b99999999999999999999999999 x\b0\cf-99999999999999999999 y\u99999999999999999 z})")),
        "P(left;1000000000,-1000000000)\n  \"x\" b\n  \"yz\"\n");
    // A parameter of a million digits is one word, read once.
    EXPECT_EQ(plain("{\\rtf1 a\\b" + repeated("9", 1000000) + " b}"), "ab");
}

TEST(RichTextHostile, TextEndingInsideAnything) {
    EXPECT_EQ(plain("{\\rtf1 abc\\"), "abc");
    EXPECT_EQ(plain("{\\rtf1 abc\\li"), "abc");
    EXPECT_EQ(plain("{\\rtf1 abc\\tx-"), "abc-");
    EXPECT_EQ(plain("{\\rtf1 abc\\'4"), "abc");
    EXPECT_EQ(plain("{\\rtf1 abc\\'"), "abc");
    EXPECT_EQ(plain("{\\rtf1 abc\\u8364"), "abc\xE2\x82\xAC");
    EXPECT_EQ(plain("{\\rtf1 abc{\\b"), "abc");
    EXPECT_EQ(plain("{\\rtf1 {{{abc"), "abc");
    EXPECT_EQ(plain("{\\rtf"), "");
}

TEST(RichTextHostile, ManyTabStopsAndColorsStayBounded) {
    const cRichTextDocument document =
        readRichText("{\\rtf1" + repeated("\\tx100", 100000) + " a" + repeated("{", 500) + "b}");
    ASSERT_FALSE(document.paragraphs.empty());
    EXPECT_LE(document.paragraphs[0].tabStops.size(), 64u);
    EXPECT_EQ(plain("{\\rtf1{\\colortbl" + repeated(";\\red1", 100000) + "}\\cf99999 a}"), "a");
}

TEST(RichTextHostile, ControlCharactersAreNotShown) {
    EXPECT_EQ(plain(std::string_view("{\\rtf1 a\0b\x01\x1F"
                                     "c\\'00\\'0dd}",
                                     22)),
              "abcd");
}

} // namespace quarry
