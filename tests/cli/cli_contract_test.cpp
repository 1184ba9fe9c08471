// The output contract of quarry-cli, checked by running the built tool on a
// small item file written here.
#include "cli_runner.h"

#include "platform/rich_text.h"
#include "report/item_report.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace quarry {

namespace {

// Tags back to back, as the store reads them. "<Items>" is indexed under 0
// (any chunk starting "<Item" counts) but does not load; item 40 has no name
// and fails to load; item 30 holds a tag its event does not expect.
const std::string kItemFile =
    "<Items>"
    "<Item ZRID=\"10\" Name=\"Knife\" QL=\"5\" ItemType=\"Weapon\">"
    "<Description>Sharp {edge} \\ here</Description>"
    "<AtkValue Name=\"Melee\" Percent=\"100\" /></Item>"
    "<Item ZRID=\"20\" Name=\"Helmet\" QL=\"3\" ItemType=\"Armor\">"
    "<Attribute Name=\"Slot\" Value=\"Head\" /></Item>"
    "<Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\">"
    "<Event Name=\"OnUse\"><Requirement Name=\"x\" Value=\"y\" /></Event></Item>"
    "<Item ZRID=\"-5\" Name=\"Ring\" QL=\"25\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"40\" Name=\"\" QL=\"1\"></Item>"
    "</Items>";

const std::string kUnsupportedTagLine = "cQuarry::processEvent: Encountered unsupported tag: "
                                        "<Requirement> while processing item with ZRID 30\n";

class CliContract : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = new std::string(std::filesystem::temp_directory_path() /
                                ("quarry-cli-items-" + std::to_string(::getpid()) + ".xml"));
        std::ofstream(*path_, std::ios::binary) << kItemFile;
    }
    static void TearDownTestSuite() {
        std::filesystem::remove(*path_);
        delete path_;
    }
    static const std::string& path() { return *path_; }

    // The report of an item as the store itself writes it for the report pane.
    static std::string reportOf(ZRID zrid) {
        struct cIgnoreMessages : cMessageSink {
            void showMessage(const std::string&, const std::string&) override {}
        } ignore;
        cItemStore store;
        struct cNoProgress : cProgressHost {
            void beginProgress(const std::string&, std::int32_t) override {}
            void setProgress(std::int32_t) override {}
            void endProgress() override {}
            void pumpMessages() override {}
        } quiet;
        store.scanItemFile(path(), quiet);
        return writeItemReport(store, zrid, ignore);
    }

    static std::string offsetOf(const std::string& tagStart) {
        return std::to_string(kItemFile.find(tagStart));
    }

private:
    static std::string* path_;
};

std::string* CliContract::path_ = nullptr;

} // namespace

