#include "search/query_index.h"

#include "store/freed_beside.h"
#include "store/work_pacer.h"

#include "search/flat_arrays.h"
#include "search/name_text.h"
#include "store/item_record.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quarry {

namespace {

// The keys of the pairs read, made once rather than for every lookup.
const std::string kStatKey = "Stat";
const std::string kValueKey = "Value";
const std::string kSlotKey = "Slot";
const std::string kNameKey = "Name";

// Appends one entry, unless the list is full (its ends are 32-bit).
template <class Entry> void append(cItemLists<Entry>& lists, const Entry& entry) {
    if (lists.entries.size() < UINT32_MAX) lists.entries.push_back(entry);
}

template <class Entry> void endItem(cItemLists<Entry>& lists) {
    lists.ends.push_back(static_cast<std::uint32_t>(lists.entries.size()));
}

template <class Entry> void clearLists(cItemLists<Entry>& lists) {
    std::vector<std::uint32_t>().swap(lists.ends);
    std::vector<Entry>().swap(lists.entries);
}

// Whether the lists of a field are empty (not gathered) or hold one end per
// item, ascending, within the entries.
template <class Entry> bool listsAgree(const cItemLists<Entry>& lists, std::size_t items) {
    if (lists.ends.empty()) return lists.entries.empty();
    if (lists.ends.size() != items) return false;
    std::uint32_t end = 0;
    for (const std::uint32_t next : lists.ends) {
        if (next < end) return false;
        end = next;
    }
    return end <= lists.entries.size();
}

bool keyOf(std::uint32_t key, const cTextPool& pool) {
    return key < pool.size();
}
bool keyOf(const cSkillPercent& entry, const cTextPool& pool) {
    return entry.key < pool.size();
}
bool keyOf(const cKeyedValue& entry, const cTextPool& pool, const cTextPool& values) {
    return entry.key < pool.size() &&
           (entry.value.isNumber() || entry.value.textId() < values.size());
}

// Whether every entry of the lists is a key of `pool` (and, with values,
// names a text of `values`), besides listsAgree().
template <class Entry, class... Values>
bool keysAgree(const cItemLists<Entry>& lists, std::size_t items, const cTextPool& pool,
               const Values&... values) {
    if (!listsAgree(lists, items) || !pool.restored()) return false;
    return std::all_of(lists.entries.begin(), lists.entries.end(),
                       [&](const Entry& entry) { return keyOf(entry, pool, values...); });
}

template <class Entry> void shrinkLists(cItemLists<Entry>& lists) {
    lists.ends.shrink_to_fit();
    lists.entries.shrink_to_fit();
}

// Interns `text` and appends its id; a text the pool cannot take is left out.
void appendText(cItemLists<std::uint32_t>& lists, cTextPool& pool, std::string_view text) {
    const std::uint32_t id = pool.intern(text);
    if (id != cTextPool::kNoText) append(lists, id);
}

void appendSkills(cItemLists<cSkillPercent>& lists, cTextPool& pool,
                  const std::map<std::string, std::int32_t>& skills) {
    for (const auto& [skill, percent] : skills) {
        const std::uint32_t id = pool.intern(skill);
        if (id != cTextPool::kNoText) append(lists, cSkillPercent{id, percent});
    }
    endItem(lists);
}

std::uint32_t slotBitsOf(std::string_view slotText) {
    std::uint32_t bits = 0;
    for (std::int32_t s = 0; s < kSlotCount; ++s)
        if (slotText.find(kSlotNames[s]) != std::string_view::npos) bits |= 1u << s;
    return bits;
}

// Keeps the pairs of a map named by `keys` and drops the rest: taking those
// out and clearing frees the nodes without rebalancing for each.
template <class Map, class... Keys> void keepOnly(Map& map, const Keys&... keys) {
    std::array kept{map.extract(keys)...};
    map.clear();
    for (auto& pair : kept)
        if (pair) map.insert(std::move(pair));
}

std::string_view valueOf(const std::map<std::string, std::string>& pairs, const std::string& key) {
    const auto found = pairs.find(key);
    return found == pairs.end() ? std::string_view() : std::string_view(found->second);
}

// The number a text writes in its plain decimal form (an optional "-", no
// leading zeros, no "-0") when it fits a value cell.
std::optional<std::int32_t> plainNumber(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 10 || (digits[0] == '0' && digits.size() > 1) ||
        (negative && digits == "0"))
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < cValueCell::kLowest || value > cValueCell::kHighest) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

