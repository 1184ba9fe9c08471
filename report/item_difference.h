// What the difference of two item files and the comparison of items side by
// side walk: the members of an item, as the export writes them, in the
// export's member order; a digest of an item, small enough to keep for every
// item of a large file; and the members in which records differ.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

class cItemRecord;

// A 64-bit digest of every member the export writes, the folders the item is
// filed under included. The members are hashed as a row of 64-bit words, a
// text as its length and then its bytes eight at a time. Two records whose
// rows differ in one word only (a number, or a text changed within one of its
// eight-byte runs, its length kept) always differ in their digests; records
// that differ in any other way collide with a chance of about 2^-64.
std::uint64_t itemDigest(const cItemRecord& item, const cItemFolders& folders);

// The members an item is compared by, in the export's member order; each map
// (attributes, attack and defence skills, actions with their requirement
// sets, events with their functions) gives one member per key.
enum class eMemberKind : std::uint8_t {
    name,
    ql,
    type,
    nano,
    description,
    attributes,
    attack,
    defense,
    actions,
    events,
};

// One member of one item. The path is the member's name ("ql",
// "description"), or for a member of a map the map's name, "." and the key
// ("attributes.Mass", "attack.Melee", "events.OnUse"), the key's bytes as in
// the file.
struct cItemMember {
    eMemberKind kind;
    std::string key;  // the map's key; empty for a member that is no map's
    std::string json; // the value as the export writes it
    std::string text; // the value for people: a text's UTF-8, anything else its JSON

    std::string path() const;
    // Member order: by kind, then by key in byte order.
    bool before(const cItemMember& other) const;
};

using cItemMembers = std::vector<cItemMember>;

// A kind's name, the path of its member ("name") or of its map ("attributes").
std::string_view memberKindName(eMemberKind kind);

// Every member of the item, in member order.
cItemMembers itemMembers(const cItemRecord& item);

// One member across several items: a cell per item, null where the item lacks
// the member.
struct cMemberRow {
    std::string path;
    std::vector<const cItemMember*> cells;

    // Whether two cells differ: in their JSON, or one is there and one not.
    bool differs() const;
};

// The members of the items side by side: one row per member any of them has,
// in member order. The rows point into `items`, which must outlive them.
std::vector<cMemberRow> memberRows(const std::vector<const cItemMembers*>& items);

// One member in which two records of an item differ, its values as JSON, null
// for a key one record lacks.
struct cMemberChange {
    std::string path;
    std::string before;
    std::string after;
};

// The members that differ, in member order with "folders" last, as one member
// whose order counts; empty for records that export alike.
std::vector<cMemberChange> compareItems(const cItemRecord& before,
                                        const cItemFolders& beforeFolders, const cItemRecord& after,
                                        const cItemFolders& afterFolders);

} // namespace quarry
