// Splitting a query into tokens. Blanks (space, tab) outside double quotes
// separate tokens; the quotes are removed, and a quoted byte never has a
// special meaning. An unquoted leading "(" or "-" (the "-" only on a token
// longer than one byte) and an unquoted trailing ")" are taken off a token as
// operators, repeatedly; what is left is a term, unless it is an unquoted
// "and", "or" or "not" (A-Z in any case), which is an operator too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

struct cQueryToken {
    enum class eKind : std::uint8_t { term, open, close, negate, conjoin, disjoin };
    eKind kind = eKind::term;
    // A term's bytes, quotes removed, and per byte whether it was quoted
    // (1) or not (0).
    std::string text;
    std::string quoted;
    // Where the token lies in the query, for messages.
    std::size_t offset = 0;
    std::size_t length = 0;
};

struct cQueryTokens {
    std::vector<cQueryToken> tokens;
    // The query is one unquoted token of digits with an optional sign: it
    // names an item by its identifier, and is a word besides, whole (its sign
    // is not taken for an operator).
    bool identifier = false;
};

cQueryTokens splitQuery(std::string_view text);

} // namespace quarry
