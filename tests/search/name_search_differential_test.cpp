// Name search against a slow model written straight from the rule's wording
// (regular expressions, lower-cased copies, a full edit-distance table, one
// stable sort), on generated names and queries, committed in batches.
#include "search/name_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <regex>

namespace quarry {

namespace {

struct cModelItem {
    ZRID zrid;
    std::string name;
    std::int32_t ql;
};

std::string lower(std::string text) {
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? char(c + 32) : c;
    return text;
}

std::vector<std::string> split(const std::string& text, const std::regex& separator) {
    std::vector<std::string> parts;
    for (std::sregex_token_iterator i(text.begin(), text.end(), separator, -1), end; i != end; ++i)
        if (i->length() > 0) parts.push_back(*i);
    return parts;
}

int editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        for (std::size_t j = 0; j <= b.size(); ++j)
            d[i][j] = i == 0 || j == 0 ? int(i + j)
                                       : std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                                   d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
    return d[a.size()][b.size()];
}

std::vector<ZRID> modelSearch(const std::vector<cModelItem>& items, const std::string& text,
                              bool allowNear) {
    static const std::regex blank("[ \t]"), notAlnum("[^a-z0-9]"), identifier("[-+]?[0-9]+"),
        qlForm("[qQ][lL]:([0-9]{1,9})(-([0-9]{1,9}))?");
    const std::vector<std::string> tokens = split(text, blank);
    std::vector<std::string> words, exclusions;
    std::vector<std::pair<long, long>> ranges;
    for (const std::string& t : tokens) {
        std::smatch m;
        if (t.size() > 1 && t[0] == '-')
            exclusions.push_back(lower(t.substr(1)));
        else if (std::regex_match(t, m, qlForm))
            ranges.emplace_back(std::stol(m[1]), std::stol(m[m[3].matched ? 3 : 1]));
        else
            words.push_back(lower(t));
    }
    std::vector<ZRID> result;
    if (tokens.size() == 1 && std::regex_match(tokens[0], identifier)) {
        std::uint32_t value = 0;
        for (const char c : tokens[0])
            value = c == '-' || c == '+' ? value : value * 10 + std::uint32_t(c - '0');
        for (const cModelItem& item : items)
            if (item.zrid == ZRID(tokens[0][0] == '-' ? 0 - value : value))
                result.push_back(item.zrid);
    }
    if (words.empty() && ranges.empty()) return result;

    const auto admitted = [&](const cModelItem& item) {
        for (const auto& [low, high] : ranges)
            if (item.ql < low || item.ql > high) return false;
        for (const std::string& word : exclusions)
            if (lower(item.name).find(word) != std::string::npos) return false;
        return result.empty() || item.zrid != result[0];
    };
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    const auto rank = [&](const std::string& name) {
        if (words.empty()) return 3;
        if (name == joined) return 0;
        if (name.rfind(words[0], 0) == 0) return 1;
        for (const std::string& word : words) {
            const std::string spaced = " " + name; // the name's start counts as after a blank
            bool starts = false;
            for (std::size_t at = 1; at + word.size() <= spaced.size(); ++at)
                starts = starts || (!std::isalnum(static_cast<unsigned char>(spaced[at - 1])) &&
                                    spaced.compare(at, word.size(), word) == 0);
            if (!starts) return 3;
        }
        return 2;
    };
    std::vector<std::pair<int, const cModelItem*>> found;
    for (const cModelItem& item : items) {
        bool all = admitted(item);
        for (const std::string& word : words)
            all = all && lower(item.name).find(word) != std::string::npos;
        if (all) found.emplace_back(rank(lower(item.name)), &item);
    }
    const bool near = found.empty() && allowNear && !words.empty();
    for (const cModelItem& item : items) {
        if (!near) break;
        const std::vector<std::string> nameWords = split(lower(item.name), notAlnum);
        int total = 0;
        bool close = admitted(item);
        for (const std::string& word : words) {
            int fewest = 1 << 20;
            for (const std::string& nameWord : nameWords)
                fewest = std::min(fewest, editDistance(word, nameWord));
            close = close && fewest <= (word.size() <= 3 ? 0 : word.size() <= 7 ? 1 : 2);
            total += fewest;
        }
        if (close) found.emplace_back(total, &item);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const std::string x = lower(a.second->name), y = lower(b.second->name);
        return a.first != b.first ? a.first < b.first
               : x != y           ? x < y
                                  : a.second->ql < b.second->ql;
    });
    for (const auto& f : found)
        result.push_back(f.second->zrid);
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

TEST(NameSearchDifferentialTest, AgreesWithTheSlowModel) {
    std::mt19937 random(20240615);
    for (int round = 0; round < 20; ++round) {
        std::vector<cModelItem> items;
        cNameIndex index;
        for (int batch = 0; batch < 4; ++batch) {
            for (int n = int(random() % 60); n > 0; --n) {
                const ZRID zrid = (items.empty() ? 0 : items.back().zrid) + 1 + ZRID(random() % 3);
                items.push_back({zrid, randomName(random), std::int32_t(random() % 6)});
                index.add(zrid, items.back().name, items.back().ql);
            }
            index.commitPending();
            for (int q = 0; q < 60 && !items.empty(); ++q) {
                const std::string query = randomQuery(random, items);
                const bool near = random() % 2 == 0;
                std::vector<ZRID> found;
                for (const std::uint32_t p : searchNames(index, parseNameQuery(query), near).items)
                    found.push_back(index.zrid(p));
                ASSERT_EQ(found, modelSearch(items, query, near)) << "query \"" << query << "\"";
            }
        }
    }
}

} // namespace

} // namespace quarry
