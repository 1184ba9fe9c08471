#include "store/filtered_stream.h"

#include "store/item_file_check.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quarry {

struct cCommentSyntax {
    std::string_view start;
    std::string_view end;
};

namespace {

unsigned char byteOf(char c) {
    return static_cast<unsigned char>(c);
}

// The comments the stream drops, one row per kind. Only appending the last
// byte of a start text can complete a comment start, so those bytes are the
// ones looked at.
enum eCommentKind : std::size_t { kBlockComment, kLineComment, kMarkupComment, kCommentKinds };
constexpr cCommentSyntax kComments[kCommentKinds] = {
    {"/*", "*/"},    // kBlockComment
    {"//", "\n"},    // kLineComment
    {"<!--", "-->"}, // kMarkupComment
};
static_assert(std::ranges::all_of(kComments,
                                  [](const cCommentSyntax& c) { return c.start.size() >= 2; }));

// Whether the start text of `kind` ends just before the byte `back` counts
// from: back(k) is the k-th byte before it, back(1) the start's last byte.
// The text is a constant, so this comes down to a few byte compares.
template <eCommentKind kind, typename Back> bool startEndsHere(const Back& back) {
    constexpr std::string_view start = kComments[kind].start;
    for (std::size_t k = 2; k <= start.size(); ++k)
        if (back(k) != byteOf(start[start.size() - k])) return false;
    return true;
}

// The flags of cDelimiterTables::byteClass.
enum : std::uint8_t {
    kEndsChunk = 0x01,        // a delimiter of the active set, or NUL
    kEndsCommentStart = 0x02, // the last byte of a comment start text
    kNeedsLook = kEndsChunk | kEndsCommentStart,
};

// The k-th byte from the end of the start text of comment kind `kind`.
constexpr char startByteFromEnd(std::size_t kind, std::size_t k) {
    return kComments[kind].start[kComments[kind].start.size() - k];
}

#if defined(__SSE2__)
// The places in 16 bytes at `p` that end a chunk (one of the `count`
// delimiter bytes) or where a comment start may end: its last byte right
// after its last but one. `p[-1]` must be readable; a comment test decides at
// each place of the second kind. Inlined into the search's loop, which keeps
// the compared bytes in registers.
template <std::size_t count, std::size_t... kind>
[[gnu::always_inline]] inline unsigned
stopsIn(const char* p, const unsigned char (&delimiters)[count],
        std::index_sequence<kind...> /*every comment kind*/) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 1));
    __m128i hits = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(delimiters[0])));
    for (std::size_t i = 1; i < count; ++i)
        hits = _mm_or_si128(hits,
                            _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(delimiters[i]))));
    ((hits = _mm_or_si128(
          hits, _mm_and_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(startByteFromEnd(kind, 1))),
                              _mm_cmpeq_epi8(before, _mm_set1_epi8(startByteFromEnd(kind, 2)))))),
     ...);
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
#endif

cReadFailureHook& readFailureHook() {
    static cReadFailureHook hook;
    return hook;
}

// pread, or the error the hook injects; retried when a signal interrupts it.
ssize_t readAt(int fd, char* into, std::size_t size, RecordPosition position) {
    if (const cReadFailureHook& hook = readFailureHook(); hook) {
        if (const int error = hook(position, size); error != 0) {
            errno = error;
            return -1;
        }
    }
    for (;;) {
        const ssize_t got = ::pread(fd, into, size, static_cast<off_t>(position));
        if (got >= 0 || errno != EINTR) return got;
    }
}

} // namespace

void setReadFailureHook(cReadFailureHook hook) {
    readFailureHook() = std::move(hook);
}

cFilteredStream::cFilteredStream(const std::string& path, const cStreamLimits& limits)
    : sourceName_(path), limits_(limits) {
    limits_.firstBlock = std::max<std::size_t>(limits_.firstBlock, 1);
    limits_.maxBlock = std::max(limits_.maxBlock, limits_.firstBlock);
    limits_.chunkLimit = std::max<std::size_t>(limits_.chunkLimit, 1);
    nextBlockSize_ = limits_.firstBlock;
    active_ = &tables_[0];
    buildTables(tables_[0], ">");

    openRegularFile(path);
}

