// A record ends at the next record's start tag when its own "</Item>" was not
// read as its end, wherever the reading stands; it keeps what it read and
// raises no message. A record cut by the end of the file still fails. Loads
// therefore read each byte a bounded number of times.
#include <gtest/gtest.h>

#include "item_file_test_support.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"

#include <atomic>
#include <string>

namespace quarry {

namespace {

std::string start(int zrid) {
    return "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"N" + std::to_string(zrid) +
           "\" QL=\"4\" ItemType=\"Misc\">";
}

const std::string kNext = start(2) + "<Description>Second</Description></Item>";

} // namespace

TEST(RecordEnd, NextRecordsStartTagEndsTheRecordWhereverTheReadingStands) {
    const struct {
        const char* what;
        std::string body; // the first record after its start tag, up to the next record
        const char* description;
        std::size_t events;
        std::size_t actions;
    } cases[] = {
        {"a line feed before the end", "<Description>First</Description>\n</Item>", "First", 0, 0},
        {"no end", "<Description>First</Description>", "First", 0, 0},
        // (The scan does not index the next record here: its start tag is no chunk's start.)
        {"inside a description", "<Description>First", "First", 0, 0},
        {"an empty description", "<Description>", nullptr, 0, 0},
        {"inside an event", "<Event Name=\"E\"><Function Name=\"F\">", nullptr, 1, 0},
        {"between functions", "<Event Name=\"E\"><Function Name=\"F\" />", nullptr, 1, 0},
        {"inside an action", "<Action Name=\"A\"><Requirement a=\"1\" />", nullptr, 0, 1},
        {"a self-closing start tag", "", nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string first = start(1) + c.body;
        if (c.body.empty()) first.replace(first.size() - 1, 1, " />");
        cImportedFile imported(first + kNext);
        cItemRecord record;
        ASSERT_TRUE(imported.load(1, record));
        EXPECT_EQ(record.description,
                  c.description ? c.description : cItemRecord(1, "N1").description);
        EXPECT_EQ(record.events.size(), c.events);
        EXPECT_EQ(record.actions.size(), c.actions);
        for (const auto& event : record.events)
            EXPECT_EQ(event.second.size(), 1u);
        for (const auto& action : record.actions)
            EXPECT_EQ(action.second.size(), 1u);
        EXPECT_TRUE(imported.messages.messages.empty());
        const bool nextIndexed = c.body.empty() || c.body.back() == '>';
        ASSERT_EQ(imported.store.findItem(2).has_value(), nextIndexed);
        if (nextIndexed) {
            ASSERT_TRUE(imported.load(2, record));
            EXPECT_EQ(record.description, "Second");
        }
    }
}

TEST(RecordEnd, RecordCutByTheEndOfTheFileStillFails) {
    for (const std::string& cut : {start(1) + "<Description>First</Description>",
                                   start(1) + "<Event Name=\"E\"><Function Name=\"F\">"}) {
        cImportedFile imported(kNext + cut);
        cItemRecord record;
        EXPECT_FALSE(imported.load(1, record)) << cut;
        EXPECT_TRUE(imported.load(2, record));
    }
}

TEST(RecordEnd, TreeBuildReadsEachByteABoundedNumberOfTimes) {
    // 20,000 records that never reach "</Item>".
    std::string content;
    for (int zrid = 1; zrid <= 20000; ++zrid)
        content += start(zrid) + "<Attribute Name=\"Slot\" Value=\"1\" />";
    cImportedFile imported(content);
    std::atomic<std::size_t> bytesAsked{0};
    setReadFailureHook([&](RecordPosition, std::size_t size) {
        bytesAsked += size;
        return 0;
    });
    cFakeTree tree;
    cFakeProgress progress;
    imported.store.buildCategoryTree(tree, progress, imported.messages);
    setReadFailureHook({});
    EXPECT_EQ(tree.size(), 1u + 7u + 28u + 2u + 19999u); // all but the last, which the file cuts
    EXPECT_LT(bytesAsked, 4 * content.size());
}

} // namespace quarry
