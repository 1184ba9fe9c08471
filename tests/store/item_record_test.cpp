#include "fake_hosts.h"
#include "store/item_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

template <typename Map> std::vector<std::string> keysOf(const Map& map) {
    std::vector<std::string> keys;
    for (const auto& entry : map)
        keys.push_back(entry.first);
    return keys;
}

} // namespace

TEST(ItemRecord, ConstructionAppliesTheDefaults) {
    const cItemRecord record(77, "Axe");
    EXPECT_EQ(record.zrid, 77);
    EXPECT_EQ(record.name, "Axe");
    EXPECT_EQ(record.description, "--there's no description for this item--");
    EXPECT_EQ(record.ql, 0);
    EXPECT_EQ(record.itemType, kItemTypeNone);
    EXPECT_FALSE(record.isNano);
    EXPECT_TRUE(record.attributes.empty() && record.atkValues.empty() && record.defValues.empty() &&
                record.events.empty() && record.actions.empty());
}

TEST(ItemRecord, SetDescriptionTakesAnyTextEvenEmpty) {
    cItemRecord record(1, "x");
    record.setDescription(" &amp; ");
    EXPECT_EQ(record.description, " &amp; ");
    record.setDescription("");
    EXPECT_EQ(record.description, "");
}

TEST(ItemRecord, TheFirstEntryOfANameWins) {
    cItemRecord record(1, "x");
    record.addAttribute("Slot", "Head");
    record.addAttribute("Slot", "Feet");
    record.addAtkValue("Melee", 10);
    record.addAtkValue("Melee", 20);
    record.addDefValue("Dodge", -3);
    record.addDefValue("Dodge", 4);
    EXPECT_EQ(record.attributes.at("Slot"), "Head");
    EXPECT_EQ(record.atkValues.at("Melee"), 10);
    EXPECT_TRUE(record.hasAtkValue("Melee"));
    EXPECT_FALSE(record.hasAtkValue("melee"));
    EXPECT_EQ(record.defValues.at("Dodge"), -3);
}

TEST(ItemRecord, KeysAreOrderedByUnsignedBytes) {
    cItemRecord record(1, "x");
    for (const char* key : {"b", "A", "a", "ab", "\xe9t\xe9", "Z", "a b"})
        record.addAttribute(key, "v");
    EXPECT_EQ(keysOf(record.attributes),
              (std::vector<std::string>{"A", "Z", "a", "a b", "ab", "b", "\xe9t\xe9"}));
}

TEST(ItemRecord, AttributeContains) {
    cItemRecord record(1, "x");
    EXPECT_FALSE(record.attributeContains("Slot", "Head"));
    EXPECT_FALSE(record.attributeContains("Slot", ""));
    record.addAttribute("Slot", "HeadBack");
    EXPECT_TRUE(record.attributeContains("Slot", "Head"));
    EXPECT_TRUE(record.attributeContains("Slot", "dBa"));
    EXPECT_TRUE(record.attributeContains("Slot", ""));
    EXPECT_FALSE(record.attributeContains("Slot", "head"));
    EXPECT_FALSE(record.attributeContains("slot", "Head"));
}

TEST(ItemRecord, AssignmentReplacesEveryMapWhole) {
    cItemRecord small(1, "small");
    small.addAttribute("a", "1");
    small.addAttribute("b", "2");
    cItemRecord large(2, "large");
    for (const char* key : {"c", "d", "e", "f", "g"})
        large.addAttribute(key, "x");
    large.addAtkValue("Melee", 5);
    large.events["OnUse"].push_back(cFunctionRecord{});
    large.actions["Wield"].push_back(cRequirementSet{{"Stat", "Str"}});
    large = small;
    EXPECT_EQ(keysOf(large.attributes), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(large.atkValues.empty() && large.events.empty() && large.actions.empty());
    EXPECT_EQ(large.zrid, 1);
    EXPECT_EQ(large.name, "small");
    const cItemRecord& same = large;
    large = same;
    EXPECT_EQ(large.attributes.size(), 2u);
}

TEST(ItemRecord, ItemTypesCompareWithoutLetterCase) {
    EXPECT_EQ(findItemType("Spirit"), 5);
    EXPECT_EQ(findItemType("spirit"), 5);
    EXPECT_EQ(findItemType("NPC"), 6);
    EXPECT_EQ(findItemType("WEAPON"), 0);
    EXPECT_EQ(findItemType("weapon"), 0);
    EXPECT_EQ(findItemType("Tower"), kItemTypeNone);
    EXPECT_EQ(findItemType(""), kItemTypeNone);
    EXPECT_EQ(findItemType("Weapon "), kItemTypeNone);
}

TEST(ItemRecord, AddToTreeAppendsALabelledNodeWithTheIdentifier) {
    cFakeTree tree;
    const TreeItemHandle folder = tree.insertItem("Misc", 0, 0);
    cItemRecord ring(-9, "Ring");
    ring.ql = 25;
    const TreeItemHandle node = ring.addToTree(tree, folder);
    EXPECT_EQ(tree.node(node).label, "Ring (QL 25)");
    EXPECT_EQ(tree.node(node).data, -9);
    EXPECT_EQ(tree.node(node).parent, folder);
    cItemRecord nano(3, "Heal %s");
    nano.isNano = true;
    nano.ql = 100;
    EXPECT_EQ(tree.node(nano.addToTree(tree, 0)).label, "Heal %s");
}

} // namespace quarry
