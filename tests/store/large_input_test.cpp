// Inputs far beyond what item files usually hold: positions past 4 GiB, and
// texts whose pieces a careless reader would take apart in quadratic time.
#include "item_file_test_support.h"
#include "store/filtered_stream.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace quarry {

namespace {

constexpr RecordPosition kFiveGiB = 5ull << 30;

// Writes `content` at `offset` of a sparse file; false when the file system
// will not have it.
bool writeAt(const std::string& path, RecordPosition offset, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out);
}

} // namespace

TEST(LargeInput, PositionsBeyondFourGiBAreKeptWhole) {
    cTempItemFile file("");
    const std::string record = "<Item ZRID=\"5\" Name=\"Far\" QL=\"1\"></Item>";
    if (!writeAt(file.path(), kFiveGiB, record)) GTEST_SKIP() << "no sparse files here";
    cFilteredStream stream(file.path());
    EXPECT_EQ(stream.totalSize(), kFiveGiB + record.size());
    stream.seek(kFiveGiB);
    EXPECT_EQ(stream.readTag(), "<Item ZRID=\"5\" Name=\"Far\" QL=\"1\">");
    EXPECT_EQ(stream.tell(), kFiveGiB + record.find('>') + 1);
    stream.seek(kFiveGiB / 2);
    EXPECT_EQ(stream.percentRead(), 49);
    stream.seek(kFiveGiB / 5 * 4);
    EXPECT_EQ(stream.percentRead(), 79);
    stream.seek(kFiveGiB + record.find('>') + 1);
    EXPECT_EQ(stream.readTag(), "</Item>");
}

TEST(LargeInput, AnItemTagWithVeryManyPairsLoadsInOnePass) {
    std::string tag = "<Item ZRID=\"3\" Name=\"Many\" QL=\"2\"";
    for (int i = 0; i < 200000; ++i)
        tag += " p=\"\"";
    tag += " ItemType=\"Misc\">";
    std::string body = "<Attribute";
    for (int i = 0; i < 200000; ++i)
        body += " x=\"1\"";
    body += " Name=\"k\" Value=\"v\"/></Item>";
    cImportedFile imported(tag + body);
    cItemRecord record;
    ASSERT_TRUE(imported.load(3, record));
    EXPECT_EQ(record.itemType, 3);
    EXPECT_EQ(record.attributes.at("k"), "v");
}

TEST(LargeInput, AFileWithoutDelimitersIsReadWithBoundedChunks) {
    cTempItemFile file(std::string(3 << 20, 'x'));
    cFilteredStream stream(file.path(), cStreamLimits{4096, 65536, 1 << 20});
    ASSERT_TRUE(stream.readLines(1, ">"));
    EXPECT_EQ(stream.text().size(), 1u << 20);
    EXPECT_EQ(stream.tell(), 3u << 20);
    EXPECT_FALSE(stream.readLines(1, ">"));
}

} // namespace quarry
