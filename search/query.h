// An item query parsed: a small tree of predicates over the fields of an
// item, or an error that names the token and the reason. parseQuery is the
// one reader of the language, for the Find pane and `quarry-cli find`.
//
// Grammar: "or" binds loosest, then "and" (also implied between neighbours),
// then "-"/"not" (negate the next term or group); "( ... )" groups. A term is
// FIELD:VALUE when FIELD (unquoted, before the first ":", A-Z in any case) is
// a field of query_fields.h, else a word the name must contain.
#pragma once

#include "search/number_test.h"
#include "search/query_fields.h"
#include "store/store_host.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

// A query longer than this, or with more terms, is refused as too long.
inline constexpr std::size_t kMostQueryBytes = 4096;
inline constexpr std::size_t kMostQueryTerms = 64;
// Groups and negations nest at most this deep.
inline constexpr std::size_t kMostQueryNesting = 32;

struct cQueryTerm {
    // What a term asks of the value it reads.
    enum class eTest : std::uint8_t {
        present,  // the item has it (attr:NAME, req:STAT, action:NAME, ...)
        number,   // a number test holds (ql:, id:, and OP N after a name)
        contains, // the folded text contains `value` (a word, name:, folder:, attr:NAME~TEXT)
        equals,   // the folded text equals `value` (attr:NAME=TEXT, arg:TEXT)
        differs,  // the folded text differs from `value` (attr:NAME!=TEXT)
    };

    eQueryField field = eQueryField::name;
    eTest test = eTest::contains;
    // Folded: the name after attr:, req:, atk:, def:, action:, event:, func:.
    std::string key;
    // Folded: the text of contains, equals and differs.
    std::string value;
    cNumberTest number;
    // type: and slot:, the position of the value in fixedQueryValues().
    std::int32_t choice = 0;
};

struct cQueryNode {
    enum class eKind : std::uint8_t { term, negation, conjunction, disjunction };
    eKind kind = eKind::term;
    std::uint32_t term = 0;              // eKind::term: index in cQuery::terms
    std::vector<std::uint32_t> children; // index in cQuery::nodes
};

struct cQuery {
    std::vector<cQueryTerm> terms;
    std::vector<cQueryNode> nodes;
    std::uint32_t root = 0;
    // The words and name: terms not under a negation, in query order: what
    // the results are ranked on and what near spellings may replace.
    std::vector<std::uint32_t> nameWords;
    // The item a lone identifier names, converted as the "Item ID" box does.
    std::optional<ZRID> identifier;
    // Terms joined by "and" only: no "or", no parentheses.
    bool andOnly = true;

    // The fields the terms read.
    cQueryFieldSet fields() const;
};

struct cQueryError {
    std::string token; // as typed; empty for the query as a whole
    std::string reason;
    std::size_t offset = 0; // where the token lies in the query
    std::size_t length = 0;

    // `"TOKEN": reason`, or the reason alone.
    std::string message() const;
};

struct cParsedQuery {
    cQuery query;
    std::optional<cQueryError> error;
    bool ok() const { return !error.has_value(); }
};

cParsedQuery parseQuery(std::string_view text);

} // namespace quarry