TEST_F(CliContract, IndexListsEntriesInUnsignedOrder) {
    const cCliResult result = runCli({"index", path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "0\t0\n"
                          "10\t" +
                              offsetOf("<Item ZRID=\"10\"") +
                              "\n"
                              "20\t" +
                              offsetOf("<Item ZRID=\"20\"") +
                              "\n"
                              "30\t" +
                              offsetOf("<Item ZRID=\"30\"") +
                              "\n"
                              "40\t" +
                              offsetOf("<Item ZRID=\"40\"") +
                              "\n"
                              "-5\t" +
                              offsetOf("<Item ZRID=\"-5\"") + "\n");
}

TEST_F(CliContract, TreePrintsEveryNodeInPreOrder) {
    std::string expected = "ZR Items\t0\n"
                           "  Weapon\t0\n"
                           "    Melee\t0\n"
                           "      Knife (QL 5)\t10\n"
                           "  Armor\t0\n";
    for (int slot = kArmorSlotFirst; slot < kArmorSlotFirst + kArmorSlotCount; ++slot) {
        expected += std::string("    ") + kSlotNames[slot] + "\t0\n";
        if (std::string(kSlotNames[slot]) == "Head") expected += "      Helmet (QL 3)\t20\n";
    }
    expected += "  Utility\t0\n";
    for (int slot = kUtilitySlotFirst; slot < kUtilitySlotFirst + kUtilitySlotCount; ++slot)
        expected += std::string("    ") + kSlotNames[slot] + "\t0\n";
    expected += "  Misc\t0\n"
                "    Ring (QL 25)\t-5\n"
                "  Implant\t0\n"
                "  Spirit\t0\n"
                "  NPC\t0\n"
                "  Perk\t0\n"
                "  Nanoprogram\t0\n"
                "    Calm\t30\n";

    const cCliResult result = runCli({"tree", path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, expected);
    // Loading item 30 meets a tag its event does not expect: one line on stderr.
    EXPECT_EQ(result.err, kUnsupportedTagLine);
}

TEST_F(CliContract, ShowPrintsTheReportAsThePaneReceivesIt) {
    const std::string knife = reportOf(10);
    ASSERT_EQ(knife.rfind("{\\rtf", 0), 0u);
    EXPECT_NE(knife.find("Sharp \\{edge\\} \\\\ here"), std::string::npos);

    const cCliResult result = runCli({"show", path(), "10", "-5"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, knife + "\n" + reportOf(-5) + "\n");

    // Identifiers may carry a plus sign or be written in their unsigned form.
    const cCliResult spelled = runCli({"show", path(), "+10", "4294967291"});
    EXPECT_EQ(spelled.status, 0);
    EXPECT_EQ(spelled.out, result.out);

    const cCliResult explicitRtf = runCli({"show", "--format", "rtf", path(), "10"});
    EXPECT_EQ(explicitRtf.status, 0);
    EXPECT_EQ(explicitRtf.out, knife + "\n");
}

TEST_F(CliContract, ShowInOtherFormatsReadsTheReport) {
    const std::string knife = reportOf(10);

    const cCliResult text = runCli({"show", "--format", "text", path(), "10"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, toPlainText(readRichText(knife)) + "\n");
    EXPECT_NE(text.out.find("ZRID 10: Knife (QL 5)"), std::string::npos);
    EXPECT_NE(text.out.find("Sharp {edge} \\ here"), std::string::npos);
    EXPECT_EQ(text.out.find("\\{"), std::string::npos);

    const cCliResult html = runCli({"show", "--format", "html", path(), "10"});
    EXPECT_EQ(html.status, 0);
    EXPECT_EQ(html.out, toHtml(readRichText(knife)) + "\n");
}

TEST_F(CliContract, ShowOfAnItemThatDoesNotLoadExitsWithThree) {
    // 40 is indexed but has no name; 999 is not indexed. Both print the failure text.
    const cCliResult result = runCli({"show", path(), "40", "10", "999"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out, std::string(kFailedToLoadText) + "\n" + reportOf(10) + "\n" +
                              kFailedToLoadText + "\n");

    const cCliResult text = runCli({"show", "--format", "text", path(), "999"});
    EXPECT_EQ(text.status, 3);
    EXPECT_EQ(text.out, toPlainText(readRichText(kFailedToLoadText)) + "\n");
    EXPECT_NE(text.out.find(kFailedToLoadText), std::string::npos);
}

TEST_F(CliContract, ShowReportsUnsupportedTagsOnStandardError) {
    const cCliResult result = runCli({"show", path(), "30"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, reportOf(30) + "\n");
    EXPECT_EQ(result.err, kUnsupportedTagLine);
}

TEST_F(CliContract, StatsCountsTheImport) {
    const cCliResult result = runCli({"stats", path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, kUnsupportedTagLine);
    const auto has = [&](const std::string& line) {
        EXPECT_NE(result.out.find(line + "\n"), std::string::npos) << "missing: " << line << "\n"
                                                                   << result.out;
    };
    has("file size       " + std::to_string(kItemFile.size()) + " bytes");
    has("items indexed   6");
    // root, 7 types, 15 + 13 slots, Perk, Nanoprogram, one skill folder, 4 items
    has("tree nodes      43");
    has("items filed     4");
}

TEST_F(CliContract, WrongUsageExitsWithTwoAndTheUsage) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frobnicate", path()},
        {"index"},
        {"index", path(), "extra"},
        {"tree"},
        {"stats", path(), path()},
        {"show", path()},
        {"show", path(), "ten"},
        {"show", path(), "99999999999"},
        {"show", path(), "10x"},
        {"show", path(), "+-10"},
        {"show", path(), ""},
        {"show", "--format", "pdf", path(), "10"},
        {"show", "--format"},
    };
    for (const auto& args : wrong) {
        const cCliResult result = runCli(args);
        std::string joined;
        for (const auto& arg : args)
            joined += arg + " ";
        EXPECT_EQ(result.status, 2) << joined;
        EXPECT_EQ(result.out, "") << joined;
        EXPECT_NE(result.err.find("usage: quarry-cli"), std::string::npos) << joined;
    }
}

TEST_F(CliContract, UnreadableFileExitsWithOneAndOneLine) {
    const std::string missing = path() + ".missing";
    const std::string directory = std::filesystem::temp_directory_path();
    for (const std::string& file : {missing, directory}) {
        for (const char* command : {"index", "tree", "stats"}) {
            const cCliResult result = runCli({command, file});
            EXPECT_EQ(result.status, 1) << command << " " << file;
            EXPECT_EQ(result.out, "");
            ASSERT_FALSE(result.err.empty());
            EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
            EXPECT_NE(result.err.find(file), std::string::npos) << result.err;
        }
        const cCliResult show = runCli({"show", file, "10"});
        EXPECT_EQ(show.status, 1);
        EXPECT_EQ(show.out, "");
    }
}

TEST_F(CliContract, ProgressShowsOnlyOnATerminal) {
    // Standard error redirected to a file stays silent (the other tests check
    // it is empty); on a terminal the import shows what it is doing.
    const cCliResult result = runCliWithTerminalStderr({"index", path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("Scanning File"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, runCli({"index", path()}).out);
}

} // namespace quarry
