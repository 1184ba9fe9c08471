// The tree build loads on a pool of workers and applies the results in index
// order: for any number of workers the tree, messages, progress and loaded
// items are those of loading item by item, each record is read once, a stop
// request ends the build, and slow reads still let events through.
#include "store_test_support.h"

#include "store/item_record.h"
#include "store/work_pacer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace quarry {

namespace {

// Every kind of item, out of identifier order, some raising messages or failing.
std::string mixedFile() {
    static const char* const types[] = {"Weapon", "Armor", "Utility", "Misc", "NPC", "Unknown"};
    std::string content;
    for (int i = 0; i < 700; ++i)
        content += "<Item ZRID=\"" + std::to_string(i * 7919 % 1000 + 1) + "\" Name=\"I" +
                   std::to_string(i) + "\" QL=\"" + std::to_string(i % 5) + "\" ItemType=\"" +
                   types[i % 6] + (i % 11 ? "" : "\" IsNano=\"True") + "\"><Description>" +
                   std::string(i % 97 ? 9 : 20000, 'd') + "</Description><AtkValue Name=\"S" +
                   std::to_string(i % 4) + "\" Percent=\"5\" /><Attribute Name=\"Slot\" " +
                   "Value=\"Head HUD1\" />" +
                   (i % 13 ? "" : "<Action Name=\"U\"><Odd /></Action>") + "</Item>";
    return content;
}

struct cSink : cLoadedItemSink {
    void itemLoaded(const cItemRecord& item) override {
        items.push_back(item.treeLabel() + item.description);
    }
    std::vector<std::string> items;
};

// Counts the bytes every stream over the item file asks for.
struct cCountedReads {
    cCountedReads() {
        setReadFailureHook([this](RecordPosition, std::size_t size) { return (bytes += size, 0); });
    }
    ~cCountedReads() { setReadFailureHook({}); }
    std::atomic<std::size_t> bytes{0};
};

} // namespace

TEST(ParallelBuild, AnyNumberOfWorkersGivesWhatLoadingItemByItemGives) {
    const std::string content = mixedFile();
    cImportedFile imported(content);
    cFakeMessages modelMessages;
    cSink model;
    for (const cIndexEntry& entry : *imported.store.index())
        if (cItemRecord record; imported.store.loadItem(entry.zrid, record, modelMessages))
            model.itemLoaded(record);
    std::vector<std::string> firstTree;
    for (const unsigned workers : {0u, 1u, 5u}) {
        cFakeTree tree;
        cFakeProgress progress;
        cFakeMessages messages;
        cSink sink;
        imported.store.setLoadWorkers(workers);
        {
            cCountedReads reads;
            EXPECT_TRUE(imported.store.buildCategoryTree(tree, progress, messages, &sink));
            EXPECT_EQ(reads.bytes, content.size()) << "each record read once";
        }
        EXPECT_EQ(messages.messages, modelMessages.messages);
        EXPECT_EQ(sink.items, model.items);
        std::vector<std::string> nodes = progress.calls;
        for (const cFakeTree::Node& node : tree.nodes)
            nodes.push_back(node.label + "/" + std::to_string(node.parent));
        if (firstTree.empty()) firstTree = nodes;
        EXPECT_EQ(nodes, firstTree) << workers;
    }
    struct cStopping : cFakeProgress {
        bool stopRequested() const override { return pumps >= 3; }
    } stopping;
    cFakeTree tree;
    EXPECT_EQ(imported.store.buildCategoryTree(tree, stopping, imported.messages).outcome,
              cImportResult::eOutcome::stopped);
    EXPECT_EQ(stopping.pumps, 3);
}

// Records without an end stop at the next record's start tag, so a build over
// thousands of them reads each byte a bounded number of times.
TEST(ParallelBuild, RecordsWithoutEndsAreReadABoundedNumberOfTimes) {
    std::string content;
    for (int zrid = 1; zrid <= 20000; ++zrid)
        content +=
            "<Item ZRID=\"" + std::to_string(zrid) +
            "\" Name=\"N\" QL=\"4\" ItemType=\"Misc\"><Attribute Name=\"Slot\" Value=\"1\" />";
    cImportedFile imported(content);
    cFakeTree tree;
    cCountedReads reads;
    imported.build(tree);
    EXPECT_EQ(tree.itemNodes(), 19999u); // the file cuts the last one
    EXPECT_LT(reads.bytes, 4 * content.size());
}

// One long chunk, then items that are not filed (nano ones and failures):
// with every read slower than the pacer's interval the scan and the build
// still dispatch events while they work.
TEST(ParallelBuild, SlowReadsStillDispatchEvents) {
    std::string content = std::string(4096, 'x') + ">";
    for (int zrid = 1; zrid <= 4; ++zrid)
        content += "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"N\" IsNano=\"True\">" +
                   std::string(1024, ' ') + "</Item><Item ZRID=\"" + std::to_string(zrid + 10) +
                   "\">";
    cTempItemFile file(content);
    cItemStore store(cStreamLimits{1024, 1024, 16 * 1024});
    cFakeProgress fast;
    ASSERT_TRUE(store.scanItemFile(file.path(), fast));
    setReadFailureHook([](RecordPosition, std::size_t) {
        std::this_thread::sleep_for(cWorkPacer::kInterval + std::chrono::milliseconds(5));
        return 0;
    });
    cFakeProgress slow;
    ASSERT_TRUE(store.scanItemFile(file.path(), slow));
    EXPECT_GE(slow.pumps, fast.pumps + 3); // the long chunk takes five reads
    slow.pumps = 0;
    cFakeTree tree;
    cFakeMessages messages;
    ASSERT_TRUE(store.buildCategoryTree(tree, slow, messages));
    setReadFailureHook({});
    EXPECT_EQ(tree.nodes.size(), 1u + 7u + 28u + 2u + 4u);
    EXPECT_GE(slow.pumps, 2); // no item is filed, yet events are dispatched
}

} // namespace quarry
