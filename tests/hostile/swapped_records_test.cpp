// A file put in place of the imported one with the same size and change time
// (as "cp -p" does) passes the file check; a load then checks that its
// position still yields the requested identifier by the scan's rule, and
// fails cleanly rather than showing another item.
#include <gtest/gtest.h>

#include "hostile_support.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <filesystem>
#include <string>

namespace quarry {

namespace {

std::string record(int zrid, const std::string& ql) {
    return "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"ZRID " + std::to_string(zrid) +
           "\" QL=\"" + ql + "\" ItemType=\"Misc\"></Item>";
}

} // namespace

TEST(SwappedRecords, LoadsFailWhereThePositionHoldsAnotherIdentifier) {
    cHostileFolder folder;
    const std::string path = folder.write("items.xml", record(1, "10") + record(2, "20"));
    cItemStore store;
    cQuietProgress progress;
    cCountingMessages messages;
    ASSERT_TRUE(store.scanItemFile(path, progress));

    const auto changed = std::filesystem::last_write_time(path);
    // Same size, same time, the records in the other order.
    folder.write("items.xml", record(2, "20") + record(1, "10"));
    std::filesystem::last_write_time(path, changed);
    for (const ZRID zrid : {1, 2}) {
        cItemRecord loaded;
        EXPECT_FALSE(store.loadItem(zrid, loaded, messages)) << loaded.name;
    }
    cCountingTree tree;
    EXPECT_TRUE(store.buildCategoryTree(tree, progress, messages));
    EXPECT_EQ(tree.itemNodes(), 0u);
    EXPECT_EQ(messages.count, 0u);

    // The identifier is read as the scan reads it: "01" is item 1.
    folder.write("items.xml",
                 "<Item ZRID=\"01\" Name=\"ZRID 1\" QL=\"10\" ItemType=\"Misc\"></Item>" +
                     record(2, "20").substr(1));
    std::filesystem::last_write_time(path, changed);
    cItemRecord loaded;
    EXPECT_TRUE(store.loadItem(1, loaded, messages));
}

} // namespace quarry
