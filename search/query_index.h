// What the item query language asks of every item the tree build loaded,
// gathered on the way (the loaded-item sink) and kept as flat arrays.
//
// Items are numbered 0, 1, 2, ... in the order they arrive, which is index
// order. Per item there is one element in each of: identifier, QL, type,
// nano flag, slots, and where its name lies in the name index (name_index.h,
// which keeps the names in name order for scanning). What an item holds any
// number of (folder paths, attributes, action requirements, attack and
// defence skills, actions, events, functions, arguments) lies in one list per
// field: every item's entries back to back in item order, and where each
// item's entries end. Texts that repeat are interned (text_pool.h), so an
// entry is a text id and, where the field has one, a value. One predicate
// over every item is then a scan of one or two arrays.
//
// Items are added pending and become searchable on commitPending(): the
// searchable items are always items 0 to size() - 1. Item numbers stay valid
// until clear(), which changes generation().
#pragma once

#include "search/name_index.h"
#include "search/query_fields.h"
#include "search/text_pool.h"
#include "store/store_host.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quarry {

// The value of an attribute or a requirement. A whole number written in its
// plain decimal form (no "+", no leading zeros) that fits in 31 bits is kept
// as that number; any other text as the id of its text in the value texts.
class cValueCell {
public:
    static constexpr std::int64_t kLowest = -(std::int64_t(1) << 30);
    static constexpr std::int64_t kHighest = (std::int64_t(1) << 30) - 1;
    static constexpr std::uint32_t kMostTextId = (1u << 31) - 1;

    cValueCell() = default; // the number 0
    static cValueCell number(std::int32_t value) {
        return cValueCell(static_cast<std::uint32_t>(value) & ~kTextBit);
    }
    static cValueCell text(std::uint32_t id) { return cValueCell(id | kTextBit); }

    bool isNumber() const { return (bits_ & kTextBit) == 0; }
    // The number: bits 0 to 30, sign-extended.
    std::int32_t asNumber() const { return static_cast<std::int32_t>(bits_ << 1) >> 1; }
    std::uint32_t textId() const { return bits_ & ~kTextBit; }

private:
    static constexpr std::uint32_t kTextBit = 1u << 31;
    explicit cValueCell(std::uint32_t bits) : bits_(bits) {}
    std::uint32_t bits_ = 0;
};

// An attribute (key: its name) or a requirement set of an action (key: its
// "Stat"), with its value.
struct cKeyedValue {
    std::uint32_t key;
    cValueCell value;
};

// An attack or defence skill and its percent.
struct cSkillPercent {
    std::uint32_t key;
    std::int32_t percent;
};

// Every item's entries of one field, back to back in item order.
template <class Entry> struct cItemLists {
    std::vector<std::uint32_t> ends; // per item: one past its last entry
    std::vector<Entry> entries;

    // The item's entries as [first, last); empty when the field was not gathered.
    std::pair<std::size_t, std::size_t> range(std::uint32_t item) const {
        if (item >= ends.size()) return {0, 0};
        return {item == 0 ? 0 : ends[item - 1], ends[item]};
    }
};

// The arrays of the index, named for the fields that read them.
struct cQueryData {
    // One element per item.
    std::vector<ZRID> zrids;
    std::vector<std::int32_t> qls;
    std::vector<std::uint8_t> types;          // position in kItemTypeNames, or kItemTypeNone
    std::vector<std::uint8_t> nanos;          // 1 for a nano program
    std::vector<std::uint32_t> slotMasks;     // bit s: the "Slot" attribute holds kSlotNames[s]
    std::vector<std::uint32_t> namePositions; // in the name index

    cItemLists<std::uint32_t> folders; // keys in folderPaths
    cTextPool folderPaths;
    cItemLists<cKeyedValue> attributes; // keys in attributeNames, texts in valueTexts
    cTextPool attributeNames;
    cItemLists<cKeyedValue> requirements; // keys in statNames, texts in valueTexts
    cTextPool statNames;
    cItemLists<cSkillPercent> attackSkills; // keys in attackSkillNames
    cTextPool attackSkillNames;
    cItemLists<cSkillPercent> defenceSkills; // keys in defenceSkillNames
    cTextPool defenceSkillNames;
    cItemLists<std::uint32_t> actions; // keys in actionNames
    cTextPool actionNames;
    cItemLists<std::uint32_t> events; // keys in eventNames
    cTextPool eventNames;
    cItemLists<std::uint32_t> functions; // keys in functionNames
    cTextPool functionNames;
    cItemLists<std::uint32_t> arguments; // keys in argumentTexts
    cTextPool argumentTexts;
    cTextPool valueTexts;

