#include "search/query_tokens.h"

#include "search/name_text.h"

namespace quarry {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// One blank-separated piece of the query with the quotes taken out.
struct cPiece {
    std::string bytes;
    std::string quoted;
    std::vector<std::size_t> offsets; // of each byte in the query
    std::size_t start = 0;            // of the piece in the query, quotes included
    std::size_t end = 0;
};

bool isUnquoted(const cPiece& piece, std::size_t at, char c) {
    return piece.bytes[at] == c && piece.quoted[at] == 0;
}

bool isDecimalIdentifier(std::string_view text) {
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

cQueryToken operatorAt(cQueryToken::eKind kind, std::size_t offset, std::size_t length) {
    cQueryToken token;
    token.kind = kind;
    token.offset = offset;
    token.length = length;
    return token;
}

// The term of piece bytes [first, last), or the operator it spells.
cQueryToken termOf(const cPiece& piece, std::size_t first, std::size_t last) {
    cQueryToken token;
    token.text = piece.bytes.substr(first, last - first);
    token.quoted = piece.quoted.substr(first, last - first);
    // The span in the query, with the quotes at the piece's ends when the
    // term reaches them.
    token.offset = first == 0 ? piece.start : piece.offsets[first];
    const std::size_t end = last == piece.bytes.size() ? piece.end : piece.offsets[last];
    token.length = end - token.offset;
    if (token.quoted.find('\1') == std::string::npos) {
        const std::string word = folded(token.text);
        if (word == "and") token.kind = cQueryToken::eKind::conjoin;
        if (word == "or") token.kind = cQueryToken::eKind::disjoin;
        if (word == "not") token.kind = cQueryToken::eKind::negate;
        if (token.kind != cQueryToken::eKind::term) {
            token.text.clear();
            token.quoted.clear();
        }
    }
    return token;
}

void splitPiece(const cPiece& piece, std::vector<cQueryToken>& tokens) {
    std::size_t first = 0;
    std::size_t last = piece.bytes.size();
    for (;;) {
        if (first < last && isUnquoted(piece, first, '(')) {
            tokens.push_back(operatorAt(cQueryToken::eKind::open, piece.offsets[first], 1));
        } else if (last - first > 1 && isUnquoted(piece, first, '-')) {
            tokens.push_back(operatorAt(cQueryToken::eKind::negate, piece.offsets[first], 1));
        } else {
            break;
        }
        ++first;
    }
    std::size_t closes = last;
    while (closes > first && isUnquoted(piece, closes - 1, ')'))
        --closes;
    if (closes > first || piece.bytes.empty()) tokens.push_back(termOf(piece, first, closes));
    for (std::size_t at = closes; at < last; ++at)
        tokens.push_back(operatorAt(cQueryToken::eKind::close, piece.offsets[at], 1));
}

} // namespace

cQueryTokens splitQuery(std::string_view text) {
    std::vector<cPiece> pieces;
    bool inPiece = false;
    bool inQuotes = false;
    bool anyQuote = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (!inQuotes && isBlank(c)) {
            inPiece = false;
            continue;
        }
        if (!inPiece) pieces.emplace_back().start = at;
        inPiece = true;
        cPiece& piece = pieces.back();
        piece.end = at + 1;
        if (c == '"') {
            inQuotes = !inQuotes;
            anyQuote = true;
            continue;
        }
        piece.bytes.push_back(c);
        piece.quoted.push_back(inQuotes ? '\1' : '\0');
        piece.offsets.push_back(at);
    }

    cQueryTokens result;
    if (pieces.size() == 1 && !anyQuote && isDecimalIdentifier(pieces[0].bytes)) {
        result.identifier = true;
        cQueryToken word;
        word.text = pieces[0].bytes;
        word.quoted = pieces[0].quoted;
        word.offset = pieces[0].start;
        word.length = pieces[0].end - pieces[0].start;
        result.tokens.push_back(std::move(word));
        return result;
    }
    for (const cPiece& piece : pieces)
        splitPiece(piece, result.tokens);
    return result;
}

} // namespace quarry
