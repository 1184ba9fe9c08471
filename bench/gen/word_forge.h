// Invented words, item names and description prose for generated item files.
// Every name is made up from syllables and a small invented vocabulary.
#pragma once

#include "random_stream.h"

#include <string>

namespace quarry {

class cWordForge {
public:
    explicit cWordForge(cRandomStream& random) : random_(random) {}

    // A capitalised invented word of two or three syllables.
    std::string word();
    // An item name for an item type (0 to 6 as in the type table, 7 for
    // anything else) or, with nano set, for a nano program.
    std::string itemName(int itemType, bool nano);
    // Description prose of roughly the given length in bytes; may hold line
    // breaks between paragraphs. With rough set it may also hold a backslash,
    // braces, an escaped ampersand or an 8-bit character.
    std::string description(std::size_t length, bool rough);

private:
    std::string sentence();

    cRandomStream& random_;
};

} // namespace quarry
