// Reading the tags of one item record for the loader and the element parsers.
//
// A record ends at its own "</Item>", or where the next record the scan found
// begins (any chunk that starts with "<Item", duplicates included): reaching
// that position ends the record as if "</Item>" had been read there, wherever
// the reading stands, inside an event, a function or an action too. The
// record then keeps what it had read. So each load reads no further than the
// next record, and a text that merely holds "<Item" (in a description) is
// text. The end of the file, a failed read or a text longer than the stream
// keeps stop the record short: it does not load.
#pragma once

#include "store/filtered_stream.h"
#include "store/tag_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quarry {

class cRecordReader {
public:
    enum class eStop {
        none,      // reading goes on
        nextItem,  // the next record begins: this record ends whole
        endOfFile, // the file ends inside the record
        tooLong,   // a text over the chunk limit (tooLongWhat() says which)
        readError, // the file could not be read (the stream says why)
    };

    // `nextRecordStart`: where the next record the scan found begins, if any.
    explicit cRecordReader(cFilteredStream& stream, RecordPosition nextRecordStart = UINT64_MAX)
        : stream_(stream), bound_(nextRecordStart) {}
    // parts() views tag(): a copy would view another reader's tag.
    cRecordReader(const cRecordReader&) = delete;
    cRecordReader& operator=(const cRecordReader&) = delete;

    // Reads the next tag into tag(); false when the record stops before it.
    bool nextTag();
    const std::string& tag() const { return tag_; }
    // Whether tag() is `text`.
    bool tagIs(std::string_view text) const { return std::string_view(tag_) == text; }
    // The name and attribute text of tag(), as splitTagText gives them.
    const cTagView& parts() const { return parts_; }

    // Reads a text element after its opening tag: the text up to the next
    // "<" into `text`, then the rest of the closing tag, which is not
    // examined. False when the record stops first; `text` then holds what
    // the element read before the stop (nothing, or all its text). `what`
    // names the element for tooLongWhat().
    bool readText(std::string& text, const char* what);

    eStop stop() const { return stop_; }
    bool stopped() const { return stop_ != eStop::none; }
    // Whether the record is whole: read to its end or to the next record.
    bool whole() const { return stop_ == eStop::none || stop_ == eStop::nextItem; }
    // For tooLong: which text, as "the description" or "a <Name> tag".
    const std::string& tooLongWhat() const { return tooLongWhat_; }

private:
    bool stopAt(eStop stop);
    // Whether the reading has come to the next record.
    bool atBound() const { return stream_.tell() >= bound_; }

    cFilteredStream& stream_;
    RecordPosition bound_;
    std::string tag_;
    cTagView parts_;
    eStop stop_ = eStop::none;
    std::string tooLongWhat_;
};

} // namespace quarry
