#include "search/query_fields.h"

#include "search/name_text.h"
#include "store/item_record.h"

namespace quarry {

namespace {

constexpr std::string_view kFieldNames[kQueryFieldCount] = {
    "name", "ql",  "id",  "type",   "slot",  "is",   "folder", "attr",
    "req",  "atk", "def", "action", "event", "func", "arg",
};

// What type: takes besides the type names: an item without a type.
constexpr std::string_view kNoType = "none";
constexpr std::string_view kFlags[] = {"nano"};

} // namespace

std::string_view queryFieldName(eQueryField field) {
    return kFieldNames[static_cast<int>(field)];
}

std::optional<eQueryField> queryFieldNamed(std::string_view text) {
    for (int field = 0; field < kQueryFieldCount; ++field)
        if (equalFolded(text, kFieldNames[field])) return static_cast<eQueryField>(field);
    return std::nullopt;
}

std::vector<std::string_view> fixedQueryValues(eQueryField field) {
    std::vector<std::string_view> values;
    switch (field) {
    case eQueryField::type:
        values.assign(std::begin(kItemTypeNames), std::end(kItemTypeNames));
        values.push_back(kNoType);
        break;
    case eQueryField::slot:
        values.assign(std::begin(kSlotNames), std::end(kSlotNames));
        break;
    case eQueryField::is:
        values.assign(std::begin(kFlags), std::end(kFlags));
        break;
    default:
        break;
    }
    return values;
}

} // namespace quarry
