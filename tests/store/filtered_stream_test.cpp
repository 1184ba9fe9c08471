#include "store/filtered_stream.h"
#include "temp_item_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarry {

namespace {

// Tiny blocks put every block boundary inside delimiters and comment texts.
const cStreamLimits kOneByteBlocks{1, 1, 16 * 1024 * 1024};
const cStreamLimits kThreeByteBlocks{3, 3, 16 * 1024 * 1024};

std::vector<std::string> chunksOf(const std::string& content, const cStreamLimits& limits = {},
                                  const char* delimiters = ">") {
    cTempItemFile file(content);
    cFilteredStream stream(file.path(), limits);
    std::vector<std::string> chunks;
    while (stream.readLines(1, delimiters))
        chunks.push_back(stream.text());
    return chunks;
}

using Chunks = std::vector<std::string>;

} // namespace

TEST(FilteredStreamChunks, CutAtDelimitersAndSkipEmptyOnes) {
    EXPECT_EQ(chunksOf("ab>cd>"), (Chunks{"ab", "cd"}));
    EXPECT_EQ(chunksOf(">>x>"), (Chunks{"x"}));
    EXPECT_EQ(chunksOf("tail without delimiter"), (Chunks{"tail without delimiter"}));
    EXPECT_EQ(chunksOf("a<b<", {}, "<"), (Chunks{"a", "b"}));
    EXPECT_EQ(chunksOf("a>b<c", {}, "<>"), (Chunks{"a", "b", "c"}));
    EXPECT_EQ(chunksOf(""), Chunks{});
}

TEST(FilteredStreamChunks, NulEndsAChunkLikeADelimiter) {
    EXPECT_EQ(chunksOf(std::string("ab\0cd>", 6)), (Chunks{"ab", "cd"}));
}

TEST(FilteredStreamChunks, EndOfFileGivesAnEmptyReadThenStaysThere) {
    cTempItemFile file("ab>cd>");
    cFilteredStream stream(file.path());
    ASSERT_TRUE(stream.readLines(1, ">"));
    ASSERT_TRUE(stream.readLines(1, ">"));
    EXPECT_FALSE(stream.readLines(1, ">"));
    EXPECT_EQ(stream.text(), "");
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.readTag(), ">");
    EXPECT_EQ(stream.readTag(), ">");
}

TEST(FilteredStreamChunks, ReadTagPutsTheDelimiterBack) {
    cTempItemFile file("<Item a=\"1\"></Item>");
    cFilteredStream stream(file.path());
    EXPECT_EQ(stream.readTag(), "<Item a=\"1\">");
    EXPECT_EQ(stream.readTag(), "</Item>");
    EXPECT_EQ(stream.readTag(), ">");
}

TEST(FilteredStreamChunks, SeveralLinesJoinWithLineFeeds) {
    cTempItemFile file("a>b>c>");
    cFilteredStream stream(file.path());
    EXPECT_TRUE(stream.readLines(2, ">"));
    EXPECT_EQ(stream.text(), "a\nb");
    EXPECT_FALSE(stream.readLines(0, ">"));
}

TEST(FilteredStreamComments, AreDroppedAndEndTheChunk) {
    EXPECT_EQ(chunksOf("a<!--note-->b>"), (Chunks{"a", "b"}));
    EXPECT_EQ(chunksOf("x//rest of line\ny>"), (Chunks{"x", "y"}));
    EXPECT_EQ(chunksOf("p/*q>r*/s>"), (Chunks{"p", "s"}));
    // A comment at the start of a chunk leaves nothing before it.
    EXPECT_EQ(chunksOf("a>/*c*/b>"), (Chunks{"a", "b"}));
    // Inside a value or a text: a web address loses the rest of its line.
    EXPECT_EQ(chunksOf("<A v=\"http://x.y\">\n<B>"), (Chunks{"<A v=\"http:", "<B"}));
}