    template <class Visit> void forEachArray(Visit&& visit) const { visitArrays(*this, visit); }
    template <class Visit> void fillEachArray(Visit&& visit) { visitArrays(*this, visit); }

private:
    template <class Self, class Visit> static void visitArrays(Self& self, Visit& visit) {
        visit(self.zrids);
        visit(self.qls);
        visit(self.types);
        visit(self.nanos);
        visit(self.slotMasks);
        visit(self.namePositions);
        const auto lists = [&](auto& lists) {
            visit(lists.ends);
            visit(lists.entries);
        };
        lists(self.folders);
        lists(self.attributes);
        lists(self.requirements);
        lists(self.attackSkills);
        lists(self.defenceSkills);
        lists(self.actions);
        lists(self.events);
        lists(self.functions);
        lists(self.arguments);
        for (auto* pool :
             {&self.folderPaths, &self.attributeNames, &self.statNames, &self.attackSkillNames,
              &self.defenceSkillNames, &self.actionNames, &self.eventNames, &self.functionNames,
              &self.argumentTexts, &self.valueTexts})
            if constexpr (std::is_const_v<Self>)
                pool->forEachArray(visit);
            else
                pool->fillEachArray(visit);
    }
};

class cItemRecord;

class cQueryIndex : public cLoadedItemSink {
public:
    // Which fields to gather for the items added from now on (all by
    // default). The name, QL, identifier, type and nano flag are always
    // gathered; a field left out answers as if no item had any.
    void setFields(cQueryFieldSet fields) { fields_ = fields; }
    cQueryFieldSet fields() const { return fields_; }

    // Adds a loaded item with the folders it was filed under (the labels
    // below the top node joined by "/", in tree order). False, with nothing
    // added, when the name index is full.
    bool add(const cItemRecord& item, const cItemFolders& folderPaths);
    // cLoadedItemSink
    void itemLoaded(const cItemRecord& item, const cItemFolders& folders) override;
    void paceWith(cWorkPacer* pacer) override { pacer_ = pacer; }
    void trimLoaded(cItemRecord& item) const override;
    // Makes room for that many more items in the arrays of one element each.
    void expectItems(std::size_t items) override;

    // Makes the pending items searchable.
    void commitPending();
    // The same, sorting beside while `waiting` runs on this thread (see
    // cNameIndex); a commit asked for meanwhile is left to this one.
    void commitPending(const std::function<void()>& waiting);
    // The same without filing the names into name order (cNameIndex::
    // commitInIndexOrder): for one query with no name words, whose matches
    // are few to sort.
    void commitInIndexOrder();
    // Gives back the room kept for more items, once no more will come.
    void shrinkToFit();
    // Forgets every item (a new import begins); a large index is freed on a
    // thread beside.
    void clear();
    // Takes every item of `other` in place of its own (an index read beside):
    // a change like clear() for those who watch generation().
    void adopt(cQueryIndex&& other);

    // Searchable items: 0 to size() - 1.
    std::uint32_t size() const { return static_cast<std::uint32_t>(names_.size()); }
    std::size_t pendingCount() const { return names_.pendingCount(); }
    std::uint64_t generation() const { return generation_; }

    // One item, searchable or pending.
    ZRID zrid(std::uint32_t item) const { return data_.zrids[item]; }
    std::int32_t ql(std::uint32_t item) const { return data_.qls[item]; }
    std::string_view name(std::uint32_t item) const {
        return names_.name(data_.namePositions[item]);
    }
    // Where the item's name lies in name order (searchable items).
    std::uint32_t namePosition(std::uint32_t item) const { return data_.namePositions[item]; }
    std::string_view foldedName(std::uint32_t item) const {
        return names_.foldedName(data_.namePositions[item]);
    }
    // The value text of the item's attribute `name` (compared without A-Z
    // case; of several, the first in key order); false when it has none.
    bool attributeText(std::uint32_t item, std::string_view name, std::string& text) const;

    // For completion: the names that occur after attr:, req:, atk:, def:,
    // action:, event: and func: (also folder: and arg:), most frequent first.
    std::vector<std::string_view> namesByFrequency(eQueryField field) const;

    const cNameIndex& names() const { return names_; }
    const cQueryData& data() const { return data_; }
    // Memory held by every array, the name index included.
    std::size_t bytesHeld() const;
    template <class Visit> void forEachArray(Visit&& visit) const {
        names_.forEachArray(visit);
        data_.forEachArray(visit);
    }
    // The same with arrays to fill (a cache being read), in the same order;
    // restored() follows.
    template <class Visit> void fillEachArray(Visit&& visit) {
        names_.fillEachArray(visit);
        data_.fillEachArray(visit);
    }
    // After fillEachArray: whether the arrays agree with one another, so that
    // every number a search reads as a position lies inside its array. They
    // are then the searchable items, of every field; otherwise the index is
    // cleared.
    bool restored();

private:
    // One entry of an item gathered: the window may answer between two.
    void pace();
    // Each item's place in name order, after a commit.
    void placeNames();
    // The slots of the table the item's "Slot" attribute holds, as bits.
    // Items share a few slot texts, so each text's bits are kept once found.
    std::uint32_t slotBits(const cItemRecord& item);
    static constexpr std::size_t kMostSlotTextsKept = 4096;
    // The cell of a value; none when the value texts cannot take it.
    std::optional<cValueCell> valueCell(std::string_view text);
    const cTextPool* namesOf(eQueryField field) const;

    cQueryFieldSet fields_ = cQueryFieldSet::all();
    cNameIndex names_;
    cQueryData data_;
    std::uint64_t generation_ = 0;
    bool committing_ = false; // a commit sorts beside
    cWorkPacer* pacer_ = nullptr;
    std::unordered_map<std::string, std::uint32_t> slotBitsByText_;
};

} // namespace quarry
