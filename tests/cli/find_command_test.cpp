// quarry-cli find as a subprocess: its lines, their order, its messages and
// its exit statuses.
#include "../store/store_test_support.h"
#include "cli_runner.h"

#include <gtest/gtest.h>

namespace quarry {

namespace {

// Item 40 has no type (no folder); 50 has no name and does not load; 30
// holds a tag its event does not expect.
const std::string kItemFile =
    "<Items><Item ZRID=\"10\" Name=\"Knife\" QL=\"5\" ItemType=\"Weapon\">"
    "<AtkValue Name=\"Melee\" Percent=\"100\" /></Item>"
    "<Item ZRID=\"20\" Name=\"Blue\tKnife\r\nCase\" QL=\"3\" ItemType=\"Misc\"></Item>"
    "<Item ZRID=\"30\" Name=\"Calm\" IsNano=\"True\">"
    "<Event Name=\"OnUse\"><Requirement Name=\"x\" Value=\"y\" /></Event></Item>"
    "<Item ZRID=\"40\" Name=\"Loose Knife\" QL=\"7\"></Item>"
    "<Item ZRID=\"50\" Name=\"\" QL=\"1\"></Item></Items>";

const std::string kKnife = "10\t5\tKnife\n", kBlue = "20\t3\tBlue Knife  Case\n",
                  kLoose = "40\t7\tLoose Knife\n";

TEST(FindCommand, PrintsMatchesAndEndsAsTheContractSays) {
    const cTempItemFile file(kItemFile);
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

} // namespace

} // namespace quarry
