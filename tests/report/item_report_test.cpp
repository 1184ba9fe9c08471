// The item report: exact bytes of each section, and escaping of item-file text.
#include "report/item_report.h"
#include "store/item_record.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

namespace {

const std::string kHeader =
    "{\\rtf\\ansi{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}";
const std::string kAttributesHeading =
    "\\line \\line \\cf2-[{\\cf1\\b\\i Attributes}]-\\cf1 \\line \\line";
const std::string kActionsHeading = " \\line \\cf2-[{\\cf1\\b\\i Actions}]-\\cf1 \\line \\line";
const std::string kEventsHeading = " \\line \\cf2-[{\\cf1\\b\\i Events}]-\\cf1 \\line \\line";

std::string reportOf(const cItemRecord& item) {
    std::string text = "previous content";
    formatReport(item, text);
    return text;
}

// The report up to and including the Attributes heading, for an item with a
// plain title and description.
std::string opening(const std::string& title, const std::string& description) {
    return kHeader + title + "\\line \\line \\qj{" + description + "}" + kAttributesHeading;
}

// What the report holds after the Attributes heading, with its closing brace removed.
std::string afterAttributesHeading(const cItemRecord& item) {
    const std::string text = reportOf(item);
    const std::size_t at = text.find(kAttributesHeading);
    EXPECT_NE(at, std::string::npos);
    EXPECT_EQ(text.back(), '}');
    if (at == std::string::npos || text.empty()) return {};
    const std::size_t from = at + kAttributesHeading.size();
    return text.substr(from, text.size() - 1 - from);
}

cItemRecord knife() {
    cItemRecord item(1234, "Knife");
    item.ql = 10;
    item.description = "Sharp";
    item.attributes.emplace("Mass", "5");
    item.atkValues.emplace("Melee", 100);
    item.actions["Wield"].push_back({});
    item.actions["Wield"].back().emplace("Stat", "Strength");
    cFunctionRecord hit;
    hit.attributes.emplace("Name", "Hit");
    hit.arguments.push_back("5");
    item.events["OnUse"].push_back(hit);
    return item;
}

} // namespace

TEST(ItemReport, WorkedExampleIsExact) {
    const std::string expected = "{\\rtf\\ansi{\\colortbl;\\red0\\green0\\blue0;"
                                 "\\red128\\green128\\blue128;}ZRID 1234: {\\b Knife} (QL 10)"
                                 "\\line \\line \\qj{Sharp}\\line \\line \\cf2-[{\\cf1\\b\\i "
                                 "Attributes}]-\\cf1 \\line \\line"
                                 "{\\tx2000 {\\b Mass:} \\tab 5 } \\line{\\tx2000 {\\b Attack "
                                 "skill:} \\tab  Melee 100% } \\line"
                                 " \\line \\cf2-[{\\cf1\\b\\i Actions}]-\\cf1 \\line \\line{\\b "
                                 "Wield} \\pard \\line {\\cf2 Stat = }Strength   \\line"
                                 " \\line \\cf2-[{\\cf1\\b\\i Events}]-\\cf1 \\line \\line{\\b "
                                 "OnUse} \\pard\\tx250\\line {\\cf2 Name = }Hit  :  5  \\line}";
    const std::string text = reportOf(knife());
    EXPECT_EQ(text.size(), 469u);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(reportOf(knife()), text) << "two reports of one record differ";
}

TEST(ItemReport, TitleShowsQualityLevelUnlessNano) {
    cItemRecord item(-7, "Pistol");
    EXPECT_EQ(reportOf(item),
              opening("ZRID -7: {\\b Pistol} (QL 0)", "--there's no description for this item--") +
                  "}");
    item.isNano = true;
    item.ql = 200;
    EXPECT_EQ(reportOf(item),
              opening("ZRID -7: {\\b Pistol}", "--there's no description for this item--") + "}");
}

TEST(ItemReport, EmptyNameAndDescriptionLeaveEmptyGroups) {
    cItemRecord item(1, "");
    item.description.clear();
    EXPECT_EQ(reportOf(item), opening("ZRID 1: {\\b } (QL 0)", "") + "}");
}

TEST(ItemReport, AttributesInByteOrderWithOneLineEach) {
    cItemRecord item(1, "x");
    item.attributes.emplace("b", "2");
    item.attributes.emplace("A", "");
    item.attributes.emplace("a", "1");
    EXPECT_EQ(afterAttributesHeading(item), "{\\tx2000 {\\b A:} \\tab  } \\line"
                                            "{\\tx2000 {\\b a:} \\tab 1 } \\line"
                                            "{\\tx2000 {\\b b:} \\tab 2 } \\line");
}

