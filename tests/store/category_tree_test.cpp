#include "item_file_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

using Labels = std::vector<std::string>;

std::string item(int zrid, const std::string& name, const std::string& type,
                 const std::string& extra = "", const std::string& body = "") {
    return "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"" + name + "\" QL=\"" +
           std::to_string(zrid) + "\" ItemType=\"" + type + "\"" + extra + ">" + body + "</Item>";
}
std::string weapon(int zrid, const std::vector<std::string>& skills) {
    std::string body;
    for (const std::string& skill : skills)
        body += "<AtkValue Name=\"" + skill + "\" Percent=\"50\"/>";
    return item(zrid, "W" + std::to_string(zrid), "Weapon", "", body);
}
std::string slotted(int zrid, const std::string& type, const std::string& slot) {
    return item(zrid, "S" + std::to_string(zrid), type, "",
                "<Attribute Name=\"Slot\" Value=\"" + slot + "\"/>");
}

struct cBuiltTree {
    cFakeTree tree;
    cFakeProgress progress;
    cFakeMessages messages;
};

void build(cImportedFile& imported, cBuiltTree& built) {
    imported.store.buildCategoryTree(built.tree, built.progress, built.messages);
}

} // namespace

TEST(CategoryTree, AnEmptyIndexLeavesTheSkeletonCollapsed) {
    cImportedFile imported("");
    cBuiltTree built;
    build(imported, built);
    EXPECT_EQ(built.tree.childLabels(0), Labels{"ZR Items"});
    const TreeItemHandle root = built.tree.find({"ZR Items"});
    EXPECT_EQ(built.tree.childLabels(root),
              (Labels{"Weapon", "Armor", "Utility", "Misc", "Implant", "Spirit", "NPC"}));
    EXPECT_EQ(built.tree.childLabels(built.tree.find({"ZR Items", "Armor"})),
              (Labels{"Neck", "Head", "Back", "RightShoulder", "Chest", "LeftShoulder", "RightArm",
                      "Hands", "LeftArm", "RightWrist", "Legs", "LeftWrist", "RightFinger", "Feet",
                      "LeftFinger"}));
    EXPECT_EQ(built.tree.childLabels(built.tree.find({"ZR Items", "Utility"})),
              (Labels{"HUD1", "HUD2", "HUD3", "UTIL1", "UTIL2", "UTIL3", "BELT", "NCU1", "NCU2",
                      "NCU3", "NCU4", "NCU5", "NCU6"}));
    EXPECT_FALSE(built.tree.node(root).expanded);
    EXPECT_EQ(built.tree.size(), 1u + 7u + 28u);
    EXPECT_TRUE(built.progress.calls.empty());
}

TEST(CategoryTree, FoldersOfAFilledTreeAndTheExpandedRoot) {
    cImportedFile imported(item(1, "Ring", "Misc"));
    cBuiltTree built;
    built.tree.insertItem("stale", 0, 0);
    build(imported, built);
    EXPECT_EQ(built.tree.deleteCalls, 1);
    const TreeItemHandle root = built.tree.find({"ZR Items"});
    EXPECT_EQ(built.tree.childLabels(0), Labels{"ZR Items"});
    EXPECT_EQ(built.tree.childLabels(root), (Labels{"Weapon", "Armor", "Utility", "Misc", "Implant",
                                                    "Spirit", "NPC", "Perk", "Nanoprogram"}));
    EXPECT_TRUE(built.tree.node(root).expanded);
    for (TreeItemHandle folder : {root, built.tree.find({"ZR Items", "Perk"})})
        EXPECT_EQ(built.tree.node(folder).data, 0);
}

TEST(CategoryTree, LabelsAndData) {
    cImportedFile imported(
        item(25, "Ring", "Misc") +
        "<Item ZRID=\"30\" Name=\"Heal\" ItemType=\"Weapon\" IsNano=\"True\"></Item>");
    cBuiltTree built;
    build(imported, built);
    const TreeItemHandle ring = built.tree.find({"ZR Items", "Misc", "Ring (QL 25)"});
    ASSERT_NE(ring, 0u);
    EXPECT_EQ(built.tree.node(ring).data, 25);
    // A nano program goes under "Nanoprogram" only, whatever its type, named alone.
    const TreeItemHandle heal = built.tree.find({"ZR Items", "Nanoprogram", "Heal"});
    ASSERT_NE(heal, 0u);
    EXPECT_EQ(built.tree.node(heal).data, 30);
    EXPECT_TRUE(built.tree.childLabels(built.tree.find({"ZR Items", "Weapon"})).empty());
}

