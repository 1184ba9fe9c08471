// The category tree: a fixed skeleton of folders, then every indexed item
// loaded again and filed by nano flag, item type, slots or attack skills.
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <map>

namespace quarry {

namespace {

struct cSkeleton {
    TreeItemHandle root = 0;
    TreeItemHandle types[kItemTypeCount] = {};
    TreeItemHandle slots[kSlotCount] = {};
    TreeItemHandle perk = 0;
    TreeItemHandle nano = 0;
};

cSkeleton appendSkeleton(cTreeControl& tree) {
    cSkeleton skeleton;
    skeleton.root = tree.insertItem("ZR Items", 0, 0);
    for (std::int32_t type = 0; type < kItemTypeCount; ++type)
        skeleton.types[type] = tree.insertItem(kItemTypeNames[type], 0, skeleton.root);
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        const TreeItemHandle folder =
            skeleton.types[slot < kUtilitySlotFirst ? kArmorType : kUtilityType];
        skeleton.slots[slot] = tree.insertItem(kSlotNames[slot], 0, folder);
    }
    return skeleton;
}

void fileBySlots(const cItemRecord& item, cTreeControl& tree, const cSkeleton& skeleton,
                 std::int32_t first, std::int32_t count) {
    for (std::int32_t slot = first; slot < first + count; ++slot)
        if (item.attributeContains("Slot", kSlotNames[slot]))
            item.addToTree(tree, skeleton.slots[slot]);
}

} // namespace

void cItemStore::buildCategoryTree(cTreeControl& tree, cProgressHost& progress,
                                   cMessageSink& messages, cLoadedItemSink* loaded) const {
    // Work on what this import left, whatever runs while window events are
    // dispatched; a newer import makes this build stop (it builds its own).
    const std::shared_ptr<const cItemIndex> index = index_;
    const std::uint64_t generation = generation_;
    const std::string path = path_;

    tree.deleteAllItems();
    cSkeleton skeleton = appendSkeleton(tree);
    if (index->empty()) return;
    skeleton.perk = tree.insertItem("Perk", 0, skeleton.root);
    skeleton.nano = tree.insertItem("Nanoprogram", 0, skeleton.root);

    std::map<std::string, TreeItemHandle> skillFolders;
    std::uint64_t filed = 0;
    // One stream for every load: it seeks to each record, so each load reads
    // what a fresh stream would, without opening the file 250,000 times.
    cFilteredStream stream(path);
    // A file rewritten since the scan would file other records under these
    // positions: then no item loads, as single loads fail too.
    const bool fileUnchanged = fileUnchangedSinceScan();
    for (const cIndexEntry& entry : *index) {
        if (!fileUnchanged) break;
        cItemRecord item;
        const bool ok = loadItemAt(stream, entry.position, item, messages);
        if (generation_ != generation) return; // a message box ran a newer import
        if (!ok) continue;
        if (loaded != nullptr) loaded->itemLoaded(item);
        if (item.isNano) {
            item.addToTree(tree, skeleton.nano);
            continue;
        }
        switch (item.itemType) {
        case kWeaponType: // first the folders of skills not met before, then the item under each
            for (const auto& skill : item.atkValues)
                if (skillFolders.count(skill.first) == 0)
                    skillFolders.emplace(
                        skill.first, tree.insertItem(skill.first, 0, skeleton.types[kWeaponType]));
            // Both maps walk names in the same order, so this is the folders' name order.
            for (const auto& skill : item.atkValues)
                item.addToTree(tree, skillFolders.at(skill.first));
            break;
        case kArmorType: // a "0" in the slots marks a perk
            if (item.attributeContains("Slot", "0"))
                item.addToTree(tree, skeleton.perk);
            else
                fileBySlots(item, tree, skeleton, kArmorSlotFirst, kArmorSlotCount);
            break;
        case kUtilityType:
            fileBySlots(item, tree, skeleton, kUtilitySlotFirst, kUtilitySlotCount);
            break;
        default: // every other type has a folder of its own; no type has none
            if (item.itemType >= 0 && item.itemType < kItemTypeCount)
                item.addToTree(tree, skeleton.types[item.itemType]);
            break;
        }
        ++filed;
        progress.pumpMessages();
        if (generation_ != generation) return;
        if (filed % 100 == 0)
            progress.setProgress(static_cast<std::int32_t>(filed * 100 / index->size()));
    }
    tree.expand(skeleton.root);
}

} // namespace quarry
