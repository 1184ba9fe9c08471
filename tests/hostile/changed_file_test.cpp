// The item file changes after the import: it is deleted, truncated, replaced
// by other bytes or by a folder, or changed while the category tree is being
// built. The index's positions belong to the file as scanned, so every later
// load fails cleanly (rather than showing whatever record now lies there)
// until the file is imported again; nothing crashes.
#include <gtest/gtest.h>

#include "cli/recorded_tree.h"
#include "hostile_support.h"
#include "report/item_report.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace quarry {

namespace {

constexpr int kItems = 120;

struct cSpan {
    ZRID zrid;
    std::size_t start;
    std::size_t end;
};

// Items back to back; `spans` receives where each record lies.
std::string itemFile(std::vector<cSpan>* spans, ZRID firstZrid = 1000) {
    static const char* const types[] = {"Weapon", "Armor", "Utility", "Misc"};
    std::string content;
    for (int i = 0; i < kItems; ++i) {
        const std::size_t start = content.size();
        const ZRID zrid = firstZrid + i;
        content += "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"Item " + std::to_string(i) +
                   "\" QL=\"" + std::to_string(i % 200 + 1) + "\" ItemType=\"" + types[i % 4] +
                   "\">";
        content += "<Description>Text " + std::to_string(i) + "</Description>";
        content += "<Attribute Name=\"Slot\" Value=\"Head HUD1\" /><AtkValue Name=\"Blade\" "
                   "Percent=\"5\" />";
        content += "<Event Name=\"OnUse\"><Function Name=\"Hit\"><Argument Value=\"3\" "
                   "/></Function></Event>";
        content += "</Item>";
        if (spans) spans->push_back(cSpan{zrid, start, content.size()});
    }
    return content;
}

struct cImported {
    cHostileFolder folder;
    std::vector<cSpan> spans;
    std::string content = itemFile(&spans);
    std::string path = folder.write("items.xml", content);
    cItemStore store;
    cQuietProgress progress;
    cCountingMessages messages;
    cImported() { EXPECT_TRUE(store.scanItemFile(path, progress)); }

    // Loads every item of the import; answers how many loaded. A loaded
    // record is always a whole one.
    int loadAll() {
        int loaded = 0;
        for (const cSpan& span : spans) {
            cItemRecord record;
            const bool ok = store.loadItem(span.zrid, record, messages);
            EXPECT_EQ(writeItemReport(store, span.zrid, messages) != kFailedToLoadText, ok);
            if (!ok) continue;
            ++loaded;
            EXPECT_NE(record.zrid, 0);
            EXPECT_FALSE(record.name.empty());
        }
        return loaded;
    }
    std::size_t treeItems() {
        cRecordedTree tree;
        store.buildCategoryTree(tree, progress, messages);
        EXPECT_GE(tree.nodeCount(), 1u);
        return tree.itemCount();
    }
};

} // namespace

TEST(ChangedFile, ImportedFileIsWhole) {
    cImported file;
    ASSERT_EQ(file.store.itemCount(), static_cast<std::size_t>(kItems));
    EXPECT_EQ(file.loadAll(), kItems);
    EXPECT_EQ(file.treeItems(), static_cast<std::size_t>(kItems)); // one folder each
}

TEST(ChangedFile, DeletedFileFailsEveryLoad) {
    cImported file;
    std::filesystem::remove(file.path);
    EXPECT_EQ(file.loadAll(), 0);
    EXPECT_EQ(file.treeItems(), 0u);
    EXPECT_EQ(file.messages.count, 0u);
}

TEST(ChangedFile, TruncatedFileFailsEveryLoad) {
    cImported file;
    std::vector<std::size_t> cuts = {0, 1, file.content.size() / 2, file.content.size() - 1};
    for (const cSpan& span : {file.spans[3], file.spans[60]})
        for (std::size_t at = span.start; at <= span.end; at += 7)
            cuts.push_back(at);
    for (std::size_t cut : cuts) {
        SCOPED_TRACE(cut);
        file.folder.write("items.xml", file.content);
        std::filesystem::resize_file(file.path, cut);
        EXPECT_EQ(file.loadAll(), 0);
        EXPECT_EQ(file.treeItems(), 0u);
    }
}

// Importing the changed file again makes its items loadable again.
TEST(ChangedFile, ImportingAgainLoadsTheNewFile) {
    cImported file;
    std::vector<cSpan> otherSpans;
    file.folder.write("items.xml", itemFile(&otherSpans, 5000));
    EXPECT_EQ(file.loadAll(), 0);
    ASSERT_TRUE(file.store.scanItemFile(file.path, file.progress));
    for (const cSpan& span : otherSpans) {
        cItemRecord record;
        ASSERT_TRUE(file.store.loadItem(span.zrid, record, file.messages));
        EXPECT_EQ(record.zrid, span.zrid);
    }
}

TEST(ChangedFile, ReplacedFileNeverCrashes) {
    cImported file;
    std::mt19937 random(7); // the same bytes every run
    std::string noise(file.content.size(), '\0');
    for (char& c : noise)
        c = static_cast<char>("<>/\"= aZ\0\n"[random() % 10]);
    std::vector<cSpan> otherSpans;
    const std::vector<std::string> replacements = {
        "",                          // emptied
        noise,                       // same size, other bytes
        "xx" + file.content,         // every position now inside a tag
        itemFile(&otherSpans, 5000), // other items at the same positions
        file.content + file.content, // grown
    };
    for (std::size_t i = 0; i < replacements.size(); ++i) {
        SCOPED_TRACE(i);
        file.folder.write("items.xml", replacements[i]);
        // Other items at the old positions, or the same ones moved, are never
        // shown in place of the item asked for.
        EXPECT_EQ(file.loadAll(), 0);
        EXPECT_EQ(file.treeItems(), 0u);
    }
    // A folder where the file was.
    std::filesystem::remove(file.path);
    std::filesystem::create_directory(file.path);
    EXPECT_EQ(file.loadAll(), 0);
    EXPECT_EQ(file.treeItems(), 0u);
}

// The tree build lets window events run between loads; the file changing
// under it then ends or shortens the build, and nothing breaks.
TEST(ChangedFile, ChangedDuringTreeBuild) {
    for (int change = 0; change < 3; ++change) {
        SCOPED_TRACE(change);
        cImported file;
        int pumps = 0;
        file.progress.onPump = [&] {
            if (++pumps != kItems / 3) return;
            if (change == 0) std::filesystem::resize_file(file.path, file.content.size() / 2);
            if (change == 1) std::filesystem::remove(file.path);
            if (change == 2) file.folder.write("items.xml", "<Item ZRID=\"1\">");
        };
        const std::size_t built = file.treeItems();
        EXPECT_GT(built, 0u);
        EXPECT_LT(built, 3u * kItems);
    }
}

} // namespace quarry
