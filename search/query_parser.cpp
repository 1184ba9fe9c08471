// Reading a query: tokens (query_tokens.h), then a recursive descent over
// them that builds the tree, then each term's field and value.
#include "search/name_text.h"
#include "search/query.h"
#include "search/query_tokens.h"
#include "store/decimal_text.h"
#include "store/item_record.h"

#include <utility>

namespace quarry {

namespace {

using eKind = cQueryToken::eKind;
using eTest = cQueryTerm::eTest;

bool isDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// A term's value: its bytes and which of them were quoted.
struct cValue {
    std::string_view text;
    std::string_view quoted;

    bool isOperator(std::size_t at, char c) const {
        return at < text.size() && text[at] == c && quoted[at] == 0;
    }
    cValue from(std::size_t at) const { return {text.substr(at), quoted.substr(at)}; }
};

// A comparison operator at the start of `value`: its length, 0 when none.
std::size_t comparisonAt(const cValue& value, std::size_t at, cNumberTest::eOp& op) {
    using eOp = cNumberTest::eOp;
    const bool equalsNext = value.isOperator(at + 1, '=');
    if (value.isOperator(at, '=')) {
        op = eOp::equal;
        return 1;
    }
    if (value.isOperator(at, '!') && equalsNext) {
        op = eOp::notEqual;
        return 2;
    }
    if (value.isOperator(at, '<')) {
        op = equalsNext ? eOp::lessOrEqual : eOp::less;
        return equalsNext ? 2 : 1;
    }
    if (value.isOperator(at, '>')) {
        op = equalsNext ? eOp::greaterOrEqual : eOp::greater;
        return equalsNext ? 2 : 1;
    }
    return 0;
}

class cParser {
public:
    cParser(std::string_view text, cQueryTokens tokens, cQuery& query)
        : text_(text), tokens_(std::move(tokens.tokens)), identifier_(tokens.identifier),
          query_(query) {}

    std::optional<cQueryError> parse() {
        std::size_t terms = 0;
        for (const cQueryToken& token : tokens_)
            terms += token.kind == eKind::term;
        if (terms > kMostQueryTerms)
            return cQueryError{{},
                               "query too long: more than " + std::to_string(kMostQueryTerms) +
                                   " terms",
                               0,
                               text_.size()};
        const std::optional<std::uint32_t> root = parseAny();
        if (!root) return error_;
        if (const cQueryToken* extra = peek()) // only a ")" stops the outermost "or"
            return errorAt(*extra, "closes no parenthesis");
        query_.root = *root;
        if (identifier_) query_.identifier = parseDecimal(tokens_[0].text);
        return std::nullopt;
    }

private:
    const cQueryToken* peek() const { return next_ < tokens_.size() ? &tokens_[next_] : nullptr; }
    const cQueryToken& take() {
        previous_ = &tokens_[next_];
        return tokens_[next_++];
    }

    cQueryError errorAt(const cQueryToken& token, std::string reason) const {
        return cQueryError{std::string(text_.substr(token.offset, token.length)), std::move(reason),
                           token.offset, token.length};
    }
    std::nullopt_t fail(const cQueryToken& token, std::string reason) {
        error_ = errorAt(token, std::move(reason));
        return std::nullopt;
    }

    std::uint32_t addNode(cQueryNode node) {
        query_.nodes.push_back(std::move(node));
        return static_cast<std::uint32_t>(query_.nodes.size() - 1);
    }
    std::uint32_t join(cQueryNode::eKind kind, std::vector<std::uint32_t> children) {
        if (children.size() == 1) return children[0];
        cQueryNode node;
        node.kind = kind;
        node.children = std::move(children);
        return addNode(std::move(node));
    }

    // or-expression: and-expressions joined by "or".
    std::optional<std::uint32_t> parseAny() {
        std::vector<std::uint32_t> children;
        for (;;) {
            const std::optional<std::uint32_t> child = parseAll();
            if (!child) return std::nullopt;
            children.push_back(*child);
            const cQueryToken* token = peek();
            if (token == nullptr || token->kind != eKind::disjoin) break;
            take();
            query_.andOnly = false;
        }
        return join(cQueryNode::eKind::disjunction, std::move(children));
    }

    // and-expression: negated terms and groups, with or without "and".
    std::optional<std::uint32_t> parseAll() {
        std::vector<std::uint32_t> children;
        for (;;) {
            const std::optional<std::uint32_t> child = parseNegated();
            if (!child) return std::nullopt;
            children.push_back(*child);
            const cQueryToken* token = peek();
            if (token == nullptr || token->kind == eKind::close || token->kind == eKind::disjoin)
                break;
            if (token->kind == eKind::conjoin) take();
        }
        return join(cQueryNode::eKind::conjunction, std::move(children));
    }