TEST(FilteredStreamComments, EndTextMustFollowTheStartText) {
    // "/*/" does not close itself: the "*" belongs to the start.
    EXPECT_EQ(chunksOf("a/*/b*/c>"), (Chunks{"a", "c"}));
    // "<!-->" is not closed by its own dashes either.
    EXPECT_EQ(chunksOf("a<!-->b-->c>"), (Chunks{"a", "c"}));
    EXPECT_EQ(chunksOf("a<!--->c>"), (Chunks{"a"}));
}

TEST(FilteredStreamComments, AnUnclosedCommentSwallowsTheRest) {
    EXPECT_EQ(chunksOf("a>b/*c>d>e>"), (Chunks{"a", "b"}));
    EXPECT_EQ(chunksOf("a>/*c>d>"), (Chunks{"a"}));
}

TEST(FilteredStreamComments, PartialStartsStayInTheText) {
    EXPECT_EQ(chunksOf("a/b*c-d<!e-f>"), (Chunks{"a/b*c-d<!e-f"}));
    EXPECT_EQ(chunksOf("</Item>"), (Chunks{"</Item"}));
    // With "<" as the delimiter "<!--" can never form.
    EXPECT_EQ(chunksOf("x<!--y-->z", {}, "<"), (Chunks{"x", "!--y-->z"}));
}

TEST(FilteredStreamComments, WorkAcrossBlockBoundaries) {
    const std::string content = "ab/*x>y*/cd>e<!-- q -->f>g//h\ni>j/*1*/>";
    const Chunks expected{"ab", "cd", "e", "f", "g", "i", "j"};
    EXPECT_EQ(chunksOf(content), expected);
    EXPECT_EQ(chunksOf(content, kOneByteBlocks), expected);
    EXPECT_EQ(chunksOf(content, kThreeByteBlocks), expected);
    EXPECT_EQ(chunksOf(content, cStreamLimits{2, 5, 1024}), expected);
}

TEST(FilteredStreamPositions, TellCountsEveryConsumedByte) {
    cTempItemFile file("ab>c/*>*/d>");
    cFilteredStream stream(file.path(), kOneByteBlocks);
    EXPECT_EQ(stream.tell(), 0u);
    stream.readLines(1, ">");
    EXPECT_EQ(stream.tell(), 3u);
    stream.readLines(1, ">"); // "c", the comment consumed with it
    EXPECT_EQ(stream.text(), "c");
    EXPECT_EQ(stream.tell(), 9u);
    stream.readLines(1, ">");
    EXPECT_EQ(stream.text(), "d");
    EXPECT_EQ(stream.tell(), 11u);
}

TEST(FilteredStreamPositions, SeekReturnsToARememberedChunk) {
    const std::string content = "<A>\n<B x=\"1\"><C>";
    for (const cStreamLimits& limits : {cStreamLimits{}, kOneByteBlocks, kThreeByteBlocks}) {
        cTempItemFile file(content);
        cFilteredStream stream(file.path(), limits);
        std::vector<RecordPosition> positions;
        std::vector<std::string> tags;
        for (;;) {
            positions.push_back(stream.tell());
            std::string tag = stream.readTag();
            if (tag == ">") break;
            tags.push_back(tag);
        }
        ASSERT_EQ(tags.size(), 3u);
        // Backwards, forwards, and on a second stream.
        cFilteredStream other(file.path(), limits);
        for (int i = 2; i >= 0; --i) {
            stream.seek(positions[i]);
            EXPECT_EQ(stream.readTag(), tags[i]);
            other.seek(positions[i]);
            EXPECT_EQ(other.readTag(), tags[i]);
        }
        stream.seek(positions[0]);
        EXPECT_EQ(stream.text(), tags[0].substr(0, tags[0].size() - 1)) << "seek keeps the text";
    }
}

TEST(FilteredStreamPositions, SeekBeyondTheEndReadsNothing) {
    cTempItemFile file("a>b>");
    cFilteredStream stream(file.path());
    stream.seek(1000);
    EXPECT_FALSE(stream.readLines(1, ">"));
    stream.seek(2);
    EXPECT_TRUE(stream.readLines(1, ">"));
    EXPECT_EQ(stream.text(), "b");
}

