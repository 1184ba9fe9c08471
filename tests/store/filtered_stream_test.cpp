// The item file reader against a literal model of its chunking rules on
// random text, block sizes and chunk caps; then what the model leaves out:
// joined lines, tags, seeking, progress and missing or huge files.
#include "store/filtered_stream.h"
#include "store_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quarry {

namespace {

// The chunking rules written out the slow, literal way: one character at a
// time, searching the whole chunk for every comment start after each one.
class cLiteralChunker {
public:
    explicit cLiteralChunker(std::string text) : text_(std::move(text)) {}

    // The next non-empty chunk, whole; empty at the end of the text.
    std::string readChunk(const std::string& delimiters) {
        static const std::pair<std::string, std::string> comments[] = {
            {"/*", "*/"}, {"//", "\n"}, {"<!--", "-->"}};
        for (;;) {
            std::string chunk;
            if (at_ == text_.size()) return chunk;
            for (;;) {
                const char c = text_[at_++];
                if (c == '\0' || delimiters.find(c) != std::string::npos) break;
                chunk += c;
                bool comment = false;
                for (const auto& [start, end] : comments) {
                    const std::size_t found = chunk.find(start);
                    if (found == std::string::npos) continue;
                    std::string scratch;
                    while (at_ < text_.size() && scratch.find(end) == std::string::npos)
                        scratch += text_[at_++];
                    chunk.resize(found);
                    comment = true;
                    break;
                }
                if (comment || at_ == text_.size()) break;
            }
            if (!chunk.empty() || at_ == text_.size()) return chunk;
        }
    }
    std::size_t tell() const { return at_; }

private:
    std::string text_;
    std::size_t at_ = 0;
};

} // namespace

// Tiny blocks put block boundaries inside delimiters and comment texts, and
// tiny caps cut chunks, before and after comments; longer blocks take whole
// 16-byte steps. Sets of up to three delimiters and more than three take the
// two searches. Of every four reads, one takes its chunk as a view and one
// passes over chunks to the first that begins with a prefix.
TEST(FilteredStream, AgreesWithTheLiteralRulesOnRandomText) {
    const char alphabet[] = {'a', 'b', '>', '<', '!', '-', '-', '/', '/', '*', '\n', '\0', '>'};
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    cTempItemFile file("");
    for (int round = 0; round < 400; ++round) {
        std::string content;
        for (unsigned length = next() % 160; length > 0; --length)
            content += alphabet[next() % sizeof alphabet];
        const std::size_t block = 1 + next() % (round % 3 ? 7 : 48);
        const std::size_t cap = round % 2 ? 1024 : 1 + next() % 12;
        file.write(content);
        cFilteredStream stream(file.path(), cStreamLimits{block, block * (1 + next() % 3), cap});
        cLiteralChunker literal(content);
        for (int read = 0; read < 200; ++read) {
            static const char* const sets[] = {">", ">", "<", "<>", "-", "<>a", "<>ab-"};
            static const char* const prefixes[] = {"a", "<", "ab", "<!", "/"};
            const char* delimiters = sets[read % std::size(sets)];
            const std::string_view prefix =
                read % 4 == 3 ? prefixes[read / 4 % std::size(prefixes)] : "";
            std::string whole;
            RecordPosition from = 0;
            do {
                from = literal.tell();
                whole = literal.readChunk(delimiters);
            } while (!whole.empty() && !whole.substr(0, cap).starts_with(prefix));
            std::string got;
            if (read % 4 == 2) {
                const std::string kept = stream.text();
                got = stream.readChunkView(delimiters);
                ASSERT_EQ(stream.text(), kept);
            } else if (read % 4 == 3) {
                RecordPosition streamFrom = 0;
                ASSERT_EQ(stream.readLinesBeginningWith(prefix, delimiters, streamFrom),
                          !whole.empty());
                got = stream.text();
                ASSERT_EQ(streamFrom, from) << "round " << round << " read " << read;
            } else {
                ASSERT_EQ(stream.readLines(1, delimiters), !whole.empty());
                got = stream.text();
            }
            ASSERT_EQ(got, whole.substr(0, cap)) << "round " << round << " read " << read;
            ASSERT_EQ(stream.truncated(), whole.size() > cap);
            ASSERT_EQ(stream.tell(), literal.tell()) << "round " << round << " read " << read;
            if (whole.empty()) break;
        }
    }
}

