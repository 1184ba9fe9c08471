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
    stream_.readTag(tag_);
    if (stream_.failed()) return stopAt(eStop::readError);
    // The stream answers ">" alone only at the end of the file.
    if (tag_.size() == 1) return stopAt(eStop::endOfFile);
    // Tags end where the scan's chunks end, so one never runs past the next
    // record's start; should one do so all the same, the record ended before it.
    if (stream_.tell() > bound_) return stopAt(eStop::nextItem);
    if (stream_.truncated()) {
        tooLongWhat_ = "a <" + std::string(splitTagText(tag_).name) + "> tag";
        return stopAt(eStop::tooLong);
    }
    return true;
}

bool cRecordReader::readText(std::string& text, const char* what) {
    text.clear();
    if (stopped()) return false;
    if (atBound()) return stopAt(eStop::nextItem);
    const bool any = stream_.readLines(1, "<");
    if (stream_.failed()) return stopAt(eStop::readError);
    if (!any) return stopAt(eStop::endOfFile);
    if (stream_.truncated()) {
        tooLongWhat_ = what;
        return stopAt(eStop::tooLong);
    }
    text = stream_.text();
    // The "<" that ended the text is the next record's: the text is whole
    // and so is the record.
    if (stream_.tell() > bound_) return stopAt(eStop::nextItem);
    stream_.readLines(1, ">");
    if (stream_.failed()) return stopAt(eStop::readError);
    return true;
}

} // namespace quarry
