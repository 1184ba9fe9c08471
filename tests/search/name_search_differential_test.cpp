// Queries of words, -word and ql: ranges against a slow model written
// straight from the rule's wording (regular expressions, lower-cased copies,
// a full edit-distance table, one stable sort), on generated names and
// queries, committed in batches.
#include "name_model.h"
#include "search/query_evaluator.h"
#include "store/item_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

namespace quarry {

namespace {

struct cModelItem {
    ZRID zrid;
    std::string name;
    std::int32_t ql;
};

using model::lower;
using model::split;

// A query that does not parse: a blank one, or a ql: token not of the form.
const std::vector<ZRID> kError = {-1};

std::vector<ZRID> modelSearch(const std::vector<cModelItem>& items, const std::string& text,
                              bool allowNear) {
    static const std::regex blank("[ \t]"), identifier("[-+]?[0-9]+"),
        qlSingle("[qQ][lL]:(-?[0-9]{1,9})"), qlRange("[qQ][lL]:([0-9]{1,9})-([0-9]{1,9})"),
        qlToken("[qQ][lL]:.*");
    const std::vector<std::string> tokens = split(text, blank);
    if (tokens.empty()) return kError;
    // Words ranked on; words the name must contain (under two negations) or not.
    std::vector<std::string> words, required, exclusions;
    std::vector<std::tuple<long, long, bool>> ranges; // low, high, negated
    const bool lone = tokens.size() == 1 && std::regex_match(tokens[0], identifier);
    for (const std::string& t : tokens) {
        std::size_t minus = 0; // leading minus signs, each a negation
        while (!lone && t.size() - minus > 1 && t[minus] == '-')
            ++minus;
        const std::string core = t.substr(minus);
        std::smatch m;
        if (std::regex_match(core, m, qlSingle))
            ranges.emplace_back(std::stol(m[1]), std::stol(m[1]), minus % 2 == 1);
        else if (std::regex_match(core, m, qlRange))
            ranges.emplace_back(std::stol(m[1]), std::stol(m[2]), minus % 2 == 1);
        else if (std::regex_match(core, qlToken))
            return kError;
        else
            (minus % 2 == 1 ? exclusions : minus > 0 ? required : words).push_back(lower(core));
    }
    std::vector<ZRID> result;
    if (lone) {
        std::uint32_t value = 0;
        for (const char c : tokens[0])
            value = c == '-' || c == '+' ? value : value * 10 + std::uint32_t(c - '0');
        for (const cModelItem& item : items)
            if (item.zrid == ZRID(tokens[0][0] == '-' ? 0 - value : value))
                result.push_back(item.zrid);
    }

    const auto admitted = [&](const cModelItem& item) {
        for (const auto& [low, high, negated] : ranges)
            if ((item.ql >= low && item.ql <= high) == negated) return false;
        for (const std::string& word : exclusions)
            if (lower(item.name).find(word) != std::string::npos) return false;
        for (const std::string& word : required)
            if (lower(item.name).find(word) == std::string::npos) return false;
        return result.empty() || item.zrid != result[0];
    };
    std::vector<std::tuple<int, int, const cModelItem*>> found; // edits, rank, item
    for (const cModelItem& item : items) {
        bool all = admitted(item);
        for (const std::string& word : words)
            all = all && lower(item.name).find(word) != std::string::npos;
        if (all) found.emplace_back(0, model::rank(lower(item.name), words), &item);
    }
    const bool near = found.empty() && allowNear && !words.empty();
    for (const cModelItem& item : items) {
        if (!near) break;
        int total = 0;
        int nearRank = 0;
        if (admitted(item) && model::nearSpelled(lower(item.name), words, total, nearRank))
            found.emplace_back(total, nearRank, &item);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const cModelItem* p = std::get<2>(a);
        const cModelItem* q = std::get<2>(b);
        const std::string x = lower(p->name), y = lower(q->name);
        return std::get<0>(a) != std::get<0>(b)   ? std::get<0>(a) < std::get<0>(b)
               : std::get<1>(a) != std::get<1>(b) ? std::get<1>(a) < std::get<1>(b)
               : x != y                           ? x < y
                                                  : p->ql < q->ql;
    });
    for (const auto& f : found)
        result.push_back(std::get<2>(f)->zrid);
    return result;
}

// Names from a few syllables, so that words repeat, overlap and tie; queries
// from pieces of them, altered, excluded, as QL ranges and identifiers.
std::string randomName(std::mt19937& random) {
    static const char* const kParts[] = {"ab",  "Ba",  "ca", "-",  " ",    "\xE9", "1",  "bAc",
                                         "abc", "cab", "a",  "\t", "BAAB", "caca", "bcb"};
    std::string name;
    for (int parts = 1 + int(random() % 6); parts > 0; --parts)
        name += kParts[random() % std::size(kParts)];
    return name;
}

std::string randomQuery(std::mt19937& random, const std::vector<cModelItem>& items) {
    std::string query;
    for (int tokens = 1 + int(random() % 3); tokens > 0; --tokens) {
        const cModelItem& item = items[random() % items.size()];
        std::string piece = item.name.substr(random() % item.name.size(), 1 + random() % 9);
        const auto form = random() % 8;
        if (form == 0)
            piece = "-" + piece;
        else if (form == 1)
            piece = "ql:" + std::to_string(random() % 6) + (random() % 2 ? "-4" : "");
        else if (form == 2)
            piece = std::to_string(item.zrid);
        else if (form == 3)
            piece.insert(random() % piece.size(), 1, "abc"[random() % 3]);
        else if (form == 4)
            piece = "QL:" + piece;
        for (char& c : piece)
            c = random() % 3 == 0 && c >= 'a' && c <= 'z' ? char(c - 32) : c;
        query += (query.empty() ? "" : random() % 2 ? " " : "\t ") + piece;
    }
    return query;
}

TEST(NameQueryDifferentialTest, AgreesWithTheSlowModel) {
    std::mt19937 random(20240615);
    for (int round = 0; round < 20; ++round) {
        std::vector<cModelItem> items;
        cQueryIndex index;
        for (int batch = 0; batch < 4; ++batch) {
            for (int n = int(random() % 60); n > 0; --n) {
                const ZRID zrid = (items.empty() ? 0 : items.back().zrid) + 1 + ZRID(random() % 3);
                items.push_back({zrid, randomName(random), std::int32_t(random() % 6)});
                cItemRecord record(zrid, items.back().name);
                record.ql = items.back().ql;
                index.add(record, {});
            }
            // Every other batch is sorted beside, as the window commits;
            // a commit asked for meanwhile is left to the one running.
            if (batch % 2 == 0)
                index.commitPending();
            else
                index.commitPending([&index] { index.commitPending(); });
            for (int q = 0; q < 60 && !items.empty(); ++q) {
                const std::string query = randomQuery(random, items);
                const bool near = random() % 2 == 0;
                const cParsedQuery parsed = parseQuery(query);
                std::vector<ZRID> found = kError;
                if (parsed.ok()) {
                    found.clear();
                    for (const std::uint32_t item : runQuery(index, parsed.query, near).items)
                        found.push_back(index.zrid(item));
                }
                ASSERT_EQ(found, modelSearch(items, query, near)) << "query \"" << query << "\"";
            }
        }
    }
}

} // namespace

} // namespace quarry
