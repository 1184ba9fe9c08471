#include "item_file_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

const std::string kItemTag = "<Item ZRID=\"42\" Name=\"Gun\" QL=\"3\">";
using Pairs = std::map<std::string, std::string>;

struct cLoaded {
    bool loaded = false;
    cItemRecord record;
    std::vector<std::string> messages;
};

cLoaded loadBody(const std::string& body) {
    cImportedFile imported(kItemTag + body + "</Item>");
    cLoaded result;
    result.loaded = imported.load(42, result.record);
    result.messages = imported.messages.messages;
    return result;
}

std::string unsupported(const std::string& tagName) {
    return "cQuarry::processEvent: Encountered unsupported tag: <" + tagName +
           "> while processing item with ZRID 42";
}

} // namespace

TEST(ActionParser, RequirementSetsInFileOrder) {
    const cLoaded loaded = loadBody("<Action Name=\"Wield\">"
                                    "<Requirement Stat=\"Strength\" Value=\"10\"/>"
                                    "<Requirement/>"
                                    "<Requirement A=\"\" B=\"1\" B=\"2\"/>"
                                    "</Action>");
    ASSERT_TRUE(loaded.loaded);
    EXPECT_TRUE(loaded.messages.empty());
    const std::vector<cRequirementSet> expected{
        {{"Stat", "Strength"}, {"Value", "10"}}, {}, {{"B", "1"}}};
    EXPECT_EQ(loaded.record.actions.at("Wield"), expected);
}

TEST(ActionParser, NamesAndDuplicates) {
    const cLoaded loaded = loadBody("<Action Name=\"\" Other=\"x\" Name=\"Use\"></Action>"
                                    "<Action Name=\"Use\"><Requirement a=\"2\"/><Bad/></Action>"
                                    "<Action Name=\"\"><Requirement a=\"3\"/></Action>");
    ASSERT_TRUE(loaded.loaded);
    // The second "Use" is read whole, its message included, then dropped.
    EXPECT_EQ(loaded.record.actions,
              (std::map<std::string, std::vector<cRequirementSet>>{{"Use", {}}}));
    EXPECT_EQ(loaded.messages, std::vector<std::string>{unsupported("Bad")});
}

TEST(ActionParser, UnusualClosingTags) {
    // "</Action >" does not end the action: the next tags still belong to it.
    const cLoaded loaded = loadBody("<Action Name=\"A\"><Requirement a=\"1\"/></Action >"
                                    "<Requirement a=\"2\"/></Action>");
    EXPECT_EQ(loaded.record.actions.at("A").size(), 2u);
    EXPECT_TRUE(loaded.messages.empty());
    // A self-closing action (any "/" in the tag) is skipped by the item loop.
    const cLoaded skipped = loadBody("<Action Name=\"A/B\"><Requirement a=\"1\"/></Action>");
    EXPECT_TRUE(skipped.record.actions.empty());
    EXPECT_TRUE(skipped.messages.empty());
}

TEST(EventParser, FunctionsWithRequirementsAndArguments) {
    const cLoaded loaded = loadBody("<Event Name=\"OnUse\">"
                                    "<Function Name=\"Hit\" Target=\"Self\" Empty=\"\">"
                                    "<Argument Value=\"5\"/><Argument Value=\"a\" Value=\"b\"/>"
                                    "<Argument Value=\"\"/><Argument Value=\"x\" Value=\"\"/>"
                                    "<Requirement Stat=\"Agility\"/><Other/>"
                                    "</Function>"
                                    "<Function Name=\"Modify\"/>"
                                    "</Event>");
    ASSERT_TRUE(loaded.loaded);
    EXPECT_TRUE(loaded.messages.empty());
    const std::vector<cFunctionRecord>& functions = loaded.record.events.at("OnUse");
    ASSERT_EQ(functions.size(), 2u);
    EXPECT_EQ(functions[0].attributes, (Pairs{{"Name", "Hit"}, {"Target", "Self"}}));
    EXPECT_EQ(functions[0].arguments, (std::vector<std::string>{"5", "b"}));
    EXPECT_EQ(functions[0].requirements, (std::vector<cRequirementSet>{{{"Stat", "Agility"}}}));
    EXPECT_EQ(functions[1].attributes, (Pairs{{"Name", "Modify"}}));
    EXPECT_TRUE(functions[1].arguments.empty() && functions[1].requirements.empty());
}

TEST(EventParser, EventLevelTagsOutsideFunctionsAreReported) {
    const cLoaded loaded =
        loadBody("<Event Name=\"OnWear\"><Requirement a=\"1\"/>\n<Function/></Event>");
    ASSERT_TRUE(loaded.loaded);
    EXPECT_EQ(loaded.messages,
              (std::vector<std::string>{unsupported("Requirement"), unsupported("")}));
    EXPECT_TRUE(loaded.record.events.at("OnWear").empty());
}

TEST(EventParser, EventEndingInsideAFunctionKeepsTheFunction) {
    const cLoaded loaded =
        loadBody("<Event Name=\"E\"><Function Name=\"F\"><Argument Value=\"1\"/></Event>"
                 "<Attribute Name=\"after\" Value=\"1\"/>");
    ASSERT_TRUE(loaded.loaded);
    ASSERT_EQ(loaded.record.events.at("E").size(), 1u);
    EXPECT_EQ(loaded.record.events.at("E")[0].arguments, std::vector<std::string>{"1"});
    EXPECT_EQ(loaded.record.attributes.at("after"), "1");
}

TEST(EventParser, WithoutANameNothingIsReadAndTheItemLoopPassesOver) {
    const cLoaded loaded =
        loadBody("<Event Kind=\"x\"><Function Name=\"F\"/><Requirement/></Event>"
                 "<Event Name=\"E\"></Event><Event Name=\"E\"><Function/></Event>");
    ASSERT_TRUE(loaded.loaded);
    EXPECT_TRUE(loaded.messages.empty());
    EXPECT_EQ(loaded.record.events.size(), 1u);
    EXPECT_TRUE(loaded.record.events.at("E").empty()); // the first "E" wins
}

TEST(EventParser, TheMessageNamesTheItemBeingRead) {
    cImportedFile imported(
        "<Item ZRID=\"-7\" Name=\"n\" QL=\"1\"><Action Name=\"A\"><x/></Action></Item>");
    cItemRecord record;
    ASSERT_TRUE(imported.load(-7, record));
    EXPECT_EQ(
        imported.messages.messages,
        std::vector<std::string>{"cQuarry::processEvent: Encountered unsupported tag: <x> while "
                                 "processing item with ZRID -7"});
}

TEST(EventParser, AnUnclosedElementAtTheEndOfTheFileEndsQuietly) {
    cImportedFile imported(kItemTag + "<Event Name=\"E\"><Function Name=\"F\"></Function>");
    cItemRecord record;
    EXPECT_FALSE(imported.load(42, record));
    EXPECT_TRUE(imported.messages.messages.empty());
}

} // namespace quarry
