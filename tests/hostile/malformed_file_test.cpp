// Item files broken in the ways hand edits and other tools break them: a
// comment that never closes, NUL bytes, a record cut short, and an event
// full of tags nobody expects. Each is read to its end without harm, and what
// is whole in it still loads.
#include <gtest/gtest.h>

#include "cli/recorded_tree.h"
#include "hostile_support.h"
#include "report/item_report.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <string>

namespace quarry {

namespace {

const std::string kWholeItem =
    "<Item ZRID=\"41\" Name=\"Whole\" QL=\"9\" ItemType=\"Weapon\">"
    "<Description>Kept</Description>"
    "<AtkValue Name=\"Blade\" Percent=\"60\" />"
    "<Event Name=\"OnHit\"><Function Name=\"Drain\" Target=\"User\">"
    "<Requirement Stat=\"Grace\" Operator=\"Equal\" Value=\"3\"/>"
    "<Argument Value=\"12\" /></Function></Event>"
    "<Action Name=\"ToWield\"><Requirement Stat=\"Grace\" Value=\"1\"/></Action>"
    "</Item>";

struct cImport {
    cItemStore store;
    cQuietProgress progress;
    cCountingMessages messages;
    explicit cImport(const std::string& path) { EXPECT_TRUE(store.scanItemFile(path, progress)); }
    bool load(ZRID zrid, cItemRecord& record) { return store.loadItem(zrid, record, messages); }
};

} // namespace

// A comment that never closes swallows the rest of the file, however long:
// items before it load, the item it starts in fails, items after it are gone.
TEST(MalformedFile, UnterminatedCommentSwallowsTheRest) {
    cHostileFolder folder;
    const std::string tail(4 * 1024 * 1024, '-'); // dashes: near-misses of "-->" all the way
    for (const std::string opener : {"<!--", "/*"}) {
        SCOPED_TRACE(opener);
        const std::string path = folder.write(
            "comment.xml",
            kWholeItem + "<Item ZRID=\"42\" Name=\"Cut\" QL=\"1\"><Description>a</Description>" +
                opener + tail + "</Item><Item ZRID=\"43\" Name=\"Lost\" QL=\"1\"></Item>");
        cImport import(path);
        EXPECT_EQ(import.store.itemCount(), 2u);
        cItemRecord record;
        ASSERT_TRUE(import.load(41, record));
        EXPECT_EQ(record.description, "Kept");
        EXPECT_FALSE(import.load(42, record));
        EXPECT_FALSE(import.store.findItem(43).has_value());
    }
}

// "//" in a description (a web address) drops the rest of its line only; the
// description still ends at its closing tag on the next line.
TEST(MalformedFile, LineCommentEndsAtTheLineFeed) {
    cHostileFolder folder;
    const std::string path = folder.write(
        "line.xml", "<Item ZRID=\"5\" Name=\"Link\" QL=\"1\"><Description>see http://example "
                    "text\n</Description></Item>");
    cImport import(path);
    cItemRecord record;
    ASSERT_TRUE(import.load(5, record));
    EXPECT_EQ(record.description, "see http:");
}

// NUL ends a chunk like a delimiter: a NUL inside a tag splits it, a run of
// NULs between items is skipped, and items around them are untouched.
TEST(MalformedFile, NulBytesSplitChunksAndHarmNothing) {
    cHostileFolder folder;
    std::string content = kWholeItem;
    content += std::string(1 << 20, '\0');
    content += "<Item ZRID=\"44\" Name=\"Nul";
    content += '\0';
    content += "led\" QL=\"2\"></Item>";
    content += "<Item ZRID=\"45\" Name=\"After\" QL=\"2\">";
    content += '\0';
    content += "</Item>";
    const std::string path = folder.write("nul.xml", content);

    cFilteredStream stream(path);
    int chunks = 0;
    while (stream.readLines(1, ">")) {
        EXPECT_EQ(stream.text().find('\0'), std::string::npos);
        ++chunks;
    }
    EXPECT_EQ(stream.tell(), content.size());
    EXPECT_LT(chunks, 40);

    cImport import(path);
    cItemRecord record;
    EXPECT_TRUE(import.load(41, record));
    // The split tag's name value never closes: the item does not load.
    ASSERT_TRUE(import.store.findItem(44).has_value());
    EXPECT_FALSE(import.load(44, record));
    ASSERT_TRUE(import.load(45, record));
    EXPECT_EQ(record.name, "After");

    cRecordedTree tree;
    import.store.buildCategoryTree(tree, import.progress, import.messages);
    EXPECT_EQ(tree.itemCount(), 1u); // 41 under its skill folder; 45 has no type
}

// A file that ends anywhere inside a record, including in the middle of an
// event or of a tag, never loads a half record; only a record that lacks
// just the final ">" is whole.
TEST(MalformedFile, RecordCutAtEveryByte) {
    cHostileFolder folder;
    const std::size_t closing = kWholeItem.rfind("</Item>");
    const std::size_t eventStart = kWholeItem.find("<Event");
    for (std::size_t length = 1; length <= kWholeItem.size(); ++length) {
        SCOPED_TRACE(length);
        const std::string path = folder.write("cut.xml", kWholeItem.substr(0, length));
        cImport import(path);
        ASSERT_LE(import.store.itemCount(), 1u);
        cItemRecord record;
        const bool loaded = import.load(41, record);
        EXPECT_EQ(loaded, length >= closing + 6);
        if (loaded) {
            EXPECT_EQ(record.events.count("OnHit"), 1u);
        }
        EXPECT_EQ(writeItemReport(import.store, 41, import.messages) == kFailedToLoadText, !loaded);
        // A cut closing tag may be reported once per load; nothing more.
        EXPECT_LE(import.messages.count, 2u);
        if (length <= eventStart) {
            EXPECT_EQ(import.messages.count, 0u);
        }
    }
}

// 100,000 unsupported tags in one event: the store reports every one of them,
// in file order, each with the item's identifier, and the item still loads.
// (How a window shows that many is the window's choice.)
TEST(MalformedFile, HundredThousandUnsupportedTagsAreAllReported) {
    constexpr std::uint64_t kTags = 100000;
    std::string content =
        "<Item ZRID=\"46\" Name=\"Noisy\" QL=\"3\" ItemType=\"Misc\"><Event Name=\"OnUse\">";
    for (std::uint64_t i = 0; i < kTags; ++i)
        content += "<Odd" + std::to_string(i) + "/>";
    content += "</Event></Item>";
    cHostileFolder folder;
    cImport import(folder.write("noisy.xml", content));

    cItemRecord record;
    ASSERT_TRUE(import.load(46, record));
    EXPECT_EQ(record.events.count("OnUse"), 1u);
    EXPECT_EQ(import.messages.count, kTags);
    EXPECT_EQ(import.messages.first, "cQuarry::processEvent: Encountered unsupported tag: <Odd0> "
                                     "while processing item with ZRID 46");
    EXPECT_EQ(import.messages.last, "cQuarry::processEvent: Encountered unsupported tag: "
                                    "<Odd99999> while processing item with ZRID 46");

    // The tree build loads the item once more and reports them once more.
    cRecordedTree tree;
    import.store.buildCategoryTree(tree, import.progress, import.messages);
    EXPECT_EQ(import.messages.count, 2 * kTags);
    EXPECT_EQ(tree.itemCount(), 1u);
}

// The stream gives the same chunks whatever its block size, so a comment
// start or end split between two reads of the file is still found.
TEST(MalformedFile, CommentsSplitAcrossBlocks) {
    cHostileFolder folder;
    const std::string content = "a<!-- x -- y ->z -->b>c/* * / */d>e// x\r\nf>g-->h>//";
    const std::string path = folder.write("blocks.xml", content);
    std::vector<std::string> expected;
    {
        cFilteredStream stream(path);
        while (stream.readLines(1, ">"))
            expected.push_back(stream.text());
    }
    EXPECT_EQ(expected, (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g--", "h"}));
    for (std::size_t block = 1; block <= 8; ++block) {
        SCOPED_TRACE(block);
        cStreamLimits limits;
        limits.firstBlock = block;
        limits.maxBlock = block;
        cFilteredStream stream(path, limits);
        std::vector<std::string> chunks;
        while (stream.readLines(1, ">"))
            chunks.push_back(stream.text());
        EXPECT_EQ(chunks, expected);
        EXPECT_EQ(stream.tell(), content.size());
    }
}

} // namespace quarry
