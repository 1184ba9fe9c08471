#include "store/record_reader.h"

#include "store/tag_reader.h"

namespace quarry {

bool cRecordReader::stopAt(eStop stop) {
    stop_ = stop;
    return false;
}

bool cRecordReader::nextTag() {
    if (stopped()) return false;
    if (atBound()) return stopAt(eStop::nextItem);
    const std::string_view chunk = stream_.readChunkView(">");
    // Room for the ">" first, so that a long tag is copied once; clear() and
    // append() cost less than assign() on a short tag.
    tag_.clear();
    tag_.reserve(chunk.size() + 1);
    tag_.append(chunk).push_back('>');
    // A chunk holds no ">" and no NUL: the tag's only ">" is its last byte.
    parts_ = splitWholeTag(tag_);
    if (stream_.failed()) return stopAt(eStop::readError);
    // The stream answers an empty chunk only at the end of the file.
    if (chunk.empty()) return stopAt(eStop::endOfFile);
    // Tags end where the scan's chunks end, so one never runs past the next
    // record's start; should one do so all the same, the record ended before it.
    if (stream_.tell() > bound_) return stopAt(eStop::nextItem);
    if (stream_.truncated()) {
        tooLongWhat_ = "a <" + std::string(parts_.name) + "> tag";
        return stopAt(eStop::tooLong);
    }
    return true;
}

bool cRecordReader::readText(std::string& text, const char* what) {
    text.clear();
    if (stopped()) return false;
    if (atBound()) return stopAt(eStop::nextItem);
    const std::string_view chunk = stream_.readChunkView("<");
    if (stream_.failed()) return stopAt(eStop::readError);
    if (chunk.empty()) return stopAt(eStop::endOfFile);
    if (stream_.truncated()) {
        tooLongWhat_ = what;
        return stopAt(eStop::tooLong);
    }
    text.assign(chunk);
    // The "<" that ended the text is the next record's: the text is whole
    // and so is the record.
    if (stream_.tell() > bound_) return stopAt(eStop::nextItem);
    stream_.readChunkView(">");
    if (stream_.failed()) return stopAt(eStop::readError);
    return true;
}

} // namespace quarry