// Lines join with "\n", a tag keeps its ">" (at the end it is ">" alone), and
// progress is the whole percent read, rounded down. A missing file reads as empty.
TEST(FilteredStream, JoinedLinesTagsPercentAndAMissingFile) {
    cTempItemFile file("a>b>c>" + std::string(94, 'x') + ">");
    cFilteredStream stream(file.path());
    EXPECT_TRUE(stream.readLines(2, ">"));
    EXPECT_EQ(stream.text(), "a\nb");
    EXPECT_EQ(stream.percentRead(), 3); // 4 of 101 bytes
    EXPECT_FALSE(stream.readLines(0, ">"));
    EXPECT_EQ(stream.readTag(), "c>");
    EXPECT_EQ(stream.readTag(), std::string(94, 'x') + ">");
    EXPECT_EQ(stream.percentRead(), 100);
    EXPECT_TRUE(stream.atEnd());
    EXPECT_FALSE(stream.readLines(1, ">"));
    EXPECT_EQ(stream.text(), "");
    EXPECT_EQ(stream.readTag(), ">");
    cFilteredStream missing(file.missingPath());
    EXPECT_FALSE(missing.readLines(1, ">"));
    EXPECT_EQ(missing.readTag(), ">");
    EXPECT_TRUE(missing.percentRead() == 0 && missing.tell() == 0 && missing.totalSize() == 0);
    EXPECT_TRUE(missing.failed());
}

TEST(FilteredStream, AnotherKindOfFileTakingTheNameIsRefusedWithoutBlocking) {
    // What the name holds when the stream opens it, after any check of the
    // name: a FIFO without a writer would block an open, a device never ends.
    cTempItemFile file("");
    const std::string fifo = file.sibling("swapped.fifo");
    const std::string device = file.sibling("swapped.device");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    for (const auto& [path, reason] : {std::pair{fifo, "a FIFO, not a regular file"},
                                       std::pair{device, "a device, not a regular file"}}) {
        cFilteredStream stream(path);
        EXPECT_FALSE(stream.readLines(1, ">")) << path;
        EXPECT_EQ(stream.failure(), reason);
    }
}

TEST(FilteredStream, SeekReturnsToARememberedChunk) {
    cTempItemFile file("<A>\n<B x=\"1\">/*c*/<C>");
    for (const cStreamLimits& limits : {cStreamLimits{}, cStreamLimits{1, 1, 64}, {3, 3, 64}}) {
        cFilteredStream stream(file.path(), limits);
        std::vector<RecordPosition> positions;
        std::vector<std::string> tags;
        for (;;) {
            positions.push_back(stream.tell());
            const std::string tag = stream.readTag();
            if (tag == ">") break;
            tags.push_back(tag);
        }
        ASSERT_EQ(tags, (std::vector<std::string>{"<A>", "\n<B x=\"1\">", "<C>"}));
        // Backwards, forwards, and on a second stream.
        cFilteredStream other(file.path(), limits);
        for (int i = 2; i >= 0; --i) {
            stream.seek(positions[i]);
            EXPECT_EQ(stream.readTag(), tags[i]);
            other.seek(positions[i]);
            EXPECT_EQ(other.readTag(), tags[i]);
        }
        stream.seek(positions[1]);
        EXPECT_EQ(stream.text(), "<A") << "seek keeps the text";
        stream.seek(1000);
        EXPECT_FALSE(stream.readLines(1, ">"));
    }
}

// Over many blocks: a file without delimiters is one capped chunk consumed
// whole, and an unclosed comment of near-misses of its end swallows the rest.
TEST(FilteredStream, LongRunsAreReadInBoundedChunks) {
    cTempItemFile file(std::string(3 << 20, 'x'));
    cFilteredStream stream(file.path(), cStreamLimits{4096, 65536, 1 << 20});
    ASSERT_TRUE(stream.readLines(1, ">"));
    EXPECT_EQ(stream.text().size(), 1u << 20);
    EXPECT_EQ(stream.tell(), 3u << 20);
    EXPECT_FALSE(stream.readLines(1, ">"));
    for (const std::string opener : {"<!--", "/*"}) {
        file.write("a>b" + opener + std::string(1 << 20, '-') + "x>c>");
        cFilteredStream swallowed(file.path());
        swallowed.readLines(1, ">");
        EXPECT_TRUE(swallowed.readLines(1, ">") && swallowed.text() == "b") << opener;
        EXPECT_FALSE(swallowed.readLines(1, ">"));
    }
}

// Positions and sizes past 4 GiB are kept whole (sparse file).
TEST(FilteredStream, PositionsBeyondFourGiBAreKeptWhole) {
    constexpr RecordPosition kFiveGiB = 5ull << 30;
    cTempItemFile file("");
    const std::string record = "<Item ZRID=\"5\"></Item>";
    {
        std::ofstream out(file.path(), std::ios::binary);
        out.seekp(static_cast<std::streamoff>(kFiveGiB));
        if (!out.write(record.data(), static_cast<std::streamsize>(record.size())))
            GTEST_SKIP() << "no sparse files here";
    }
    cFilteredStream stream(file.path());
    EXPECT_EQ(stream.totalSize(), kFiveGiB + record.size());
    stream.seek(kFiveGiB);
    EXPECT_EQ(stream.readTag(), "<Item ZRID=\"5\">");
    EXPECT_EQ(stream.tell(), kFiveGiB + 15);
    stream.seek(kFiveGiB / 5 * 4);
    EXPECT_EQ(stream.percentRead(), 79);
}

} // namespace quarry
