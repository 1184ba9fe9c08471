#include "search/query_evaluator.h"

#include "search/item_bits.h"
#include "search/name_rank.h"
#include "search/name_scan.h"
#include "search/name_text.h"
#include "search/near_spelling.h"
#include "store/decimal_text.h"
#include "store/item_record.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace quarry {

namespace {

using eTest = cQueryTerm::eTest;

static_assert(kItemTypeNone == kItemTypeCount, "type:none follows the type names");

// Per text id of a pool, whether the text passes a test.
template <class Holds> std::vector<char> passingTexts(const cTextPool& pool, Holds&& holds) {
    std::vector<char> passing(pool.size());
    for (std::uint32_t id = 0; id < pool.size(); ++id)
        passing[id] = holds(pool.text(id)) ? 1 : 0;
    return passing;
}

std::vector<char> textsEqualTo(const cTextPool& pool, std::string_view foldedText) {
    return passingTexts(pool, [&](std::string_view text) { return equalFolded(text, foldedText); });
}

// The items (below `count`) with an entry that passes `holds`.
template <class Entry, class Holds>
cItemBits itemsWithEntry(const cItemLists<Entry>& lists, std::uint32_t count, Holds&& holds) {
    cItemBits items(count);
    const std::size_t listed = std::min<std::size_t>(count, lists.ends.size());
    std::size_t at = 0;
    for (std::size_t item = 0; item < listed; ++item) {
        const std::size_t end = lists.ends[item];
        for (; at < end; ++at)
            if (holds(lists.entries[at])) {
                items.set(item);
                break;
            }
        at = end;
    }
    return items;
}

// The items (below `count`) whose element of a per-item array passes `holds`.
template <class Value, class Holds>
cItemBits itemsWhere(const std::vector<Value>& values, std::uint32_t count, Holds&& holds) {
    cItemBits items(count);
    for (std::uint32_t item = 0; item < count; ++item)
        if (holds(values[item])) items.set(item);
    return items;
}

// Decides a value test on the values of attributes and requirements, once
// per distinct text.
class cValueTest {
public:
    cValueTest(const cQueryTerm& term, const cTextPool& texts)
        : term_(term), texts_(texts), decided_(term.test == eTest::present ? 0 : texts.size(), -1) {
    }

    bool holds(cValueCell cell) {
        if (term_.test == eTest::present) return true;
        if (cell.isNumber()) {
            if (term_.test == eTest::number) return term_.number.holds(cell.asNumber());
            char digits[16];
            const auto written = std::to_chars(digits, digits + sizeof digits, cell.asNumber());
            return holdsForText(std::string_view(digits, std::size_t(written.ptr - digits)));
        }
        signed char& decided = decided_[cell.textId()];
        if (decided < 0) decided = holdsForText(texts_.text(cell.textId())) ? 1 : 0;
        return decided != 0;
    }

private:
    bool holdsForText(std::string_view text) {
        switch (term_.test) {
        case eTest::number: {
            const std::optional<std::int64_t> number = wholeNumber(text);
            return number && term_.number.holds(*number);
        }
        case eTest::contains:
            folded_.clear();
            appendFolded(text, folded_);
            return containsBytes(folded_, term_.value);
        case eTest::equals:
            return equalFolded(text, term_.value);
        case eTest::differs:
            return !equalFolded(text, term_.value);
        case eTest::present:
            break;
        }
        return true;
    }

    const cQueryTerm& term_;
    const cTextPool& texts_;
    std::vector<signed char> decided_; // per text id: -1 not yet, 0 fails, 1 holds
    std::string folded_;
};

class cEvaluator {
public:
    cEvaluator(const cQueryIndex& index, const cQuery& query, const cSearchStop* stop)
        : index_(index), data_(index.data()), query_(query), count_(index.size()), stop_(stop) {}

    // Once the stop flag is raised, every node holds for no item.
    bool stopped() const { return stopRaised(stop_); }

    cItemBits node(std::uint32_t at) {
        if (stopped()) return cItemBits(count_);
        const cQueryNode& node = query_.nodes[at];
        switch (node.kind) {
        case cQueryNode::eKind::term:
            return term(query_.terms[node.term]);
        case cQueryNode::eKind::negation: {
            cItemBits items = this->node(node.children[0]);
            items.invert();
            return items;
        }
        case cQueryNode::eKind::conjunction: {
            // Words the name must contain are looked for together, in one
            // scan of the names.
            const cConjunction parts = split(at);
            cItemBits items = all(parts.others);
            if (!parts.words.empty()) items.intersect(namesWith(parts.words));
            return items;
        }
        case cQueryNode::eKind::disjunction: {
            cItemBits items(count_);
            for (const std::uint32_t child : node.children)
                items.unite(this->node(child));
            return items;
        }
        }
        return cItemBits(count_);
    }

