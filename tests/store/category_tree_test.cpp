// The category tree: the folder skeleton, where each kind of item is filed,
// and imports or loads that run while the tree is being built.
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

// The root, the type folders and the slot folders.
constexpr std::size_t kSkeleton = 1 + 7 + 28;

// Every node after the skeleton in the order it was appended: a folder as
// "parent/label/", an item as "parent/label=zrid".
std::string filed(const cFakeTree& tree) {
    std::string out;
    for (std::size_t i = kSkeleton; i < tree.nodes.size(); ++i) {
        const cFakeTree::Node& node = tree.nodes[i];
        out += (out.empty() ? "" : " ") + tree.nodes.at(node.parent - 1).label + "/" + node.label +
               (node.data ? "=" + std::to_string(node.data) : "/");
    }
    return out;
}

} // namespace

TEST(CategoryTree, AnEmptyIndexLeavesTheSkeletonCollapsed) {
    cImportedFile imported("");
    cFakeTree tree;
    imported.build(tree);
    EXPECT_EQ(tree.childLabels(""), Labels{"ZR Items"});
    EXPECT_EQ(tree.childLabels("ZR Items"), Labels(kItemTypeNames, kItemTypeNames + 7));
    EXPECT_EQ(tree.childLabels("Armor"), Labels(kSlotNames, kSlotNames + 15));
    EXPECT_EQ(tree.childLabels("Utility"), Labels(kSlotNames + 15, kSlotNames + 28));
    EXPECT_FALSE(tree.nodes.at(0).expanded);
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
    EXPECT_TRUE(tree.nodes.at(0).expanded);
    // A first weapon makes its skill folders in name order, later ones append
    // theirs; a "0" in an armor item's slots makes it a perk; a nano program
    // goes under "Nanoprogram" alone, named alone; no node for an unknown
    // type, a slot nobody has, or an item that fails to load.
    EXPECT_EQ(
        filed(tree),
        "ZR Items/Perk/ ZR Items/Nanoprogram/ Weapon/B/ Weapon/D/ B/W1 (QL 1)=1 D/W1 (QL 1)=1 "
        "Weapon/A/ A/W2 (QL 2)=2 B/W2 (QL 2)=2 Weapon/C/ A/W4 (QL 4)=4 C/W4 (QL 4)=4 "
        "Spirit/s (QL 5)=5 Implant/a (QL 6)=6 NPC/c (QL 7)=7 NPC/b (QL 9)=9 "
        "RightShoulder/S11 (QL 11)=11 LeftShoulder/S11 (QL 11)=11 Perk/S12 (QL 12)=12 "
        "HUD1/S13 (QL 13)=13 HUD3/S13 (QL 13)=13 NCU2/S16 (QL 16)=16 Perk/S17 (QL 17)=17 "
        "Misc/Ring (QL 25)=25 Nanoprogram/Heal %s=30 NPC/z (QL -2)=-2");
}

TEST(CategoryTree, LoadsDuringTheBuildReadTheirOwnItems) {
    std::string content;
    for (int i = 1; i <= 5; ++i)
        content += item(i, "m" + std::to_string(i), "Misc");
    cImportedFile imported(content);
    // Handed each item, the window may show another one meanwhile.
    struct cShowing : cLoadedItemSink {
        explicit cShowing(cImportedFile& file) : file(file) {}
        void itemLoaded(const cItemRecord& item, const cItemFolders&) override {
            cItemRecord record;
            if (file.load(6 - item.zrid, record)) shown.push_back(record.name);
        }
        cImportedFile& file;
        std::vector<std::string> shown;
    } showing(imported);
    cFakeTree tree;
    ASSERT_TRUE(
        imported.store.buildCategoryTree(tree, imported.progress, imported.messages, &showing));
    EXPECT_EQ(showing.shown, (std::vector<std::string>{"m5", "m4", "m3", "m2", "m1"}));
    EXPECT_EQ(tree.childLabels("Misc").size(), 5u);
}

} // namespace quarry
