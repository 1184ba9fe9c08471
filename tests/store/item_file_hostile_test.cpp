// Item files as hand edits, other tools and accidents leave them: cut short
// anywhere, changed after the import, unreadable, or with very long tags.
// Everything ends, nothing crashes, what is whole still loads, and what cannot
// be read is reported rather than taken for the end of the file.
#include "store_test_support.h"

#include "report/item_report.h"
#include "store/filtered_stream.h"
#include "store/item_import.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace quarry {

namespace {

const std::string kWholeItem =
    "<Item ZRID=\"41\" Name=\"Whole\" QL=\"9\" ItemType=\"Weapon\">"
    "<Description>Kept</Description><AtkValue Name=\"Blade\" Percent=\"60\" />"
    "<Event Name=\"OnHit\"><Function Name=\"Drain\" Target=\"User\">"
    "<Requirement Stat=\"Grace\" Operator=\"Equal\" Value=\"3\"/>"
    "<Argument Value=\"12\" /></Function></Event>"
    "<Action Name=\"ToWield\"><Requirement Stat=\"Grace\" Value=\"1\"/></Action></Item>";

// 120 items back to back, identifiers from `first` on.
std::string itemFile(ZRID first) {
    std::string content;
    for (ZRID zrid = first; zrid < first + 120; ++zrid)
        content += "<Item ZRID=\"" + std::to_string(zrid) +
                   "\" Name=\"Item\" QL=\"1\" "
                   "ItemType=\"Misc\"><Description>Text</Description></Item>";
    return content;
}

// How many of the items from `first` on load, and how many the tree files.
std::pair<int, std::size_t> loadable(cImportedFile& imported, ZRID first = 1000) {
    int loaded = 0;
    for (ZRID zrid = first; zrid < first + 120; ++zrid) {
        cItemRecord record;
        const bool ok = imported.load(zrid, record);
        EXPECT_EQ(writeItemReport(imported.store, zrid, imported.messages) != kFailedToLoadText,
                  ok);
        loaded += ok && record.zrid == zrid;
    }
    cFakeTree tree;
    imported.build(tree);
    return {loaded, tree.itemNodes()};
}

// Fails reads number `first` to `first + count - 1` with EIO.
void failReads(int first, int count) {
    auto reads = std::make_shared<std::atomic<int>>(0);
    setReadFailureHook([=](RecordPosition, std::size_t) {
        const int read = ++*reads;
        return read >= first && read < first + count ? EIO : 0;
    });
}

} // namespace

// A file that ends anywhere inside a record never loads a half record; only a
// record that lacks just the final ">" is whole.
TEST(ItemFileHostile, RecordCutAtEveryByte) {
    const std::size_t closing = kWholeItem.rfind("</Item>");
    for (std::size_t length = 1; length <= kWholeItem.size(); ++length) {
        cImportedFile imported(kWholeItem.substr(0, length));
        cItemRecord record;
        const bool loaded = imported.load(41, record);
        EXPECT_EQ(loaded, length >= closing + 6) << length;
        EXPECT_EQ(record.events.size(), loaded ? 1u : 0u) << length;
        EXPECT_LE(imported.messages.messages.size(), 1u) << length; // a cut closing tag
    }
}

