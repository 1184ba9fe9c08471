#include "report/item_json.h"

#include "platform/windows_1252.h"

#include <charconv>

namespace quarry {

namespace {

// Bytes that go out as they are: printable ASCII but the two JSON must escape.
bool isPlainJsonByte(unsigned char byte) {
    return byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\';
}

void appendEscaped(std::string& out, unsigned char byte) {
    switch (byte) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (byte < 0x20) {
        constexpr char kHexDigits[] = "0123456789abcdef";
        out += "\\u00";
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0xF];
    } else {
        appendWindows1252(out, byte);
    }
}

// One "name":value member of the object being written; the first member
// follows the object's opening brace, every other one a comma.
template <typename Name, typename Value>
void appendMember(std::string& out, const Name& name, const Value& value) {
    if (out.back() != '{') out += ',';
    out += '"';
    out += name;
    out += "\":";
    appendJson(out, value);
}

} // namespace

void appendUtf8Text(std::string& out, std::string_view windows1252) {
    for (const char c : windows1252)
        appendWindows1252(out, static_cast<unsigned char>(c));
}

void appendJson(std::string& out, std::string_view text) {
    out += '"';
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (isPlainJsonByte(byte)) continue;
        out.append(text.substr(runStart, i - runStart));
        appendEscaped(out, byte);
        runStart = i + 1;
    }
    out.append(text.substr(runStart));
    out += '"';
}

void appendJson(std::string& out, std::int32_t number) {
    char digits[16];
    const auto written = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, written.ptr);
}

void appendJson(std::string& out, bool flag) {
    out += flag ? "true" : "false";
}

void appendJson(std::string& out, const cFunctionRecord& function) {
    out += '{';
    appendMember(out, "attributes", function.attributes);
    appendMember(out, "requirements", function.requirements);
    appendMember(out, "arguments", function.arguments);
    out += '}';
}

void appendItemTypeJson(std::string& out, std::int32_t itemType) {
    if (itemType >= 0 && itemType < kItemTypeCount)
        appendJson(out, std::string_view(kItemTypeNames[itemType]));
    else
        out += "null";
}

void appendItemJson(std::string& out, const cItemRecord& item,
                    const std::vector<std::string>& folders) {
    out += '{';
    appendMember(out, "zrid", item.zrid);
    appendMember(out, "name", item.name);
    appendMember(out, "ql", item.ql);
    out += ",\"type\":";
    appendItemTypeJson(out, item.itemType);
    appendMember(out, "nano", item.isNano);
    appendMember(out, "description", item.description);
    appendMember(out, "attributes", item.attributes);
    appendMember(out, "attack", item.atkValues);
    appendMember(out, "defense", item.defValues);
    appendMember(out, "actions", item.actions);
    appendMember(out, "events", item.events);
    appendMember(out, "folders", folders);
    out += '}';
}

} // namespace quarry
