// A text longer than the stream keeps is not cut without a word: the item
// fails to load, with a message naming the text; memory stays capped.
#include <gtest/gtest.h>

#include "hostile_support.h"
#include "store/item_record.h"
#include "store/item_store.h"

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace quarry {

namespace {

constexpr std::size_t kLimit = 256;

std::string item(const std::string& name, const std::string& body) {
    return "<Item ZRID=\"5\" Name=\"" + name + "\" QL=\"3\" ItemType=\"Misc\">" + body + "</Item>";
}

} // namespace

TEST(LongText, ItemWithATextOverTheLimitFailsAndSaysWhich) {
    const std::string longText(kLimit + 1, 'x');
    const std::string fits(kLimit - 40, 'x');
    const struct {
        std::string content;
        const char* which; // nullptr: loads
    } cases[] = {
        {item("Axe", "<Description>" + longText + "</Description>"), "its description"},
        {item(longText, ""), "its start tag"},
        {item("Axe", "<Attribute Name=\"Slot\" Value=\"" + longText + "\" />"),
         "a <Attribute> tag"},
        {item("Axe", "<Event Name=\"E\"><Function Name=\"" + longText + "\" /></Event>"),
         "a <Function> tag"},
        {item("Axe", "<Description>" + fits + "</Description>"), nullptr},
    };
    for (const auto& c : cases) {
        cHostileFolder folder;
        const std::string path = folder.write("items.xml", c.content);
        cItemStore store(cStreamLimits{8 * 1024, 1024 * 1024, kLimit});
        cQuietProgress progress;
        cCountingMessages messages;
        ASSERT_TRUE(store.scanItemFile(path, progress));
        const bool failed = store.writeItemReport(5, messages) == kFailedToLoadText;
        EXPECT_EQ(failed, c.which != nullptr) << c.content;
        if (c.which == nullptr) continue;
        EXPECT_EQ(messages.count, 1u);
        EXPECT_EQ(messages.first, std::string(kLoadMessageCaption) +
                                      ": Item 5 cannot be loaded: " + c.which +
                                      " is longer than 256 bytes, the most a text may hold.");
        cCountingTree tree;
        store.buildCategoryTree(tree, progress, messages);
        EXPECT_EQ(tree.itemNodes(), 0u);
        EXPECT_EQ(messages.count, 2u);
    }
}

TEST(LongText, CommandLineShowExitsThreeWithTheReason) {
    cHostileFolder folder;
    const std::string path = folder.write(
        "items.xml",
        item("Axe", "<Description>" + std::string(16 * 1024 * 1024 + 1, 'x') + "</Description>"));
    const std::string line = std::string("'") + QUARRY_CLI_PATH + "' show --format text '" + path +
                             "' 5 2>&1 >/dev/null";
    std::FILE* pipe = ::popen(line.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        output += static_cast<char>(c);
    EXPECT_EQ(WEXITSTATUS(::pclose(pipe)), 3);
    EXPECT_EQ(output, std::string(kLoadMessageCaption) +
                          ": Item 5 cannot be loaded: its description is longer than 16 MiB, the "
                          "most a text may hold.\n");
}

} // namespace quarry