    // A conjunction (or a lone term) as the words its names must contain
    // and its other children.
    struct cConjunction {
        std::vector<std::string_view> words;
        std::vector<std::uint32_t> others;
    };
    cConjunction split(std::uint32_t at) const {
        const cQueryNode& node = query_.nodes[at];
        const std::vector<std::uint32_t> lone{at};
        cConjunction parts;
        for (const std::uint32_t child :
             node.kind == cQueryNode::eKind::conjunction ? node.children : lone) {
            const cQueryNode& part = query_.nodes[child];
            if (part.kind == cQueryNode::eKind::term &&
                query_.terms[part.term].field == eQueryField::name)
                parts.words.push_back(query_.terms[part.term].value);
            else
                parts.others.push_back(child);
        }
        return parts;
    }

    // What holds for every node: every item when there are none.
    cItemBits all(const std::vector<std::uint32_t>& nodes) {
        cItemBits items(count_, true);
        for (const std::uint32_t at : nodes)
            items.intersect(node(at));
        return items;
    }

private:
    cItemBits namesWith(const std::vector<std::string_view>& words) const {
        cItemBits items(count_);
        const cNameIndex& names = index_.names();
        for (const std::uint32_t position : namesContainingAll(names, words))
            items.set(names.item(position));
        return items;
    }

    cItemBits term(const cQueryTerm& term) const {
        switch (term.field) {
        case eQueryField::name:
            return namesWith({term.value});
        case eQueryField::ql:
            return itemsWhere(data_.qls, count_,
                              [&](std::int32_t ql) { return term.number.holds(ql); });
        case eQueryField::id:
            return itemsWhere(data_.zrids, count_,
                              [&](ZRID zrid) { return term.number.holds(zrid); });
        case eQueryField::type:
            return itemsWhere(data_.types, count_,
                              [&](std::uint8_t type) { return type == term.choice; });
        case eQueryField::slot:
            return itemsWhere(data_.slotMasks, count_,
                              [&](std::uint32_t mask) { return ((mask >> term.choice) & 1) != 0; });
        case eQueryField::is:
            return itemsWhere(data_.nanos, count_, [](std::uint8_t nano) { return nano != 0; });
        case eQueryField::folder: {
            std::string foldedPath;
            const std::vector<char> paths =
                passingTexts(data_.folderPaths, [&](std::string_view path) {
                    foldedPath.clear();
                    appendFolded(path, foldedPath);
                    return containsBytes(foldedPath, term.value);
                });
            return itemsWithEntry(data_.folders, count_,
                                  [&](std::uint32_t id) { return paths[id]; });
        }
        case eQueryField::attr:
            return keyedValues(data_.attributes, data_.attributeNames, term);
        case eQueryField::req:
            return keyedValues(data_.requirements, data_.statNames, term);
        case eQueryField::atk:
            return skills(data_.attackSkills, data_.attackSkillNames, term);
        case eQueryField::def:
            return skills(data_.defenceSkills, data_.defenceSkillNames, term);
        case eQueryField::action:
            return named(data_.actions, textsEqualTo(data_.actionNames, term.key));
        case eQueryField::event:
            return named(data_.events, textsEqualTo(data_.eventNames, term.key));
        case eQueryField::func:
            return named(data_.functions, textsEqualTo(data_.functionNames, term.key));
        case eQueryField::arg:
            return named(data_.arguments, textsEqualTo(data_.argumentTexts, term.value));
        }
        return cItemBits(count_);
    }

    cItemBits named(const cItemLists<std::uint32_t>& lists, const std::vector<char>& keys) const {
        return itemsWithEntry(lists, count_, [&](std::uint32_t key) { return keys[key] != 0; });
    }

    cItemBits keyedValues(const cItemLists<cKeyedValue>& lists, const cTextPool& names,
                          const cQueryTerm& term) const {
        const std::vector<char> keys = textsEqualTo(names, term.key);
        cValueTest test(term, data_.valueTexts);
        return itemsWithEntry(lists, count_, [&](const cKeyedValue& entry) {
            return keys[entry.key] != 0 && test.holds(entry.value);
        });
    }

