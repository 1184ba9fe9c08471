// quarry-cli on hostile input: its line formats hold whatever the item file
// holds; output it could not write, a file it could not read and a text over
// the limit end with their exit status and one clear line.
#include "../store/store_test_support.h"
#include "cli_runner.h"
#include "store/item_import.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <tuple>

namespace quarry {

namespace {

using cArguments = std::vector<std::string>;

// Names holding a line feed, tabs and a carriage return; an event holding tag
// names with a tab and a line feed in them.
const std::string kForgingItems =
    "<RDB><Item ZRID=\"5\" Name=\"Evil\n    Injected\t777\" QL=\"1\" ItemType=\"Misc\">"
    "<Event Name=\"OnUse\"><Req\tx Name=\"a\"/><Fu\nnc/></Event></Item>"
    "<Item ZRID=\"6\" Name=\"Tab\there\rcr\" QL=\"2\" ItemType=\"Misc\"></Item></RDB>";

std::string lineHolding(const std::string& text, const std::string& part) {
    const std::size_t at = text.find(part);
    if (at == std::string::npos) return "(none)";
    const std::size_t start = text.rfind('\n', at) + 1; // npos + 1 is 0
    return text.substr(start, text.find('\n', at) - start);
}

} // namespace

TEST(CliHostile, TabsAndLineBreaksInFieldsBecomeBlanks) {
    const cTempItemFile file(kForgingItems);
    const cCliResult tree = runCli({"tree", file.path()});
    EXPECT_EQ(tree.status, 0);
    EXPECT_EQ(lineHolding(tree.out, "Evil"), "    Evil     Injected 777 (QL 1)\t5");
    EXPECT_EQ(lineHolding(tree.out, "Tab"), "    Tab here cr (QL 2)\t6");
    EXPECT_EQ(tree.out.find("\r"), std::string::npos);
    EXPECT_EQ(tree.err, "cQuarry::processEvent: Encountered unsupported tag: <Req x> while "
                        "processing item with ZRID 5\n"
                        "cQuarry::processEvent: Encountered unsupported tag: <Fu nc> while "
                        "processing item with ZRID 5\n");
    const cCliResult usage = runCli({"show", file.path(), "1\n2"});
    EXPECT_EQ(lineHolding(usage.err, "identifier"), "quarry-cli: not an item identifier: 1 2");
}

TEST(CliHostile, FailedWritesEndWithOneAndTheReason) {
    const cTempItemFile file(kForgingItems);
    const std::string reason = std::string("write error: ") + std::strerror(ENOSPC);
    // Small outputs fail only when flushed at the end; "show 999" would exit 3.
    for (const cArguments& args :
         {cArguments{"index", file.path()}, cArguments{"tree", file.path()},
          cArguments{"show", file.path(), "6"}, cArguments{"show", file.path(), "999"},
          cArguments{"stats", file.path()}, cArguments{"--help"}}) {
        const cCliResult result = runCli(args, {"/dev/full"});
        EXPECT_EQ(result.status, 1) << args[0];
        EXPECT_NE(result.err.find(reason), std::string::npos) << args[0] << ": " << result.err;
    }
}

TEST(CliHostile, FilesThatCannotBeReadEndWithOneAndOneLineSayingWhy) {
    const cTempItemFile file(kForgingItems);
    const std::string fifo = file.sibling("items.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string forged = file.missingPath() + "\n\tforged";
    // Opening the FIFO would wait for a writer, reading /dev/zero would not
    // end: both are refused unopened. A regular file whose every read fails is
    // not an empty file.
    const std::pair<std::string, std::string> unreadable[] = {
        {forged, std::strerror(ENOENT)},
        {file.sibling(""), std::strerror(EISDIR)},
        {fifo, "a FIFO, not a regular file"},
        {"/dev/zero", "a device, not a regular file"},
        {"/proc/self/mem", "Input/output error (at byte 0)"}};
    for (const auto& [path, why] : unreadable) {
        for (const cArguments& args :
             {cArguments{"index", path}, cArguments{"tree", path}, cArguments{"show", path, "5"},
              cArguments{"stats", path}, cArguments{"find", path, "x"}}) {
            const cCliResult result = runCli(args, {.timeLimitSeconds = 20});
            EXPECT_EQ(result.status, 1) << args[0] << " " << path;
            EXPECT_EQ(result.out, "");
            // The name is shown on one line, its tabs and line breaks as blanks.
            const std::string shown = path == forged ? file.missingPath() + "  forged" : path;
            EXPECT_EQ(result.err, "quarry-cli: cannot read " + shown + ": " + why + "\n");
        }
    }
}

// Every command that imports says a file holds no item on standard error,
// and why when its "<Item" tags cannot be found, with the exit status of an
// empty index. A file whose every record fails is said to hold none by the
// commands that load every record.
TEST(CliHostile, FilesWithoutItemsSaySo) {
    const std::string misplaced = std::string("quarry-cli: ") + kItemTagsMisplaced + "\n";
    // content, whether the scan finds nothing, whether its tags are misplaced
    const std::tuple<std::string, bool, bool> files[] = {
        {"", true, false},
        {"12:00 started\n", true, false},
        {"<RDB>\n  <Item ZRID=\"5\" Name=\"A\" QL=\"1\"></Item>\n</RDB>", true, true},
        {"<Item ZRID=\"5\" Name=\"\" QL=\"1\"></Item>", false, false}};
    for (const auto& [content, noneIndexed, tagsMisplaced] : files) {
        const cTempItemFile file(content);
        const std::string said = "quarry-cli: No items found in " + file.path() + ".\n" +
                                 (tagsMisplaced ? misplaced : "");
        const std::string db = file.sibling("items.db");
        // The command, its exit status, whether it loads every record.
        const std::tuple<cArguments, int, bool> runs[] = {
            {{"index", file.path()}, 0, false},
            {{"show", file.path(), "5"}, 3, false},
            {{"tree", file.path()}, 0, true},
            {{"stats", file.path()}, 0, true},
            {{"find", file.path(), "x"}, 0, true},
            {{"export", file.path()}, 0, true},
            {{"export", "--format", "sqlite", "--output", db, "--force", file.path()}, 0, true}};
        for (const auto& [args, status, loadsAll] : runs) {
            const cCliResult result = runCli(args);
            EXPECT_EQ(result.status, status) << args[0] << " " << content;
            EXPECT_EQ(result.err, noneIndexed || loadsAll ? said : "") << args[0] << " " << content;
        }
    }
}

TEST(CliHostile, TextOverSixteenMebibytesSaysWhy) {
    const cTempItemFile file(
        "<Item ZRID=\"5\" Name=\"N\" QL=\"10\" ItemType=\"Misc\"><Description>" +
        std::string(16 * 1024 * 1024 + 1, 'x'));
    const cCliResult huge = runCli({"show", "--quiet", file.path(), "5"}); // told all the same
    EXPECT_EQ(huge.status, 3);
    EXPECT_EQ(huge.err, std::string(kLoadMessageCaption) +
                            ": Item 5 cannot be loaded: its description is longer than 16 MiB, "
                            "the most a text may hold.\n");
}

} // namespace quarry
