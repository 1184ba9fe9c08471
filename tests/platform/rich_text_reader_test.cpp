// The rich-text reader feature by feature: tables of documents and what is
// read from them, the formats where they matter, the plain text elsewhere;
// and the formats of an item report.
#include <gtest/gtest.h>

#include <string>

#include "../report/knife_report.h"
#include "platform/rich_text.h"
#include "rich_text_test_support.h"

namespace quarry {

using namespace std::literals;

TEST(RichTextReader, FormatsOfRunsAndParagraphs) {
    const std::pair<const char*, const char*> cases[] = {
        // A group's end restores the format; 0 forms and \plain switch it off.
        {R"({\rtf1 a{\b b{\i c}d}e})", R"(P(left) "a" "b"b "c"bi "d"b "e")"},
        {R"({\rtf1\b\i a\b0 b\i0 c\b1\i2 d\plain e})", R"(P(left) "a"bi "b"i "c" "d"bi "e")"},
        // A digit run is the parameter; another character ends the word and is text.
        {R"({\rtf1\b1x\b0-y\i-1z})", R"(P(left) "x"b "-y" "z"i)"},
        // \cf indexes the colour table: an empty entry or one past the end is
        // the default, a last entry without ";" counts, components are clamped.
        {R"({\rtf1{\colortbl\red1\green2\blue3;\red255\green0\blue0;;\blue255;})"
         R"(\cf0 a\cf1 b\cf2 c\cf3 d\cf4 e{\cf1 f}g})",
         R"(P(left) "a"#010203 "b"#ff0000 "c" "d"#0000ff "e" "f"#ff0000 "g")"},
        {R"({\rtf1{\colortbl;\red9\green8\blue7}\cf1 x})", R"(P(left) "x"#090807)"},
        {R"({\rtf1{\colortbl;\red999\green-5\blue128;}\cf1 x})", R"(P(left) "x"#ff0080)"},
        // \par ends a paragraph with the format where its content began (an
        // empty one: the format at its \par); \pard resets it.
        {R"({\rtf1\qj\tx500\tx100 a\par b\pard\par\par c\par})",
         R"(P(justify;500,100) "a" P(justify;500,100) "b" P(left) P(left) "c")"},
        // A line beginning under another format starts a paragraph; a change
        // in the middle of a line does not.
        {R"({\rtf1 a\line {\tx300 b\line c}\line\qj d\line e})",
         R"(P(left) "a" P(left;300) "b\nc" P(justify) "d\ne")"},
        {R"({\rtf1 a{\tx300 b}\qj c\line d})", R"(P(left) "abc" P(justify) "d")"},
        {R"({\rtf1\tx99999999999999999999 \tx-99999999999999999999)"
         R"(\b99999999999999999999999999 x\b0\cf-99999999999999999999 y\u99999999999999999 z})",
         R"(P(left;1000000000,-1000000000) "x"b "yz")"},
        // Other text is one plain paragraph as it is, CR LF and CR as line breaks.
        {"a \\b {c}\r\nd\re\n\xE9\t", "P(left) \"a \\b {c}\\nd\\ne\\n\xC3\xA9\\t\""},
        {"", "P(left)"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(describe(readRichText(text)), expected) << text;
}

TEST(RichTextReader, PlainTextOfDocuments) {
    const std::pair<std::string_view, const char*> cases[] = {
        {R"({\rtf1 a\par\par b\par})", "a\n\nb"},
        // One space ends a control word, a second one is text.
        {R"({\rtf1 a\tab  b\line c\tab\tab d})", "a\t b\nc\t\td"},
        {"{\\rtf1 a\tb\r\nc\nd}", "a\tbcd"}, // line ends of the file are not text
        {R"({\rtf1 \\ \{ \} \'41\'7b})", "\\ { } A{"},
        // \'hh and raw bytes are Windows-1252, held as UTF-8.
        {R"({\rtf1 \'e9\'80\'9f\'81\'ff})", "\xC3\xA9\xE2\x82\xAC\xC5\xB8\xC2\x81\xC3\xBF"},
        {"{\\rtf1 caf\xE9 \x93q\x94}", "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D"},
        {R"({\rtf1 a\'4zb\'zzc})", "azbzzc"},
        {R"({\rtf1 \~x\_y\-z\emdash\bullet})", "\xC2\xA0x\xE2\x80\x91yz\xE2\x80\x94\xE2\x80\xA2"},
        // \u skips its fallback; surrogate pairs join, a lone half is U+FFFD.
        {R"({\rtf1 \u8364?{\uc2\u-3913xy}!\u-10179?\u-8704?.\u-10179?a\u0 ?b})",
         "\xE2\x82\xAC\xEF\x82\xB7!\xF0\x9F\x98\x80.\xEF\xBF\xBD"
         "ab"},
        {R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fswiss Arial;}}{\*\generator Writer;})"
         R"({\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}}\viewkind4\uc1\f0\fs20 )"
         R"(Hello {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}} )"
         R"({\object\objemb{\*\objdata 0102}{\result{\pict\wmetafile8 abc}}})"
         R"({\*\unknowndestination hidden {\b nested}}{\pict\bin4 }}{{ x}world\par})",
         "Hello link world"},
        // "\*" counts only where a group opens.
        {R"({\rtf1 a\* b{\b\*c}d})", "a bcd"},
        {"{\\rtf1 a{\r\n\\*\\x b}c}", "ac"},
        // \binN takes N bytes of any value.
        {"{\\rtf1 {\\pict\\bin5 }\\\0{ x}after}"sv, "after"},
        {R"({\rtf1 a\bin99999999999999999999 bcd})", "a"},
        {R"({\rtf1 a\bin-5 b})", "ab"},
        // Reading stops where the document closes, or where the text ends.
        {R"({\rtf1 a}}} b)", "a"},
        {"{\\rtf1 a}\r\n\0"sv, "a"},
        {"{\\rtf1 abc\\", "abc"},
        {"{\\rtf1 abc\\li", "abc"},
        {"{\\rtf1 abc\\tx-", "abc-"},
        {"{\\rtf1 abc\\'4", "abc"},
        {"{\\rtf1 abc\\'", "abc"},
        {"{\\rtf1 abc\\u8364", "abc\xE2\x82\xAC"},
        {"{\\rtf1 abc{\\b", "abc"},
        {"{\\rtf1 {{{abc", "abc"},
        {"{\\rtf", ""},
        {"{\\rtf1 a\0b\x01\x1F"
         "c\\'00\\'0dd}"sv,
         "abcd"}, // control characters are not shown
        // Only an exact "{\rtf" at the very start makes rich text.
        {" {\\rtf1 x}", " {\\rtf1 x}"},
        {"{\\RTF1 x}", "{\\RTF1 x}"},
        {"{\\rt", "{\\rt"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(toPlainText(readRichText(text)), expected) << text;
}

// Grey marks brackets and the names of name = value pairs, black follows
// every heading; the title and description have the default colour. The
// description is justified until the first \pard; attribute lines carry the
// 2000 twip tab stop, event lines 250.
TEST(RichTextWriters, KnifeReportReadsWithItsFormats) {
    EXPECT_EQ(describe(readRichText(kKnifeReport)),
              R"(P(left) "ZRID 1234: " "Knife"b " (QL 10)\n" P(justify) "Sharp\n\n" "-["#808080 )"
              R"("Attributes"bi#000000 "]-"#808080 "\n"#000000 P(justify;2000) "Mass:"b#000000 )"
              R"(" \t5  \n"#000000 "Attack skill:"b#000000 " \t Melee 100%  "#000000 P(justify) )"
              R"("\n"#000000 "-["#808080 "Actions"bi#000000 "]-"#808080 "\n\n"#000000 )"
              R"("Wield"b#000000 " "#000000 P(left) "Stat = "#808080 "Strength   \n\n"#000000 )"
              R"("-["#808080 "Events"bi#000000 "]-"#808080 "\n\n"#000000 "OnUse"b#000000 )"
              R"(" "#000000 P(left;250) "Name = "#808080 "Hit  :  5  \n"#000000)");
}

} // namespace quarry