    cItemBits skills(const cItemLists<cSkillPercent>& lists, const cTextPool& names,
                     const cQueryTerm& term) const {
        const std::vector<char> keys = textsEqualTo(names, term.key);
        const bool any = term.test == eTest::present;
        return itemsWithEntry(lists, count_, [&](const cSkillPercent& entry) {
            return keys[entry.key] != 0 && (any || term.number.holds(entry.percent));
        });
    }

    const cQueryIndex& index_;
    const cQueryData& data_;
    const cQuery& query_;
    const std::uint32_t count_;
    const cSearchStop* stop_;
};

std::optional<std::uint32_t> itemWithIdentifier(const cQueryIndex& index, ZRID zrid) {
    for (std::uint32_t item = 0; item < index.size(); ++item)
        if (index.zrid(item) == zrid) return item;
    return std::nullopt;
}

// The name positions of a set of items, in name order: sorted when they are
// few, else picked up on one walk through the name order.
std::vector<std::uint32_t> inNameOrder(const cQueryIndex& index, const cItemBits& items) {
    std::vector<std::uint32_t> positions;
    const std::size_t count = items.count();
    positions.reserve(count);
    const cNameIndex& names = index.names();
    if (count < index.size() / 16) {
        items.forEach([&](std::size_t item) {
            positions.push_back(index.namePosition(static_cast<std::uint32_t>(item)));
        });
        std::sort(positions.begin(), positions.end());
    } else {
        for (std::uint32_t position = 0; position < names.size(); ++position)
            if (items.test(names.item(position))) positions.push_back(position);
    }
    return positions;
}

std::vector<std::string_view> nameWordsOf(const cQuery& query) {
    std::vector<std::string_view> words;
    for (const std::uint32_t term : query.nameWords)
        words.push_back(query.terms[term].value);
    return words;
}

} // namespace

cQueryResult runQuery(const cQueryIndex& index, const cQuery& query, bool allowNear,
                      const cSearchStop* stop) {
    cQueryResult result;
    if (query.nodes.empty()) return result;
    const cQueryResult abandoned{{}, false, true};
    std::optional<std::uint32_t> first;
    if (query.identifier) first = itemWithIdentifier(index, *query.identifier);
    if (first) result.items.push_back(*first);

    // The matches' name positions in name order. When the top of the query
    // asks for words in the name, the scan of the names meets the matches in
    // name order and the other terms only filter them.
    const cNameIndex& names = index.names();
    cEvaluator evaluator(index, query, stop);
    const cEvaluator::cConjunction top = evaluator.split(query.root);
    std::vector<std::uint32_t> ordered;
    if (!top.words.empty()) {
        const bool filtered = !top.others.empty();
        const cItemBits others = filtered ? evaluator.all(top.others) : cItemBits();
        ordered = namesContainingAll(names, top.words);
        if (filtered || first)
            std::erase_if(ordered, [&](std::uint32_t position) {
                const std::uint32_t item = names.item(position);
                return item == first || (filtered && !others.test(item));
            });
    } else {
        cItemBits matched = evaluator.node(query.root);
        if (first) matched.reset(*first);
        ordered = inNameOrder(index, matched);
    }

    if (evaluator.stopped()) return abandoned;
    if (!names.inNameOrder())
        std::sort(ordered.begin(), ordered.end(),
                  [&names](std::uint32_t a, std::uint32_t b) { return names.before(a, b); });
    const std::vector<std::string_view> words = nameWordsOf(query);
    if (ordered.empty()) {
        // Near spellings: an "and"-only query's other terms still hold.
        if (allowNear && query.andOnly && !words.empty()) {
            cItemBits admitted = evaluator.all(top.others);
            if (first) admitted.reset(*first);
            const std::vector<std::uint32_t> near = findNearSpellings(index, admitted, words, stop);
            if (evaluator.stopped()) return abandoned;
            result.items.insert(result.items.end(), near.begin(), near.end());
            result.near = !near.empty();
        }
        return result;
    }
    const cNameRanker ranker(words);
    std::vector<std::uint32_t> ranks[kRankCount];
    for (const std::uint32_t position : ordered)
        ranks[words.empty() ? kLastRank : ranker.rank(names.foldedName(position))].push_back(
            names.item(position));
    for (const auto& rank : ranks)
        result.items.insert(result.items.end(), rank.begin(), rank.end());
    return result;
}

} // namespace quarry
