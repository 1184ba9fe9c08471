// The output contract of quarry-cli, checked by running the built tool on a
// small item file written here, and its find command on another.
#include "../store/store_test_support.h"
#include "cli_runner.h"
#include "platform/rich_text.h"
#include "report/item_report.h"

#include <gtest/gtest.h>

#include <string>

namespace quarry {

namespace {

using cArguments = std::vector<std::string>;

// Tags back to back, as the store reads them. "<Items>" is indexed under 0
// (any chunk starting "<Item" counts) but does not load; item 40 has no name
// and fails to load; item 30 holds two tags its event does not expect.
const std::string kItemFile =
    "<Items><Item ZRID=\"10\" Name=\"Knife\" QL=\"5\" ItemType=\"Weapon\">"
    "<Description>Sharp {edge} \\ here</Description>"
    "<AtkValue Name=\"Melee\" Percent=\"100\" /></Item>"
    "<Item ZRID=\"20\" Name=\"Helmet\" QL=\"3\" ItemType=\"Armor\">"
    "<Attribute Name=\"Slot\" Value=\"Head\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\">"
    "<Event Name=\"OnUse\"><Requirement Name=\"x\" Value=\"y\" /><Odd/></Event></Item>"
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

TEST_F(CliContract, IndexListsEntriesInUnsignedOrder) {
    const cCliResult result = runCli({"index", path});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "0\t0\n10\t" + offsetOf("10") + "\n20\t" + offsetOf("20") + "\n30\t" +
                              offsetOf("30") + "\n40\t" + offsetOf("40") + "\n-5\t" +
                              offsetOf("-5") + "\n");
}

TEST_F(CliContract, TreePrintsEveryNodeInPreOrder) {
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
}

TEST_F(CliContract, ShowPrintsEachReportInTheAskedFormat) {
    const std::string knife = reportOf(10);
    ASSERT_NE(knife.find("Sharp \\{edge\\} \\\\ here"), std::string::npos);
    const std::string both = knife + "\n" + reportOf(-5) + "\n";
    // Identifiers may carry a plus sign or be written in their unsigned form.
    for (const cArguments& args :
         {cArguments{"show", path, "10", "-5"}, cArguments{"show", path, "+10", "4294967291"},
          cArguments{"show", "--format", "rtf", path, "10", "-5"}}) {
        const cCliResult result = runCli(args);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, both);
    }
    const cCliResult text = runCli({"show", "--format", "text", path, "10"});
    EXPECT_EQ(text.out, toPlainText(readRichText(knife)) + "\n");
    EXPECT_NE(text.out.find("ZRID 10: Knife (QL 5)\n\nSharp {edge} \\ here"), std::string::npos);
    const cCliResult html = runCli({"show", "--format", "html", path, "10"});
    EXPECT_EQ(html.out, toHtml(readRichText(knife)) + "\n");
    EXPECT_EQ(text.status + html.status, 0);

    const cCliResult noisy = runCli({"show", path, "30"});
    EXPECT_EQ(noisy.status, 0);
    EXPECT_EQ(noisy.out, reportOf(30) + "\n");
    EXPECT_EQ(noisy.err, kUnsupportedTagLines);
}

TEST_F(CliContract, ShowOfAnItemThatDoesNotLoadExitsWithThree) {
    // 40 is indexed but has no name; 999 is not indexed.
    const cCliResult result = runCli({"show", path, "40", "10", "999"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out, std::string(kFailedToLoadText) + "\n" + reportOf(10) + "\n" +
                              kFailedToLoadText + "\n");
    const cCliResult text = runCli({"show", "--format", "text", path, "999"});
    EXPECT_EQ(text.status, 3);
    EXPECT_EQ(text.out, std::string(kFailedToLoadText) + "\n");
}

TEST_F(CliContract, StatsCountsTheImport) {
    const cCliResult result = runCli({"stats", path});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, kUnsupportedTagLines);
    // root, 7 types, 15 + 13 slots, Perk, Nanoprogram, one skill folder, 4 items
    for (const std::string& line :
         {"file size       " + std::to_string(kItemFile.size()) + " bytes\n",
          std::string("items indexed   6\n"), std::string("tree nodes      43\n"),
          std::string("items filed     4\n")})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
}

