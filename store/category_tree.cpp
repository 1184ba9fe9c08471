// The category tree: a fixed skeleton of folders, then every indexed item
// loaded again and filed by nano flag, item type, slots or attack skills.
// The loads run on a pool of workers; the filing, in index order, here.
#include "pattern/pattern.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"
#include "store/record_load_pool.h"
#include "store/work_pacer.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace quarry {

namespace {

// A worker loads its batch of entries one after the other. Where their records
// lie in the file in that order and within this span, one read takes them all
// (rather than one read each), with whatever lies between them: records the
// index left out, such as a repeated identifier's. Otherwise each is read alone.
constexpr RecordPosition kMostReadAhead = 256 * 1024;

void readAheadOfBatch(cFilteredStream& stream, const cItemIndex& index, std::size_t first,
                      std::size_t end) {
    // Entries at ascending positions: each record ends at or before the next
    // entry's start, so the last one's end bounds them all.
    const cIndexEntry* entries = index.begin();
    for (std::size_t entry = first + 1; entry < end; ++entry)
        if (entries[entry].position <= entries[entry - 1].position) return;
    const RecordPosition from = entries[first].position;
    const RecordPosition upTo =
        index.nextRecordStart(entries[end - 1].position).value_or(stream.totalSize());
    if (upTo > from && upTo - from <= kMostReadAhead) stream.readAhead(from, upTo);
}

// The folders of one build, with what the loaded-item sink is told of them:
// each folder's path and its place in the tree's pre-order. Folders are made
// below the top node or below one of its children, so a place is the
// position of the top node's child, then (for a folder below it) one more
// than its own position there.
class cFolders {
public:
    explicit cFolders(cTreeControl& tree) : tree_(tree) {}

    // A folder below the top node, or below one made here (`parent`).
    TreeItemHandle add(const std::string& label, TreeItemHandle parent = 0) {
        const TreeItemHandle handle = tree_.insertItem(label, 0, parent ? parent : root_);
        if (root_ == 0) {
            root_ = handle; // the top node itself: no path of its own
            return handle;
        }
        cFolder folder;
        if (parent == 0) {
            folder.place = std::uint64_t(topCount_++) << 32;
            folder.path = label;
        } else {
            cFolder& owner = folders_.at(parent);
            folder.place = owner.place | ++owner.childCount;
            folder.path = owner.path + "/" + label;
        }
        folders_.emplace(handle, std::move(folder));
        return handle;
    }
    TreeItemHandle root() const { return root_; }

    // Files the item under `folder`, noting it for filedUnder().
    void file(const cItemRecord& item, TreeItemHandle folder) {
        item.addToTree(tree_, folder);
        filed_.push_back(&folders_.at(folder));
    }
    // The folders the item filed last went to, in tree order; forgets them.
    const cItemFolders& filedUnder() {
        std::sort(filed_.begin(), filed_.end(),
                  [](const cFolder* a, const cFolder* b) { return a->place < b->place; });
        paths_.resize(filed_.size());
        for (std::size_t i = 0; i < filed_.size(); ++i)
            paths_[i].assign(filed_[i]->path); // reuses each text's room
        filed_.clear();
        return paths_;
    }

private:
    struct cFolder {
        std::string path;
        std::uint64_t place = 0;
        std::uint32_t childCount = 0;
    };

    cTreeControl& tree_;
    TreeItemHandle root_ = 0;
    std::uint32_t topCount_ = 0;
    std::map<TreeItemHandle, cFolder> folders_;
    std::vector<const cFolder*> filed_;
    cItemFolders paths_;
};

struct cSkeleton {
    TreeItemHandle types[kItemTypeCount] = {};
    TreeItemHandle slots[kSlotCount] = {};
    TreeItemHandle perk = 0;
    TreeItemHandle nano = 0;
};

cSkeleton appendSkeleton(cFolders& folders) {
    cSkeleton skeleton;
    folders.add("ZR Items");
    for (std::int32_t type = 0; type < kItemTypeCount; ++type)
        skeleton.types[type] = folders.add(kItemTypeNames[type]);
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        const TreeItemHandle folder =
            skeleton.types[slot < kUtilitySlotFirst ? kArmorType : kUtilityType];
        skeleton.slots[slot] = folders.add(kSlotNames[slot], folder);
    }
    return skeleton;
}

void fileBySlots(const cItemRecord& item, cFolders& folders, const cSkeleton& skeleton,
                 std::int32_t first, std::int32_t count) {
    for (std::int32_t slot = first; slot < first + count; ++slot)
        if (item.attributeContains("Slot", kSlotNames[slot]))
            folders.file(item, skeleton.slots[slot]);
}

