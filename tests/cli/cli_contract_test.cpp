// The output contract of quarry-cli, checked by running the built tool on a
// small item file written here, and its find command on another.
#include "../store/store_test_support.h"
#include "cli_runner.h"
#include "platform/rich_text.h"
#include "report/item_report.h"

#include <gtest/gtest.h>

namespace quarry {

namespace {

using cArguments = std::vector<std::string>;

// Tags back to back, as the store reads them. "<Items>" is indexed under 0
// (any chunk starting "<Item" counts) but does not load; item 40 has no name
// and fails to load; item 30 holds two tags its event does not expect.
const std::string kItemFile =
    "<Items><Item ZRID=\"10\" Name=\"Knife\" QL=\"5\" ItemType=\"Weapon\"><Description>Sharp "
    "{edge} \\ here</Description><AtkValue Name=\"Melee\" Percent=\"100\" /></Item>"
    "<Item ZRID=\"20\" Name=\"Helmet\" QL=\"3\" ItemType=\"Armor\"><Attribute Name=\"Slot\" "
    "Value=\"Head\" /></Item><Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\"><Event Name=\"OnUse\">"
    "<Requirement Name=\"x\" Value=\"y\" /><Odd/></Event></Item>"
    "<Item ZRID=\"-5\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"40\" Name=\"\" QL=\"1\"></Item></Items>";

const std::string kUnsupportedTagLines =
    "cQuarry::processEvent: Encountered unsupported tag: <Requirement> while processing item "
    "with ZRID 30\ncQuarry::processEvent: Encountered unsupported tag: <Odd> while processing "
    "item with ZRID 30\n";

class CliContract : public ::testing::Test {
protected:
    // The report of an item as the store itself writes it for the report pane.
    std::string reportOf(ZRID zrid) {
        cFakeMessages ignored;
        return writeItemReport(items.store, zrid, ignored);
    }
    std::string offsetOf(const std::string& zrid) {
        return std::to_string(kItemFile.find("<Item ZRID=\"" + zrid + "\""));
    }

    cImportedFile items{kItemFile};
    const std::string path = items.file.path();
};

} // namespace

TEST_F(CliContract, IndexListsEntriesInUnsignedOrderShowingProgressOnlyOnATerminal) {
    std::string expected = "0\t0\n";
    for (const std::string zrid : {"10", "20", "30", "40", "-5"})
        expected += zrid + "\t" + offsetOf(zrid) + "\n";
    const cCliResult result = runCli({"index", path});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, ""); // standard error redirected to a file stays silent
    const cCliResult shown = runCli({"index", path}, {.terminal = true});
    EXPECT_EQ(shown.status, 0);
    EXPECT_NE(shown.err.find("Scanning File"), std::string::npos) << shown.err;
    EXPECT_EQ(shown.out, expected);
}

TEST_F(CliContract, TreePrintsEveryNodeInPreOrderAndStatsCountsThem) {
    std::string expected = "ZR Items\t0\n  Weapon\t0\n    Melee\t0\n      Knife (QL 5)\t10\n";
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slot == kArmorSlotFirst) expected += "  Armor\t0\n";
        if (slot == kUtilitySlotFirst) expected += "  Utility\t0\n";
        expected += std::string("    ") + kSlotNames[slot] + "\t0\n";
        if (kSlotNames[slot] == std::string("Head")) expected += "      Helmet (QL 3)\t20\n";
    }
    expected += "  Misc\t0\n    Ring (QL 25)\t-5\n  Implant\t0\n  Spirit\t0\n  NPC\t0\n"
                "  Perk\t0\n  Nanoprogram\t0\n    Calm\t30\n";
    const cCliResult result = runCli({"tree", path});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, kUnsupportedTagLines); // loading item 30

    const cCliResult stats = runCli({"stats", path});
    EXPECT_EQ(stats.status, 0);
    EXPECT_EQ(stats.err, kUnsupportedTagLines);
    // root, 7 types, 15 + 13 slots, Perk, Nanoprogram, one skill folder, 4 items
    for (const std::string& line :
         {"file size       " + std::to_string(kItemFile.size()) + " bytes\n",
          std::string("items indexed   6\n"), std::string("tree nodes      43\n"),
          std::string("items filed     4\n")})
        EXPECT_NE(stats.out.find(line), std::string::npos) << line << stats.out;
}

