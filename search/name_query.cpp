#include "search/name_query.h"

#include "search/name_text.h"
#include "store/decimal_text.h"

#include <algorithm>

namespace quarry {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whole unsigned decimal text. Values beyond any 32-bit QL are held at a
// ceiling, so "ql:99999999999" still means "at least that much".
bool parseQlNumber(std::string_view text, std::int64_t& value) {
    constexpr std::int64_t kCeiling = std::int64_t(1) << 40;
    if (text.empty()) return false;
    value = 0;
    for (const char c : text) {
        if (!isDigit(c)) return false;
        value = std::min(kCeiling, value * 10 + (c - '0'));
    }
    return true;
}

// "ql:N" or "ql:N-M" with "ql:" in any case.
bool parseQlToken(std::string_view token, cQlRange& range) {
    if (token.size() < 3 || folded(token.substr(0, 3)) != "ql:") return false;
    const std::string_view bounds = token.substr(3);
    const std::size_t dash = bounds.find('-');
    if (dash == std::string_view::npos) {
        if (!parseQlNumber(bounds, range.low)) return false;
        range.high = range.low;
        return true;
    }
    return parseQlNumber(bounds.substr(0, dash), range.low) &&
           parseQlNumber(bounds.substr(dash + 1), range.high);
}

bool isDecimalIdentifier(std::string_view token) {
    if (!token.empty() && (token[0] == '+' || token[0] == '-')) token.remove_prefix(1);
    if (token.empty()) return false;
    for (const char c : token)
        if (!isDigit(c)) return false;
    return true;
}

} // namespace

bool cNameQuery::admitsQl(std::int32_t ql) const {
    for (const cQlRange& range : qlRanges)
        if (ql < range.low || ql > range.high) return false;
    return true;
}

bool cNameQuery::excludesName(std::string_view foldedName) const {
    for (const std::string& word : exclusions)
        if (containsBytes(foldedName, word)) return true;
    return false;
}

cNameQuery parseNameQuery(std::string_view text) {
    cNameQuery query;
    std::vector<std::string_view> tokens;
    for (std::size_t at = 0; at < text.size();) {
        if (isBlank(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        tokens.push_back(text.substr(at, end - at));
        at = end;
    }
    for (const std::string_view token : tokens) {
        cQlRange range;
        if (token.size() > 1 && token[0] == '-')
            query.exclusions.push_back(folded(token.substr(1)));
        else if (parseQlToken(token, range))
            query.qlRanges.push_back(range);
        else
            query.words.push_back(folded(token));
    }
    if (tokens.size() == 1 && isDecimalIdentifier(tokens[0]))
        query.identifier = parseDecimal(tokens[0]);
    return query;
}

} // namespace quarry
