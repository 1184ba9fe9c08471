// The reader of the item file. It cuts the file into chunks that end at a
// delimiter character (in practice one chunk per tag, cut at ">"), drops
// comments on the way ("/*"..."*/", "//"...line feed, "<!--"..."-->"), and
// reports byte positions so that a reader can come back to a chunk later.
//
// The file is read in large blocks into one reused buffer and scanned sixteen
// bytes at a time for the few places that matter: delimiters, and a comment
// start's last byte right after the byte that precedes it in the start text.
// A chunk that lies inside the block is handed out as a view of it; only one
// that runs across a block end, holds a comment or is cut at the end of the
// file is copied. A chunk costs time linear in its length. Bytes are taken as
// they are: line ends are not translated, so tell() and seek() count every
// byte of the file.
//
// A read the system refuses is never taken for the end of the file: the
// stream stops there, reads as ended from then on and keeps the reason
// (failed(), failure()), so no later position is read from a shifted place.
#pragma once

#include "store/store_host.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

// One kind of comment: the text that starts it and the text that ends it
// (filtered_stream.cpp holds the table of them).
struct cCommentSyntax;

// Sizes the stream works with; tests shrink them to reach the edges cheaply.
struct cStreamLimits {
    // The first read after opening or a seek outside the current block is
    // small, so that loading one record reads little; every further read
    // doubles up to maxBlock.
    std::size_t firstBlock = 8 * 1024;
    std::size_t maxBlock = 1024 * 1024;
    // A chunk keeps at most this many bytes. The rest of an overlong chunk is
    // still consumed up to its delimiter (comments in it still count) but not
    // stored, so a file without delimiters cannot exhaust memory.
    std::size_t chunkLimit = 16 * 1024 * 1024;
};

// A test seam: when set, asked before every read of any stream with the
// position and the number of bytes wanted; a non-zero answer is taken as the
// error number of a failed read. Set it only while no stream reads.
using cReadFailureHook = std::function<int(RecordPosition position, std::size_t size)>;
void setReadFailureHook(cReadFailureHook hook);

// Told after every block the stream reads, so that one long chunk (hundreds of
// megabytes without a delimiter, a run of NUL bytes) keeps the window
// answering. Answering false abandons the read: the stream then fails.
class cReadWatcher {
public:
    virtual ~cReadWatcher() = default;
    virtual bool blockRead() = 0;
};

class cFilteredStream {
public:
    // Opens the file; one that cannot be opened, or is not a regular file,
    // fails the stream (failed() before any read).
    explicit cFilteredStream(const std::string& path,
                             const cStreamLimits& limits = cStreamLimits());
    cFilteredStream(const cFilteredStream&) = delete;
    cFilteredStream& operator=(const cFilteredStream&) = delete;

    // Reads `count` chunks ending at any of the characters of `delimiters`
    // (NUL ends a chunk as well): the first becomes the text, each further one
    // is appended after a line feed. True when the text is not empty, which
    // is false only at the end of the file.
    bool readLines(std::int32_t count, const char* delimiters);

    // Passes over whole chunks, as readLines(1, delimiters) reads them, up to
    // the first whose text begins with `prefix`, and reads that one as
    // readLines(1, delimiters) does; `from` is then what tell() was before
    // that read. False, with an empty text, at the end of the file. A chunk
    // that lies in the block and can hold no comment is passed over once its
    // end is found, neither copied nor handed out, so looking for one kind of
    // tag (an import scan's item start tags) costs little more per chunk than
    // finding its end.
    bool readLinesBeginningWith(std::string_view prefix, const char* delimiters,
                                RecordPosition& from);

    // One chunk as readLines(1, delimiters) reads it, answered as a view that
    // stays valid until the stream next reads, seeks or is asked atEnd();
    // text() is left as it was. Empty only at the end of the file.
    std::string_view readChunkView(const char* delimiters);

    // The text of the last readLines() or readTag().
    const std::string& text() const { return buffer_; }
    // Whether the last read kept less than it consumed (a chunk over the
    // chunk limit).
    bool truncated() const { return truncated_; }
    // The position of the first byte of the last chunk read.
    RecordPosition chunkStart() const { return chunkStart_; }