    std::optional<std::uint32_t> parseNegated() {
        std::size_t negations = 0;
        while (peek() != nullptr && peek()->kind == eKind::negate) {
            const cQueryToken& token = take();
            if (++nesting_ > kMostQueryNesting) return fail(token, "nested too deeply");
            ++negations;
        }
        negations_ += negations;
        std::optional<std::uint32_t> node = parsePrimary();
        negations_ -= negations;
        nesting_ -= negations;
        for (; node && negations > 0; --negations) {
            cQueryNode negation;
            negation.kind = cQueryNode::eKind::negation;
            negation.children.push_back(*node);
            node = addNode(std::move(negation));
        }
        return node;
    }

    std::optional<std::uint32_t> parsePrimary() {
        const cQueryToken* token = peek();
        const cQueryToken* before = previous_;
        if (token == nullptr) {
            if (before == nullptr) {
                error_ = cQueryError{{}, "the query is empty", 0, text_.size()};
                return std::nullopt;
            }
            return fail(*before,
                        before->kind == eKind::open ? "is never closed" : "has nothing after it");
        }
        switch (token->kind) {
        case eKind::term:
            return parseTerm(take());
        case eKind::open: {
            const cQueryToken& open = take();
            if (++nesting_ > kMostQueryNesting) return fail(open, "nested too deeply");
            query_.andOnly = false;
            const std::optional<std::uint32_t> group = parseAny();
            if (!group) return std::nullopt;
            if (peek() == nullptr) return fail(open, "is never closed");
            take(); // parseAny stops at the end or at a ")"
            --nesting_;
            return group;
        }
        case eKind::close:
            if (before == nullptr) return fail(*token, "closes no parenthesis");
            if (before->kind == eKind::open) return fail(*token, "closes empty parentheses");
            return fail(*before, "has nothing after it");
        default: // "and", "or"
            if (before == nullptr || before->kind == eKind::open)
                return fail(*token, "has nothing before it");
            return fail(*before, "has nothing after it");
        }
    }

    std::optional<std::uint32_t> parseTerm(const cQueryToken& token) {
        cQueryTerm term;
        const cValue whole{token.text, token.quoted};
        const std::size_t colon = identifier_ ? std::string_view::npos : token.text.find(':');
        std::optional<eQueryField> field;
        if (colon != std::string_view::npos &&
            token.quoted.substr(0, colon + 1).find('\1') == std::string::npos)
            field = queryFieldNamed(std::string_view(token.text).substr(0, colon));
        if (!field) {
            if (token.text.empty()) return fail(token, "has nothing between the quotes");
            term.value = folded(token.text);
        } else {
            term.field = *field;
            const cValue value = whole.from(colon + 1);
            if (value.text.empty()) return fail(token, "needs a value after the colon");
            if (const char* wrong = readValue(value, term)) return fail(token, wrong);
        }
        if (term.field == eQueryField::name && negations_ == 0)
            query_.nameWords.push_back(static_cast<std::uint32_t>(query_.terms.size()));
        query_.terms.push_back(std::move(term));
        cQueryNode node;
        node.term = static_cast<std::uint32_t>(query_.terms.size() - 1);
        return addNode(std::move(node));
    }

    // Fills the term from the value after "FIELD:"; what is wrong with it, or
    // null.
    static const char* readValue(const cValue& value, cQueryTerm& term) {
        switch (term.field) {
        case eQueryField::name:
        case eQueryField::folder:
            term.value = folded(value.text);
            return nullptr;
        case eQueryField::ql:
        case eQueryField::id:
            term.test = eTest::number;
            return readNumberTest(value, term.number)
                       ? nullptr
                       : "takes a number N, a range N-M or a comparison =N, !=N, <N, <=N, >N, >=N";
        case eQueryField::type:
        case eQueryField::slot:
        case eQueryField::is:
            return readChoice(value.text, term) ? nullptr : choiceReason(term.field);
        case eQueryField::attr:
        case eQueryField::req:
        case eQueryField::atk:
        case eQueryField::def:
            return readKeyTest(value, term);
        case eQueryField::action:
        case eQueryField::event:
        case eQueryField::func:
            term.test = eTest::present;
            term.key = folded(value.text);
            return nullptr;
        case eQueryField::arg:
            term.test = eTest::equals;
            term.value = folded(value.text);
            return nullptr;
        }
        return nullptr;
    }

