// Inputs far larger than any sane item file: one chunk of a gigabyte and an
// item start tag of ten megabytes. Reading them takes time linear in their
// length, and memory stays within the stream's chunk cap.
#include <gtest/gtest.h>

#include "cli/recorded_tree.h"
#include "hostile_support.h"
#include "report/item_report.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <cstdio>
#include <string>
#include <vector>

namespace quarry {

namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;
constexpr std::size_t kTenMiB = 10 * 1024 * 1024;

// A file that begins with `head` and goes on with 'x' up to `size` bytes:
// no delimiter, no comment, no NUL after the head.
void writeFilledFile(const std::string& path, const std::string& head, std::uint64_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(head.data(), 1, head.size(), file), head.size());
    const std::vector<char> block(1 << 20, 'x');
    for (std::uint64_t written = head.size(); written < size;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - written));
        ASSERT_EQ(std::fwrite(block.data(), 1, n, file), n);
        written += n;
    }
    ASSERT_EQ(std::fclose(file), 0);
}

} // namespace

// A gigabyte without ">" is one chunk: the stream consumes it all, keeps its
// first chunkLimit bytes, and the whole import holds a few chunks at most.
TEST(HugeInput, GigabyteWithoutDelimiterIsOneCappedChunk) {
    cHostileFolder folder;
    const std::string path = folder.path("one-chunk.xml");
    const std::string head = "<Item ZRID=\"1\" Name=\"";
    writeFilledFile(path, head, kGiB);
    const std::uint64_t before = peakMemoryMiB();
    const std::size_t cap = cStreamLimits().chunkLimit;
    ASSERT_LT(cap, 64u * 1024 * 1024) << "the chunk cap no longer bounds memory";

    {
        cFilteredStream stream(path);
        ASSERT_EQ(stream.totalSize(), kGiB);
        ASSERT_TRUE(stream.readLines(1, ">"));
        EXPECT_EQ(stream.text().size(), cap);
        EXPECT_EQ(stream.text().compare(0, head.size(), head), 0);
        EXPECT_EQ(stream.tell(), kGiB);
        EXPECT_EQ(stream.percentRead(), 100);
        EXPECT_FALSE(stream.readLines(1, ">"));
    }

    cItemStore store;
    cQuietProgress progress;
    cCountingMessages messages;
    ASSERT_TRUE(store.scanItemFile(path, progress));
    ASSERT_EQ(store.itemCount(), 1u);
    EXPECT_EQ(store.findItem(1), RecordPosition{0});
    // The start tag is longer than what is kept: a clean failure that says so.
    EXPECT_EQ(writeItemReport(store, 1, messages), kFailedToLoadText);
    EXPECT_EQ(messages.count, 1u);

    // Without the cap the chunk alone would need a gigabyte.
    EXPECT_LT(peakMemoryMiB() - before, 400u);
}

// An item start tag of ten megabytes loses nothing: the long attribute before
// or after the ZRID is read through, and every value arrives whole.
TEST(HugeInput, TenMegabyteItemTagLoadsWhole) {
    cHostileFolder folder;
    const std::string filler(kTenMiB, 'f');
    const std::string longName(kTenMiB, 'n');
    const std::string body =
        "<Description>short</Description><Attribute Name=\"Slot\" Value=\"Head\" /></Item>";
    const std::string content =
        "<Item Filler=\"" + filler + "\" ZRID=\"7\" Name=\"Padded\" QL=\"3\" ItemType=\"Armor\">" +
        body + "<Item ZRID=\"8\" Name=\"" + longName + "\" QL=\"4\" ItemType=\"Misc\">" + body;
    const std::string path = folder.write("long-tags.xml", content);

    cItemStore store;
    cQuietProgress progress;
    cCountingMessages messages;
    ASSERT_TRUE(store.scanItemFile(path, progress));
    ASSERT_EQ(store.itemCount(), 2u);
    EXPECT_EQ(store.findItem(7), RecordPosition{0});
    EXPECT_EQ(store.findItem(8), RecordPosition{content.find("<Item ZRID=\"8\"")});

    cItemRecord padded;
    ASSERT_TRUE(store.loadItem(7, padded, messages));
    EXPECT_EQ(padded.name, "Padded");
    EXPECT_EQ(padded.ql, 3);
    EXPECT_EQ(padded.description, "short");
    EXPECT_TRUE(padded.attributeContains("Slot", "Head"));

    cItemRecord named;
    ASSERT_TRUE(store.loadItem(8, named, messages));
    EXPECT_EQ(named.name, longName);
    EXPECT_EQ(named.description, "short");
    const std::string report = writeItemReport(store, 8, messages);
    EXPECT_NE(report.find(longName), std::string::npos);

    cRecordedTree tree;
    store.buildCategoryTree(tree, progress, messages);
    EXPECT_EQ(tree.itemCount(), 2u);
    EXPECT_EQ(messages.count, 0u);
}

} // namespace quarry
