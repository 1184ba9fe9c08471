// One parsed item: everything an "Item" element of the item file holds once
// the loader has read it. Records are made for one display or one step of the
// tree build and then dropped; nothing parsed is kept.
//
// Every map is keyed by text in byte-wise order (std::string's comparison goes
// through char_traits<char>, which compares bytes as unsigned values, a prefix
// first, case-sensitive). Every insert keeps an existing key, so the first
// element of a name in file order wins.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

// The attributes of one "Requirement" tag.
using cRequirementSet = std::map<std::string, std::string>;

// One "Function" element of an event.
struct cFunctionRecord {
    std::map<std::string, std::string> attributes; // the "Function" tag's pairs
    std::vector<cRequirementSet> requirements;     // one per "Requirement", file order
    std::vector<std::string> arguments;            // one per "Argument" with a value
};

// Item types; an item's itemType is the position of its type in this table.
inline constexpr std::int32_t kItemTypeCount = 7;
inline constexpr std::int32_t kItemTypeNone = kItemTypeCount; // no type, or one not in the table
inline constexpr const char* kItemTypeNames[kItemTypeCount] = {
    "Weapon", "Armor", "Utility", "Misc", "Implant", "Spirit", "NPC",
};

// The position of a name in kItemTypeNames, compared exactly; kItemTypeNone
// when it is not there. For naming the types the category tree files apart.
constexpr std::int32_t itemTypeNamed(std::string_view name) {
    for (std::int32_t type = 0; type < kItemTypeCount; ++type)
        if (name == kItemTypeNames[type]) return type;
    return kItemTypeNone;
}
inline constexpr std::int32_t kWeaponType = itemTypeNamed("Weapon");
inline constexpr std::int32_t kArmorType = itemTypeNamed("Armor");
inline constexpr std::int32_t kUtilityType = itemTypeNamed("Utility");
static_assert(kWeaponType != kItemTypeNone && kArmorType != kItemTypeNone &&
              kUtilityType != kItemTypeNone);

// Equipment slots: positions 0 to 14 are armor slots, 15 to 27 utility slots.
inline constexpr std::int32_t kSlotCount = 28;
inline constexpr const char* kSlotNames[kSlotCount] = {
    "Neck",       "Head",    "Back",       "RightShoulder", "Chest",     "LeftShoulder", "RightArm",
    "Hands",      "LeftArm", "RightWrist", "Legs",          "LeftWrist", "RightFinger",  "Feet",
    "LeftFinger", "HUD1",    "HUD2",       "HUD3",          "UTIL1",     "UTIL2",        "UTIL3",
    "BELT",       "NCU1",    "NCU2",       "NCU3",          "NCU4",      "NCU5",         "NCU6",
};
inline constexpr std::int32_t kArmorSlotFirst = 0;
inline constexpr std::int32_t kArmorSlotCount = 15;
inline constexpr std::int32_t kUtilitySlotFirst = 15;
inline constexpr std::int32_t kUtilitySlotCount = 13;

// The position of an item type name in kItemTypeNames, comparing the letters
// A to Z without regard to case; kItemTypeNone when no name is equal.
std::int32_t findItemType(std::string_view name);

class cItemRecord {
public:
    // Empty texts and maps; the numbers mean nothing until a load fills them.
    cItemRecord() = default;
    // Sets identifier and name, then applies setDefaults().
    cItemRecord(ZRID zrid, std::string name);

    // description "--there's no description for this item--", ql 0,
    // itemType kItemTypeNone, isNano false.
    void setDefaults();
    void setDescription(std::string text);
    void addAttribute(const std::string& name, const std::string& value);
    void addAtkValue(const std::string& name, std::int32_t percent);
    void addDefValue(const std::string& name, std::int32_t percent);

    // False without an attribute `name`; otherwise whether `text` occurs in its
    // value as a run of bytes (an empty text occurs in every value).
    bool attributeContains(const std::string& name, std::string_view text) const;
    bool hasAtkValue(const std::string& name) const;

    // The tree label: "name (QL ql)", or the name alone for a nano program.
    std::string treeLabel() const;
    // Appends the item's node under `parent` (0: the top level), labelled with
    // treeLabel() and carrying zrid as its data; returns the node.
    TreeItemHandle addToTree(cTreeControl& tree, TreeItemHandle parent) const;

    // The key the record was loaded by, which leads back to it; the record's
    // own ZRID attribute, which the report shows, differs only in a start tag
    // that holds another attribute ending in "ZRID=" before it, or two.
    ZRID zrid = 0;
    ZRID recordZrid = 0;
    std::string name;
    std::string description;
    std::int32_t ql = 0;
    std::int32_t itemType = kItemTypeNone;
    bool isNano = false;
    std::map<std::string, std::string> attributes;
    std::map<std::string, std::int32_t> atkValues;
    std::map<std::string, std::int32_t> defValues;
    std::map<std::string, std::vector<cFunctionRecord>> events;
    std::map<std::string, std::vector<cRequirementSet>> actions;
};

} // namespace quarry
