// The category tree: a fixed skeleton of folders, then every indexed item
// loaded again and filed by nano flag, item type, slots or attack skills.
// The loads run on a pool of workers; the filing, in index order, here.
#include "pattern/pattern.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"
#include "store/record_load_pool.h"
#include "store/work_pacer.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

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

// Files one loaded item: a nano program under "Nanoprogram", anything else
// by its type.
void fileItem(const cItemRecord& item, cTreeControl& tree, const cSkeleton& skeleton,
              std::map<std::string, TreeItemHandle>& skillFolders) {
    if (item.isNano) {
        item.addToTree(tree, skeleton.nano);
        return;
    }
    switch (item.itemType) {
    case kWeaponType: // first the folders of skills not met before, then the item under each
        for (const auto& skill : item.atkValues)
            if (skillFolders.count(skill.first) == 0)
                skillFolders.emplace(skill.first,
                                     tree.insertItem(skill.first, 0, skeleton.types[kWeaponType]));
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
}

// What filing reads of an item: its label, flags and type, attack skills and
// "Slot". Handing over only this keeps the bulk of a record (events, actions,
// its description) on the worker that read it, which frees it while it is
// still in that processor's cache.
cItemRecord filingPart(cItemRecord& item) {
    cItemRecord part;
    part.zrid = item.zrid;
    part.name = std::move(item.name);
    part.ql = item.ql;
    part.itemType = item.itemType;
    part.isNano = item.isNano;
    part.atkValues = std::move(item.atkValues);
    if (const auto slot = item.attributes.find("Slot"); slot != item.attributes.end())
        part.attributes.emplace(slot->first, std::move(slot->second));
    return part;
}

// Keeps what a load says, for the build to replay in order.
class cRecordingSink : public cMessageSink {
public:
    explicit cRecordingSink(std::vector<std::pair<std::string, std::string>>& into) : into_(into) {}
    void showMessage(const std::string& caption, const std::string& text) override {
        into_.emplace_back(caption, text);
    }

private:
    std::vector<std::pair<std::string, std::string>>& into_;
};

} // namespace

cImportResult cItemStore::buildCategoryTree(cTreeControl& tree, cProgressHost& progress,
                                            cMessageSink& messages, cLoadedItemSink* loaded) const {
    // Work on what this import left, whatever runs while window events are
    // dispatched; a newer import makes this build stop (it builds its own).
    const std::shared_ptr<const cItemIndex> index = index_;
    const std::uint64_t generation = generation_;
    const std::string path = path_;
    const cPattern& identifierPattern = *identifierPattern_;

    tree.deleteAllItems();
    cSkeleton skeleton = appendSkeleton(tree);
    if (index->empty()) return {};
    skeleton.perk = tree.insertItem("Perk", 0, skeleton.root);
    skeleton.nano = tree.insertItem("Nanoprogram", 0, skeleton.root);

    // A file rewritten since the scan would file other records under these
    // positions: then no item loads, as single loads fail too.
    if (!fileUnchangedSinceScan()) {
        tree.expand(skeleton.root);
        return {};
    }

    // Records are parsed on the workers; this thread takes the results in
    // index order and does everything else: the tree, the messages (replayed
    // in the order the loads raised them), the loaded-item sink, progress.
    cRecordLoadPool pool(
        index->size(), loadWorkers_ != 0 ? loadWorkers_ : cRecordLoadPool::defaultWorkers(), path,
        limits_,
        [&index, &identifierPattern, wholeRecords = loaded != nullptr](
            std::size_t i, cFilteredStream& stream, cPatternMatch& context, cLoadResult& result) {
            const cIndexEntry& entry = index->begin()[i];
            cRecordingSink recorder(result.messages);
            cItemRecord item;
            result.loaded =
                loadItemAt(stream, identifierPattern, entry.zrid, entry.position,
                           index->nextRecordStart(entry.position), item, recorder, context);
            // The loaded-item sink gets whole records; filing needs only a part.
            if (result.loaded) result.record = wholeRecords ? std::move(item) : filingPart(item);
            result.readFailed = stream.failed();
            if (result.readFailed) result.failure = stream.failure();
        });
    // Items that are not filed dispatch no events by the build's rule; the
    // pacer does once they have taken a while, and so does waiting.
    cWorkPacer pacer(progress, generation_, generation);
    const auto interrupted = [&]() -> std::optional<cImportResult> {
        if (generation_ != generation)
            return cImportResult{cImportResult::eOutcome::superseded, {}};
        if (progress.stopRequested()) return cImportResult{cImportResult::eOutcome::stopped, {}};
        return std::nullopt;
    };

    std::map<std::string, TreeItemHandle> skillFolders;
    std::uint64_t filed = 0;
    for (std::size_t i = 0; i < index->size(); ++i) {
        cLoadResult& result = pool.waitFor(i, cWorkPacer::kInterval, [&] { pacer.pumpIfDue(); });
        if (const auto stop = interrupted()) return *stop;
        for (const auto& [caption, text] : result.messages) {
            messages.showMessage(caption, text);
            // A message box ran a newer import, or the window is closing.
            if (const auto stop = interrupted()) return *stop;
        }
        if (result.readFailed) {
            // What was read may be cut anywhere: no tree is built from it.
            tree.deleteAllItems();
            return {cImportResult::eOutcome::readFailed, result.failure};
        }
        const bool ok = result.loaded;
        if (ok) {
            const cItemRecord& item = result.record;
            if (loaded != nullptr) loaded->itemLoaded(item);
            fileItem(item, tree, skeleton, skillFolders);
        }
        const bool counts = ok && !result.record.isNano;
        pool.release(i);
        if (!counts) {
            pacer.pumpIfDue();
            if (const auto stop = interrupted()) return *stop;
            continue;
        }
        ++filed;
        pacer.pump();
        if (const auto stop = interrupted()) return *stop;
        if (filed % 100 == 0)
            progress.setProgress(static_cast<std::int32_t>(filed * 100 / index->size()));
    }
    tree.expand(skeleton.root);
    return {};
}

} // namespace quarry
