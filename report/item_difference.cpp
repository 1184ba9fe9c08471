#include "report/item_difference.h"

#include "report/item_json.h"
#include "store/item_record.h"

#include <cstring>
#include <iterator>
#include <string_view>
#include <type_traits>

namespace quarry {

namespace {

// A streaming 64-bit hash: each word goes through a step that, for a fixed
// word, is a bijection of the state, so a change in one word always reaches
// the result. Texts are framed by their lengths so no two sequences of texts
// run together alike.
class cDigest {
public:
    void add(std::uint64_t word) {
        state_ = ((state_ << 5 | state_ >> 59) ^ word) * 0x9E3779B97F4A7C15ull;
    }
    void add(std::string_view text) {
        add(std::uint64_t(text.size()));
        std::size_t at = 0;
        for (; at + 8 <= text.size(); at += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + at, 8);
            add(word);
        }
        if (at < text.size()) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + at, text.size() - at);
            add(word);
        }
    }
    void add(const std::string& text) { add(std::string_view(text)); }
    void add(std::int32_t number) { add(std::uint64_t(std::uint32_t(number))); }
    void add(bool flag) { add(std::uint64_t(flag)); }
    void add(const cFunctionRecord& function) {
        add(function.attributes);
        add(function.requirements);
        add(function.arguments);
    }
    template <typename Value> void add(const std::map<std::string, Value>& map) {
        add(std::uint64_t(map.size()));
        for (const auto& [name, value] : map) {
            add(name);
            add(value);
        }
    }
    template <typename Value> void add(const std::vector<Value>& list) {
        add(std::uint64_t(list.size()));
        for (const Value& value : list)
            add(value);
    }

    // The state's bits mixed once more, so that near states end far apart.
    std::uint64_t value() const {
        std::uint64_t x = state_;
        x ^= x >> 33;
        x *= 0xFF51AFD7ED558CCDull;
        x ^= x >> 33;
        x *= 0xC4CEB9FE1A85EC53ull;
        return x ^ (x >> 33);
    }

private:
    std::uint64_t state_ = 0x243F6A8885A308D3ull;
};

template <typename Value> std::string jsonOf(const Value& value) {
    std::string json;
    appendJson(json, value);
    return json;
}

std::string utf8Of(std::string_view windows1252) {
    std::string text;
    appendUtf8Text(text, windows1252);
    return text;
}

// The members' names, by kind.
constexpr const char* kMemberNames[] = {
    "name",       "ql",     "type",    "nano",    "description",
    "attributes", "attack", "defense", "actions", "events",
};
static_assert(std::size(kMemberNames) == std::size_t(eMemberKind::events) + 1);

class cMemberWriter {
public:
    cItemMembers members;

    void text(eMemberKind kind, std::string key, std::string_view value) {
        members.push_back(cItemMember{kind, std::move(key), jsonOf(value), utf8Of(value)});
    }
    template <typename Value> void value(eMemberKind kind, std::string key, const Value& value) {
        std::string json = jsonOf(value);
        std::string shown = json;
        members.push_back(cItemMember{kind, std::move(key), std::move(json), std::move(shown)});
    }
    template <typename Value> void map(eMemberKind kind, const std::map<std::string, Value>& map) {
        for (const auto& [key, item] : map) {
            if constexpr (std::is_same_v<Value, std::string>)
                text(kind, key, item);
            else
                value(kind, key, item);
        }
    }
};

bool sameMember(const cItemMember& a, const cItemMember& b) {
    return !a.before(b) && !b.before(a);
}

} // namespace

std::uint64_t itemDigest(const cItemRecord& item, const cItemFolders& folders) {
    cDigest digest;
    digest.add(item.zrid);
    digest.add(item.name);
    digest.add(item.ql);
    digest.add(item.itemType);
    digest.add(item.isNano);
    digest.add(item.description);
    digest.add(item.attributes);
    digest.add(item.atkValues);
    digest.add(item.defValues);
    digest.add(item.actions);
    digest.add(item.events);
    digest.add(folders);
    return digest.value();
}

std::string_view memberKindName(eMemberKind kind) {
    return kMemberNames[std::size_t(kind)];
}

std::string cItemMember::path() const {
    std::string path(memberKindName(kind));
    if (kind >= eMemberKind::attributes) path += "." + key;
    return path;
}

bool cItemMember::before(const cItemMember& other) const {
    return kind != other.kind ? kind < other.kind : key < other.key;
}

cItemMembers itemMembers(const cItemRecord& item) {
    cMemberWriter out;
    out.text(eMemberKind::name, {}, item.name);
    out.value(eMemberKind::ql, {}, item.ql);
    if (item.itemType >= 0 && item.itemType < kItemTypeCount) {
        out.text(eMemberKind::type, {}, kItemTypeNames[item.itemType]);
    } else {
        std::string none;
        appendItemTypeJson(none, item.itemType); // null
        out.members.push_back(cItemMember{eMemberKind::type, {}, none, none});
    }
    out.value(eMemberKind::nano, {}, item.isNano);
    out.text(eMemberKind::description, {}, item.description);
    out.map(eMemberKind::attributes, item.attributes);
    out.map(eMemberKind::attack, item.atkValues);
    out.map(eMemberKind::defense, item.defValues);
    out.map(eMemberKind::actions, item.actions);
    out.map(eMemberKind::events, item.events);
    return std::move(out.members);
}

bool cMemberRow::differs() const {
    for (const cItemMember* cell : cells) {
        const cItemMember* first = cells.front();
        if ((cell == nullptr) != (first == nullptr) || (cell && cell->json != first->json))
            return true;
    }
    return false;
}

std::vector<cMemberRow> memberRows(const std::vector<const cItemMembers*>& items) {
    // All lists walked together: each row takes the least member at the
    // heads, from every list whose head is that member.
    std::vector<std::size_t> heads(items.size(), 0);
    const auto headOf = [&](std::size_t item) -> const cItemMember* {
        return items[item] && heads[item] < items[item]->size() ? &(*items[item])[heads[item]]
                                                                : nullptr;
    };
    std::vector<cMemberRow> rows;
    for (;;) {
        const cItemMember* least = nullptr;
        for (std::size_t item = 0; item < items.size(); ++item)
            if (const cItemMember* head = headOf(item); head && (!least || head->before(*least)))
                least = head;
        if (least == nullptr) return rows;
        cMemberRow row{least->path(), std::vector<const cItemMember*>(items.size(), nullptr)};
        for (std::size_t item = 0; item < items.size(); ++item)
            if (const cItemMember* head = headOf(item); head && sameMember(*head, *least)) {
                row.cells[item] = head;
                ++heads[item];
            }
        rows.push_back(std::move(row));
    }
}

std::vector<cMemberChange> compareItems(const cItemRecord& before,
                                        const cItemFolders& beforeFolders, const cItemRecord& after,
                                        const cItemFolders& afterFolders) {
    const cItemMembers older = itemMembers(before);
    const cItemMembers newer = itemMembers(after);
    std::vector<cMemberChange> changes;
    for (const cMemberRow& row : memberRows({&older, &newer})) {
        if (!row.differs()) continue;
        const auto jsonIn = [](const cItemMember* cell) { return cell ? cell->json : "null"; };
        changes.push_back(cMemberChange{row.path, jsonIn(row.cells[0]), jsonIn(row.cells[1])});
    }
    if (beforeFolders != afterFolders)
        changes.push_back(cMemberChange{"folders", jsonOf(beforeFolders), jsonOf(afterFolders)});
    return changes;
}

} // namespace quarry
