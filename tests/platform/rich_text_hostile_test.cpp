// Input nobody should write: the reader ends on it in time linear in its
// length, shows what it could read and holds a bounded multiple of it.
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
    for (std::size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

} // namespace

// Every run holds valid UTF-8 and some text, one input byte gives at most
// three bytes of text, and the HTML writer takes the document.
TEST(RichTextHostile, RandomBytesGiveASaneDocument) {
    std::mt19937 random(4); // the same inputs every run
    const std::string alphabet = "{}\\\\\\'*;0123456789-  abcdefghilnpqrstux";
    for (int round = 0; round < 400; ++round) {
        std::string input = round % 2 == 0 ? "{\\rtf1" : "";
        for (std::size_t length = random() % 3000; length > 0; --length)
            input += random() % 8 == 0 ? static_cast<char>(random() % 256)
                                       : alphabet[random() % alphabet.size()];
        const cRichTextDocument document = readRichText(input);
        for (const cRichTextParagraph& paragraph : document.paragraphs)
            for (const cRichTextRun& run : paragraph.runs)
                ASSERT_TRUE(!run.text.empty() && isValidUtf8(run.text)) << round;
        EXPECT_LE(toPlainText(document).size(), 3 * input.size() + 1) << round;
        EXPECT_TRUE(isValidUtf8(toHtml(document))) << round;
    }
}

// Groups are read without recursion; beyond the depth the reader keeps, a
// group still ends its destination and the format it set.
TEST(RichTextHostile, DeepNesting) {
    const std::size_t depth = 100000;
    EXPECT_EQ(plain("{\\rtf1 " + repeated("{", depth)), "");
    EXPECT_EQ(plain("{\\rtf1 " + repeated("{", depth) + "deep" + repeated("}", depth) + " after}"),
              "deep after");
    EXPECT_EQ(plain("{\\rtf1 " + repeated("{\\b ", depth) + "x"), "x");
    const std::string open = repeated("{", 3000), close = repeated("}", 3000);
    EXPECT_EQ(plain("{\\rtf1 " + open + "{\\*\\foo hidden}shown" + close + "}"), "shown");
    EXPECT_EQ(plain("{\\rtf1 " + open + "{\\fonttbl{\\f0 Arial;}}shown" + close + "}"), "shown");
    EXPECT_EQ(describe(readRichText("{\\rtf1 " + open + "\\b x" + close + " y}")),
              R"(P(left) "x"b " y")");
}

// A parameter of a million digits is one word read once; tab stops and
// colours do not grow without bound.
TEST(RichTextHostile, HugeParametersAndTables) {
    EXPECT_EQ(plain("{\\rtf1 a\\b" + repeated("9", 1000000) + " b}"), "ab");
    const cRichTextDocument document =
        readRichText("{\\rtf1" + repeated("\\tx100", 100000) + " a" + repeated("{", 500) + "b}");
    ASSERT_FALSE(document.paragraphs.empty());
    EXPECT_EQ(document.paragraphs[0].tabStops.size(), 64u);
    EXPECT_EQ(plain("{\\rtf1{\\colortbl" + repeated(";\\red1", 100000) + "}\\cf99999 a}"), "a");
}

} // namespace quarry
