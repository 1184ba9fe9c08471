#include "export/item_rows.h"

#include "platform/windows_1252.h"
#include "report/item_json.h"
#include "store/decimal_text.h"
#include "store/item_record.h"

#include <cstring>

namespace quarry {

namespace {

// Where the first 8-bit byte at or after `from` is, or the text's size;
// eight bytes are tested at once, as most texts are ASCII throughout.
std::size_t nextEightBit(std::string_view text, std::size_t from) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    std::size_t at = from;
    for (std::uint64_t eight = 0; at + sizeof eight <= text.size(); at += sizeof eight) {
        std::memcpy(&eight, text.data() + at, sizeof eight);
        if ((eight & kHighBits) != 0) break;
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80)
        ++at;
    return at;
}

// A pair's value as a text, or NULL when the set has no such pair.
const std::string* pairValue(const cRequirementSet& set, const char* name) {
    const auto found = set.find(name);
    return found != set.end() ? &found->second : nullptr;
}

void optionalText(cRowBatch& row, const std::string* text) {
    if (text != nullptr)
        row.text(*text);
    else
        row.null();
}

// The value again as a whole number, or NULL when it is none.
void numberOf(cRowBatch& row, const std::string* text) {
    const std::optional<std::int64_t> number =
        text != nullptr ? wholeNumber(*text) : std::optional<std::int64_t>();
    if (number)
        row.number(*number);
    else
        row.null();
}

// The columns of one requirement set, after its number.
void appendSet(cRowBatch& row, const cRequirementSet& set, std::string& json) {
    optionalText(row, pairValue(set, "Stat"));
    optionalText(row, pairValue(set, "Operator"));
    const std::string* value = pairValue(set, "Value");
    optionalText(row, value);
    numberOf(row, value);
    json.clear();
    appendJson(json, set);
    row.utf8(json);
}

// A list position, counted from 1.
std::int64_t position(std::size_t index) {
    return std::int64_t(index) + 1;
}

// The one row of a list that holds nothing (an action without requirement
// sets, an event without functions): the item and the list's name, then NULL
// in every other column, so that the action or event is not lost.
void appendEmptyListRow(cRowSink& rows, eTable table, ZRID zrid, const std::string& name) {
    constexpr std::size_t kNamedColumns = 2; // zrid, then the action or event
    cRowBatch& row = rows.beginRow(table);
    row.number(zrid);
    row.text(name);
    for (std::size_t column = kNamedColumns; column < columnCount(table); ++column)
        row.null();
}

void appendActions(const cItemRecord& item, cRowSink& rows, std::string& json) {
    for (const auto& [action, sets] : item.actions) {
        if (sets.empty()) appendEmptyListRow(rows, kRequirements, item.zrid, action);
        for (std::size_t set = 0; set < sets.size(); ++set) {
            cRowBatch& row = rows.beginRow(kRequirements);
            row.number(item.zrid);
            row.text(action);
            row.number(position(set));
            appendSet(row, sets[set], json);
        }
    }
}

// The rows that begin (zrid, event, function_no).
cRowBatch& beginFunctionRow(cRowSink& rows, eTable table, const cItemRecord& item,
                            const std::string& event, std::size_t function) {
    cRowBatch& row = rows.beginRow(table);
    row.number(item.zrid);
    row.text(event);
    row.number(position(function));
    return row;
}

void appendEvents(const cItemRecord& item, cRowSink& rows, std::string& json) {
    for (const auto& [event, functions] : item.events) {
        if (functions.empty()) appendEmptyListRow(rows, kFunctions, item.zrid, event);
        for (std::size_t fn = 0; fn < functions.size(); ++fn) {
            const cFunctionRecord& function = functions[fn];
            if (function.attributes.empty()) {
                cRowBatch& row = beginFunctionRow(rows, kFunctions, item, event, fn);
                row.null();
                row.null();
            }
            for (const auto& [name, value] : function.attributes) {
                cRowBatch& row = beginFunctionRow(rows, kFunctions, item, event, fn);
                row.text(name);
                row.text(value);
            }
            for (std::size_t set = 0; set < function.requirements.size(); ++set) {
                cRowBatch& row = beginFunctionRow(rows, kFunctionRequirements, item, event, fn);
                row.number(position(set));
                appendSet(row, function.requirements[set], json);
            }
            for (std::size_t arg = 0; arg < function.arguments.size(); ++arg) {
                cRowBatch& row = beginFunctionRow(rows, kArguments, item, event, fn);
                row.number(position(arg));
                row.text(function.arguments[arg]);
            }
        }
    }
}

} // namespace

