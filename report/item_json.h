// Items as JSON (RFC 8259), for export and for the difference of two files.
// Texts from the item file are Windows-1252 bytes and come out as UTF-8;
// maps come out as objects in their byte order of names, lists in stored order.
#pragma once

#include "store/item_record.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

// Appends Windows-1252 bytes as UTF-8, without quotes or escapes.
void appendUtf8Text(std::string& out, std::string_view windows1252);

// JSON values. A text becomes a quoted string with '"', '\' and the control
// characters escaped.
void appendJson(std::string& out, std::string_view text);
inline void appendJson(std::string& out, const std::string& text) {
    appendJson(out, std::string_view(text));
}
void appendJson(std::string& out, std::int32_t number);
void appendJson(std::string& out, bool flag);
void appendJson(std::string& out, const cFunctionRecord& function);

// A map as an object of its members, a list as an array.
template <typename Value>
void appendJson(std::string& out, const std::map<std::string, Value>& map);
template <typename Value> void appendJson(std::string& out, const std::vector<Value>& list);

template <typename Value>
void appendJson(std::string& out, const std::map<std::string, Value>& map) {
    out += '{';
    bool first = true;
    for (const auto& [name, value] : map) {
        if (!first) out += ',';
        first = false;
        appendJson(out, name);
        out += ':';
        appendJson(out, value);
    }
    out += '}';
}
template <typename Value> void appendJson(std::string& out, const std::vector<Value>& list) {
    out += '[';
    bool first = true;
    for (const Value& value : list) {
        if (!first) out += ',';
        first = false;
        appendJson(out, value);
    }
    out += ']';
}

// The item type's name from the table as a string, null for none.
void appendItemTypeJson(std::string& out, std::int32_t itemType);

// The whole item as one object, its members in export order, with the paths of
// the folders it is filed under; no line end.
void appendItemJson(std::string& out, const cItemRecord& item,
                    const std::vector<std::string>& folders);

} // namespace quarry
