// The rich-text subset feature by feature.
#include <gtest/gtest.h>

#include <string>

#include "platform/rich_text.h"
#include "rich_text_test_support.h"

namespace quarry {

namespace {

std::string plain(std::string_view text) {
    return toPlainText(readRichText(text));
}

} // namespace

TEST(RichTextGroups, CharacterFormatIsRestoredWhenAGroupCloses) {
    EXPECT_EQ(describe(readRichText(R"({\rtf1 a{\b b{\i c}d}e})")), "P(left)\n"
                                                                    "  \"a\"\n"
                                                                    "  \"b\" b\n"
                                                                    "  \"c\" b i\n"
                                                                    "  \"d\" b\n"
                                                                    "  \"e\"\n");
}

TEST(RichTextGroups, ZeroFormsAndPlainSwitchFormatOff) {
    EXPECT_EQ(describe(readRichText(R"({\rtf1\b\i a\b0 b\i0 c\b1\i2 d\plain e})")), "P(left)\n"
                                                                                    "  \"a\" b i\n"
                                                                                    "  \"b\" i\n"
                                                                                    "  \"c\"\n"
                                                                                    "  \"d\" b i\n"
                                                                                    "  \"e\"\n");
}

TEST(RichTextColors, ColorIndexesTheColorTable) {
    const char* text = R"({\rtf1{\colortbl\red1\green2\blue3;\red255\green0\blue0;;\blue255;})"
                       R"(\cf0 a\cf1 b\cf2 c\cf3 d\cf4 e{\cf1 f}g})";
    EXPECT_EQ(describe(readRichText(text)),
              "P(left)\n"
              "  \"a\" #010203\n"
              "  \"b\" #ff0000\n"
              "  \"c\"\n" // an empty entry is the default colour
              "  \"d\" #0000ff\n"
              "  \"e\"\n" // past the table's end
              "  \"f\" #ff0000\n"
              "  \"g\"\n");
}

TEST(RichTextColors, LastEntryWithoutSemicolonCounts) {
    EXPECT_EQ(describe(readRichText(R"({\rtf1{\colortbl;\red9\green8\blue7}\cf1 x})")),
              "P(left)\n  \"x\" #090807\n");
}

TEST(RichTextColors, ColorComponentsAreClampedToAByte) {
    EXPECT_EQ(describe(readRichText(R"({\rtf1{\colortbl;\red999\green-5\blue128;}\cf1 x})")),
              "P(left)\n  \"x\" #ff0080\n");
}

TEST(RichTextParagraphs, ParEndsParagraphsAndPardResetsTheirFormat) {
    EXPECT_EQ(describe(readRichText(R"({\rtf1\qj\tx500\tx100 a\par b\pard\par\par c\par})")),
              "P(justify;500,100)\n"
              "  \"a\"\n"
              "P(justify;500,100)\n" // the format where its content began
              "  \"b\"\n"
              "P(left)\n" // empty: the format at its \par
              "P(left)\n"
              "  \"c\"\n");
    EXPECT_EQ(plain(R"({\rtf1 a\par\par b\par})"), "a\n\nb");
}

TEST(RichTextParagraphs, ALineUnderAnotherFormatStartsAParagraph) {
    EXPECT_EQ(describe(readRichText(R"({\rtf1 a\line {\tx300 b\line c}\line\qj d\line e})")),
              "P(left)\n"
              "  \"a\"\n"
              "P(left;300)\n"
              "  \"b\\nc\"\n"
              "P(justify)\n"
              "  \"d\\ne\"\n");
    // A format change in the middle of a line keeps the line together.
    EXPECT_EQ(describe(readRichText(R"({\rtf1 a{\tx300 b}\qj c\line d})")), "P(left)\n"
                                                                            "  \"abc\"\n"
                                                                            "P(justify)\n"
                                                                            "  \"d\"\n");
}

TEST(RichTextContent, TabLineAndControlWordDelimiter) {
    // One space ends a control word; a second one is text.
    EXPECT_EQ(plain(R"({\rtf1 a\tab  b\line c\tab\tab d})"), "a\t b\nc\t\td");
    // A digit run is the parameter; any other character ends the word and is text.
    EXPECT_EQ(describe(readRichText(R"({\rtf1\b1x\b0-y\i-1z})")),
              "P(left)\n  \"x\" b\n  \"-y\"\n  \"z\" i\n");
    // A literal tab is a tab; line ends of the file are not text.
    EXPECT_EQ(plain("{\\rtf1 a\tb\r\nc\nd}"), "a\tbcd");
}

TEST(RichTextContent, Escapes) {
    EXPECT_EQ(plain(R"({\rtf1 \\ \{ \} \'41\'7b})"), "\\ { } A{");
    // \'hh is a byte of Windows-1252, held as UTF-8, also where Latin-1 differs.
    EXPECT_EQ(plain(R"({\rtf1 \'e9\'80\'9f\'81\'ff})"),
              "\xC3\xA9\xE2\x82\xAC\xC5\xB8\xC2\x81\xC3\xBF");
    // So is raw 8-bit text.
    EXPECT_EQ(plain("{\\rtf1 caf\xE9 \x93q\x94}"), "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D");
    // Incomplete or wrong hex digits give no byte; what follows is text.
    EXPECT_EQ(plain(R"({\rtf1 a\'4zb\'zzc})"), "azbzzc");
    EXPECT_EQ(plain(R"({\rtf1 \~x\_y\-z\emdash\bullet})"),
              "\xC2\xA0x\xE2\x80\x91yz\xE2\x80\x94\xE2\x80\xA2");
}

TEST(RichTextContent, UnicodeCharactersSkipTheirFallback) {
    EXPECT_EQ(plain(R"({\rtf1 \u8364?{\uc2\u-3913xy}!\u-10179?\u-8704?.\u-10179?a\u0 ?b})"),
              "\xE2\x82\xAC"      // U+20AC, "?" skipped
              "\xEF\x82\xB7!"     // U+F0B7 from a negative value, "xy" skipped
              "\xF0\x9F\x98\x80." // a surrogate pair
              "\xEF\xBF\xBD"
              "a"   // a lone high half
              "b"); // \u0 is dropped like other control characters
}

TEST(RichTextSkipping, DestinationsAndUnknownWordsShowNothing) {
    const char* text =
        R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fswiss Arial;}}{\*\generator Writer;})"
        R"({\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}}\viewkind4\uc1\f0\fs20 )"
        R"(Hello {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}} )"
        R"({\object\objemb{\*\objdata 0102}{\result{\pict\wmetafile8 abc}}})"
        R"({\*\unknowndestination hidden {\b nested}}{\pict\bin4 }}{{ x}world\par})";
    EXPECT_EQ(plain(text), "Hello link world");
}