std::uint32_t cQueryIndex::slotBits(const cItemRecord& item) {
    const auto slot = item.attributes.find(kSlotKey);
    if (slot == item.attributes.end()) return 0;
    if (const auto known = slotBitsByText_.find(slot->second); known != slotBitsByText_.end())
        return known->second;
    const std::uint32_t bits = slotBitsOf(slot->second);
    if (slotBitsByText_.size() < kMostSlotTextsKept) slotBitsByText_.emplace(slot->second, bits);
    return bits;
}

std::optional<cValueCell> cQueryIndex::valueCell(std::string_view text) {
    if (const std::optional<std::int32_t> number = plainNumber(text))
        return cValueCell::number(*number);
    const std::uint32_t id = data_.valueTexts.intern(text);
    if (id == cTextPool::kNoText || id > cValueCell::kMostTextId) return std::nullopt;
    return cValueCell::text(id);
}

void cQueryIndex::pace() {
    if (pacer_ != nullptr) pacer_->step();
}

void cQueryIndex::trimLoaded(cItemRecord& item) const {
    // Filing reads the "Slot" attribute whatever the fields.
    if (!fields_.has(eQueryField::attr)) keepOnly(item.attributes, kSlotKey);
    if (!fields_.has(eQueryField::def)) item.defValues.clear();
    if (!fields_.has(eQueryField::req) && !fields_.has(eQueryField::action)) item.actions.clear();
    // A requirement is read by its stat and value only; an action by its name.
    for (auto& action : item.actions)
        for (cRequirementSet& set : action.second)
            if (!fields_.has(eQueryField::req))
                set.clear();
            else
                keepOnly(set, kStatKey, kValueKey);
    if (!fields_.has(eQueryField::event) && !fields_.has(eQueryField::func) &&
        !fields_.has(eQueryField::arg))
        item.events.clear();
    item.description = {}; // no field reads it
}

void cQueryIndex::itemLoaded(const cItemRecord& item, const cItemFolders& folders) {
    add(item, folders);
}

void cQueryIndex::expectItems(std::size_t items) {
    names_.expectItems(items);
    const std::size_t total = data_.zrids.size() + items;
    data_.zrids.reserve(total);
    data_.qls.reserve(total);
    data_.types.reserve(total);
    data_.nanos.reserve(total);
    data_.slotMasks.reserve(total);
    data_.namePositions.reserve(total);
    // Each list's ends are one element per item too: room now, rather than a
    // copy of millions of them when one fills up.
    for (auto* ends :
         {&data_.folders.ends, &data_.actions.ends, &data_.events.ends, &data_.functions.ends,
          &data_.arguments.ends, &data_.attributes.ends, &data_.requirements.ends,
          &data_.attackSkills.ends, &data_.defenceSkills.ends})
        ends->reserve(total);
}