void cFilteredStream::openRegularFile(const std::string& path) {
    // Non-blocking, so that a FIFO swapped in for the file cannot hold the
    // open; the kind is asked of the descriptor, which is what is read.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat info {};
    const char* reason = nullptr;
    if (fd_ < 0 || ::fstat(fd_, &info) != 0)
        reason = std::strerror(errno);
    else if ((reason = whyNotRegular(info.st_mode)) == nullptr &&
             ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK) != 0)
        reason = std::strerror(errno);
    if (reason != nullptr) {
        failure_ = reason; // nothing is read from a file of another kind
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        return;
    }
    if (info.st_size > 0) totalSize_ = static_cast<RecordPosition>(info.st_size);
}

cFilteredStream::~cFilteredStream() {
    if (fd_ >= 0) ::close(fd_);
}

void cFilteredStream::fail(const std::string& reason, RecordPosition position) {
    if (failed()) return;
    failure_ = reason + " (at byte " + std::to_string(position) + ")";
    // Nothing more is consumed: the stream reads as ended from here.
    blockLength_ = cursor_;
}

inline bool cFilteredStream::sameSet(const std::string& known, const char* delimiters) {
    std::size_t i = 0;
    while (i < known.size() && known[i] == delimiters[i])
        ++i;
    return i == known.size() && delimiters[i] == '\0';
}

void cFilteredStream::buildTables(cDelimiterTables& tables, const char* delimiters) {
    tables.built = true;
    tables.delimiters = delimiters;
    std::fill(std::begin(tables.byteClass), std::end(tables.byteClass), 0);
    // The delimiter test searches a zero-terminated set, so NUL always ends a chunk.
    tables.byteClass[0] = kEndsChunk;
    for (const char* d = delimiters; *d != '\0'; ++d)
        tables.byteClass[byteOf(*d)] |= kEndsChunk;
    for (const cCommentSyntax& comment : kComments)
        tables.byteClass[byteOf(comment.start.back())] |= kEndsCommentStart;
    tables.delimiterCount = 0;
    for (int byte = 0; byte < 256; ++byte) {
        if ((tables.byteClass[byte] & kEndsChunk) == 0) continue;
        if (tables.delimiterCount < kMaxVectorDelimiters)
            tables.delimiterBytes[tables.delimiterCount] = static_cast<unsigned char>(byte);
        ++tables.delimiterCount;
    }
}

inline void cFilteredStream::selectDelimiters(const char* delimiters) {
    if (delimiters == nullptr) delimiters = "";
    if (!sameSet(active_->delimiters, delimiters)) selectOtherDelimiters(delimiters);
}

void cFilteredStream::selectOtherDelimiters(const char* delimiters) {
    for (const cDelimiterTables& tables : tables_) {
        if (tables.built && sameSet(tables.delimiters, delimiters)) {
            active_ = &tables;
            return;
        }
    }
    cDelimiterTables& replaced = active_ == &tables_[0] ? tables_[1] : tables_[0];
    buildTables(replaced, delimiters);
    active_ = &replaced;
}

inline bool cFilteredStream::endsChunk(char byte) const {
    return (active_->byteClass[byteOf(byte)] & kEndsChunk) != 0;
}

#if defined(__SSE2__)
namespace {

// The search over [p, end) for `count` delimiters: whole 16-byte steps, then
// one step over the rest, which the block's padding lets run past `end`.
template <std::size_t count>
const char* findStopAmong(const char* p, const char* end, const unsigned char* delimiters) {
    unsigned char set[count];
    std::copy_n(delimiters, count, set);
    constexpr auto kinds = std::make_index_sequence<kCommentKinds>();
    for (; end - p >= 16; p += 16)
        if (const unsigned mask = stopsIn(p, set, kinds); mask != 0)
            return p + std::countr_zero(mask);
    if (p == end) return end;
    const unsigned mask = stopsIn(p, set, kinds) & ((1u << (end - p)) - 1);
    return mask != 0 ? p + std::countr_zero(mask) : end;
}

} // namespace
#endif