TEST_F(CliContract, WrongUsageExitsWithTwoAndTheUsage) {
    // clang-format off
    const cArguments wrong[] = {
        {}, {"frobnicate", path}, {"index"}, {"index", path, "extra"}, {"tree"},
        {"stats", path, path}, {"show", path}, {"show", path, "ten"}, {"show", path, "99999999999"},
        {"show", path, "10x"}, {"show", path, "+-10"}, {"show", path, ""},
        {"show", "--format", "pdf", path, "10"}, {"show", "--format"}};
    // clang-format on
    for (const cArguments& args : wrong) {
        const cCliResult result = runCli(args);
        EXPECT_EQ(result.status, 2) << args.size();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("usage: quarry-cli"), std::string::npos);
    }
}

TEST_F(CliContract, UnreadableFileExitsWithOneAndOneLine) {
    for (const std::string& file : {items.file.sibling("missing.xml"), items.file.sibling("")}) {
        for (const cArguments& args : {cArguments{"index", file}, cArguments{"tree", file},
                                       cArguments{"stats", file}, cArguments{"show", file, "10"}}) {
            const cCliResult result = runCli(args);
            EXPECT_EQ(result.status, 1) << args[0] << " " << file;
            EXPECT_EQ(result.out, "");
            ASSERT_FALSE(result.err.empty());
            EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
            EXPECT_NE(result.err.find(file), std::string::npos) << result.err;
        }
    }
}

TEST_F(CliContract, ProgressShowsOnlyOnATerminal) {
    // Standard error redirected to a file stays silent (the other tests check
    // it is empty); on a terminal the import shows what it is doing.
    cCliRunOptions onTerminal;
    onTerminal.terminal = true;
    const cCliResult result = runCli({"index", path}, onTerminal);
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("Scanning File"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, runCli({"index", path}).out);
}

namespace {

// Item 40 has no type (no folder); 50 has no name and does not load; 30
// holds a tag its event does not expect.
const std::string kFindItemFile =
    "<Items><Item ZRID=\"10\" Name=\"Knife\" QL=\"5\" ItemType=\"Weapon\">"
    "<AtkValue Name=\"Melee\" Percent=\"100\" /></Item>"
    "<Item ZRID=\"20\" Name=\"Blue\tKnife\r\nCase\" QL=\"3\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\">"
    "<Event Name=\"OnUse\"><Requirement Name=\"x\" Value=\"y\" /></Event></Item>"
    "<Item ZRID=\"40\" Name=\"Loose Knife\" QL=\"7\"></Item>"
    "<Item ZRID=\"50\" Name=\"\" QL=\"1\"></Item></Items>";

const std::string kKnife = "10\t5\tKnife\n", kBlue = "20\t3\tBlue Knife  Case\n",
                  kLoose = "40\t7\tLoose Knife\n";

} // namespace

TEST(FindCommand, PrintsMatchesAndEndsAsTheContractSays) {
    const cTempItemFile file(kFindItemFile);
    const std::string path = file.path();
    const struct {
        std::vector<std::string> args; // "F" stands for the file
        int status;
        std::string out;
    } cases[] = {
        {{"F", "knife"}, 0, kKnife + kBlue + kLoose},
        {{"F", "KNIFE", "-blue"}, 0, kKnife + kLoose},
        {{"F", "ql:3-5"}, 0, kBlue + kKnife},
        {{"--limit", "1", "F", "knife"}, 0, kKnife},
        {{"F", "40"}, 0, kLoose},
        {{"F", "50"}, 0, ""},
        {{"F", "calm"}, 0, "30\t0\tCalm\n"},
        {{"F", "knifr"}, 0, ""},
        {{"--near", "F", "knifr"}, 0, kBlue + kKnife + kLoose},
        {{"--near", "--limit", "2", "F", "loose", "knifr"}, 0, kLoose},
        {{"--", "F", "-20"}, 0, ""},
        {{"F"}, 2, ""},
        {{"F", "-knife"}, 2, ""},
        {{"F", " \t"}, 2, ""},
        {{"--limit", "0", "F", "knife"}, 2, ""},
        {{"--limit", "x", "F", "knife"}, 2, ""},
        {{"F.missing", "knife"}, 1, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"find"};
        for (const std::string& arg : c.args)
            args.push_back(arg[0] == 'F' ? path + arg.substr(1) : arg);
        const cCliResult result = runCli(args);
        EXPECT_EQ(result.status, c.status) << c.args.back();
        EXPECT_EQ(result.out, c.out) << c.args.back();
        EXPECT_EQ(result.err.find("usage: quarry-cli") != std::string::npos, c.status == 2);
    }
    // The import is the tree's, with the same message about item 30.
    const std::string err = runCli({"find", path, "knife"}).err;
    EXPECT_NE(err.find("<Requirement>"), std::string::npos);
    EXPECT_EQ(err, runCli({"tree", path}).err);
}

} // namespace quarry
