// Reading one item record: the item start tag, then its elements up to
// "</Item>". Events and actions are read by event_action_parser.cpp.
#include "store/decimal_text.h"
#include "store/filtered_stream.h"
#include "store/item_record.h"
#include "store/item_store.h"
#include "store/tag_reader.h"

namespace quarry {

namespace {

// The value that marks a skill percentage as missing.
constexpr std::int32_t kNoPercent = 2147483647;

// The stream answers ">" alone only at the end of the file.
bool isEndOfFile(const std::string& tag) {
    return tag.size() == 1;
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

bool cItemStore::loadItem(ZRID zrid, cItemRecord& record, cMessageSink& messages) const {
    const std::optional<RecordPosition> position = findItem(zrid);
    if (!position || !fileUnchangedSinceScan()) return false;
    cFilteredStream stream(path_);
    return loadItemAt(stream, *position, record, messages);
}

bool cItemStore::loadItemAt(cFilteredStream& stream, RecordPosition position, cItemRecord& record,
                            cMessageSink& messages) {
    stream.seek(position);
    std::string tag;
    stream.readTag(tag);
    cTagView parts = splitTagText(tag);
    if (parts.name != "Item") return false;

    ZRID zrid = 0;
    std::string name;
    std::int32_t ql = 0;
    std::int32_t itemType = kItemTypeNone;
    bool isNano = false;
    std::string_view text = parts.attributes;
    do {
        const cAttributeView pair = nextAttributeInTag(text);
        if (pair.name == "ZRID")
            zrid = parseDecimal(pair.value);
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

    // A nano program may have quality level 0; any other item must have one.
    if (zrid == 0 || name.empty() || (ql == 0 && !isNano)) return false;

    cItemRecord work(zrid, std::move(name));
    work.ql = ql;
    work.itemType = itemType;
    work.isNano = isNano;

    for (;;) {
        stream.readTag(tag);
        // The file ends before "</Item>": the record is incomplete.
        if (isEndOfFile(tag)) return false;
        parts = splitTagText(tag);
        if (parts.name == "Description") {
            if (parts.attributes != "/") {
                stream.readLines(1, "<");
                work.setDescription(stream.text());
                stream.readLines(1, ">");
            }
        } else if (parts.name == "Attribute") {
            parseAttribute(parts.attributes, work);
        } else if (parts.name == "AtkValue") {
            parseAtkValue(parts.attributes, work);
        } else if (parts.name == "DefValue") {
            parseDefValue(parts.attributes, work);
        } else if (parts.name == "Event") {
            // A "/" anywhere in the tag is taken for a self-closing element.
            if (tag.find('/') == std::string::npos)
                processEvent(parts.attributes, work, stream, messages);
        } else if (parts.name == "Action") {
            if (tag.find('/') == std::string::npos)
                processAction(parts.attributes, work, stream, messages);
        }
        if (tag == "</Item>") break;
    }
    record = std::move(work);
    return true;
}

} // namespace quarry