TEST(CategoryTree, WeaponsGoUnderEverySkillFolderInOrderOfFirstAppearance) {
    cImportedFile imported(weapon(1, {"B"}) + weapon(2, {"B", "A"}) + weapon(3, {}) +
                           weapon(4, {"C", "A"}));
    cBuiltTree built;
    build(imported, built);
    const TreeItemHandle weapons = built.tree.find({"ZR Items", "Weapon"});
    EXPECT_EQ(built.tree.childLabels(weapons), (Labels{"B", "A", "C"}));
    EXPECT_EQ(built.tree.childLabels(built.tree.child(weapons, "B")),
              (Labels{"W1 (QL 1)", "W2 (QL 2)"}));
    EXPECT_EQ(built.tree.childLabels(built.tree.child(weapons, "A")),
              (Labels{"W2 (QL 2)", "W4 (QL 4)"}));
    EXPECT_EQ(built.tree.childLabels(built.tree.child(weapons, "C")), (Labels{"W4 (QL 4)"}));
}

TEST(CategoryTree, AFirstWeaponCreatesItsSkillFoldersInNameOrder) {
    cImportedFile imported(weapon(1, {"B", "A"}));
    cBuiltTree built;
    build(imported, built);
    EXPECT_EQ(built.tree.childLabels(built.tree.find({"ZR Items", "Weapon"})), (Labels{"A", "B"}));
    // Both folders are appended before the item goes under either.
    const TreeItemHandle folderB = built.tree.find({"ZR Items", "Weapon", "B"});
    const TreeItemHandle itemUnderA = built.tree.find({"ZR Items", "Weapon", "A", "W1 (QL 1)"});
    ASSERT_NE(itemUnderA, 0u);
    EXPECT_LT(folderB, itemUnderA);
}

TEST(CategoryTree, ArmorAndUtilityBySlot) {
    cImportedFile imported(slotted(1, "Armor", "RightShoulder LeftShoulder") +
                           slotted(2, "Armor", "10") + slotted(3, "Utility", "HUD1 HUD3") +
                           slotted(4, "Armor", "Nowhere") + item(5, "NoSlot", "Armor") +
                           slotted(6, "Utility", "0 NCU2") + slotted(7, "Armor", "Head0"));
    cBuiltTree built;
    build(imported, built);
    const cFakeTree& tree = built.tree;
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "Armor", "RightShoulder"})),
              Labels{"S1 (QL 1)"});
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "Armor", "LeftShoulder"})),
              Labels{"S1 (QL 1)"});
    // A "0" in an armor item's slots files it under "Perk" and nowhere else.
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "Perk"})),
              (Labels{"S2 (QL 2)", "S7 (QL 7)"}));
    EXPECT_TRUE(tree.childLabels(tree.find({"ZR Items", "Armor", "Head"})).empty());
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "Utility", "HUD1"})), Labels{"S3 (QL 3)"});
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "Utility", "HUD3"})), Labels{"S3 (QL 3)"});
    // No perk test for utility items.
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "Utility", "NCU2"})), Labels{"S6 (QL 6)"});
    // 1 root, 7 types, 28 slots, Perk, Nanoprogram, and 7 item nodes.
    EXPECT_EQ(tree.size(), 1u + 7u + 28u + 2u + 7u);
}

TEST(CategoryTree, OtherTypesUnderTheirFolderInIdentifierOrder) {
    cImportedFile imported(item(9, "b", "npc") + item(3, "a", "Implant") + item(-2, "z", "NPC") +
                           item(4, "s", "SPIRIT") + item(7, "c", "NPC") + item(8, "none", "Tower") +
                           item(10, "fails", "Misc", " QL=\"0\""));
    cBuiltTree built;
    build(imported, built);
    const cFakeTree& tree = built.tree;
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "NPC"})),
              (Labels{"c (QL 7)", "b (QL 9)", "z (QL -2)"}));
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "Implant"})), Labels{"a (QL 3)"});
    EXPECT_EQ(tree.childLabels(tree.find({"ZR Items", "Spirit"})), Labels{"s (QL 4)"});
    // An item without a known type and an item that fails to load are left out.
    EXPECT_EQ(tree.size(), 1u + 7u + 28u + 2u + 5u);
}