bool cQueryIndex::add(const cItemRecord& item, const cItemFolders& folderPaths) {
    const auto number = static_cast<std::uint32_t>(data_.zrids.size());
    const std::size_t position = names_.size() + names_.pendingCount();
    if (!names_.add(number, item.name, item.ql)) return false;
    data_.zrids.push_back(item.zrid);
    data_.qls.push_back(item.ql);
    const bool typed = item.itemType >= 0 && item.itemType < kItemTypeCount;
    data_.types.push_back(static_cast<std::uint8_t>(typed ? item.itemType : kItemTypeNone));
    data_.nanos.push_back(item.isNano ? 1 : 0);
    data_.slotMasks.push_back(fields_.has(eQueryField::slot) ? slotBits(item) : 0);
    data_.namePositions.push_back(static_cast<std::uint32_t>(position));

    if (fields_.has(eQueryField::folder)) {
        for (const std::string& path : folderPaths)
            appendText(data_.folders, data_.folderPaths, path);
        endItem(data_.folders);
    }
    if (fields_.has(eQueryField::attr)) {
        data_.attributeNames.expect(item.attributes.size());
        data_.valueTexts.expect(item.attributes.size());
        for (const auto& [name, value] : item.attributes) {
            pace();
            const std::uint32_t key = data_.attributeNames.intern(name);
            const std::optional<cValueCell> cell = valueCell(value);
            if (key != cTextPool::kNoText && cell)
                append(data_.attributes, cKeyedValue{key, *cell});
        }
        endItem(data_.attributes);
    }
    if (fields_.has(eQueryField::req)) {
        for (const auto& action : item.actions)
            for (const cRequirementSet& set : action.second) {
                pace();
                const auto stat = set.find(kStatKey);
                if (stat == set.end()) continue;
                const std::uint32_t key = data_.statNames.intern(stat->second);
                const std::optional<cValueCell> cell = valueCell(valueOf(set, kValueKey));
                if (key != cTextPool::kNoText && cell)
                    append(data_.requirements, cKeyedValue{key, *cell});
            }
        endItem(data_.requirements);
    }
    if (fields_.has(eQueryField::atk))
        appendSkills(data_.attackSkills, data_.attackSkillNames, item.atkValues);
    if (fields_.has(eQueryField::def))
        appendSkills(data_.defenceSkills, data_.defenceSkillNames, item.defValues);
    if (fields_.has(eQueryField::action)) {
        for (const auto& action : item.actions) {
            pace();
            appendText(data_.actions, data_.actionNames, action.first);
        }
        endItem(data_.actions);
    }
    if (fields_.has(eQueryField::event)) {
        for (const auto& event : item.events) {
            pace();
            appendText(data_.events, data_.eventNames, event.first);
        }
        endItem(data_.events);
    }
    if (fields_.has(eQueryField::func) || fields_.has(eQueryField::arg)) {
        for (const auto& event : item.events)
            for (const cFunctionRecord& function : event.second) {
                pace();
                if (const auto name = function.attributes.find(kNameKey);
                    name != function.attributes.end() && fields_.has(eQueryField::func))
                    appendText(data_.functions, data_.functionNames, name->second);
                if (fields_.has(eQueryField::arg))
                    for (const std::string& argument : function.arguments)
                        appendText(data_.arguments, data_.argumentTexts, argument);
            }
        if (fields_.has(eQueryField::func)) endItem(data_.functions);
        if (fields_.has(eQueryField::arg)) endItem(data_.arguments);
    }
    return true;
}

void cQueryIndex::commitPending() {
    if (committing_ || names_.pendingCount() == 0) return;
    names_.commitPending();
    placeNames();
}

void cQueryIndex::commitPending(const std::function<void()>& waiting) {
    if (committing_ || names_.pendingCount() == 0) return;
    committing_ = true;
    names_.commitPending(waiting);
    committing_ = false;
    placeNames();
}

void cQueryIndex::commitInIndexOrder() {
    if (committing_ || names_.pendingCount() == 0) return;
    names_.commitInIndexOrder();
    placeNames();
}

void cQueryIndex::placeNames() {
    for (std::uint32_t position = 0; position < names_.size(); ++position)
        data_.namePositions[names_.item(position)] = position;
}

bool cQueryIndex::restored() {
    const std::size_t items = data_.zrids.size();
    const auto perItem = [items](const auto& array) { return array.size() == items; };
    const bool agree =
        items < UINT32_MAX && perItem(data_.qls) && perItem(data_.types) && perItem(data_.nanos) &&
        perItem(data_.slotMasks) && perItem(data_.namePositions) &&
        std::all_of(data_.types.begin(), data_.types.end(),
                    [](std::uint8_t type) { return type <= kItemTypeNone; }) &&
        std::all_of(data_.namePositions.begin(), data_.namePositions.end(),
                    [items](std::uint32_t position) { return position < items; }) &&
        data_.valueTexts.restored() && data_.valueTexts.size() <= cValueCell::kMostTextId &&
        keysAgree(data_.folders, items, data_.folderPaths) &&
        keysAgree(data_.attributes, items, data_.attributeNames, data_.valueTexts) &&
        keysAgree(data_.requirements, items, data_.statNames, data_.valueTexts) &&
        keysAgree(data_.attackSkills, items, data_.attackSkillNames) &&
        keysAgree(data_.defenceSkills, items, data_.defenceSkillNames) &&
        keysAgree(data_.actions, items, data_.actionNames) &&
        keysAgree(data_.events, items, data_.eventNames) &&
        keysAgree(data_.functions, items, data_.functionNames) &&
        keysAgree(data_.arguments, items, data_.argumentTexts) && names_.restored(items);
    fields_ = cQueryFieldSet::all();
    if (!agree) clear();
    ++generation_;
    return agree;
}

