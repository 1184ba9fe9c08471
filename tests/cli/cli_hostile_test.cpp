// quarry-cli on hostile input: its line formats hold whatever the item file
// holds; output it could not write, a file it could not read and a text over
// the limit end with their exit status and one clear line.
#include "../store/store_test_support.h"
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

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
