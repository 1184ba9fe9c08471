// The category tree: the folder skeleton, where each kind of item is filed,
// progress, and imports or loads that run while the tree is being built.
#include "store_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

using Labels = std::vector<std::string>;

std::string item(int zrid, const std::string& name, const std::string& type,
                 const std::string& body = "") {
    return "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"" + name + "\" QL=\"" +
           std::to_string(zrid) + "\" ItemType=\"" + type + "\">" + body + "</Item>";
}
std::string weapon(int zrid, const Labels& skills) {
    std::string body;
    for (const std::string& skill : skills)
        body += "<AtkValue Name=\"" + skill + "\" Percent=\"50\"/>";
    return item(zrid, "W" + std::to_string(zrid), "Weapon", body);
}
std::string slotted(int zrid, const std::string& type, const std::string& slot) {
    return item(zrid, "S" + std::to_string(zrid), type,
                "<Attribute Name=\"Slot\" Value=\"" + slot + "\"/>");
}

const Labels kTypes = {"Weapon", "Armor", "Utility", "Misc", "Implant", "Spirit", "NPC"};
// The root, the type folders and the slot folders.
constexpr std::size_t kSkeleton = 1 + 7 + 28;

} // namespace

TEST(CategoryTree, AnEmptyIndexLeavesTheSkeletonCollapsed) {
    cImportedFile imported("");
    cFakeTree tree;
    imported.build(tree);
    EXPECT_EQ(tree.childLabels({}), Labels{"ZR Items"});
    EXPECT_EQ(tree.childLabels({"ZR Items"}), kTypes);
    EXPECT_EQ(tree.childLabels({"ZR Items", "Armor"}), Labels(kSlotNames, kSlotNames + 15));
    EXPECT_EQ(tree.childLabels({"ZR Items", "Utility"}), Labels(kSlotNames + 15, kSlotNames + 28));
    EXPECT_FALSE(tree.node({"ZR Items"}).expanded);
    EXPECT_EQ(tree.nodes.size(), kSkeleton);
    EXPECT_TRUE(imported.progress.calls.empty());
}

TEST(CategoryTree, EachKindOfItemIsFiledUnderItsFolders) {
    cImportedFile imported(
        item(25, "Ring", "Misc") +
        "<Item ZRID=\"30\" Name=\"Heal %s\" ItemType=\"Weapon\" IsNano=\"True\"></Item>" +
        weapon(1, {"D", "B"}) + weapon(2, {"B", "A"}) + weapon(3, {}) + weapon(4, {"C", "A"}) +
        slotted(11, "Armor", "RightShoulder LeftShoulder") + slotted(12, "Armor", "10") +
        slotted(13, "Utility", "HUD1 HUD3") + slotted(14, "Armor", "Nowhere") +
        item(15, "NoSlot", "Armor") + slotted(16, "Utility", "0 NCU2") +
        slotted(17, "Armor", "Head0") + item(9, "b", "npc") + item(-2, "z", "NPC") +
        item(7, "c", "NPC") + item(5, "s", "SPIRIT") + item(6, "a", "Implant") +
        item(8, "none", "Tower") + "<Item ZRID=\"10\" Name=\"fails\" ItemType=\"Misc\"></Item>");
    cFakeTree tree;
    tree.insertItem("stale", 0, 0);
    imported.build(tree);
    EXPECT_EQ(tree.deleteCalls, 1);
    Labels folders = kTypes;
    folders.insert(folders.end(), {"Perk", "Nanoprogram"});
    EXPECT_EQ(tree.childLabels({}), Labels{"ZR Items"});
    EXPECT_EQ(tree.childLabels({"ZR Items"}), folders);
    EXPECT_TRUE(tree.node({"ZR Items"}).expanded);
    EXPECT_EQ(tree.node({"ZR Items", "Misc", "Ring (QL 25)"}).data, 25);
    // A nano program goes under "Nanoprogram" only, whatever its type, named alone.
    EXPECT_EQ(tree.node({"ZR Items", "Nanoprogram", "Heal %s"}).data, 30);
    // A first weapon makes its skill folders in name order, later ones append
    // theirs; each weapon goes under every skill folder it names.
    EXPECT_EQ(tree.childLabels({"ZR Items", "Weapon"}), (Labels{"B", "D", "A", "C"}));
    EXPECT_EQ(tree.childLabels({"ZR Items", "Weapon", "A"}), (Labels{"W2 (QL 2)", "W4 (QL 4)"}));
    EXPECT_EQ(tree.childLabels({"ZR Items", "Weapon", "B"}), (Labels{"W1 (QL 1)", "W2 (QL 2)"}));
    EXPECT_EQ(tree.childLabels({"ZR Items", "Weapon", "C"}), Labels{"W4 (QL 4)"});
    EXPECT_EQ(tree.childLabels({"ZR Items", "Weapon", "D"}), Labels{"W1 (QL 1)"});
    EXPECT_LT(tree.find({"ZR Items", "Weapon", "D"}),
              tree.find({"ZR Items", "Weapon", "B", "W1 (QL 1)"}));
    // Armor and utility by slot; a "0" in an armor item's slots means a perk.
    EXPECT_EQ(tree.childLabels({"ZR Items", "Armor", "RightShoulder"}), Labels{"S11 (QL 11)"});
    EXPECT_EQ(tree.childLabels({"ZR Items", "Armor", "LeftShoulder"}), Labels{"S11 (QL 11)"});
    EXPECT_EQ(tree.childLabels({"ZR Items", "Perk"}), (Labels{"S12 (QL 12)", "S17 (QL 17)"}));
    EXPECT_EQ(tree.childLabels({"ZR Items", "Armor", "Head"}), Labels{});
    EXPECT_EQ(tree.childLabels({"ZR Items", "Utility", "HUD1"}), Labels{"S13 (QL 13)"});
    EXPECT_EQ(tree.childLabels({"ZR Items", "Utility", "HUD3"}), Labels{"S13 (QL 13)"});
    EXPECT_EQ(tree.childLabels({"ZR Items", "Utility", "NCU2"}), Labels{"S16 (QL 16)"});
    // Other types under their folder in identifier order.
    EXPECT_EQ(tree.childLabels({"ZR Items", "NPC"}), (Labels{"c (QL 7)", "b (QL 9)", "z (QL -2)"}));
    EXPECT_EQ(tree.childLabels({"ZR Items", "Spirit"}), Labels{"s (QL 5)"});
    EXPECT_EQ(tree.childLabels({"ZR Items", "Implant"}), Labels{"a (QL 6)"});
    // Nothing else: no node for an unknown type or an item that fails to load.
    // Perk and Nanoprogram, 2 nodes of the ring and the nano program, 10 of the
    // weapons, 7 of armor and utility, 5 of the other types.
    EXPECT_EQ(tree.nodes.size(), kSkeleton + 2 + 2 + 10 + 7 + 5);
}

