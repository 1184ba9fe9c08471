#include "report/item_difference.h"

#include "report/item_json.h"
#include "store/item_record.h"

#include <cstring>
#include <string_view>

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

class cComparison {
public:
    std::vector<cMemberChange> changes;

    // Values already written as JSON.
    void json(std::string path, std::string before, std::string after) {
        if (before != after)
            changes.push_back(cMemberChange{std::move(path), std::move(before), std::move(after)});
    }
    template <typename Value>
    void member(const char* name, const Value& before, const Value& after) {
        json(name, jsonOf(before), jsonOf(after));
    }
    // Both maps walked together in key order; a key on one side only is null on the other.
    template <typename Value>
    void map(const char* name, const std::map<std::string, Value>& before,
             const std::map<std::string, Value>& after) {
        auto old = before.begin();
        auto now = after.begin();
        while (old != before.end() || now != after.end()) {
            const bool takeOld =
                now == after.end() || (old != before.end() && old->first <= now->first);
            const bool takeNew =
                old == before.end() || (now != after.end() && now->first <= old->first);
            const std::string& key = takeOld ? old->first : now->first;
            json(std::string(name) + "." + key, takeOld ? jsonOf(old->second) : "null",
                 takeNew ? jsonOf(now->second) : "null");
            if (takeOld) ++old;
            if (takeNew) ++now;
        }
    }
};

std::string itemTypeJson(std::int32_t itemType) {
    std::string json;
    appendItemTypeJson(json, itemType);
    return json;
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

std::vector<cMemberChange> compareItems(const cItemRecord& before,
                                        const cItemFolders& beforeFolders, const cItemRecord& after,
                                        const cItemFolders& afterFolders) {
    cComparison compare;
    compare.member("name", before.name, after.name);
    compare.member("ql", before.ql, after.ql);
    compare.json("type", itemTypeJson(before.itemType), itemTypeJson(after.itemType));
    compare.member("nano", before.isNano, after.isNano);
    compare.member("description", before.description, after.description);
    compare.map("attributes", before.attributes, after.attributes);
    compare.map("attack", before.atkValues, after.atkValues);
    compare.map("defense", before.defValues, after.defValues);
    compare.map("actions", before.actions, after.actions);
    compare.map("events", before.events, after.events);
    compare.member("folders", beforeFolders, afterFolders);
    return std::move(compare.changes);
}

} // namespace quarry
