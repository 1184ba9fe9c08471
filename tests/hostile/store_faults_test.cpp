// Faults of the file under the store: a failed read fails the import (never
// taken for the end of the file), a file swapped for one of the same size and
// time loads no other item, a text over the chunk limit fails its item's load
// with a message naming it.
#include <gtest/gtest.h>

#include "cli/recorded_tree.h"
#include "hostile_support.h"
#include "report/item_report.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <sys/wait.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

namespace quarry {

namespace {

std::string record(int zrid, const std::string& body = "", const std::string& name = "N") {
    return "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"" + name +
           "\" QL=\"10\" ItemType=\"Misc\">" + body + "</Item>";
}

// Fails reads number `first` to `first + count - 1` with EIO.
void failReads(int first, int count) {
    auto reads = std::make_shared<std::atomic<int>>(0);
    setReadFailureHook([=](RecordPosition, std::size_t) {
        const int read = ++*reads;
        return read >= first && read < first + count ? EIO : 0;
    });
}

// Standard error and exit status of quarry-cli with `arguments`.
std::pair<std::string, int> runCli(const std::string& arguments) {
    std::FILE* pipe =
        ::popen((std::string(QUARRY_CLI_PATH) + " " + arguments + " 2>&1 >/dev/null").c_str(), "r");
    std::string output;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        output += static_cast<char>(c);
    return {output, WEXITSTATUS(::pclose(pipe))};
}

} // namespace

TEST(StoreFaults, FailedReadFailsTheImportAndIsNeverSkipped) {
    cHostileFolder folder;
    std::string content;
    for (int zrid = 1; zrid <= 200; ++zrid)
        content += record(zrid);
    const std::string path = folder.write("items.xml", content);
    cQuietProgress progress;
    cCountingMessages messages;
    for (const int lasting : {1, 1000000}) { // one transient error, then a lasting one
        cItemStore store(cStreamLimits{64, 64, 1024});
        failReads(20, lasting);
        const cImportResult scan = store.scanItemFile(path, progress);
        setReadFailureHook({});
        EXPECT_TRUE(scan.readFailed());
        EXPECT_EQ(scan.failure, std::string(std::strerror(EIO)) + " (at byte 1216)");
        EXPECT_EQ(store.itemCount(), 0u);

        ASSERT_TRUE(store.scanItemFile(path, progress));
        cRecordedTree tree;
        failReads(40, lasting);
        EXPECT_TRUE(store.buildCategoryTree(tree, progress, messages).readFailed());
        EXPECT_EQ(tree.nodeCount(), 0u);
        failReads(1, lasting);
        EXPECT_EQ(writeItemReport(store, 7, messages), kFailedToLoadText);
        setReadFailureHook({});
        EXPECT_NE(messages.last.find("Item 7 cannot be loaded: the item file cannot be read"),
                  std::string::npos);
    }
    // A regular file whose every read fails is not an empty file.
    EXPECT_EQ(runCli("index /proc/self/mem"),
              std::make_pair(std::string("quarry-cli: cannot read /proc/self/mem: Input/output "
                                         "error (at byte 0)\n"),
                             1));
}

TEST(StoreFaults, SwappedFileOfTheSameSizeAndTimeLoadsNoOtherItem) {
    cHostileFolder folder;
    const std::string path = folder.write("items.xml", record(1) + record(2));
    cItemStore store;
    cQuietProgress progress;
    cCountingMessages messages;
    ASSERT_TRUE(store.scanItemFile(path, progress));
    const auto changed = std::filesystem::last_write_time(path);
    folder.write("items.xml", record(2) + record(1));
    std::filesystem::last_write_time(path, changed);
    cItemRecord loaded;
    EXPECT_FALSE(store.loadItem(1, loaded, messages));
    EXPECT_FALSE(store.loadItem(2, loaded, messages));
    cRecordedTree tree;
    EXPECT_TRUE(store.buildCategoryTree(tree, progress, messages));
    EXPECT_EQ(tree.itemCount(), 0u);
    EXPECT_EQ(messages.count, 0u);
}

TEST(StoreFaults, TextOverTheLimitFailsTheLoadAndSaysWhich) {
    const std::string longText(300, 'x');
    const std::pair<std::string, const char*> cases[] = {
        {record(5, "<Description>" + longText + "</Description>"), "its description"},
        {record(5, "", longText), "its start tag"},
        {record(5, "<Event Name=\"E\"><Function Name=\"" + longText + "\" /></Event>"),
         "a <Function> tag"},
    };
    for (const auto& [content, which] : cases) {
        cHostileFolder folder;
        const std::string path = folder.write("items.xml", content);
        cItemStore store(cStreamLimits{8 * 1024, 1024 * 1024, 256});
        cQuietProgress progress;
        cCountingMessages messages;
        ASSERT_TRUE(store.scanItemFile(path, progress));
        EXPECT_EQ(writeItemReport(store, 5, messages), kFailedToLoadText);
        EXPECT_EQ(messages.first, std::string(kLoadMessageCaption) +
                                      ": Item 5 cannot be loaded: " + which +
                                      " is longer than 256 bytes, the most a text may hold.");
    }
    cHostileFolder folder;
    const std::string huge = std::string(16 * 1024 * 1024 + 1, 'x');
    const std::string path = folder.write("items.xml", record(5, "<Description>" + huge));
    EXPECT_EQ(runCli("show " + path + " 5"),
              std::make_pair(std::string(kLoadMessageCaption) +
                                 ": Item 5 cannot be loaded: its description is longer than 16 "
                                 "MiB, the most a text may hold.\n",
                             3));
}

} // namespace quarry