TEST(FilteredStreamPositions, PercentRead) {
    cTempItemFile file(std::string(100, 'x') + ">");
    cFilteredStream stream(file.path());
    EXPECT_EQ(stream.totalSize(), 101u);
    stream.seek(25);
    EXPECT_EQ(stream.percentRead(), 24); // 2500 / 101
    file.write(std::string(99, 'x') + ">");
    cFilteredStream hundred(file.path());
    hundred.seek(25);
    EXPECT_EQ(hundred.percentRead(), 25);
    hundred.readLines(1, ">");
    EXPECT_EQ(hundred.percentRead(), 100);

    file.write(std::string(2000000, 'x'));
    cFilteredStream large(file.path());
    large.seek(999);
    EXPECT_EQ(large.percentRead(), 0);
    large.seek(1000000);
    EXPECT_EQ(large.percentRead(), 50);
}

TEST(FilteredStreamFailures, AMissingFileReadsAsEmpty) {
    cTempItemFile file("");
    cFilteredStream stream(file.missingPath());
    EXPECT_FALSE(stream.readLines(1, ">"));
    EXPECT_EQ(stream.readTag(), ">");
    EXPECT_EQ(stream.percentRead(), 0);
    EXPECT_EQ(stream.tell(), 0u);
}

TEST(FilteredStreamLimits, AnOverlongChunkIsTruncatedButConsumedWhole) {
    const cStreamLimits smallCap{4, 4, 5};
    cTempItemFile file("0123456789abc>next>");
    cFilteredStream stream(file.path(), smallCap);
    ASSERT_TRUE(stream.readLines(1, ">"));
    EXPECT_EQ(stream.text(), "01234");
    EXPECT_EQ(stream.tell(), 14u);
    ASSERT_TRUE(stream.readLines(1, ">"));
    EXPECT_EQ(stream.text(), "next");
}

TEST(FilteredStreamLimits, CommentsPastTheCapStillEndTheChunk) {
    const cStreamLimits smallCap{3, 3, 4};
    EXPECT_EQ(chunksOf("0123456/*x>*/y>", smallCap), (Chunks{"0123", "y"}));
    // A comment starting across the cap: the chunk keeps the bytes before it.
    EXPECT_EQ(chunksOf("012/*x*/y>", smallCap), (Chunks{"012", "y"}));
    // A file without any delimiter ends as one capped chunk.
    EXPECT_EQ(chunksOf(std::string(1000, 'z'), smallCap), (Chunks{"zzzz"}));
}

namespace {

// The chunking rules written out the slow, literal way: one character at a
// time, searching the whole chunk for every comment start after each one.
class cLiteralChunker {
public:
    explicit cLiteralChunker(std::string text) : text_(std::move(text)) {}

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

TEST(FilteredStreamChunks, AgreeWithTheLiteralRulesOnRandomText) {
    const char alphabet[] = {'a', 'b', '>', '<', '!', '-', '-', '/', '/', '*', '\n', '\0', '>'};
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    for (int round = 0; round < 300; ++round) {
        std::string content;
        const unsigned length = next() % 80;
        for (unsigned i = 0; i < length; ++i)
            content += alphabet[next() % sizeof alphabet];
        const std::size_t block = 1 + next() % 7;
        const cStreamLimits limits{block, block * (1 + next() % 3), 1024};
        cTempItemFile file(content);
        cFilteredStream stream(file.path(), limits);
        cLiteralChunker literal(content);
        for (int read = 0; read < 100; ++read) {
            static const char* const sets[] = {">", ">", "<", "<>", "-"};
            const char* delimiters = sets[read % 5];
            const std::string expected = literal.readChunk(delimiters);
            const bool got = stream.readLines(1, delimiters);
            ASSERT_EQ(stream.text(), expected) << "round " << round << " read " << read;
            ASSERT_EQ(got, !expected.empty());
            ASSERT_EQ(stream.tell(), literal.tell()) << "round " << round << " read " << read;
            if (!got) break;
        }
    }
}

} // namespace quarry
