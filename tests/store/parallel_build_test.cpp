// The tree build loads records on a pool of workers and applies them in index
// order: whatever the number of workers, the tree, the messages (in order),
// the progress calls and the loaded-item sink are those of loading every
// item one by one; each record's bytes are read once; a stop request ends it.
#include <gtest/gtest.h>

#include "item_file_test_support.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"

#include <atomic>
#include <string>
#include <vector>

namespace quarry {

namespace {

// Items of every kind, out of identifier order, some raising messages, some
// failing to load, a few long enough to need more than one read.
std::string mixedFile() {
    static const char* const types[] = {"Weapon", "Armor", "Utility", "Misc", "NPC", "Unknown"};
    std::string content;
    for (int i = 0; i < 700; ++i) {
        const int zrid = (i * 7919) % 1000 + 1;
        content += "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"I" + std::to_string(i) +
                   "\" QL=\"" + std::to_string(i % 5) + "\" ItemType=\"" + types[i % 6] +
                   (i % 11 == 0 ? "\" IsNano=\"True" : "") + "\">";
        content += "<Description>" + std::string(i % 97 == 0 ? 20000 : 10, 'd') + "</Description>";
        content += "<AtkValue Name=\"S" + std::to_string(i % 4) + "\" Percent=\"5\" />";
        content += "<Attribute Name=\"Slot\" Value=\"Head HUD1 RightFinger\" />";
        if (i % 13 == 0)
            content += "<Action Name=\"Use\"><Odd" + std::to_string(i) + " /></Action>";
        content += "</Item>";
    }
    return content;
}

class cGatheringSink : public cLoadedItemSink {
public:
    void itemLoaded(const cItemRecord& item) override {
        items.push_back(std::to_string(item.zrid) + " " + item.name + " " + item.description);
    }
    std::vector<std::string> items;
};

struct cBuild {
    cFakeTree tree;
    cFakeProgress progress;
    cFakeMessages messages;
    cGatheringSink sink;
    cImportResult result;
    std::vector<std::string> nodes() const {
        std::vector<std::string> all;
        for (TreeItemHandle h = 1; h <= tree.size(); ++h)
            all.push_back(tree.node(h).label + "/" + std::to_string(tree.node(h).parent));
        return all;
    }
};

} // namespace

TEST(ParallelBuild, AnyNumberOfWorkersGivesWhatLoadingOneByOneGives) {
    cImportedFile imported(mixedFile());
    // The model: every item loaded on its own, in index order.
    cFakeMessages modelMessages;
    std::vector<std::string> modelItems;
    for (const cIndexEntry& entry : *imported.store.index()) {
        cItemRecord record;
        if (imported.store.loadItem(entry.zrid, record, modelMessages))
            modelItems.push_back(std::to_string(record.zrid) + " " + record.name + " " +
                                 record.description);
    }
    ASSERT_FALSE(modelMessages.messages.empty());

    std::vector<cBuild> builds(4);
    const unsigned workers[] = {1, 2, 5, 0};
    for (std::size_t b = 0; b < builds.size(); ++b) {
        imported.store.setLoadWorkers(workers[b]);
        builds[b].result = imported.store.buildCategoryTree(builds[b].tree, builds[b].progress,
                                                            builds[b].messages, &builds[b].sink);
        EXPECT_TRUE(builds[b].result);
        EXPECT_EQ(builds[b].messages.messages, modelMessages.messages) << workers[b];
        EXPECT_EQ(builds[b].sink.items, modelItems) << workers[b];
        EXPECT_EQ(builds[b].nodes(), builds[0].nodes()) << workers[b];
        EXPECT_EQ(builds[b].progress.calls, builds[0].progress.calls) << workers[b];
        EXPECT_EQ(builds[b].progress.pumps, builds[0].progress.pumps) << workers[b];
    }
}

TEST(ParallelBuild, EachRecordIsReadOnce) {
    const std::string content = mixedFile();
    cImportedFile imported(content);
    std::atomic<std::size_t> bytesRead{0};
    setReadFailureHook([&](RecordPosition, std::size_t size) {
        bytesRead += size;
        return 0;
    });
    cBuild build;
    imported.store.buildCategoryTree(build.tree, build.progress, build.messages);
    setReadFailureHook({});
    EXPECT_EQ(bytesRead.load(), content.size());
}

TEST(ParallelBuild, StopRequestEndsTheBuild) {
    class cStoppingProgress : public cFakeProgress {
    public:
        bool stopRequested() const override { return pumps >= 3; }
    };
    cImportedFile imported(mixedFile());
    cFakeTree tree;
    cStoppingProgress progress;
    cFakeMessages messages;
    const cImportResult result = imported.store.buildCategoryTree(tree, progress, messages);
    EXPECT_EQ(result.outcome, cImportResult::eOutcome::stopped);
    EXPECT_EQ(progress.pumps, 3);
}

} // namespace quarry
