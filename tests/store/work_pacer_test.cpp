// Pending window events are dispatched at least every pump interval of work,
// wherever the work is: inside one long chunk, and among items the tree build
// does not file. Each read here takes longer than the interval.
#include <gtest/gtest.h>

#include "item_file_test_support.h"
#include "store/filtered_stream.h"
#include "store/work_pacer.h"

#include <chrono>
#include <string>
#include <thread>

namespace quarry {

namespace {

const cStreamLimits kKilobyteBlocks{1024, 1024, 16 * 1024 * 1024};

class cSlowReads {
public:
    cSlowReads() {
        setReadFailureHook([](RecordPosition, std::size_t) {
            std::this_thread::sleep_for(cWorkPacer::kInterval + std::chrono::milliseconds(5));
            return 0;
        });
    }
    ~cSlowReads() { setReadFailureHook({}); }
};

class cCountingWatcher : public cReadWatcher {
public:
    bool blockRead() override { return ++blocks < stopAt; }
    int blocks = 0;
    int stopAt = 1000;
};

} // namespace

TEST(WorkPacer, StreamTellsOfEveryBlockAndStopsWhenTold) {
    cTempItemFile file(std::string(64 * 1024, 'x') + ">");
    cCountingWatcher watcher;
    cFilteredStream stream(file.path(), kKilobyteBlocks);
    stream.setWatcher(&watcher);
    EXPECT_TRUE(stream.readLines(1, ">"));
    EXPECT_EQ(watcher.blocks, 65);

    cCountingWatcher stopping;
    stopping.stopAt = 3;
    cFilteredStream stopped(file.path(), kKilobyteBlocks);
    stopped.setWatcher(&stopping);
    stopped.readLines(1, ">");
    EXPECT_TRUE(stopped.failed());
    EXPECT_EQ(stopped.tell(), 2 * 1024u);
    EXPECT_EQ(stopping.blocks, 3);
}

TEST(WorkPacer, ScanDispatchesDuringOneLongChunk) {
    cTempItemFile file(std::string(4 * 1024, 'x'));
    cItemStore store(kKilobyteBlocks);
    cFakeProgress progress;
    cSlowReads slow;
    ASSERT_TRUE(store.scanItemFile(file.path(), progress));
    EXPECT_GE(progress.pumps, 1 + 3); // one after the chunk, the rest during it
}

TEST(WorkPacer, TreeBuildDispatchesAmongItemsItDoesNotFile) {
    std::string content;
    for (int zrid = 1; zrid <= 4; ++zrid) // nano items and items that fail to load
        content += "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"N\" IsNano=\"True\">" +
                   std::string(1024, ' ') + "</Item><Item ZRID=\"" + std::to_string(zrid + 10) +
                   "\">";
    cImportedFile imported(content);
    cItemStore store(kKilobyteBlocks);
    cFakeProgress progress;
    ASSERT_TRUE(store.scanItemFile(imported.file().path(), progress));
    progress.pumps = 0;
    cFakeTree tree;
    cSlowReads slow;
    ASSERT_TRUE(store.buildCategoryTree(tree, progress, imported.messages));
    EXPECT_EQ(tree.size(), 1u + 7u + 28u + 2u + 4u);
    EXPECT_GE(progress.pumps, 3);
}

} // namespace quarry
