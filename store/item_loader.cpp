// Reading one item record: the item start tag, then its elements up to
// "</Item>" or the next record (record_reader.h). Events and actions are read
// by event_action_parser.cpp.
#include "pattern/pattern.h"
#include "store/decimal_text.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"
#include "store/record_reader.h"
#include "store/tag_reader.h"

#include <algorithm>

namespace quarry {

namespace {

// The value that marks a skill percentage as missing.
constexpr std::int32_t kNoPercent = 2147483647;

// A byte count as people read it: whole mebibytes where it is some.
std::string sizeText(std::size_t bytes) {
    constexpr std::size_t kMiB = 1024 * 1024;
    if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

void reportTooLong(ZRID zrid, const std::string& what, std::size_t limit, cMessageSink& messages) {
    messages.showMessage(kLoadMessageCaption,
                         "Item " + std::to_string(zrid) + " cannot be loaded: " + what +
                             " is longer than " + sizeText(limit) + ", the most a text may hold.");
}

void reportChangedFile(ZRID zrid, cMessageSink& messages) {
    messages.showMessage(kLoadMessageCaption,
                         "Item " + std::to_string(zrid) +
                             " cannot be loaded: the item file changed since it was imported.");
}

void reportReadError(ZRID zrid, const std::string& failure, cMessageSink& messages) {
    messages.showMessage(kLoadMessageCaption, "Item " + std::to_string(zrid) +
                                                  " cannot be loaded: the item file cannot be "
                                                  "read: " +
                                                  failure);
}

bool parseSkillValue(std::string_view text, std::string& name, std::int32_t& percent) {
    name.clear();
    percent = kNoPercent;
    for (cAttributeView pair = nextAttributeInTag(text); pair.matched;
         pair = nextAttributeInTag(text)) {
        if (!name.empty() && percent != kNoPercent) break;
        if (pair.name == "Name")
            name = pair.value;
        else if (pair.name == "Percent")
            percent = parseDecimal(pair.value);
        text = pair.rest;
    }
    return !name.empty() && percent != kNoPercent;
}

} // namespace

bool cItemStore::parseAttribute(std::string_view text, cItemRecord& record) {
    std::string name;
    std::string value;
    for (cAttributeView pair = nextAttributeInTag(text); pair.matched;
         pair = nextAttributeInTag(text)) {
        if (!name.empty() && !value.empty()) break;
        if (pair.name == "Name")
            name = pair.value;
        else if (pair.name == "Value")
            value = pair.value;
        text = pair.rest;
    }
    if (name.empty() || value.empty()) return false;
    record.addAttribute(name, value);
    return true;
}

bool cItemStore::parseAtkValue(std::string_view text, cItemRecord& record) {
    std::string name;
    std::int32_t percent = 0;
    if (!parseSkillValue(text, name, percent)) return false;
    record.addAtkValue(name, percent);
    return true;
}

bool cItemStore::parseDefValue(std::string_view text, cItemRecord& record) {
    std::string name;
    std::int32_t percent = 0;
    if (!parseSkillValue(text, name, percent)) return false;
    record.addDefValue(name, percent);
    return true;
}

bool cItemStore::fileUnchangedSinceScan() const {
    const cFileStamp now = cFileStamp::of(path_);
    return now.readable && now == scannedFile_;
}

bool cItemStore::loadItem(ZRID zrid, cItemRecord& record, cMessageSink& messages,
                          eLoadFailure* why) const {
    eLoadFailure failure = eLoadFailure::none;
    const std::optional<RecordPosition> position = findItem(zrid);
    if (!position) {
        failure = eLoadFailure::notIndexed;
    } else if (!fileUnchangedSinceScan()) {
        failure = eLoadFailure::changed;
    } else {
        cFilteredStream stream(path_, limits_);
        cPatternMatch context(256);
        switch (loadItemAt(stream, *identifierPattern_, zrid, *position,
                           index_->nextRecordStart(*position), record, messages, context)) {
        case eLoad::loaded:
            break;
        case eLoad::moved:
            failure = eLoadFailure::changed;
            break;
        case eLoad::failed:
            failure = stream.failed() ? eLoadFailure::readFailed : eLoadFailure::notLoadable;
            if (stream.failed()) reportReadError(zrid, stream.failure(), messages);
            break;
        }
    }
    if (failure == eLoadFailure::changed) reportChangedFile(zrid, messages);
    if (why != nullptr) *why = failure;
    return failure == eLoadFailure::none;
}

cItemStore::eLoad cItemStore::loadItemAt(cFilteredStream& stream, const cPattern& identifierPattern,
                                         ZRID zrid, RecordPosition position,
                                         std::optional<RecordPosition> nextStart,
                                         cItemRecord& record, cMessageSink& messages,
                                         cPatternMatch& identifierContext) {
    // The record's own bytes in one read: up to the next record, or the end.
    stream.seek(position, nextStart ? *nextStart : std::max(stream.totalSize(), position + 1));
    const std::string_view chunk = stream.readChunkView(">");
    if (stream.failed()) return eLoad::failed;
    // The position must still yield the identifier by the scan's own rule: a
    // file swapped for one of the same size and time holds other records
    // there, and a shorter one none.
    if (!startsItemRecord(chunk)) return eLoad::moved;
    std::string tag;
    tag.reserve(chunk.size() + 1);
    tag.append(chunk).push_back('>');
    if (parseDecimal(identifierTextOf(tag, identifierPattern, identifierContext)) != zrid)
        return eLoad::moved;
    cTagView parts = splitTagText(tag);
    if (parts.name != "Item") return eLoad::failed;
    if (stream.truncated()) {
        reportTooLong(zrid, "its start tag", stream.limits().chunkLimit, messages);
        return eLoad::failed;
    }

    ZRID fileZrid = 0;
    std::string name;
    std::int32_t ql = 0;
    std::int32_t itemType = kItemTypeNone;
    bool isNano = false;
    std::string_view text = parts.attributes;
    do {
        const cAttributeView pair = nextAttributeInTag(text);
        if (pair.name == "ZRID")
            fileZrid = parseDecimal(pair.value);
        else if (pair.name == "IsNano")
            isNano = pair.value == "True";
        else if (pair.name == "Name")
            name = pair.value;
        else if (pair.name == "QL")
            ql = parseDecimal(pair.value);
        else if (pair.name == "ItemType") {
            const std::int32_t type = findItemType(pair.value);
            if (type != kItemTypeNone) itemType = type;
        }
        text = pair.rest;
    } while (!text.empty());

    // Identifier 0 is none, whether the scan's (the first "ZRID" read as a
    // number, which a later pair does not change) or the record's own. A nano
    // program may have quality level 0; any other item must have one.
    if (zrid == 0 || fileZrid == 0 || name.empty() || (ql == 0 && !isNano)) return eLoad::failed;

    // Everyone who follows the item comes back by the key it was loaded by;
    // the report shows the record's own identifier.
    cItemRecord work(zrid, std::move(name));
    work.recordZrid = fileZrid;
    work.ql = ql;
    work.itemType = itemType;
    work.isNano = isNano;

    cRecordReader reader(stream, nextStart.value_or(UINT64_MAX));
    std::string description;
    while (reader.nextTag()) {
        const std::string& read = reader.tag();
        const bool closes = reader.tagIs("</Item>");
        parts = reader.parts();
        if (parts.name == "Description") {
            if (parts.attributes != "/") {
                const bool whole = reader.readText(description, "its description");
                // A description ended by the next record keeps what it read.
                if (whole || reader.stop() == cRecordReader::eStop::nextItem)
                    work.setDescription(description);
            }
        } else if (parts.name == "Attribute") {
            parseAttribute(parts.attributes, work);
        } else if (parts.name == "AtkValue") {
            parseAtkValue(parts.attributes, work);
        } else if (parts.name == "DefValue") {
            parseDefValue(parts.attributes, work);
        } else if (parts.name == "Event") {
            // A "/" anywhere in the tag is taken for a self-closing element.
            if (read.find('/') == std::string::npos)
                processEvent(parts.attributes, work, reader, messages);
        } else if (parts.name == "Action") {
            if (read.find('/') == std::string::npos)
                processAction(parts.attributes, work, reader, messages);
        }
        if (closes || reader.stopped()) break;
    }
    switch (reader.stop()) {
    case cRecordReader::eStop::none:
    case cRecordReader::eStop::nextItem:
        break;
    case cRecordReader::eStop::endOfFile: // the record is incomplete
    case cRecordReader::eStop::readError: // the caller reports it
        return eLoad::failed;
    case cRecordReader::eStop::tooLong:
        reportTooLong(zrid, reader.tooLongWhat(), stream.limits().chunkLimit, messages);
        return eLoad::failed;
    }
    record = std::move(work);
    return eLoad::loaded;
}

} // namespace quarry