// Files one loaded item: a nano program under "Nanoprogram", anything else
// by its type.
void fileItem(const cItemRecord& item, cFolders& folders, const cSkeleton& skeleton,
              std::map<std::string, TreeItemHandle>& skillFolders) {
    if (item.isNano) {
        folders.file(item, skeleton.nano);
        return;
    }
    switch (item.itemType) {
    case kWeaponType: // first the folders of skills not met before, then the item under each
        for (const auto& skill : item.atkValues)
            if (skillFolders.count(skill.first) == 0)
                skillFolders.emplace(skill.first,
                                     folders.add(skill.first, skeleton.types[kWeaponType]));
        // Both maps walk names in the same order, so this is the folders' name order.
        for (const auto& skill : item.atkValues)
            folders.file(item, skillFolders.at(skill.first));
        break;
    case kArmorType: // a "0" in the slots marks a perk
        if (item.attributeContains("Slot", "0"))
            folders.file(item, skeleton.perk);
        else
            fileBySlots(item, folders, skeleton, kArmorSlotFirst, kArmorSlotCount);
        break;
    case kUtilityType:
        fileBySlots(item, folders, skeleton, kUtilitySlotFirst, kUtilitySlotCount);
        break;
    default: // every other type has a folder of its own; no type has none
        if (item.itemType >= 0 && item.itemType < kItemTypeCount)
            folders.file(item, skeleton.types[item.itemType]);
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
    // Work on the index this import left, whatever runs while window events
    // are dispatched.
    const std::shared_ptr<const cItemIndex> index = index_;
    const cPattern& identifierPattern = *identifierPattern_;

    tree.deleteAllItems();
    cFolders folders(tree);
    cSkeleton skeleton = appendSkeleton(folders);
    if (index->empty()) return {};
    skeleton.perk = folders.add("Perk");
    skeleton.nano = folders.add("Nanoprogram");
    tree.expectItems(index->size());
    if (loaded != nullptr) loaded->expectItems(index->size());

    // A file rewritten since the scan would file other records under these
    // positions: nothing is built from it.
    const cImportResult changed{cImportResult::eOutcome::changed, {}};
    if (!fileUnchangedSinceScan()) {
        tree.deleteAllItems();
        return changed;
    }

    // Records are parsed on the workers; this thread takes the results in
    // index order and does everything else: the tree, the messages (replayed
    // in the order the loads raised them), the loaded-item sink, progress.
    cRecordLoadPool pool(
        index->size(), loadWorkers_ != 0 ? loadWorkers_ : cRecordLoadPool::defaultWorkers(), path_,
        limits_,
        [&index, &identifierPattern, loaded](std::size_t i, cFilteredStream& stream,
                                             cPatternMatch& context, cLoadResult& result) {
            const cIndexEntry& entry = index->begin()[i];
            if (cRecordLoadPool::startsBatch(i))
                readAheadOfBatch(stream, *index, i, cRecordLoadPool::batchEnd(i, index->size()));
            cRecordingSink recorder(result.messages);
            cItemRecord item;
            const eLoad load =
                loadItemAt(stream, identifierPattern, entry.zrid, entry.position,
                           index->nextRecordStart(entry.position), item, recorder, context);
            result.loaded = load == eLoad::loaded;
            result.moved = load == eLoad::moved;
            // The loaded-item sink gets what it reads; filing needs only a part.
            if (result.loaded && loaded != nullptr) {
                loaded->trimLoaded(item);
                result.record = std::move(item);
            } else if (result.loaded) {
                result.record = filingPart(item);
            }
            result.readFailed = stream.failed();
            if (result.readFailed) result.failure = stream.failure();
        });
    cWorkPacer pacer(progress);
    const cImportResult stopped{cImportResult::eOutcome::stopped, {}};
    struct cPacedSink {
        cLoadedItemSink* sink;
        ~cPacedSink() {
            if (sink != nullptr) sink->paceWith(nullptr);
        }
    } paced{loaded};
    if (loaded != nullptr) loaded->paceWith(&pacer);

    std::map<std::string, TreeItemHandle> skillFolders;
    cImportResult built;       // counts what loaded and what was filed
    std::uint64_t nonNano = 0; // progress moves every 100 of them
    for (std::size_t i = 0; i < index->size(); ++i) {
        cLoadResult& result = pool.waitFor(i, cWorkPacer::kInterval, [&] { pacer.pumpIfDue(); });
        if (progress.stopRequested()) return stopped;
        for (const auto& [caption, text] : result.messages) {
            messages.showMessage(caption, text);
            if (progress.stopRequested()) return stopped; // closed from the message box
        }
        if (result.readFailed || result.moved) {
            // What was read may be cut anywhere or come from another file:
            // no tree is built from it.
            tree.deleteAllItems();
            return result.moved
                       ? changed
                       : cImportResult{cImportResult::eOutcome::readFailed, result.failure};
        }
        if (result.loaded) {
            const cItemRecord& item = result.record;
            fileItem(item, folders, skeleton, skillFolders);
            const cItemFolders& filedUnder = folders.filedUnder();
            if (loaded != nullptr) loaded->itemLoaded(item, filedUnder);
            ++built.loaded;
            if (!filedUnder.empty()) ++built.filed;
            if (!item.isNano && ++nonNano % 100 == 0)
                progress.setProgress(static_cast<std::int32_t>(nonNano * 100 / index->size()));
        }
        pool.release(i);
        pacer.step();
        if (progress.stopRequested()) return stopped;
    }
    // Records read whole from a file that changed meanwhile may still mix
    // two states of it.
    if (!fileUnchangedSinceScan()) {
        tree.deleteAllItems();
        return changed;
    }
    tree.expand(folders.root());
    return built;
}

} // namespace quarry
