#include "store/record_reader.h"

#include "store/tag_reader.h"

namespace quarry {

namespace {

constexpr std::string_view kItemTagStart = "<Item";

// Whether "<" + `text` + `closing` is an item start tag; the tag is put
// together only for a text that begins like one.
bool itemStartTagOf(std::string_view text, std::string_view closing) {
    if (!text.starts_with(kItemTagStart.substr(1))) return false;
    std::string tag(1, kItemTagStart[0]);
    tag.append(text).append(closing);
    return isItemStartTag(tag);
}

} // namespace

bool isItemStartTag(std::string_view tagText) {
    // Only a text that begins so can name the tag "Item".
    return tagText.starts_with(kItemTagStart) && splitTagText(tagText).name == "Item";
}

bool cRecordReader::stopAt(eStop stop) {
    stop_ = stop;
    return false;
}

bool cRecordReader::nextTag() {
    if (stopped()) return false;
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
    if (parts_.name == "Item") return stopAt(eStop::nextItem);
    if (stream_.truncated()) {
        tooLongWhat_ = "a <" + std::string(parts_.name) + "> tag";
        return stopAt(eStop::tooLong);
    }
    return true;
}

bool cRecordReader::readText(std::string& text, const char* what) {
    text.clear();
    if (stopped()) return false;
    const RecordPosition at = stream_.tell();
    const std::string_view chunk = stream_.readChunkView("<");
    if (stream_.failed()) return stopAt(eStop::readError);
    if (chunk.empty()) return stopAt(eStop::endOfFile);
    // Only a "<" was passed over before the text: the element was empty and
    // what was read as its text is the tag after it.
    if (stream_.chunkStart() == at + 1 && itemStartTagOf(chunk, "")) return stopAt(eStop::nextItem);
    if (stream_.truncated()) {
        tooLongWhat_ = what;
        return stopAt(eStop::tooLong);
    }
    text.assign(chunk);
    const std::string_view closing = stream_.readChunkView(">");
    if (stream_.failed()) return stopAt(eStop::readError);
    if (itemStartTagOf(closing, ">")) return stopAt(eStop::nextItem);
    return true;
}

} // namespace quarry
