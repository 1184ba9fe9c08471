// Item reports as the report renderer writes them, read back: the words a
// person sees, where they are bold, italic, grey or black, and the paragraph
// formats the report pane lays them out with.
#include <gtest/gtest.h>

#include <string>

#include "platform/rich_text.h"
#include "rich_text_test_support.h"

namespace quarry {

namespace {

const std::string kColorTable = R"({\colortbl;\red0\green0\blue0;\red128\green128\blue128;})";

// The report of a knife with one attribute, one attack skill, one action
// with one requirement set and one event with one function.
const std::string kKnifeReport =
    R"({\rtf\ansi{\colortbl;\red0\green0\blue0;\red128\green128\blue128;}ZRID 1234: {\b Knife} (QL 10))"
    R"(\line \line \qj{Sharp}\line \line \cf2-[{\cf1\b\i Attributes}]-\cf1 \line \line)"
    R"({\tx2000 {\b Mass:} \tab 5 } \line{\tx2000 {\b Attack skill:} \tab  Melee 100% } \line)"
    R"( \line \cf2-[{\cf1\b\i Actions}]-\cf1 \line \line{\b Wield} \pard \line {\cf2 Stat = }Strength  )"
    R"( \line \line \cf2-[{\cf1\b\i Events}]-\cf1 \line \line{\b OnUse} \pard\tx250\line )"
    R"({\cf2 Name = }Hit  :  5  \line})";

} // namespace

TEST(RichTextReport, KnifeReportIsTheDocumentWeMeanToRead) {
    EXPECT_EQ(kKnifeReport.size(), 469u);
}

TEST(RichTextReport, KnifeReportReadsIntoTheWordsAPersonSees) {
    EXPECT_EQ(toPlainText(readRichText(kKnifeReport)), "ZRID 1234: Knife (QL 10)\n"
                                                       "\n"
                                                       "Sharp\n"
                                                       "\n"
                                                       "-[Attributes]-\n"
                                                       "\n"
                                                       "Mass: \t5  \n"
                                                       "Attack skill: \t Melee 100%  \n"
                                                       "\n"
                                                       "-[Actions]-\n"
                                                       "\n"
                                                       "Wield \n"
                                                       "Stat = Strength   \n"
                                                       "\n"
                                                       "-[Events]-\n"
                                                       "\n"
                                                       "OnUse \n"
                                                       "Name = Hit  :  5  \n");
}

// Grey (#808080) marks brackets and the names of name = value pairs, black
// (#000000) follows every heading; the title and description have the
// default colour. The description is justified until the first \pard; the
// attribute lines carry the 2000 twip tab stop, the event lines 250.
TEST(RichTextReport, KnifeReportHasItsFormatsWhereTheDocumentPutsThem) {
    EXPECT_EQ(describe(readRichText(kKnifeReport)), "P(left)\n"
                                                    "  \"ZRID 1234: \"\n"
                                                    "  \"Knife\" b\n"
                                                    "  \" (QL 10)\\n\"\n"
                                                    "P(justify)\n"
                                                    "  \"Sharp\\n\\n\"\n"
                                                    "  \"-[\" #808080\n"
                                                    "  \"Attributes\" b i #000000\n"
                                                    "  \"]-\" #808080\n"
                                                    "  \"\\n\" #000000\n"
                                                    "P(justify;2000)\n"
                                                    "  \"Mass:\" b #000000\n"
                                                    "  \" \\t5  \\n\" #000000\n"
                                                    "  \"Attack skill:\" b #000000\n"
                                                    "  \" \\t Melee 100%  \" #000000\n"
                                                    "P(justify)\n"
                                                    "  \"\\n\" #000000\n"
                                                    "  \"-[\" #808080\n"
                                                    "  \"Actions\" b i #000000\n"
                                                    "  \"]-\" #808080\n"
                                                    "  \"\\n\\n\" #000000\n"
                                                    "  \"Wield\" b #000000\n"
                                                    "  \" \" #000000\n"
                                                    "P(left)\n"
                                                    "  \"Stat = \" #808080\n"
                                                    "  \"Strength   \\n\\n\" #000000\n"
                                                    "  \"-[\" #808080\n"
                                                    "  \"Events\" b i #000000\n"
                                                    "  \"]-\" #808080\n"
                                                    "  \"\\n\\n\" #000000\n"
                                                    "  \"OnUse\" b #000000\n"
                                                    "  \" \" #000000\n"
                                                    "P(left;250)\n"
                                                    "  \"Name = \" #808080\n"
                                                    "  \"Hit  :  5  \\n\" #000000\n");
}

// Every section: two attributes, two attack skills ("skills"), one defence
// skill, an action with two requirement sets and one without, an event
// without functions and one with two functions, the first with arguments
// and requirement sets.
TEST(RichTextReport, ReportWithEverySectionReadsBack) {
    const std::string report =
        R"({\rtf\ansi)" + kColorTable +
        R"(ZRID 77: {\b Rifle} (QL 200))"
        R"(\line \line \qj{A long gun.})"
        R"(\line \line \cf2-[{\cf1\b\i Attributes}]-\cf1 \line \line)"
        R"({\tx2000 {\b Mass:} \tab 5 } \line)"
        R"({\tx2000 {\b Value:} \tab 1000 } \line)"
        R"({\tx2000 {\b Attack skills:} \tab  Pistol 40%  Rifle 60% } \line)"
        R"({\tx2000 {\b Defense skill:} \tab  Dodge 10% } \line)"
        R"( \line \cf2-[{\cf1\b\i Actions}]-\cf1 \line \line)"
        R"({\b Use} \pard \line {\cf2 Stat = }Agility  {\cf2 Value = }100   \line {\cf2 Stat = }Strength   \line)"
        R"({\b Wield} \pard \line)"
        R"( \line \cf2-[{\cf1\b\i Events}]-\cf1 \line \line)"
        R"({\b OnEquip} \pard\tx250\line)"
        R"({\b OnUse} \pard\tx250\line)"
        R"( {\cf2 Name = }Hit  {\cf2 Target = }Self  :  5  10 )"
        R"( \line\tab if: \line\tab {\cf2 Stat = }Level  {\cf2 Value = }10  )"
        R"( \line\tab {\cf2 Flag = }X   \line)"
        R"( {\cf2 Name = }Heal  \line})";
    const cRichTextDocument document = readRichText(report);

    EXPECT_EQ(toPlainText(document), "ZRID 77: Rifle (QL 200)\n"
                                     "\n"
                                     "A long gun.\n"
                                     "\n"
                                     "-[Attributes]-\n"
                                     "\n"
                                     "Mass: \t5  \n"
                                     "Value: \t1000  \n"
                                     "Attack skills: \t Pistol 40%  Rifle 60%  \n"
                                     "Defense skill: \t Dodge 10%  \n"
                                     "\n"
                                     "-[Actions]-\n"
                                     "\n"
                                     "Use \n"
                                     "Stat = Agility  Value = 100   \n"
                                     "Stat = Strength   \n"
                                     "Wield \n"
                                     "\n"
                                     "-[Events]-\n"
                                     "\n"
                                     "OnEquip \n"
                                     "OnUse \n"
                                     "Name = Hit  Target = Self  :  5  10  \n"
                                     "\tif: \n"
                                     "\tStat = Level  Value = 10   \n"
                                     "\tFlag = X   \n"
                                     "Name = Heal  \n");

    const cRichTextParagraph* description = paragraphHolding(document, "A long gun.");
    ASSERT_NE(description, nullptr);
    EXPECT_EQ(description->align, eRichTextAlign::justify);
    for (const char* line : {"Value:", "Attack skills:", "Defense skill:"}) {
        const cRichTextParagraph* paragraph = paragraphHolding(document, line);
        ASSERT_NE(paragraph, nullptr) << line;
        EXPECT_EQ(paragraph->tabStops, std::vector<int>{2000}) << line;
    }
    for (const char* line : {"\tif:", "\tFlag = X", "Heal"}) {
        const cRichTextParagraph* paragraph = paragraphHolding(document, line);
        ASSERT_NE(paragraph, nullptr) << line;
        EXPECT_EQ(paragraph->tabStops, std::vector<int>{250}) << line;
        EXPECT_EQ(paragraph->align, eRichTextAlign::left) << line;
    }
    const cRichTextParagraph* requirements = paragraphHolding(document, "Agility");
    ASSERT_NE(requirements, nullptr);
    EXPECT_EQ(requirements->align, eRichTextAlign::left); // \pard ended the justification
    EXPECT_TRUE(requirements->tabStops.empty());
}

// A nano program without a description element and without attributes: the
// title without quality level, the stand-in description, the heading alone.
TEST(RichTextReport, NanoReportWithoutSectionsReadsBack) {
    const std::string report = R"({\rtf\ansi)" + kColorTable +
                               R"(ZRID 9: {\b Nano})"
                               R"(\line \line \qj{--there's no description for this item--})"
                               R"(\line \line \cf2-[{\cf1\b\i Attributes}]-\cf1 \line \line})";
    EXPECT_EQ(toPlainText(readRichText(report)),
              "ZRID 9: Nano\n\n--there's no description for this item--\n\n-[Attributes]-\n\n");
}

TEST(RichTextReport, EmptyNameAndDescriptionLeaveEmptyGroups) {
    const std::string report = R"({\rtf\ansi)" + kColorTable +
                               R"(ZRID 0: {\b } (QL 0)\line \line \qj{})"
                               R"(\line \line \cf2-[{\cf1\b\i Attributes}]-\cf1 \line \line})";
    EXPECT_EQ(toPlainText(readRichText(report)), "ZRID 0:  (QL 0)\n\n\n\n-[Attributes]-\n\n");
}

// Names holding the characters rich text reserves arrive escaped; 8-bit
// names are Windows-1252, raw or as \'hh.
TEST(RichTextReport, EscapedAndEightBitNamesReadAsTheRecordHoldsThem) {
    const std::string report = R"({\rtf\ansi)" + kColorTable +
                               R"(ZRID 5: {\b a\\b\{c\}} (QL 1))"
                               R"(\line \line \qj{Caf)"
                               "\xE9"
                               R"( \'80 5})"
                               R"(\line \line \cf2-[{\cf1\b\i Attributes}]-\cf1 \line \line)"
                               R"({\tx2000 {\b \\:} \tab \} } \line})";
    const cRichTextDocument document = readRichText(report);
    EXPECT_EQ(
        toPlainText(document),
        "ZRID 5: a\\b{c} (QL 1)\n\nCaf\xC3\xA9 \xE2\x82\xAC 5\n\n-[Attributes]-\n\n\\: \t}  \n");
    ASSERT_FALSE(document.paragraphs.empty());
    ASSERT_GE(document.paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(document.paragraphs[0].runs[1].text, "a\\b{c}");
    EXPECT_TRUE(document.paragraphs[0].runs[1].bold);
}

TEST(RichTextReport, FailureTextIsOnePlainParagraph) {
    const cRichTextDocument document = readRichText("--failed to load item data--");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    ASSERT_EQ(document.paragraphs[0].runs.size(), 1u);
    const cRichTextRun& run = document.paragraphs[0].runs[0];
    EXPECT_EQ(run.text, "--failed to load item data--");
    EXPECT_FALSE(run.bold || run.italic || run.hasColor);
    EXPECT_EQ(toPlainText(document), "--failed to load item data--");
}

} // namespace quarry
