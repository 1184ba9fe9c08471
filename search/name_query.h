// A name query as the user types it. Blanks (space, tab) split it into
// tokens:
//   -word        the name must not contain `word` (a minus and at least one byte)
//   ql:N, ql:N-M the item's QL lies in N..M (unsigned decimal; "ql:" in any case)
//   anything else a word the name must contain
// Words and exclusions are kept folded (name_text.h). A query that is one
// decimal identifier (an optional sign, then digits) also names that item.
#pragma once

#include "store/store_host.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

struct cQlRange {
    std::int64_t low = 0;
    std::int64_t high = 0;
};

struct cNameQuery {
    std::vector<std::string> words;
    std::vector<std::string> exclusions;
    std::vector<cQlRange> qlRanges;
    // The item named by a query that is one decimal identifier, converted as
    // the "Item ID" box converts it.
    std::optional<ZRID> identifier;

    // Whether anything besides the identifier can match: a query without
    // words and without QL ranges matches nothing.
    bool hasConditions() const { return !words.empty() || !qlRanges.empty(); }
    // Whether the query asks for anything at all.
    bool isSearchable() const { return hasConditions() || identifier.has_value(); }
    // Whether the QL lies in every range.
    bool admitsQl(std::int32_t ql) const;
    // Whether a folded name contains an excluded word.
    bool excludesName(std::string_view foldedName) const;
};

cNameQuery parseNameQuery(std::string_view text);

} // namespace quarry