// The first byte from `p` on, before `end` (within the block), that ends a
// chunk or may complete a comment start; `end` when there is none. Sixteen
// bytes at a time where the processor allows and the set is small, which it
// always is in practice.
const char* cFilteredStream::findStop(const char* p, const char* end) const {
    const cDelimiterTables& tables = *active_;
#if defined(__SSE2__)
    static_assert(kMaxVectorDelimiters == 4);
    switch (tables.delimiterCount) {
    case 1:
        return findStopAmong<1>(p, end, tables.delimiterBytes);
    case 2:
        return findStopAmong<2>(p, end, tables.delimiterBytes);
    case 3:
        return findStopAmong<3>(p, end, tables.delimiterBytes);
    case 4:
        return findStopAmong<4>(p, end, tables.delimiterBytes);
    default:
        break;
    }
#endif
    while (p != end && (tables.byteClass[byteOf(*p)] & kNeedsLook) == 0)
        ++p;
    return p;
}

bool cFilteredStream::refill() {
    if (fd_ < 0 || failed()) return false;
    const RecordPosition next = blockStart_ + blockLength_;
    // A chunk may run on from the old block into the new one: keep its last
    // byte in front of the new block for the search to look back at.
    const char before = blockLength_ > 0 ? block()[blockLength_ - 1] : '\0';
    if (storage_.size() < nextBlockSize_ + 2 * kBlockPad)
        storage_.resize(nextBlockSize_ + 2 * kBlockPad);
    block()[-1] = before;
    const ssize_t got = readAt(fd_, block(), nextBlockSize_, next);
    if (got < 0) {
        fail(std::strerror(errno), next);
        return false;
    }
    if (got == 0) return false;
    blockStart_ = next;
    blockLength_ = static_cast<std::size_t>(got);
    cursor_ = 0;
    nextBlockSize_ = std::min(nextBlockSize_ * 2, limits_.maxBlock);
    if (watcher_ != nullptr && !watcher_->blockRead()) {
        // Abandoned: what was read stays unread, so no chunk is cut short.
        blockLength_ = 0;
        fail("reading was stopped", next);
        return false;
    }
    return true;
}

bool cFilteredStream::atEnd() {
    return cursor_ == blockLength_ && !refill();
}

void cFilteredStream::seek(RecordPosition position) {
    seek(position, position + limits_.firstBlock);
}

void cFilteredStream::seek(RecordPosition position, RecordPosition readUpTo) {
    if (failed()) return;
    const RecordPosition blockEnd = blockStart_ + blockLength_;
    if (position < blockStart_ || position >= blockEnd) {
        // A block of its own, starting empty at the position.
        blockStart_ = position;
        blockLength_ = 0;
    }
    cursor_ = static_cast<std::size_t>(position - blockStart_);
    // The next read starts where the block ends and takes what is still wanted.
    const RecordPosition next = blockStart_ + blockLength_;
    const RecordPosition wanted = readUpTo > next ? readUpTo - next : limits_.firstBlock;
    nextBlockSize_ = static_cast<std::size_t>(std::min<RecordPosition>(wanted, limits_.maxBlock));
}

void cFilteredStream::readAhead(RecordPosition from, RecordPosition upTo) {
    if (failed()) return;
    seek(from, upTo);
    if (cursor_ == blockLength_) refill();
}

// Makes `chunk` the text; one copied aside already is taken over rather than
// copied again.
inline void cFilteredStream::takeChunk(std::string_view chunk) {
    if (!chunk.empty() && chunk.data() == spill_.data()) {
        buffer_.swap(spill_);
    } else {
        // Not assign(), whose overlap checks cost more than the short copy.
        buffer_.clear();
        buffer_.append(chunk);
    }
}

bool cFilteredStream::readLines(std::int32_t count, const char* delimiters) {
    buffer_.clear();
    bool truncated = false;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string_view chunk = readChunkView(delimiters);
        if (i == 0) {
            takeChunk(chunk);
        } else {
            buffer_ += '\n';
            buffer_.append(chunk);
        }
        truncated = truncated || truncated_;
    }
    truncated_ = truncated;
    return !buffer_.empty();
}

