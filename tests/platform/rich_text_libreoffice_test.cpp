// A check against a rich-text reader nobody here wrote: LibreOffice converts
// a few item reports to text, and its words must be ours. Skipped when
// LibreOffice is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../report/knife_report.h"
#include "platform/rich_text.h"

namespace quarry {

namespace {

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string word; stream >> word;)
        result.push_back(word);
    return result;
}

const std::string kReports[] = {
    kKnifeReport,
    R"({\rtf\ansi{\colortbl;\red0\green0\blue0;\red128\green128\blue128;}ZRID 5: {\b a\\b\{c\}})"
    R"(\line \line \qj{--there's no description for this item--})"
    R"(\line \line \cf2-[{\cf1\b\i Attributes}]-\cf1 \line \line{\tx2000 {\b \\:} \tab \} } \line})",
};

} // namespace

TEST(RichTextLibreOffice, ReportsReadAsLibreOfficeReadsThem) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP()
            << "LibreOffice (soffice) is not installed, so there is nothing to compare with";

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("quarry_rich_text_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    struct cRemoveOnExit {
        std::filesystem::path path;
        ~cRemoveOnExit() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } removeOnExit{folder};
    int index = 0;
    for (const std::string& report : kReports) {
        SCOPED_TRACE(index);
        const std::filesystem::path source = folder / ("report" + std::to_string(index++) + ".rtf");
        std::ofstream(source, std::ios::binary) << report;
        // A profile of its own, so a LibreOffice the user has open is not disturbed.
        const std::string command =
            "soffice -env:UserInstallation=file://" + folder.string() +
            "/profile --headless --convert-to \"txt:Text (encoded):UTF8\" --outdir '" +
            folder.string() + "' '" + source.string() + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::ifstream converted(std::filesystem::path(source).replace_extension(".txt"),
                                std::ios::binary);
        ASSERT_TRUE(converted.good());
        std::string theirs((std::istreambuf_iterator<char>(converted)),
                           std::istreambuf_iterator<char>());
        if (theirs.starts_with("\xEF\xBB\xBF")) theirs.erase(0, 3);
        EXPECT_EQ(words(toPlainText(readRichText(report))), words(theirs));
    }
}

} // namespace quarry
