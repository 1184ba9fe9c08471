// What the difference of two item files compares: a digest of an item, small
// enough to keep for every item of a large file, and the members in which two
// records of one item differ, as the export writes them.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <string>
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

// One member in which two records of an item differ. The path is the member's
// name ("ql", "description"), or for a member of a map the map's name, "." and
// the key ("attributes.Mass", "attack.Melee", "events.OnUse"), the key's bytes
// as in the file. The values are JSON, null for a key one record lacks.
struct cMemberChange {
    std::string path;
    std::string before;
    std::string after;
};

// The members that differ, in the export's member order ("folders" last, as
// one member whose order counts), map keys in byte order; empty for records
// that export alike.
std::vector<cMemberChange> compareItems(const cItemRecord& before,
                                        const cItemFolders& beforeFolders, const cItemRecord& after,
                                        const cItemFolders& afterFolders);

} // namespace quarry