bool cFilteredStream::readLinesBeginningWith(std::string_view prefix, const char* delimiters,
                                             RecordPosition& from) {
    selectDelimiters(delimiters);
    for (;;) {
        passChunksNotBeginningWith(prefix);
        from = tell();
        const std::string_view chunk = readChunkView(delimiters);
        if (chunk.empty() || chunk.starts_with(prefix)) {
            takeChunk(chunk);
            return !chunk.empty();
        }
    }
}

// Consumes the chunks from the cursor on that lie whole in the block, hold no
// possible comment start and do not begin with `prefix`, as reading them
// would; stops before the first it cannot tell so of.
void cFilteredStream::passChunksNotBeginningWith(std::string_view prefix) {
    if (cursor_ == blockLength_) return;
    const char* const end = block() + blockLength_;
    const char* p = block() + cursor_;
    for (;;) {
        const char* first = p;
        while (first != end && endsChunk(*first))
            ++first;
        if (static_cast<std::size_t>(end - first) < prefix.size() ||
            std::equal(prefix.begin(), prefix.end(), first))
            break;
        const char* const stop = findStop(first, end);
        if (stop == end || !endsChunk(*stop)) break;
        p = stop + 1;
    }
    cursor_ = static_cast<std::size_t>(p - block());
}

std::string cFilteredStream::readTag() {
    std::string tag;
    readTag(tag);
    return tag;
}

void cFilteredStream::readTag(std::string& tag) {
    readLines(1, ">");
    tag.reserve(buffer_.size() + 1);
    tag.assign(buffer_);
    tag += '>';
}

inline void cFilteredStream::appendToSpill(const char* bytes, std::size_t count) {
    if (count == 0) return;
    if (spill_.size() < limits_.chunkLimit)
        spill_.append(bytes, std::min(count, limits_.chunkLimit - spill_.size()));
    chunkLength_ += count;
    if (count >= sizeof chunkTail_) {
        std::memcpy(chunkTail_, bytes + count - sizeof chunkTail_, sizeof chunkTail_);
    } else {
        std::memmove(chunkTail_, chunkTail_ + count, sizeof chunkTail_ - count);
        std::memcpy(chunkTail_ + sizeof chunkTail_ - count, bytes, count);
    }
}

// Consumes bytes up to and including the comment's end text, or to the end of
// the file. The end text is looked for only in bytes after the start text.
void cFilteredStream::skipComment(const cCommentSyntax& comment) {
    const std::string_view endText = comment.end;
    const std::size_t endLength = endText.size();
    const char last = endText.back();
    std::uint64_t skipped = 0; // bytes consumed before the current span
    char skippedTail[2] = {};  // the last two of them
    static_assert(std::ranges::all_of(
        kComments, [](const cCommentSyntax& c) { return c.end.size() <= sizeof skippedTail + 1; }));
    for (;;) {
        if (cursor_ == blockLength_ && !refill()) return; // never closed: swallows the rest
        const char* begin = block() + cursor_;
        const char* end = block() + blockLength_;
        for (const char* p = begin; (p = static_cast<const char*>(std::memchr(
                                         p, last, static_cast<std::size_t>(end - p)))) != nullptr;
             ++p) {
            const std::uint64_t before = skipped + static_cast<std::uint64_t>(p - begin);
            if (before < endLength - 1) continue;
            bool closes = true;
            for (std::size_t i = 1; i < endLength && closes; ++i) {
                const std::ptrdiff_t at = (p - begin) - static_cast<std::ptrdiff_t>(i);
                const char byte = at >= 0 ? begin[at] : skippedTail[2 + at];
                closes = byte == endText[endLength - 1 - i];
            }
            if (closes) {
                cursor_ = static_cast<std::size_t>(p + 1 - block());
                return;
            }
        }
        const std::size_t span = static_cast<std::size_t>(end - begin);
        if (span >= 2) {
            skippedTail[0] = end[-2];
            skippedTail[1] = end[-1];
        } else {
            skippedTail[0] = skippedTail[1];
            skippedTail[1] = end[-1];
        }
        skipped += span;
        cursor_ = blockLength_;
    }
}