TEST(RichTextSkipping, StarCountsOnlyWhereAGroupOpens) {
    EXPECT_EQ(plain(R"({\rtf1 a\* b{\b\*c}d})"), "a bcd");
    EXPECT_EQ(plain("{\\rtf1 a{\r\n\\*\\x b}c}"), "ac");
}

TEST(RichTextSkipping, BinaryDataMayHoldAnyBytes) {
    // The five bytes after "\bin5 " are a brace, a backslash, a zero byte, a
    // brace and a space.
    constexpr char kBinary[] = "{\\rtf1 {\\pict\\bin5 }\\\0{ x}after}";
    EXPECT_EQ(plain(std::string_view(kBinary, sizeof kBinary - 1)), "after");
    EXPECT_EQ(plain(R"({\rtf1 a\bin99999999999999999999 bcd})"), "a");
    EXPECT_EQ(plain(R"({\rtf1 a\bin-5 b})"), "ab");
}

TEST(RichTextSkipping, ReadingStopsWhereTheDocumentCloses) {
    EXPECT_EQ(plain(R"({\rtf1 a}b)"), "a");
    EXPECT_EQ(plain(R"({\rtf1 a}}} b)"), "a");
    EXPECT_EQ(plain("{\\rtf1 a}\r\n\0"), "a");
}

TEST(RichTextPlain, OtherTextIsOnePlainParagraphAsItIs) {
    const cRichTextDocument document = readRichText("a \\b {c}\r\nd\re\n\xE9\t");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    ASSERT_EQ(document.paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(document.paragraphs[0].runs[0].text, "a \\b {c}\nd\ne\n\xC3\xA9\t");

    // Only an exact "{\rtf" at the very start makes rich text.
    EXPECT_EQ(plain(" {\\rtf1 x}"), " {\\rtf1 x}");
    EXPECT_EQ(plain("{\\RTF1 x}"), "{\\RTF1 x}");
    EXPECT_EQ(plain("{\\rt"), "{\\rt");

    const cRichTextDocument empty = readRichText("");
    ASSERT_EQ(empty.paragraphs.size(), 1u);
    EXPECT_TRUE(empty.paragraphs[0].runs.empty());
    EXPECT_EQ(toPlainText(empty), "");
}

// Documents written by hand: their plain text is what was put in them.
TEST(RichTextPlain, HandWrittenDocumentsGiveBackTheirText) {
    const std::string lines[] = {"first line", "\tindented", "", "a {brace} and \\ back", "last"};
    std::string document = "{\\rtf1\\ansi ";
    std::string expected;
    for (const std::string& line : lines) {
        for (const char c : line) {
            if (c == '\\' || c == '{' || c == '}') document += '\\';
            document += c == '\t' ? std::string("\\tab ") : std::string(1, c);
        }
        document += "\\par\n";
        expected += line + "\n";
    }
    document += "}";
    expected.pop_back(); // no line feed after the last paragraph
    EXPECT_EQ(plain(document), expected);
}

} // namespace quarry
