// The fields of the item query language: their names as typed before the
// ":", the fixed values some of them take, and sets of fields (what a query
// uses, what an index gathers).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quarry {

enum class eQueryField : std::uint8_t {
    name,   // the name contains the text (also every plain word)
    ql,     // the QL satisfies a number test
    id,     // the identifier satisfies a number test
    type,   // the item type, or none
    slot,   // the "Slot" attribute holds a slot of the slot table
    is,     // a flag: nano
    folder, // a folder path contains the text
    attr,   // an attribute, optionally with a value test
    req,    // a requirement of an action, optionally with a number test
    atk,    // an attack skill, optionally with a percent test
    def,    // a defence skill, optionally with a percent test
    action, // an action of that name
    event,  // an event of that name
    func,   // a function of an event with that "Name"
    arg,    // an argument of a function equal to the text
};
inline constexpr int kQueryFieldCount = static_cast<int>(eQueryField::arg) + 1;

// The name typed before the ":".
std::string_view queryFieldName(eQueryField field);
// The field of a name compared without A-Z case; none for other texts.
std::optional<eQueryField> queryFieldNamed(std::string_view text);
// The values type:, slot: and is: take, as the user sees them; empty for
// other fields.
std::vector<std::string_view> fixedQueryValues(eQueryField field);

// A set of fields.
class cQueryFieldSet {
public:
    constexpr cQueryFieldSet() = default;
    static constexpr cQueryFieldSet all() { return cQueryFieldSet((1u << kQueryFieldCount) - 1); }
    constexpr bool has(eQueryField field) const { return (bits_ & bit(field)) != 0; }
    constexpr void add(eQueryField field) { bits_ |= bit(field); }
    constexpr bool operator==(const cQueryFieldSet&) const = default;

private:
    constexpr explicit cQueryFieldSet(std::uint32_t bits) : bits_(bits) {}
    static constexpr std::uint32_t bit(eQueryField field) {
        return 1u << static_cast<unsigned>(field);
    }
    std::uint32_t bits_ = 0;
};

} // namespace quarry