TEST(CategoryTree, ProgressCountsFiledNonNanoItems) {
    std::string content;
    for (int i = 1; i <= 250; ++i)
        content += item(i, "m", "Misc");
    for (int i = 251; i <= 300; ++i)
        content += "<Item ZRID=\"" + std::to_string(i) + "\" Name=\"n\" IsNano=\"True\"></Item>";
    cImportedFile imported(content);
    cBuiltTree built;
    build(imported, built);
    // Counters 100 and 200 of 300 entries; nano items neither count nor pump.
    EXPECT_EQ(built.progress.calls, (std::vector<std::string>{"set 33", "set 66"}));
    EXPECT_EQ(built.progress.pumps, 250);
}

TEST(CategoryTree, TheSharedStreamLoadsWhatSeparateLoadsDo) {
    // Records in falling identifier order, so the build seeks backwards, with
    // comments and a truncated last record.
    std::string content;
    for (int i = 60; i >= 1; --i)
        content +=
            slotted(i, i % 2 ? "Armor" : "Utility", i % 3 ? "Head HUD2" : "Feet NCU1") + "<!--x-->";
    content += "<Item ZRID=\"99\" Name=\"cut\" QL=\"1\" ItemType=\"Misc\"><Description>no end";
    cImportedFile imported(content);
    cBuiltTree built;
    build(imported, built);
    std::size_t expectedNodes = 0;
    for (const cIndexEntry& entry : *imported.store.index()) {
        cItemRecord record;
        if (!imported.store.loadItem(entry.zrid, record, built.messages)) continue;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (!record.attributeContains("Slot", kSlotNames[slot])) continue;
            if ((record.itemType == 1) != (slot < kUtilitySlotFirst)) continue;
            const std::string type = kItemTypeNames[record.itemType];
            EXPECT_NE(built.tree.find({"ZR Items", type, kSlotNames[slot], record.treeLabel()}), 0u)
                << record.zrid;
            ++expectedNodes;
        }
    }
    EXPECT_EQ(expectedNodes, 60u);
    EXPECT_EQ(built.tree.size(), 1u + 7u + 28u + 2u + expectedNodes);
    EXPECT_TRUE(built.messages.messages.empty());
}

TEST(CategoryTree, ANewImportDuringTheBuildStopsIt) {
    std::string content;
    for (int i = 1; i <= 5; ++i)
        content += item(i, "m", "Misc");
    cImportedFile imported(content);
    cTempItemFile other(item(7, "o", "Misc"));
    cBuiltTree built;
    cFakeProgress innerProgress;
    built.progress.onPump = [&] {
        if (built.progress.pumps == 2) {
            imported.store.scanItemFile(other.path(), innerProgress);
            imported.store.buildCategoryTree(built.tree, innerProgress, built.messages);
        }
    };
    build(imported, built);
    // The tree is the new import's, untouched by the rest of the old build.
    EXPECT_EQ(built.tree.childLabels(built.tree.find({"ZR Items", "Misc"})), Labels{"o (QL 7)"});
    EXPECT_EQ(built.progress.pumps, 2);
}

TEST(CategoryTree, LoadsDuringTheBuildReadTheirOwnItems) {
    std::string content;
    for (int i = 1; i <= 5; ++i)
        content += item(i, "m" + std::to_string(i), "Misc");
    cImportedFile imported(content);
    cBuiltTree built;
    std::vector<std::string> shown;
    built.progress.onPump = [&] {
        cItemRecord record;
        if (imported.store.loadItem(5 - built.progress.pumps, record, built.messages))
            shown.push_back(record.name);
    };
    build(imported, built);
    EXPECT_EQ(shown, (std::vector<std::string>{"m4", "m3", "m2", "m1"}));
    EXPECT_EQ(built.tree.childLabels(built.tree.find({"ZR Items", "Misc"})).size(), 5u);
}

} // namespace quarry
