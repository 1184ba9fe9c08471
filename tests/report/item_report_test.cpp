// The item report byte for byte: the knife, and a record with every other
// form a section takes. What a reader sees of any record is checked by the
// round trip; these pin the markup itself.
#include "knife_report.h"
#include "report/item_report.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

namespace {

std::string reportOf(const cItemRecord& item) {
    std::string text = "previous content";
    formatReport(item, text);
    return text;
}

const std::string kHeader =
    "{\\rtf\\ansi{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}";

} // namespace

TEST(ItemReport, KnifeReportIsExact) {
    EXPECT_EQ(kKnifeReport.size(), 469u);
    EXPECT_EQ(reportOf(knifeRecord()), kKnifeReport);
}

// A nano program (no quality level) with the stand-in description, two attack
// skills ("skills") and one defence skill, an action without requirement sets
// and one with an empty set, an event without functions and one with a bare
// function and a function with arguments and requirement sets.
TEST(ItemReport, EveryFormOfEverySection) {
    cItemRecord item(-7, "Pistol");
    item.isNano = true;
    item.ql = 200;
    item.atkValues = {{"Pistol", -5}, {"Rifle", 60}};
    item.defValues = {{"Dodge", 20}};
    item.actions["Use"];
    item.actions["Wear"] = {{{"Value", "10"}, {"Stat", "Agility"}}, {}};
    item.events["OnWear"];
    cFunctionRecord full;
    full.attributes = {{"Target", "Self"}, {"Name", "Heal"}};
    full.arguments = {"30", "2"};
    full.requirements = {{{"Stat", "Level"}, {"Op", ">"}}, {}};
    item.events["OnUse"] = {cFunctionRecord(), full};
    EXPECT_EQ(reportOf(item),
              kHeader +
                  "ZRID -7: {\\b Pistol}\\line \\line \\qj{--there's no description for "
                  "this item--}\\line \\line \\cf2-[{\\cf1\\b\\i Attributes}]-\\cf1 \\line "
                  "\\line{\\tx2000 {\\b Attack skills:} \\tab  Pistol -5%  Rifle 60% } \\line"
                  "{\\tx2000 {\\b Defense skill:} \\tab  Dodge 20% } \\line"
                  " \\line \\cf2-[{\\cf1\\b\\i Actions}]-\\cf1 \\line \\line"
                  "{\\b Use} \\pard \\line{\\b Wear} \\pard \\line {\\cf2 Stat = }Agility  "
                  "{\\cf2 Value = }10   \\line  \\line"
                  " \\line \\cf2-[{\\cf1\\b\\i Events}]-\\cf1 \\line \\line"
                  "{\\b OnUse} \\pard\\tx250\\line \\line {\\cf2 Name = }Heal  {\\cf2 "
                  "Target = }Self  :  30  2  \\line\\tab if: \\line\\tab {\\cf2 Op = }>  "
                  "{\\cf2 Stat = }Level   \\line\\tab  \\line{\\b OnWear} \\pard\\tx250\\line}");
}

// "\", "{" and "}" are escaped; every other byte is copied as it is.
TEST(ItemReport, ItemFileTextIsEscapedAndOtherwiseCopied) {
    cItemRecord item(5, "a\\b{c}\t\n\xE9%");
    item.description.clear();
    EXPECT_EQ(reportOf(item), kHeader + "ZRID 5: {\\b a\\\\b\\{c\\}\t\n\xE9%} (QL 0)\\line \\line "
                                        "\\qj{}\\line \\line \\cf2-[{\\cf1\\b\\i Attributes}]-"
                                        "\\cf1 \\line \\line}");
}

} // namespace quarry