    // N (signed), N-M (unsigned), or a comparison and N (signed).
    static bool readNumberTest(const cValue& value, cNumberTest& test) {
        cNumberTest::eOp op = cNumberTest::eOp::equal;
        const std::size_t length = comparisonAt(value, 0, op);
        const std::size_t dash = value.text.find('-', 1);
        if (length == 0 && dash != std::string_view::npos && value.quoted[dash] == 0) {
            const std::string_view low = value.text.substr(0, dash);
            const std::string_view high = value.text.substr(dash + 1);
            if (!isDigits(low) || !isDigits(high)) return false;
            test.op = cNumberTest::eOp::range;
            test.value = *queryNumber(low);
            test.high = *queryNumber(high);
            return true;
        }
        const std::optional<std::int64_t> number = queryNumber(value.text.substr(length));
        if (!number) return false;
        test.op = op;
        test.value = *number;
        return true;
    }

    static bool readChoice(std::string_view text, cQueryTerm& term) {
        const std::vector<std::string_view> choices = fixedQueryValues(term.field);
        for (std::size_t i = 0; i < choices.size(); ++i)
            if (equalFolded(text, choices[i])) {
                term.choice = static_cast<std::int32_t>(i);
                term.test = eTest::present;
                return true;
            }
        return false;
    }

    static const char* choiceReason(eQueryField field) {
        switch (field) {
        case eQueryField::type:
            return "takes Weapon, Armor, Utility, Misc, Implant, Spirit, NPC or none";
        case eQueryField::slot:
            return "takes a slot name such as Head, Chest, Legs, HUD1, UTIL1 or NCU1";
        default:
            return "takes nano";
        }
    }

    // NAME, or NAME OP VALUE: OP ~ (text), = and != (number or text), or
    // <, <=, >, >= (number). req:, atk: and def: compare numbers only.
    static const char* readKeyTest(const cValue& value, cQueryTerm& term) {
        std::size_t at = 0;
        while (at < value.text.size() && !value.isOperator(at, '~') && !value.isOperator(at, '=') &&
               !value.isOperator(at, '!') && !value.isOperator(at, '<') &&
               !value.isOperator(at, '>'))
            ++at;
        term.key = folded(value.text.substr(0, at));
        if (at == value.text.size()) {
            term.test = eTest::present;
            return nullptr;
        }
        if (term.key.empty()) return "needs a name before the comparison";
        const bool texts = term.field == eQueryField::attr;
        cNumberTest::eOp op = cNumberTest::eOp::equal;
        std::size_t length = comparisonAt(value, at, op);
        const bool contains = length == 0 && value.isOperator(at, '~');
        if (contains) length = 1;
        if (length == 0) return "has a \"!\" without \"=\"";
        const std::string_view operand = value.text.substr(at + length);
        if (operand.empty()) return "needs a value after the comparison";
        if (contains && !texts) return "compares numbers only: =, !=, <, <=, > or >=";
        const std::optional<std::int64_t> number = queryNumber(operand);
        if (contains || (!number && texts &&
                         (op == cNumberTest::eOp::equal || op == cNumberTest::eOp::notEqual))) {
            term.test = contains                        ? eTest::contains
                        : op == cNumberTest::eOp::equal ? eTest::equals
                                                        : eTest::differs;
            term.value = folded(operand);
            return nullptr;
        }
        if (!number) return "needs a whole number after the comparison";
        term.test = eTest::number;
        term.number.op = op;
        term.number.value = *number;
        return nullptr;
    }

    std::string_view text_;
    std::vector<cQueryToken> tokens_;
    bool identifier_;
    cQuery& query_;
    std::size_t next_ = 0;
    const cQueryToken* previous_ = nullptr;
    std::size_t nesting_ = 0;
    std::size_t negations_ = 0;
    std::optional<cQueryError> error_;
};

} // namespace

cQueryFieldSet cQuery::fields() const {
    cQueryFieldSet fields;
    for (const cQueryTerm& term : terms)
        fields.add(term.field);
    return fields;
}

std::string cQueryError::message() const {
    return token.empty() ? reason : "\"" + token + "\" " + reason;
}

cParsedQuery parseQuery(std::string_view text) {
    cParsedQuery parsed;
    if (text.size() > kMostQueryBytes) {
        parsed.error =
            cQueryError{{},
                        "query too long: more than " + std::to_string(kMostQueryBytes) + " bytes",
                        0,
                        text.size()};
        return parsed;
    }
    parsed.error = cParser(text, splitQuery(text), parsed.query).parse();
    if (!parsed.ok()) parsed.query = cQuery();
    return parsed;
}

} // namespace quarry
