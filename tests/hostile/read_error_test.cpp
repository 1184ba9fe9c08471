// A read the system refuses is an error, never the end of the file: the scan
// and the tree build fail with the reason and build nothing from what they
// read, a load fails with a message, and the command-line tool exits 1.
#include <gtest/gtest.h>

#include "hostile_support.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <sys/wait.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace quarry {

namespace {

constexpr int kItems = 300;
// Small blocks, so a file of a few items takes many reads.
const cStreamLimits kSmallBlocks{64, 64, 16 * 1024 * 1024};

std::string itemFile() {
    std::string content;
    for (int i = 1; i <= kItems; ++i)
        content += "<Item ZRID=\"" + std::to_string(i) + "\" Name=\"Item " + std::to_string(i) +
                   "\" QL=\"5\" ItemType=\"Misc\"></Item>";
    return content;
}

// Fails reads from the `first`-th on (counting from 1), `count` of them.
class cInjectedErrors {
public:
    cInjectedErrors(int first, int count) {
        setReadFailureHook([this, first, count](RecordPosition, std::size_t) {
            const int read = ++reads_;
            return read >= first && read < first + count ? EIO : 0;
        });
    }
    ~cInjectedErrors() { setReadFailureHook({}); }

private:
    std::atomic<int> reads_{0};
};

struct cImport {
    cHostileFolder folder;
    std::string path = folder.write("items.xml", itemFile());
    cItemStore store{kSmallBlocks};
    cQuietProgress progress;
    cCountingMessages messages;
    cCountingTree tree;
};

} // namespace

TEST(ReadError, OneFailedReadFailsTheScanAndLeavesNoIndex) {
    for (const int lasting : {1, 1000000}) {
        cImport import;
        cInjectedErrors errors(20, lasting);
        const cImportResult result = import.store.scanItemFile(import.path, import.progress);
        EXPECT_TRUE(result.readFailed());
        EXPECT_NE(result.failure.find(std::strerror(EIO)), std::string::npos) << result.failure;
        EXPECT_EQ(import.store.itemCount(), 0u);
        cItemRecord record;
        EXPECT_FALSE(import.store.loadItem(1122, record, import.messages));
    }
}

TEST(ReadError, StreamStopsAtTheFailureAndNeverSkipsBytes) {
    cHostileFolder folder;
    const std::string path = folder.write("tags.xml", "<a><b><c><d><e><f>");
    cInjectedErrors errors(3, 1); // the third read, of bytes 6 to 8, fails once
    cFilteredStream stream(path, cStreamLimits{3, 3, 100});
    EXPECT_EQ(stream.readTag(), "<a>");
    EXPECT_EQ(stream.readTag(), "<b>");
    EXPECT_EQ(stream.readTag(), ">");
    EXPECT_TRUE(stream.failed());
    EXPECT_EQ(stream.tell(), 6u);
    stream.seek(0);
    EXPECT_EQ(stream.readTag(), ">"); // stays failed: a later read cannot look like a good one
}

TEST(ReadError, FailedReadDuringTheTreeBuildFailsItAndEmptiesTheTree) {
    cImport import;
    ASSERT_TRUE(import.store.scanItemFile(import.path, import.progress));
    cInjectedErrors errors(40, 1);
    const cImportResult result =
        import.store.buildCategoryTree(import.tree, import.progress, import.messages);
    EXPECT_TRUE(result.readFailed());
    EXPECT_TRUE(import.tree.labels.empty());
}

TEST(ReadError, FailedLoadSaysWhy) {
    cImport import;
    ASSERT_TRUE(import.store.scanItemFile(import.path, import.progress));
    cInjectedErrors errors(1, 1);
    EXPECT_EQ(import.store.writeItemReport(7, import.messages), kFailedToLoadText);
    EXPECT_EQ(import.messages.count, 1u);
    EXPECT_NE(import.messages.first.find("Item 7 cannot be loaded"), std::string::npos);
    EXPECT_NE(import.store.writeItemReport(7, import.messages), kFailedToLoadText);
}

TEST(ReadError, ProcessMemoryIsNotAnEmptyFile) {
    cItemStore store;
    cQuietProgress progress;
    EXPECT_TRUE(store.scanItemFile("/proc/self/mem", progress).readFailed());

    for (const char* command : {"index", "tree"}) {
        const std::string line =
            std::string("'") + QUARRY_CLI_PATH + "' " + command + " /proc/self/mem 2>&1";
        std::FILE* pipe = ::popen(line.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        for (int c; (c = std::fgetc(pipe)) != EOF;)
            output += static_cast<char>(c);
        const int status = ::pclose(pipe);
        EXPECT_EQ(WEXITSTATUS(status), 1) << output;
        EXPECT_EQ(output.rfind("quarry-cli: cannot read /proc/self/mem: ", 0), 0u) << output;
    }
}

} // namespace quarry