void cQueryIndex::shrinkToFit() {
    names_.shrinkToFit();
    for (auto* array : {&data_.qls, &data_.zrids})
        array->shrink_to_fit();
    data_.types.shrink_to_fit();
    data_.nanos.shrink_to_fit();
    data_.slotMasks.shrink_to_fit();
    data_.namePositions.shrink_to_fit();
    shrinkLists(data_.folders);
    shrinkLists(data_.attributes);
    shrinkLists(data_.requirements);
    shrinkLists(data_.attackSkills);
    shrinkLists(data_.defenceSkills);
    shrinkLists(data_.actions);
    shrinkLists(data_.events);
    shrinkLists(data_.functions);
    shrinkLists(data_.arguments);
    for (cTextPool* pool :
         {&data_.folderPaths, &data_.attributeNames, &data_.statNames, &data_.attackSkillNames,
          &data_.defenceSkillNames, &data_.actionNames, &data_.eventNames, &data_.functionNames,
          &data_.argumentTexts, &data_.valueTexts})
        pool->shrinkToFit();
}

void cQueryIndex::clear() {
    const std::size_t items = data_.zrids.size();
    freeBesideWhenLarge(names_, items);
    freeBesideWhenLarge(data_, items);
    names_.clear();
    data_ = cQueryData();
    slotBitsByText_.clear();
    ++generation_;
}

void cQueryIndex::adopt(cQueryIndex&& other) {
    fields_ = other.fields_;
    names_ = std::move(other.names_);
    data_ = std::move(other.data_);
    other.clear();
    ++generation_;
}

bool cQueryIndex::attributeText(std::uint32_t item, std::string_view name,
                                std::string& text) const {
    const auto [first, last] = data_.attributes.range(item);
    for (std::size_t i = first; i < last; ++i) {
        const cKeyedValue& entry = data_.attributes.entries[i];
        if (!equalFolded(data_.attributeNames.text(entry.key), name)) continue;
        if (entry.value.isNumber()) {
            text = std::to_string(entry.value.asNumber());
        } else {
            text = data_.valueTexts.text(entry.value.textId());
        }
        return true;
    }
    return false;
}

const cTextPool* cQueryIndex::namesOf(eQueryField field) const {
    switch (field) {
    case eQueryField::folder:
        return &data_.folderPaths;
    case eQueryField::attr:
        return &data_.attributeNames;
    case eQueryField::req:
        return &data_.statNames;
    case eQueryField::atk:
        return &data_.attackSkillNames;
    case eQueryField::def:
        return &data_.defenceSkillNames;
    case eQueryField::action:
        return &data_.actionNames;
    case eQueryField::event:
        return &data_.eventNames;
    case eQueryField::func:
        return &data_.functionNames;
    case eQueryField::arg:
        return &data_.argumentTexts;
    default:
        return nullptr;
    }
}

std::vector<std::string_view> cQueryIndex::namesByFrequency(eQueryField field) const {
    std::vector<std::string_view> names;
    if (const cTextPool* pool = namesOf(field))
        for (const std::uint32_t id : pool->idsByFrequency())
            names.push_back(pool->text(id));
    return names;
}

std::size_t cQueryIndex::bytesHeld() const {
    std::size_t bytes = 0;
    forEachArray([&bytes](const auto& array) { bytes += bytesOf(array); });
    return bytes;
}

} // namespace quarry
