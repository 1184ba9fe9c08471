// The command-line tool prints every unsupported tag of an item, one line
// each on standard error, and still prints the item's report.
#include <gtest/gtest.h>

#include "hostile_support.h"

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace quarry {

TEST(CliNoise, EveryUnsupportedTagIsOneLine) {
    constexpr int kTags = 100000;
    std::string content = "<Item ZRID=\"46\" Name=\"Noisy\" QL=\"3\"><Action Name=\"ToUse\">";
    for (int i = 0; i < kTags; ++i)
        content += "<Odd" + std::to_string(i) + "/>";
    content += "</Action></Item>";
    cHostileFolder folder;
    const std::string path = folder.write("noisy.xml", content);

    // Standard error into the pipe, the report into a file.
    const std::string reportPath = folder.path("report.rtf");
    const std::string command =
        std::string("'") + QUARRY_CLI_PATH + "' show '" + path + "' 46 2>&1 >'" + reportPath + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    int lines = 0;
    std::string line;
    std::string first;
    std::string last;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        if (lines++ == 0) first = line;
        last = line;
        line.clear();
    }
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(lines, kTags);
    EXPECT_EQ(first, "cQuarry::processEvent: Encountered unsupported tag: <Odd0> while processing "
                     "item with ZRID 46");
    EXPECT_EQ(last, "cQuarry::processEvent: Encountered unsupported tag: <Odd99999> while "
                    "processing item with ZRID 46");

    std::FILE* report = std::fopen(reportPath.c_str(), "rb");
    ASSERT_NE(report, nullptr);
    char head[6] = {};
    EXPECT_EQ(std::fread(head, 1, 5, report), 5u);
    std::fclose(report);
    EXPECT_STREQ(head, "{\\rtf");
}

} // namespace quarry
