// The category tree: a fixed skeleton of folders, then every indexed item
// loaded again and filed by nano flag, item type, slots or attack skills.
#include "pattern/pattern.h"
#include "store/item_store.h"
#include "store/work_pacer.h"

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
        const TreeItemHandle folder = skeleton.types[slot < kUtilitySlotFirst ? 1 : 2];
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

cImportResult cItemStore::buildCategoryTree(cTreeControl& tree, cProgressHost& progress,
                                            cMessageSink& messages, cLoadedItemSink* loaded) const {
    // Work on what this import left, whatever runs while window events are
    // dispatched; a newer import makes this build stop (it builds its own).
    const std::shared_ptr<const cItemIndex> index = index_;
    const std::uint64_t generation = generation_;
    const std::string path = path_;

    tree.deleteAllItems();
    cSkeleton skeleton = appendSkeleton(tree);
    if (index->empty()) return {};
    skeleton.perk = tree.insertItem("Perk", 0, skeleton.root);
    skeleton.nano = tree.insertItem("Nanoprogram", 0, skeleton.root);

    std::map<std::string, TreeItemHandle> skillFolders;
    std::uint64_t filed = 0;
    // One stream for every load: it seeks to each record, so each load reads
    // what a fresh stream would, without opening the file 250,000 times.
    cFilteredStream stream(path, limits_);
    // Items that are not filed dispatch no events by the build's rule; the
    // pacer does once they have taken a while, and so do long reads.
    cWorkPacer pacer(progress, generation_, generation);
    stream.setWatcher(&pacer);
    cPatternMatch identifierContext(256);
    const cImportResult superseded{cImportResult::eOutcome::superseded, {}};
    // A file rewritten since the scan would file other records under these
    // positions: then no item loads, as single loads fail too.
    const bool fileUnchanged = fileUnchangedSinceScan();
    for (const cIndexEntry& entry : *index) {
        if (!fileUnchanged) break;
        cItemRecord item;
        const bool ok =
            loadItemAt(stream, entry.zrid, entry.position, item, messages, identifierContext);
        if (generation_ != generation) return superseded; // a message box ran a newer import
        if (stream.failed()) {
            // What was read may be cut anywhere: no tree is built from it.
            tree.deleteAllItems();
            return {cImportResult::eOutcome::readFailed, stream.failure()};
        }
        if (!ok) {
            pacer.pumpIfDue();
            if (generation_ != generation) return superseded;
            continue;
        }
        if (loaded != nullptr) loaded->itemLoaded(item);
        if (item.isNano) {
            item.addToTree(tree, skeleton.nano);
            pacer.pumpIfDue();
            if (generation_ != generation) return superseded;
            continue;
        }
        switch (item.itemType) {
        case 0: // Weapon: first the folders of skills not met before, then the item under each
                // skill
            for (const auto& skill : item.atkValues)
                if (skillFolders.count(skill.first) == 0)
                    skillFolders.emplace(skill.first,
                                         tree.insertItem(skill.first, 0, skeleton.types[0]));
            // Both maps walk names in the same order, so this is the folders' name order.
            for (const auto& skill : item.atkValues)
                item.addToTree(tree, skillFolders.at(skill.first));
            break;
        case 1: // Armor: a "0" in the slots marks a perk
            if (item.attributeContains("Slot", "0"))
                item.addToTree(tree, skeleton.perk);
            else
                fileBySlots(item, tree, skeleton, kArmorSlotFirst, kArmorSlotCount);
            break;
        case 2:
            fileBySlots(item, tree, skeleton, kUtilitySlotFirst, kUtilitySlotCount);
            break;
        case 3:
        case 4:
        case 5:
        case 6:
            item.addToTree(tree, skeleton.types[item.itemType]);
            break;
        default: // no type: there is no folder for it
            break;
        }
        ++filed;
        pacer.pump();
        if (generation_ != generation) return superseded;
        if (filed % 100 == 0)
            progress.setProgress(static_cast<std::int32_t>(filed * 100 / index->size()));
    }
    tree.expand(skeleton.root);
    return {};
}

} // namespace quarry
