// The import scan: which tags it indexes under which identifier and position,
// its progress, and imports that replace or supersede one another.
#include "store_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

// "zrid@position" for every entry, in index order.
std::string entriesOf(const cItemStore& store) {
    std::string out;
    for (const cIndexEntry& entry : *store.index())
        out += (out.empty() ? "" : " ") + std::to_string(entry.zrid) + "@" +
               std::to_string(entry.position);
    return out;
}

std::string item(const std::string& zrid) {
    return "<Item ZRID=\"" + zrid + "\" Name=\"n\" QL=\"1\"></Item>";
}

} // namespace

TEST(ItemScan, IndexesItemStartTagsAtTheirLessThanSign) {
    // Each item is 37 bytes and its identifier.
    const std::pair<std::string, std::string> cases[] = {
        // "<Items>" starts like an item tag and has no ZRID: identifier 0.
        {"<Items>" + item("30") + item("10") + "</Items>", "0@0 10@46 30@7"},
        // Only a tag right after the last ">" counts. Item 4's record starts
        // right after item 3's ">": the comment between is dropped.
        {item("1") + "\n" + item("2") + " " + item("3") + "<!-- c -->" + item("4"), "1@0 4@116"},
        // The first position wins; identifiers are read like the C library.
        {item("7") + item("7") + item("12ab") + item(" +9") + item("x") + item("-5"),
         "0@157 7@0 9@117 12@76 -5@195"},
        {"", ""},
    };
    for (const auto& [content, expected] : cases) {
        cImportedFile imported(content);
        EXPECT_EQ(entriesOf(imported.store), expected) << content;
        EXPECT_EQ(imported.store.path(), imported.file.path());
    }
}

TEST(ItemScan, ProgressEveryHundredItemsAndEventsFromTheFirstChunk) {
    std::string content;
    for (int i = 1; i <= 250; ++i)
        content += item(std::to_string(i));
    cTempItemFile file(content);
    cItemStore store;
    cFakeProgress progress;
    ASSERT_TRUE(store.scanItemFile(file.path(), progress));
    // Item 100 ends at 100/250 of the file, item 200 at 200/250; the scan
    // takes far less than the pump interval, so only its first chunk pumps.
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"begin Scanning File 0", "set 39", "set 79", "end"}));
    EXPECT_EQ(progress.pumps, 1);
}

TEST(ItemScan, ASecondImportStartsFromAnEmptyIndexAndSnapshotsStayWhole) {
    cImportedFile imported(item("1") + item("2"));
    cTempItemFile second(item("3"));
    const std::shared_ptr<const cItemIndex> before = imported.store.index();
    std::vector<std::size_t> seenDuringScan;
    cFakeProgress progress;
    progress.onPump = [&] { seenDuringScan.push_back(imported.store.itemCount()); };
    imported.store.scanItemFile(second.path(), progress);
    EXPECT_EQ(entriesOf(imported.store), "3@0");
    EXPECT_FALSE(imported.store.findItem(1));
    EXPECT_EQ(seenDuringScan, std::vector<std::size_t>(seenDuringScan.size(), 0));
    EXPECT_FALSE(seenDuringScan.empty());
    EXPECT_EQ(before->size(), 2u);
}

} // namespace quarry