TEST_F(CliContract, ShowPrintsEachReportInTheAskedFormatAndEndsWithThreeWhenOneDoesNotLoad) {
    const std::string knife = reportOf(10), both = knife + "\n" + reportOf(-5) + "\n",
                      failed = std::string(kFailedToLoadText) + "\n";
    ASSERT_NE(knife.find("Sharp \\{edge\\} \\\\ here"), std::string::npos);
    const std::string plainKnife = toPlainText(readRichText(knife)) + "\n";
    ASSERT_NE(plainKnife.find("ZRID 10: Knife (QL 5)\n\nSharp {edge} \\ here"), std::string::npos);
    // Identifiers may carry a plus sign or be written in their unsigned form.
    // 40 is indexed but has no name; 999 is not indexed.
    const struct {
        cArguments args;
        int status;
        std::string out, err;
    } cases[] = {
        {{"show", path, "10", "-5"}, 0, both, ""},
        {{"show", path, "+10", "4294967291"}, 0, both, ""},
        {{"show", "--format", "rtf", path, "10", "-5"}, 0, both, ""},
        {{"show", "--format", "text", path, "10"}, 0, plainKnife, ""},
        {{"show", "--format", "html", path, "10"}, 0, toHtml(readRichText(knife)) + "\n", ""},
        {{"show", path, "30"}, 0, reportOf(30) + "\n", kUnsupportedTagLines},
        {{"show", path, "40", "10", "999"}, 3, failed + knife + "\n" + failed, ""},
        {{"show", "--format", "text", path, "999"}, 3, failed, ""}};
    for (const auto& c : cases) {
        const cCliResult result = runCli(c.args);
        EXPECT_EQ(result.status, c.status) << c.args.back();
        EXPECT_EQ(result.out, c.out) << c.args.back();
        EXPECT_EQ(result.err, c.err) << c.args.back();
    }
}

TEST_F(CliContract, WrongUsageExitsWithTwoAndTheUsage) {
    // clang-format off
    const cArguments wrong[] = {
        {}, {"frobnicate", path}, {"index"}, {"index", path, "extra"}, {"tree"},
        {"stats", path, path}, {"show", path}, {"show", path, "ten"}, {"show", path, "99999999999"},
        {"show", path, "10x"}, {"show", path, "+-10"}, {"show", path, ""},
        {"show", "--format", "pdf", path, "10"}, {"show", "--format"}, {"find", path},
        {"find", "--limit", "0", path, "knife"}, {"find", "--limit", "x", path, "knife"},
        {"find", "--columns", "", path, "knife"}, {"find", "--columns", "a,,b", path, "knife"},
        {"find", path, "knife", "--near"}, {"find", path, "--limit", "1", "knife"}}; // late options
    // clang-format on
    for (const cArguments& args : wrong) {
        const cCliResult result = runCli(args);
        EXPECT_EQ(result.status, 2) << args.size();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("usage: quarry-cli"), std::string::npos);
    }
}

