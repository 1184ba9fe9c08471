#include "store/record_reader.h"

#include "store/tag_reader.h"

namespace quarry {

bool isItemStartTag(std::string_view tagText) {
    return splitTagText(tagText).name == "Item";
}

bool cRecordReader::stopAt(eStop stop) {
    stop_ = stop;
    return false;
}

bool cRecordReader::nextTag() {
    if (stopped()) return false;
    stream_.readTag(tag_);
    if (stream_.failed()) return stopAt(eStop::readError);
    // The stream answers ">" alone only at the end of the file.
    if (tag_.size() == 1) return stopAt(eStop::endOfFile);
    if (isItemStartTag(tag_)) return stopAt(eStop::nextItem);
    if (stream_.truncated()) {
        tooLongWhat_ = "a <" + std::string(splitTagText(tag_).name) + "> tag";
        return stopAt(eStop::tooLong);
    }
    return true;
}

bool cRecordReader::readText(std::string& text, const char* what) {
    text.clear();
    if (stopped()) return false;
    const RecordPosition at = stream_.tell();
    const bool any = stream_.readLines(1, "<");
    if (stream_.failed()) return stopAt(eStop::readError);
    if (!any) return stopAt(eStop::endOfFile);
    // Only a "<" was passed over before the text: the element was empty and
    // what was read as its text is the tag after it.
    if (stream_.chunkStart() == at + 1 && isItemStartTag("<" + stream_.text()))
        return stopAt(eStop::nextItem);
    if (stream_.truncated()) {
        tooLongWhat_ = what;
        return stopAt(eStop::tooLong);
    }
    text = stream_.text();
    stream_.readLines(1, ">");
    if (stream_.failed()) return stopAt(eStop::readError);
    if (isItemStartTag("<" + stream_.text() + ">")) return stopAt(eStop::nextItem);
    return true;
}

} // namespace quarry