TEST(ItemReport, SkillHeadingsCountTheirSkills) {
    cItemRecord item(1, "x");
    item.atkValues.emplace("Pistol", -5);
    item.defValues.emplace("Dodge", 20);
    item.defValues.emplace("Block", 0);
    EXPECT_EQ(afterAttributesHeading(item),
              "{\\tx2000 {\\b Attack skill:} \\tab  Pistol -5% } \\line"
              "{\\tx2000 {\\b Defense skills:} \\tab  Block 0%  Dodge 20% } \\line");

    cItemRecord defenceOnly(1, "x");
    defenceOnly.defValues.emplace("Dodge", 1);
    EXPECT_EQ(afterAttributesHeading(defenceOnly),
              "{\\tx2000 {\\b Defense skill:} \\tab  Dodge 1% } \\line");
}

TEST(ItemReport, ActionsListTheirRequirementSets) {
    cItemRecord item(1, "x");
    item.actions["Use"]; // no requirement sets
    auto& wear = item.actions["Wear"];
    wear.push_back({});
    wear.back().emplace("Value", "10");
    wear.back().emplace("Stat", "Agility");
    wear.push_back({}); // an empty set still starts a line
    EXPECT_EQ(
        afterAttributesHeading(item),
        kActionsHeading +
            "{\\b Use} \\pard \\line"
            "{\\b Wear} \\pard \\line {\\cf2 Stat = }Agility  {\\cf2 Value = }10   \\line  \\line");
}

TEST(ItemReport, EventsListFunctionsArgumentsAndRequirements) {
    cItemRecord item(1, "x");
    item.events["OnWear"]; // no functions: only the name line
    auto& onUse = item.events["OnUse"];
    cFunctionRecord bare; // nothing at all
    cFunctionRecord full;
    full.attributes.emplace("Target", "Self");
    full.attributes.emplace("Name", "Heal");
    full.arguments = {"30", "2"};
    full.requirements.push_back({});
    full.requirements.back().emplace("Stat", "Level");
    full.requirements.back().emplace("Op", ">");
    full.requirements.push_back({});
    onUse.push_back(bare);
    onUse.push_back(full);
    EXPECT_EQ(afterAttributesHeading(item),
              kEventsHeading +
                  "{\\b OnUse} \\pard\\tx250\\line"
                  " \\line"
                  " {\\cf2 Name = }Heal  {\\cf2 Target = }Self "
                  " :  30  2 "
                  " \\line\\tab if: \\line\\tab {\\cf2 Op = }>  {\\cf2 Stat = }Level   \\line\\tab "
                  " \\line"
                  "{\\b OnWear} \\pard\\tx250\\line");
}

TEST(ItemReport, ActionsComeBeforeEvents) {
    cItemRecord item(1, "x");
    item.events["E"];
    item.actions["A"];
    EXPECT_EQ(afterAttributesHeading(item), kActionsHeading + "{\\b A} \\pard \\line" +
                                                kEventsHeading + "{\\b E} \\pard\\tx250\\line");
}

TEST(ItemReport, ItemFileTextIsEscaped) {
    cItemRecord item(5, "a\\b{c}");
    item.description = "stray } brace";
    item.attributes.emplace("{k}", "v\\");
    item.atkValues.emplace("\\par", 1);
    item.actions["}"].push_back({});
    item.actions["}"].back().emplace("{", "\\}");
    cFunctionRecord function;
    function.attributes.emplace("\\", "{");
    function.arguments.push_back("}}");
    function.requirements.push_back({});
    function.requirements.back().emplace("x", "\\line");
    item.events["{ev"].push_back(function);

    EXPECT_EQ(reportOf(item),
              opening("ZRID 5: {\\b a\\\\b\\{c\\}} (QL 0)", "stray \\} brace") +
                  "{\\tx2000 {\\b \\{k\\}:} \\tab v\\\\ } \\line"
                  "{\\tx2000 {\\b Attack skill:} \\tab  \\\\par 1% } \\line" +
                  kActionsHeading + "{\\b \\}} \\pard \\line {\\cf2 \\{ = }\\\\\\}   \\line" +
                  kEventsHeading +
                  "{\\b \\{ev} \\pard\\tx250\\line {\\cf2 \\\\ = }\\{  :  \\}\\}  \\line\\tab if:"
                  " \\line\\tab {\\cf2 x = }\\\\line   \\line}");
}

TEST(ItemReport, OtherTextIsCopiedUnchanged) {
    cItemRecord item(1, "tab\tline\nend");
    item.description = "&amp; \xE9 100%";
    EXPECT_EQ(reportOf(item),
              opening("ZRID 1: {\\b tab\tline\nend} (QL 0)", "&amp; \xE9 100%") + "}");
}

} // namespace quarry