// After the import the file is deleted, cut, replaced by other bytes, the
// same items elsewhere or a folder: the index's positions belong to the file
// as scanned, so every load fails (rather than show whatever now lies there)
// until the file is imported again.
TEST(ItemFileHostile, AChangedFileFailsEveryLoadUntilImportedAgain) {
    const std::string content = itemFile(1000);
    std::mt19937 random(7);
    std::string noise(content.size(), '\0');
    for (char& c : noise)
        c = "<>/\"= aZ\0\n"[random() % 10];
    const std::string replacements[] = {"",
                                        content.substr(0, content.size() / 2),
                                        noise,
                                        "xx" + content,
                                        content + content,
                                        itemFile(5000)};
    cImportedFile imported(content);
    EXPECT_EQ(loadable(imported), (std::pair<int, std::size_t>{120, 120}));
    // Edits come later than the import, also where the clock is coarse.
    const auto scanned = std::filesystem::last_write_time(imported.file.path());
    for (const std::string& replacement : replacements) {
        imported.file.write(replacement);
        std::filesystem::last_write_time(imported.file.path(), scanned + std::chrono::seconds(1));
        EXPECT_EQ(loadable(imported), (std::pair<int, std::size_t>{0, 0})) << replacement.size();
    }
    // The same items in another order, at the same size and time.
    std::string swapped;
    for (ZRID zrid = 1119; zrid >= 1000; --zrid)
        swapped += itemFile(zrid).substr(0, content.size() / 120);
    imported.file.write(swapped);
    std::filesystem::last_write_time(imported.file.path(), scanned);
    EXPECT_EQ(loadable(imported), (std::pair<int, std::size_t>{0, 0}));
    std::filesystem::remove(imported.file.path());
    std::filesystem::create_directory(imported.file.path());
    EXPECT_EQ(loadable(imported), (std::pair<int, std::size_t>{0, 0}));
    // Every failed load says why.
    EXPECT_EQ(imported.messages.messages.size(), 8u * 2 * 120);
    for (const std::string& message : imported.messages.messages)
        EXPECT_NE(message.find("the item file changed since it was imported"), std::string::npos)
            << message;

    std::filesystem::remove(imported.file.path());
    imported.file.write(itemFile(5000));
    cFakeProgress progress;
    ASSERT_TRUE(imported.store.scanItemFile(imported.file.path(), progress));
    EXPECT_EQ(loadable(imported, 5000), (std::pair<int, std::size_t>{120, 120}));
}

// A start tag with 200,000 pairs or a value of megabytes loads in one pass
// and loses nothing, across every block boundary of the stream.
TEST(ItemFileHostile, VeryLongTagsLoadWhole) {
    std::string pairs, body = "<Attribute";
    for (int i = 0; i < 200000; ++i) {
        pairs += " p=\"\"";
        body += " x=\"1\"";
    }
    const std::string longName(2 << 20, 'n');
    cImportedFile imported("<Item Filler=\"" + std::string(2 << 20, 'f') + "\"" + pairs +
                           " ZRID=\"3\" Name=\"Many\" QL=\"2\" ItemType=\"Misc\">" + body +
                           " Name=\"k\" Value=\"v\"/></Item><Item ZRID=\"8\" Name=\"" + longName +
                           "\" QL=\"4\" ItemType=\"Misc\"><Description>short</Description></Item>");
    cItemRecord record;
    ASSERT_TRUE(imported.load(3, record));
    EXPECT_EQ(record.itemType, 3);
    EXPECT_EQ(record.attributes.at("k"), "v");
    ASSERT_TRUE(imported.load(8, record));
    EXPECT_EQ(record.name, longName);
    EXPECT_EQ(record.description, "short");
    EXPECT_NE(writeItemReport(imported.store, 8, imported.messages).find(longName),
              std::string::npos);
}

// A failed read, passing or lasting, fails the scan, the tree build and the
// load; it is never skipped or taken for the end of the file.
TEST(ItemFileHostile, AFailedReadFailsTheWorkAndIsNeverSkipped) {
    cImportedFile imported(itemFile(1000));
    const std::string path = imported.file.path();
    for (const int lasting : {1, 1000000}) {
        cItemStore store(cStreamLimits{64, 64, 1024});
        cFakeProgress progress;
        failReads(20, lasting);
        const cImportResult scan = store.scanItemFile(path, progress);
        setReadFailureHook({});
        EXPECT_TRUE(scan.readFailed());
        EXPECT_EQ(scan.failure, std::string(std::strerror(EIO)) + " (at byte 1216)");
        EXPECT_EQ(store.itemCount(), 0u);

        ASSERT_TRUE(store.scanItemFile(path, progress));
        cFakeTree tree;
        failReads(40, lasting);
        EXPECT_TRUE(store.buildCategoryTree(tree, progress, imported.messages).readFailed());
        EXPECT_TRUE(tree.nodes.empty());
        failReads(1, lasting);
        EXPECT_EQ(writeItemReport(store, 1007, imported.messages), kFailedToLoadText);
        setReadFailureHook({});
        EXPECT_NE(imported.messages.messages.back().find(
                      "Item 1007 cannot be loaded: the item file cannot be read"),
                  std::string::npos);
    }
}