void cRowBatch::text(std::string_view windows1252) {
    const std::size_t begin = texts_.size();
    // Runs of ASCII are copied whole, and only the bytes between converted.
    for (std::size_t run = 0; run < windows1252.size();) {
        const std::size_t eightBit = nextEightBit(windows1252, run);
        texts_.append(windows1252.substr(run, eightBit - run));
        if (eightBit < windows1252.size())
            appendWindows1252(texts_, static_cast<unsigned char>(windows1252[eightBit]));
        run = eightBit + 1;
    }
    current_->push_back(cCell{cCell::eKind::text, static_cast<std::uint32_t>(texts_.size() - begin),
                              static_cast<std::int64_t>(begin)});
}

void cRowBatch::utf8(std::string_view text) {
    current_->push_back(cCell{cCell::eKind::text, static_cast<std::uint32_t>(text.size()),
                              static_cast<std::int64_t>(texts_.size())});
    texts_.append(text);
}

std::size_t cRowBatch::bytes() const {
    std::size_t total = texts_.size();
    for (const std::vector<cCell>& cells : cells_)
        total += cells.size() * sizeof(cCell);
    return total;
}

void cRowBatch::clear() {
    // Beyond this a batch held one huge item; its memory goes back.
    constexpr std::size_t kKeptBytes = std::size_t(64) << 20;
    const bool huge = bytes() > kKeptBytes;
    for (std::vector<cCell>& cells : cells_) {
        cells.clear();
        if (huge) cells.shrink_to_fit();
    }
    texts_.clear();
    if (huge) texts_.shrink_to_fit();
    current_ = &cells_[kItems];
}

void appendItemRows(const cItemRecord& item, const std::vector<std::string>& folders,
                    cRowSink& rows) {
    cRowBatch& itemRow = rows.beginRow(kItems);
    itemRow.number(item.zrid);
    itemRow.text(item.name);
    itemRow.number(item.ql);
    if (item.itemType >= 0 && item.itemType < kItemTypeCount)
        itemRow.utf8(kItemTypeNames[item.itemType]);
    else
        itemRow.null();
    itemRow.number(item.isNano ? 1 : 0);
    itemRow.text(item.description);

    for (const auto& [attribute, value] : item.attributes) {
        cRowBatch& row = rows.beginRow(kAttributes);
        row.number(item.zrid);
        row.text(attribute);
        row.text(value);
        numberOf(row, &value);
    }
    for (const auto& [skill, percent] : item.atkValues) {
        cRowBatch& row = rows.beginRow(kSkills);
        row.number(item.zrid);
        row.utf8("attack");
        row.text(skill);
        row.number(percent);
    }
    for (const auto& [skill, percent] : item.defValues) {
        cRowBatch& row = rows.beginRow(kSkills);
        row.number(item.zrid);
        row.utf8("defense");
        row.text(skill);
        row.number(percent);
    }
    std::string json;
    appendActions(item, rows, json);
    appendEvents(item, rows, json);
    for (const std::string& path : folders) {
        cRowBatch& row = rows.beginRow(kFolders);
        row.number(item.zrid);
        row.text(path);
    }
    if (folders.empty()) { // filed nowhere, which is then found through the index on path
        cRowBatch& row = rows.beginRow(kFolders);
        row.number(item.zrid);
        row.null();
    }
    // Every slot of the table the "Slot" attribute names, by the rule the
    // category tree files armor and utilities with, whatever the item's type
    // (none without the attribute, which most items lack).
    static const std::string kSlotAttribute = "Slot";
    if (item.attributes.count(kSlotAttribute) == 0) return;
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        if (!item.attributeContains(kSlotAttribute, kSlotNames[slot])) continue;
        cRowBatch& row = rows.beginRow(kSlots);
        row.number(item.zrid);
        row.utf8(kSlotNames[slot]);
    }
}

} // namespace quarry