TEST(CategoryTree, ProgressCountsFiledNonNanoItems) {
    std::string content;
    for (int i = 1; i <= 250; ++i)
        content += item(i, "m", "Misc");
    for (int i = 251; i <= 300; ++i)
        content += "<Item ZRID=\"" + std::to_string(i) + "\" Name=\"n\" IsNano=\"True\"></Item>";
    cImportedFile imported(content);
    cFakeTree tree;
    imported.build(tree);
    // Counters 100 and 200 of 300 entries; nano items neither count nor pump.
    EXPECT_EQ(imported.progress.calls, (std::vector<std::string>{"set 33", "set 66"}));
    EXPECT_EQ(imported.progress.pumps, 250);
}

// Records in falling identifier order, so the build seeks backwards, with
// comments and a truncated last record: the shared stream loads what
// separate loads do.
TEST(CategoryTree, TheSharedStreamLoadsWhatSeparateLoadsDo) {
    std::string content;
    for (int i = 60; i >= 1; --i)
        content +=
            slotted(i, i % 2 ? "Armor" : "Utility", i % 3 ? "Head HUD2" : "Feet NCU1") + "<!--x-->";
    content += "<Item ZRID=\"99\" Name=\"cut\" QL=\"1\" ItemType=\"Misc\"><Description>no end";
    cImportedFile imported(content);
    cFakeTree tree;
    imported.build(tree);
    std::size_t expectedNodes = 0;
    for (const cIndexEntry& entry : *imported.store.index()) {
        cItemRecord record;
        if (!imported.load(entry.zrid, record)) continue;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (!record.attributeContains("Slot", kSlotNames[slot])) continue;
            if ((record.itemType == 1) != (slot < kUtilitySlotFirst)) continue;
            EXPECT_NE(tree.find({"ZR Items", kItemTypeNames[record.itemType], kSlotNames[slot],
                                 record.treeLabel()}),
                      0u)
                << record.zrid;
            ++expectedNodes;
        }
    }
    EXPECT_EQ(expectedNodes, 60u);
    EXPECT_EQ(tree.nodes.size(), kSkeleton + 2 + expectedNodes);
    EXPECT_TRUE(imported.messages.messages.empty());
}

TEST(CategoryTree, ImportsAndLoadsDuringTheBuild) {
    std::string content;
    for (int i = 1; i <= 5; ++i)
        content += item(i, "m" + std::to_string(i), "Misc");
    cImportedFile imported(content);
    // A load between two steps reads its own item.
    std::vector<std::string> shown;
    imported.progress.onPump = [&] {
        cItemRecord record;
        if (imported.load(5 - imported.progress.pumps, record)) shown.push_back(record.name);
    };
    cFakeTree tree;
    imported.build(tree);
    EXPECT_EQ(shown, (std::vector<std::string>{"m4", "m3", "m2", "m1"}));
    EXPECT_EQ(tree.childLabels({"ZR Items", "Misc"}).size(), 5u);

    // A new import stops the build; the tree is the new import's.
    cTempItemFile other(item(7, "o", "Misc"));
    cFakeProgress inner;
    imported.progress.pumps = 0;
    imported.progress.onPump = [&] {
        if (imported.progress.pumps != 2) return;
        imported.store.scanItemFile(other.path(), inner);
        imported.store.buildCategoryTree(tree, inner, imported.messages);
    };
    imported.build(tree);
    EXPECT_EQ(tree.childLabels({"ZR Items", "Misc"}), Labels{"o (QL 7)"});
    EXPECT_EQ(imported.progress.pumps, 2);
}

} // namespace quarry