    // One tag: readLines(1, ">") with the ">" appended again; ">" alone at
    // the end of the file.
    std::string readTag();
    // The same into `tag`, reusing its storage.
    void readTag(std::string& tag);

    // The position just after the last byte consumed.
    RecordPosition tell() const { return blockStart_ + cursor_; }
    // Moves to an absolute position given by tell() on a stream over the same
    // file. The text does not change.
    void seek(RecordPosition position);
    // The same, where the bytes wanted most likely end at `readUpTo`: the
    // first read takes just those (reading goes on past them if asked to).
    void seek(RecordPosition position, RecordPosition readUpTo);
    // Reads the bytes from `from` up to `upTo` (at most maxBlock of them) now,
    // so that seeks among them read nothing more: for neighbouring records
    // loaded one after the other. A failed read fails the stream as any read.
    void readAhead(RecordPosition from, RecordPosition upTo);
    // Whether every byte has been consumed.
    bool atEnd();

    // How much of the file has been consumed, in whole percent (0 to 100).
    std::int32_t percentRead() const;
    RecordPosition totalSize() const { return totalSize_; }
    const cStreamLimits& limits() const { return limits_; }

    // Whether a read failed; the stream then reads as ended.
    bool failed() const { return !failure_.empty(); }
    // Why it failed: the system's reason and where, or empty.
    const std::string& failure() const { return failure_; }
    // Who is told of every block read; null for nobody.
    void setWatcher(cReadWatcher* watcher) { watcher_ = watcher; }

    ~cFilteredStream();

private:
    bool refill();
    void passChunksNotBeginningWith(std::string_view prefix);
    void takeChunk(std::string_view chunk);
    char* block() { return storage_.data() + kBlockPad; }
    void appendToSpill(const char* bytes, std::size_t count);
    const cCommentSyntax* commentEndingBefore(const char* begin, const char* after) const;
    void skipComment(const cCommentSyntax& comment);
    void selectDelimiters(const char* delimiters);
    void selectOtherDelimiters(const char* delimiters);
    const char* findStop(const char* p, const char* end) const;
    bool endsChunk(char byte) const;

    void fail(const std::string& reason, RecordPosition position);
    // Opens `path` for reading when it is a regular file; fails the stream otherwise.
    void openRegularFile(const std::string& path);

    std::string sourceName_;
    int fd_ = -1;
    RecordPosition totalSize_ = 0;
    std::string failure_;
    cReadWatcher* watcher_ = nullptr;
    cStreamLimits limits_;

    // The block lives in storage_ after kBlockPad bytes, the last of which is
    // the file byte before the block (NUL when that byte belongs to no chunk
    // being read), so the search can look one byte back from the block's
    // first byte; as many bytes after the longest block let it load sixteen
    // bytes wherever it stands in the block.
    static constexpr std::size_t kBlockPad = 16;
    std::vector<char> storage_;
    RecordPosition blockStart_ = 0; // file position of block()[0]
    std::size_t blockLength_ = 0;   // valid bytes in the block
    std::size_t cursor_ = 0;        // next byte to consume in the block
    std::size_t nextBlockSize_ = 0;

    std::string buffer_;
    std::string spill_; // a chunk that could not stay a view of the block
    bool truncated_ = false;
    RecordPosition chunkStart_ = 0;

    // The chunk being read: its length before any truncation, and, once it
    // runs on past a block's end, its last four bytes, which are all a
    // comment test needs of what lies before the block.
    std::uint64_t chunkLength_ = 0;
    char chunkTail_[4] = {};

    // What one delimiter set asks of the search: the class of every byte
    // (flags: ends a chunk, may complete a comment start), and the bytes that
    // end a chunk, NUL first, for the vector search when they are few.
    static constexpr std::size_t kMaxVectorDelimiters = 4;
    struct cDelimiterTables {
        bool built = false;
        std::string delimiters;
        std::uint8_t byteClass[256] = {};
        unsigned char delimiterBytes[kMaxVectorDelimiters] = {};
        std::size_t delimiterCount = 0;
    };
    static bool sameSet(const std::string& known, const char* delimiters);
    static void buildTables(cDelimiterTables& tables, const char* delimiters);
    // Readers alternate between ">" and "<": keep the tables of two sets.
    cDelimiterTables tables_[2];
    const cDelimiterTables* active_ = nullptr;
};

} // namespace quarry
