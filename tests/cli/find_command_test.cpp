// quarry-cli find, run as a subprocess: what it prints, in which order, what
// goes to standard error, and how it ends.
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace quarry {

namespace {

// Item 40 has no type, so no folder; item 50 has no name and does not load;
// item 30 holds a tag its event does not expect.
const std::string kItemFile =
    "<Items>"
    "<Item ZRID=\"10\" Name=\"Knife\" QL=\"5\" ItemType=\"Weapon\">"
    "<AtkValue Name=\"Melee\" Percent=\"100\" /></Item>"
    "<Item ZRID=\"20\" Name=\"Blue\tKnife\r\nCase\" QL=\"3\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\">"
    "<Event Name=\"OnUse\"><Requirement Name=\"x\" Value=\"y\" /></Event></Item>"
    "<Item ZRID=\"40\" Name=\"Loose Knife\" QL=\"7\"></Item>"
    "<Item ZRID=\"50\" Name=\"\" QL=\"1\"></Item>"
    "</Items>";

class FindCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = std::filesystem::temp_directory_path() /
                ("quarry-find-items-" + std::to_string(::getpid()) + ".xml");
        std::ofstream(path_, std::ios::binary) << kItemFile;
    }
    static void TearDownTestSuite() { std::filesystem::remove(path_); }
    static std::string path() { return path_.string(); }

private:
    static inline std::filesystem::path path_;
};

TEST_F(FindCommand, PrintsOneLinePerMatchInTheQueryOrder) {
    struct cCase {
        std::vector<std::string> args;
        std::string out;
    };
    const cCase cases[] = {
        {{"knife"}, "10\t5\tKnife\n20\t3\tBlue Knife  Case\n40\t7\tLoose Knife\n"},
        {{"KNIFE", "-blue"}, "10\t5\tKnife\n40\t7\tLoose Knife\n"},
        {{"ql:3-5"}, "20\t3\tBlue Knife  Case\n10\t5\tKnife\n"},
        {{"knife", "ql:7"}, "40\t7\tLoose Knife\n"},
        {{"40"}, "40\t7\tLoose Knife\n"},
        {{"--", "-20"}, ""},
        {{"50"}, ""},
        {{"knif"}, "10\t5\tKnife\n20\t3\tBlue Knife  Case\n40\t7\tLoose Knife\n"},
        {{"knifr"}, ""},
        {{"nothing"}, ""},
    };
    for (const cCase& c : cases) {
        std::vector<std::string> args = {"find", path()};
        if (c.args[0] == "--") args = {"find", "--", path()};
        for (const std::string& arg : c.args)
            if (arg != "--") args.push_back(arg);
        const cCliResult result = runCli(args);
        EXPECT_EQ(result.status, 0) << c.args[0];
        EXPECT_EQ(result.out, c.out) << c.args[0];
    }
}

TEST_F(FindCommand, LimitAndNearSpellings) {
    EXPECT_EQ(runCli({"find", "--limit", "1", path(), "knife"}).out, "10\t5\tKnife\n");
    // Near spellings come by edits, then by name.
    EXPECT_EQ(runCli({"find", "--near", path(), "knifr"}).out,
              "20\t3\tBlue Knife  Case\n10\t5\tKnife\n40\t7\tLoose Knife\n");
    EXPECT_EQ(runCli({"find", "--near", "--limit", "2", path(), "loose", "knifr"}).out,
              "40\t7\tLoose Knife\n");
}

TEST_F(FindCommand, ImportsAsTreeDoesWithTheSameMessages) {
    const cCliResult find = runCli({"find", path(), "calm"});
    EXPECT_EQ(find.out, "30\t0\tCalm\n");
    EXPECT_EQ(find.err, runCli({"tree", path()}).err);
    EXPECT_NE(find.err.find("<Requirement>"), std::string::npos);
}

TEST_F(FindCommand, WrongUsageAndUnreadableFiles) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"find"},
             {"find", path()},
             {"find", path(), "-knife"},
             {"find", path(), " \t"},
             {"find", "--limit", "0", path(), "knife"},
             {"find", "--limit", "x", path(), "knife"},
             {"find", "--limit"},
         }) {
        const cCliResult result = runCli(args);
        EXPECT_EQ(result.status, 2) << args.size();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("usage: quarry-cli"), std::string::npos);
    }
    const cCliResult missing = runCli({"find", path() + ".missing", "knife"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
}

} // namespace

} // namespace quarry