TEST_F(CliContract, ALoneDoubleDashEndsTheOptionsSoAFileNameMayStartWithDashes) {
    std::filesystem::copy_file(path, items.file.sibling("--items.xml"));
    const cCliResult result =
        runCli({"show", "-q", "--", "--items.xml", "-5", "30"}, {.folder = items.file.sibling("")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, runCli({"show", path, "-5", "30"}).out);
    EXPECT_EQ(result.err, "");
}

TEST_F(CliContract, QuietDropsTheUnsupportedTagMessagesAndNothingElse) {
    // Not stats, whose timings differ from run to run.
    for (cArguments args : {cArguments{"tree", path}, cArguments{"show", path, "30", "999"},
                            cArguments{"find", path, "calm"}, cArguments{"export", path},
                            cArguments{"diff", path, path}}) {
        const cCliResult loud = runCli(args);
        EXPECT_NE(loud.err.find(kUnsupportedTagLines), std::string::npos) << args[0];
        args.insert(args.begin() + 1, args[0] == "tree" ? "--quiet" : "-q");
        const cCliResult quiet = runCli(args);
        EXPECT_EQ(quiet.status, loud.status) << args[0];
        EXPECT_EQ(quiet.out, loud.out) << args[0];
        EXPECT_EQ(quiet.err, "") << args[0];
    }
}

namespace {

// Item 40 has no type (no folder); 50 has no name and does not load; 30
// holds a tag its event does not expect; 10 has two attributes named alike.
const std::string kFindItemFile =
    "<Items><Item ZRID=\"10\" Name=\"Knife\" QL=\"5\" ItemType=\"Weapon\"><Attribute "
    "Name=\"Range\" Value=\"40\"/><Attribute Name=\"RANGE\" Value=\"7\"/></Item>"
    "<Item ZRID=\"20\" Name=\"Blue\tKnife\r\nCase\" QL=\"3\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\"><Event Name=\"OnUse\">"
    "<Requirement Name=\"x\" Value=\"y\" /></Event></Item><Item ZRID=\"40\" Name=\"Loose Knife\" "
    "QL=\"7\"></Item><Item ZRID=\"50\" Name=\"\" QL=\"1\"></Item></Items>";

const std::string kKnife = "10\t5\tKnife\n", kBlue = "20\t3\tBlue Knife  Case\n",
                  kLoose = "40\t7\tLoose Knife\n";

} // namespace

TEST(FindCommand, PrintsMatchesInTheirRankOnePerLine) {
    const cTempItemFile file(kFindItemFile);
    const std::string path = file.path();
    const struct {
        cArguments args; // "F" stands for the file
        std::string out;
    } cases[] = {{{"F", "knife"}, kKnife + kBlue + kLoose},
                 {{"F", "KNIFE", "-blue"}, kKnife + kLoose},
                 {{"--limit", "1", "F", "knife"}, kKnife},
                 {{"F", "40"}, kLoose},
                 {{"F", "50"}, ""},
                 {{"F", "calm"}, "30\t0\tCalm\n"},
                 {{"F", "knifr"}, ""},
                 {{"--near", "F", "knifr"}, kKnife + kBlue + kLoose},
                 {{"--near", "--limit", "2", "F", "loose", "knifr"}, kLoose},
                 {{"--", "F", "-20"}, ""},
                 {{"F", "-knife"}, "30\t0\tCalm\n"},
                 {{"F", "folder:misc", "or", "is:nano"}, "20\t3\tBlue Knife  Case\n30\t0\tCalm\n"},
                 // The first of two names alike in key order ("RANGE" before "Range").
                 {{"--columns", "range,Slot", "F", "knife"},
                  "10\t5\tKnife\t7\t\n20\t3\tBlue Knife  Case\t\t\n40\t7\tLoose Knife\t\t\n"}};
    for (const auto& c : cases) {
        cArguments args = {"find"};
        for (const std::string& arg : c.args)
            args.push_back(arg == "F" ? path : arg);
        const cCliResult result = runCli(args);
        EXPECT_EQ(result.status, 0) << c.args.back();
        EXPECT_EQ(result.out, c.out) << c.args.back();
    }
}

TEST(FindCommand, AQueryErrorEndsWithTwoAndItsReasonBeforeAnyImport) {
    const cTempItemFile file(kFindItemFile);
    const struct {
        std::string path, query, reason;
    } cases[] = {{file.path(), " \t", "the query is empty"},
                 {file.path(), "ql:x",
                  "\"ql:x\" takes a number N, a range N-M or a comparison "
                  "=N, !=N, <N, <=N, >N, >=N"},
                 {file.missingPath(), "(knife", "\"(\" is never closed"}};
    for (const auto& c : cases) {
        const cCliResult result = runCli({"find", c.path, c.query});
        EXPECT_EQ(result.status, 2) << c.query;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "quarry-cli: query: " + c.reason + "\n");
    }
}

} // namespace quarry
