#include "fake_hosts.h"
#include "store/item_store.h"
#include "temp_item_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quarry {

namespace {

using Entries = std::vector<std::pair<ZRID, RecordPosition>>;

Entries entriesOf(const cItemStore& store) {
    Entries entries;
    for (const cIndexEntry& entry : *store.index())
        entries.emplace_back(entry.zrid, entry.position);
    return entries;
}

std::string item(const std::string& zrid) {
    return "<Item ZRID=\"" + zrid + "\" Name=\"n\" QL=\"1\"></Item>";
}

} // namespace

TEST(ItemScan, IndexesItemsBackToBackAtTheirLessThanSign) {
    const std::string content = "<Items>" + item("30") + item("10") + item("20") + "</Items>";
    cTempItemFile file(content);
    cItemStore store;
    cFakeProgress progress;
    EXPECT_TRUE(store.scanItemFile(file.path(), progress));
    EXPECT_EQ(store.path(), file.path());
    const RecordPosition first = 7;
    const RecordPosition step = item("10").size();
    // "<Items>" counts as an item start tag without a ZRID: identifier 0.
    EXPECT_EQ(entriesOf(store),
              (Entries{{0, 0}, {10, first + step}, {20, first + 2 * step}, {30, first}}));
    EXPECT_EQ(content.compare(first + step, 5, "<Item"), 0);
}

TEST(ItemScan, OnlyTagsRightAfterTheLastGreaterThanCount) {
    cTempItemFile file(item("1") + "\n" + item("2") + " " + item("3") + "<!-- c -->" + item("4"));
    cItemStore store;
    cFakeProgress progress;
    store.scanItemFile(file.path(), progress);
    // The comment is dropped by the stream, so item 4 follows the ">" of item 3 directly.
    std::vector<ZRID> keys;
    for (const auto& entry : entriesOf(store))
        keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<ZRID>{1, 4}));
}

TEST(ItemScan, FirstPositionWinsAndIdentifiersAreNotChecked) {
    const std::string content =
        item("7") + item("7") + item("12ab") + item("-5") + item("x") + item(" +9");
    cTempItemFile file(content);
    cItemStore store;
    cFakeProgress progress;
    store.scanItemFile(file.path(), progress);
    const Entries entries = entriesOf(store);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0], (std::pair<ZRID, RecordPosition>{0, content.find(item("x"))}));
    EXPECT_EQ(entries[1], (std::pair<ZRID, RecordPosition>{7, 0}));
    EXPECT_EQ(entries[2].first, 9);
    EXPECT_EQ(entries[3].first, 12);
    // -5 is 4294967291 unsigned: walked after every non-negative identifier.
    EXPECT_EQ(entries[4].first, -5);
    EXPECT_EQ(store.findItem(-5), content.find(item("-5")));
}

TEST(ItemScan, ProgressEveryHundredItemsAndAPumpPerChunk) {
    std::string content;
    for (int i = 1; i <= 250; ++i)
        content += item(std::to_string(i));
    cTempItemFile file(content);
    cItemStore store;
    cFakeProgress progress;
    store.scanItemFile(file.path(), progress);
    EXPECT_EQ(store.itemCount(), 250u);
    // Item 100 ends at 100/250 of the file, item 200 at 200/250.
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"begin Scanning File 0", "set 39", "set 79", "end"}));
    // Two chunks per item, and the final empty read.
    EXPECT_EQ(progress.pumps, 501);
}

TEST(ItemScan, AnEmptyOrMissingFileIndexesNothing) {
    cTempItemFile file("");
    cItemStore store;
    cFakeProgress progress;
    EXPECT_TRUE(store.scanItemFile(file.path(), progress));
    EXPECT_EQ(store.itemCount(), 0u);
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"begin Scanning File 0", "end"}));
    EXPECT_EQ(progress.pumps, 1);
    EXPECT_TRUE(store.scanItemFile(file.missingPath(), progress));
    EXPECT_EQ(store.itemCount(), 0u);
    EXPECT_EQ(store.path(), file.missingPath());
}

TEST(ItemScan, ASecondImportStartsFromAnEmptyIndex) {
    cTempItemFile first(item("1") + item("2"));
    cTempItemFile second(item("3"));
    cItemStore store;
    cFakeProgress progress;
    store.scanItemFile(first.path(), progress);
    const std::shared_ptr<const cItemIndex> before = store.index();
    std::vector<std::size_t> seenDuringScan;
    progress.onPump = [&] { seenDuringScan.push_back(store.itemCount()); };
    store.scanItemFile(second.path(), progress);
    EXPECT_EQ(entriesOf(store), (Entries{{3, 0}}));
    EXPECT_FALSE(store.findItem(1));
    // While the scan runs the index is empty; a snapshot taken before stays whole.
    ASSERT_FALSE(seenDuringScan.empty());
    for (std::size_t count : seenDuringScan)
        EXPECT_EQ(count, 0u);
    EXPECT_EQ(before->size(), 2u);
}

TEST(ItemScan, AnImportStartedDuringAScanSupersedesIt) {
    cTempItemFile outer(item("1") + item("2") + item("3"));
    cTempItemFile inner(item("9"));
    cItemStore store;
    cFakeProgress progress;
    cFakeProgress innerProgress;
    bool innerDone = false;
    progress.onPump = [&] {
        if (!innerDone) {
            innerDone = true;
            EXPECT_TRUE(store.scanItemFile(inner.path(), innerProgress));
        }
    };
    EXPECT_FALSE(store.scanItemFile(outer.path(), progress));
    EXPECT_EQ(store.path(), inner.path());
    EXPECT_EQ(entriesOf(store), (Entries{{9, 0}}));
    EXPECT_EQ(progress.calls.back(), "end");
}

} // namespace quarry