// A text longer than the stream keeps fails its item's load with a message
// that names which text it was.
TEST(ItemFileHostile, ATextOverTheLimitFailsTheLoadAndSaysWhich) {
    const std::string longText(300, 'x');
    const std::pair<std::string, const char*> cases[] = {
        {"<Description>" + longText + "</Description>", "its description"},
        {"<Event Name=\"E\"><Function Name=\"" + longText + "\" /></Event>", "a <Function> tag"},
        {"", "its start tag"},
    };
    for (const auto& [body, which] : cases) {
        cTempItemFile file("<Item ZRID=\"5\" Name=\"" + (body.empty() ? longText : "N") +
                           "\" QL=\"10\" ItemType=\"Misc\">" + body + "</Item>");
        cItemStore store(cStreamLimits{8 * 1024, 1024 * 1024, 256});
        cFakeProgress progress;
        cFakeMessages messages;
        ASSERT_TRUE(store.scanItemFile(file.path(), progress));
        EXPECT_EQ(writeItemReport(store, 5, messages), kFailedToLoadText);
        EXPECT_EQ(messages.messages,
                  std::vector<std::string>{std::string(kLoadMessageCaption) +
                                           ": Item 5 cannot be loaded: " + which +
                                           " is longer than 256 bytes, the most a text may hold."});
    }
}

// A file touched, cut, rewritten in place at the same size and time, or
// replaced by another file while it is imported fails the whole import, at
// whatever moment: nothing built from it is kept.
TEST(ItemFileHostile, AFileChangedDuringTheImportFailsItWhole) {
    // More items than the tree build loads ahead, so some are read after an
    // edit made when the first is filed.
    std::string content, reordered; // the same items and size, in another order
    const std::size_t itemSize = itemFile(1000).size() / 120;
    for (ZRID first = 1000; first < 3400; first += 120)
        content += itemFile(first);
    for (ZRID zrid = 3399; zrid >= 1000; --zrid)
        reordered += itemFile(zrid).substr(0, itemSize);
    using cEdit = std::function<void(const cTempItemFile&)>;
    const auto keepTime = [](const cTempItemFile& file, auto&& edit) {
        const auto time = std::filesystem::last_write_time(file.path());
        edit();
        std::filesystem::last_write_time(file.path(), time);
    };
    const std::pair<const char*, cEdit> edits[] = {
        {"touched",
         [](const cTempItemFile& file) {
             std::filesystem::last_write_time(file.path(),
                                              std::filesystem::last_write_time(file.path()) +
                                                  std::chrono::seconds(1));
         }},
        {"cut",
         [&](const cTempItemFile& file) { file.write(content.substr(0, content.size() / 2)); }},
        {"rewritten",
         [&](const cTempItemFile& file) { keepTime(file, [&] { file.write(reordered); }); }},
        {"replaced",
         [&](const cTempItemFile& file) {
             keepTime(file, [&] {
                 std::ofstream(file.sibling("new.xml"), std::ios::binary) << reordered;
                 std::filesystem::rename(file.sibling("new.xml"), file.path());
             });
         }},
    };
    struct cEditingSink : cLoadedItemSink {
        void itemLoaded(const cItemRecord&, const cItemFolders&) override {
            if (items++ == 0 && edit) edit();
        }
        std::function<void()> edit;
        int items = 0;
    };
    for (const auto& [what, edit] : edits) {
        for (const char* when : {"scanning", "between", "building"}) {
            cTempItemFile file(content);
            cItemStore store;
            cFakeProgress progress;
            cFakeMessages messages;
            cEditingSink sink;
            const std::string moment = when;
            bool edited = false;
            const auto editOnce = [&] { edited = edited || (edit(file), true); };
            if (moment == "scanning") progress.onPump = editOnce;
            if (moment == "building") sink.edit = editOnce;
            cItemImport import(store, progress, messages);
            cImportResult result = import.scan(file.path());
            if (moment == "between") editOnce();
            cFakeTree tree;
            if (result) result = import.buildTree(tree, &sink);
            EXPECT_EQ(result.outcome, cImportResult::eOutcome::changed) << what << " " << when;
            EXPECT_TRUE(edited && tree.nodes.empty()) << what << " " << when;
        }
    }
}

} // namespace quarry