std::string_view cFilteredStream::readChunkView(const char* delimiters) {
    selectDelimiters(delimiters);
    for (;;) {
        spill_.clear();
        chunkLength_ = 0;
        truncated_ = false;
        // Delimiters in a row make empty chunks, which are never returned:
        // pass over a run of them at once.
        while (cursor_ < blockLength_ && endsChunk(block()[cursor_]))
            ++cursor_;
        if (atEnd()) return {}; // the only way an empty chunk is returned
        chunkStart_ = tell();
        for (;;) {
            if (cursor_ == blockLength_ && !refill()) break; // the file ends the chunk
            const char* begin = block() + cursor_;
            const char* end = block() + blockLength_;
            const char* p = begin;
            const cCommentSyntax* comment = nullptr;
            bool delimited = false;
            // Comment bytes that complete no comment start stay in the span.
            while ((p = findStop(p, end)) != end) {
                if (endsChunk(*p)) {
                    delimited = true;
                    break;
                }
                ++p;
                comment = commentEndingBefore(begin, p);
                if (comment != nullptr) break;
            }
            const std::size_t span = static_cast<std::size_t>(p - begin);
            cursor_ += span + (delimited ? 1 : 0);
            if (delimited && chunkLength_ == 0) {
                // The whole chunk lies in the block (none when a new block
                // began with a delimiter).
                if (span == 0) break;
                chunkLength_ = span;
                truncated_ = span > limits_.chunkLimit;
                return {begin, std::min(span, limits_.chunkLimit)};
            }
            appendToSpill(begin, span);
            if (delimited) break; // consumed, not stored
            if (comment != nullptr) {
                skipComment(*comment);
                const std::uint64_t kept = chunkLength_ - comment->start.size();
                if (spill_.size() > kept) spill_.resize(static_cast<std::size_t>(kept));
                chunkLength_ = kept;
                break;
            }
        }
        if (chunkLength_ != 0) {
            truncated_ = chunkLength_ > limits_.chunkLimit;
            return spill_;
        }
        // Two delimiters in a row, or a comment at the start: read on.
    }
}

// Comments are tested after every byte that could complete a start text, so a
// chunk never holds a comment start before its last byte: only a start ending
// right here can have appeared. Each start ends in a different byte (the case
// labels below differ), so at most one can. Answers that comment, or null, looking back into the
// span [begin, after) and, before it, into the chunk's last bytes.
const cCommentSyntax* cFilteredStream::commentEndingBefore(const char* begin,
                                                           const char* after) const {
    const std::size_t inSpan = static_cast<std::size_t>(after - begin);
    auto back = [&](std::size_t k) -> int { // the k-th byte before `after`, 1-based
        if (k <= inSpan) return byteOf(after[-static_cast<std::ptrdiff_t>(k)]);
        const std::size_t fromTail = k - inSpan;
        if (fromTail > chunkLength_ || fromTail > sizeof chunkTail_) return -1;
        return byteOf(chunkTail_[sizeof chunkTail_ - fromTail]);
    };
    static_assert(std::ranges::all_of(kComments, [](const cCommentSyntax& c) {
        return c.start.size() <= sizeof(cFilteredStream::chunkTail_);
    }));
    switch (after[-1]) {
    case kComments[kBlockComment].start.back():
        return startEndsHere<kBlockComment>(back) ? &kComments[kBlockComment] : nullptr;
    case kComments[kLineComment].start.back():
        return startEndsHere<kLineComment>(back) ? &kComments[kLineComment] : nullptr;
    case kComments[kMarkupComment].start.back():
        return startEndsHere<kMarkupComment>(back) ? &kComments[kMarkupComment] : nullptr;
    default:
        return nullptr;
    }
}

std::int32_t cFilteredStream::percentRead() const {
    if (totalSize_ == 0) return 0;
    const std::uint64_t position = std::min<std::uint64_t>(tell(), totalSize_);
    const std::uint64_t percent = totalSize_ > 1000000
                                      ? (position / 1000 * 100) / (totalSize_ / 1000)
                                      : position * 100 / totalSize_;
    return static_cast<std::int32_t>(std::min<std::uint64_t>(percent, 100));
}

} // namespace quarry
