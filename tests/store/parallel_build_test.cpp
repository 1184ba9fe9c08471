// The tree build loads on a pool of workers and applies the results in index
// order: for any number of workers the tree, messages, progress and loaded
// items are those of loading item by item, each record is read once, a stop
// request ends the build, and slow reads still let events through.
#include "store_test_support.h"

#include "store/item_record.h"
#include "store/work_pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <tuple>
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
    void itemLoaded(const cItemRecord& item, const cItemFolders& filedUnder) override {
        items.push_back(item.treeLabel() + item.description);
        for (const std::string& path : filedUnder)
            folders.push_back(std::to_string(item.zrid) + " " + path);
    }
    std::vector<std::string> items;
    std::vector<std::string> folders;
};

// The folders of every item node of a tree, as the sink is told them: by
// item in index order, each folder as the labels below the top node, in tree
// order. Folders are appended after their parents and siblings before later
// siblings, so the node numbers of a folder's ancestors give its place.
std::vector<std::string> foldersOfTree(const cFakeTree& tree) {
    struct cFiled {
        std::uint32_t zrid;
        std::vector<TreeItemHandle> place; // the node numbers of its folders, top first
        std::string path;
    };
    std::vector<cFiled> filed;
    for (const cFakeTree::Node& node : tree.nodes) {
        if (node.data == 0) continue;
        cFiled item{std::uint32_t(node.data), {}, {}};
        for (TreeItemHandle at = node.parent; tree.nodes.at(at - 1).parent != 0;
             at = tree.nodes.at(at - 1).parent) {
            item.place.insert(item.place.begin(), at);
            const std::string& label = tree.nodes.at(at - 1).label;
            item.path = item.path.empty() ? label : label + "/" + item.path;
        }
        filed.push_back(item);
    }
    std::sort(filed.begin(), filed.end(), [](const cFiled& a, const cFiled& b) {
        return std::tie(a.zrid, a.place) < std::tie(b.zrid, b.place);
    });
    std::vector<std::string> paths;
    for (const cFiled& item : filed)
        paths.push_back(std::to_string(ZRID(item.zrid)) + " " + item.path);
    return paths;
}

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
            model.itemLoaded(record, {});
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
        EXPECT_EQ(sink.folders, foldersOfTree(tree));
        std::vector<std::string> nodes = progress.calls;
        for (const cFakeTree::Node& node : tree.nodes)
            nodes.push_back(node.label + "/" + std::to_string(node.parent));
        if (firstTree.empty()) firstTree = nodes;
        EXPECT_EQ(nodes, firstTree) << workers;
    }
    struct cStopping : cFakeProgress {
        bool stopRequested() const override { return calls.size() >= 2; }
    } stopping;
    cFakeTree tree;
    cSink stopped;
    EXPECT_EQ(imported.store.buildCategoryTree(tree, stopping, imported.messages, &stopped).outcome,
              cImportResult::eOutcome::stopped);
    EXPECT_EQ(stopping.calls.size(), 2u); // no progress after the stop
    EXPECT_LT(stopped.items.size(), model.items.size());
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
