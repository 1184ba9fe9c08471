// A record whose "</Item>" is not read as its end ends at the next record's
// start tag, wherever the reading stands; it keeps what it read and raises no
// message. So a load reads each byte a bounded number of times.
#include <gtest/gtest.h>

#include "item_file_test_support.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"

#include <atomic>
#include <string>

namespace quarry {

namespace {

std::string start(int zrid) {
    return "<Item ZRID=\"" + std::to_string(zrid) + "\" Name=\"N\" QL=\"4\" ItemType=\"Misc\">";
}

} // namespace

TEST(RecordEnd, NextRecordsStartTagEndsTheRecordWhereverTheReadingStands) {
    const struct {
        std::string body; // the first record after its start tag
        const char* description;
        std::size_t elements; // events and actions, each holding one entry
    } cases[] = {
        {"<Description>First</Description>\n</Item>", "First", 0},
        {"<Description>First", "First", 0}, // (the next record is then not indexed)
        {"<Description>", nullptr, 0},
        {"<Event Name=\"E\"><Function Name=\"F\">", nullptr, 1},
        {"<Event Name=\"E\"><Function Name=\"F\" />", nullptr, 1},
        {"<Action Name=\"A\"><Requirement a=\"1\" />", nullptr, 1},
    };
    for (const auto& c : cases) {
        cImportedFile imported(start(1) + c.body + start(2) +
                               "<Description>2</Description></Item>");
        cItemRecord record;
        ASSERT_TRUE(imported.load(1, record)) << c.body;
        EXPECT_EQ(record.description,
                  c.description ? c.description : cItemRecord(1, "").description);
        EXPECT_EQ(record.events.size() + record.actions.size(), c.elements);
        for (const auto& event : record.events)
            EXPECT_EQ(event.second.size(), 1u);
        for (const auto& action : record.actions)
            EXPECT_EQ(action.second.size(), 1u);
        EXPECT_TRUE(imported.messages.messages.empty());
        if (c.body.back() == '>') {
            ASSERT_TRUE(imported.load(2, record)) << c.body;
            EXPECT_EQ(record.description, "2");
        }
    }
}

TEST(RecordEnd, TreeBuildOfRecordsWithoutEndsReadsEachByteABoundedNumberOfTimes) {
    std::string content;
    for (int zrid = 1; zrid <= 20000; ++zrid)
        content += start(zrid) + "<Attribute Name=\"Slot\" Value=\"1\" />";
    cImportedFile imported(content);
    std::atomic<std::size_t> bytesAsked{0};
    setReadFailureHook([&](RecordPosition, std::size_t size) { return (bytesAsked += size, 0); });
    cFakeTree tree;
    cFakeProgress progress;
    imported.store.buildCategoryTree(tree, progress, imported.messages);
    setReadFailureHook({});
    EXPECT_EQ(tree.size(), 1u + 7u + 28u + 2u + 19999u); // the file cuts the last one
    EXPECT_LT(bytesAsked, 4 * content.size());
}

} // namespace quarry
