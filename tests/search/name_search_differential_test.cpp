// Name search against a slow model of the query rule written straight from
// its wording (regular expressions, lower-cased copies, a full edit-distance
// table, one stable sort), on generated names and queries, with items
// committed to the index in several batches.
#include "search/name_search.h"
#include "search/near_spelling.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        for (std::size_t j = 0; j <= b.size(); ++j)
            d[i][j] = i == 0   ? int(j)
                      : j == 0 ? int(i)
                               : std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                           d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
    return d[a.size()][b.size()];
}

std::vector<ZRID> modelSearch(const std::vector<cModelItem>& items, const std::string& text,
                              bool allowNear) {
    std::vector<std::string> tokens, words, exclusions;
    std::vector<std::pair<long, long>> ranges;
    std::string token;
    for (const char c : text + " ") {
        if (c != ' ' && c != '\t')
            token += c;
        else if (!token.empty())
            tokens.push_back(std::exchange(token, ""));
    }
    const std::regex qlForm("[qQ][lL]:([0-9]{1,9})(-([0-9]{1,9}))?");
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
    if (tokens.size() == 1 && std::regex_match(tokens[0], std::regex("[-+]?[0-9]+"))) {
        std::uint32_t value = 0;
        for (const char c : tokens[0])
            if (c != '-' && c != '+') value = value * 10 + std::uint32_t(c - '0');
        const ZRID zrid = ZRID(tokens[0][0] == '-' ? 0 - value : value);
        for (const cModelItem& item : items)
            if (item.zrid == zrid) result.push_back(zrid);
    }
    if (words.empty() && ranges.empty()) return result;

    auto admitted = [&](const cModelItem& item) {
        for (const auto& [low, high] : ranges)
            if (item.ql < low || item.ql > high) return false;
        for (const std::string& word : exclusions)
            if (lower(item.name).find(word) != std::string::npos) return false;
        return result.empty() || item.zrid != result[0];
    };
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    auto rank = [&](const std::string& name) {
        if (words.empty()) return 3;
        if (name == joined) return 0;
        if (name.rfind(words[0], 0) == 0) return 1;
        for (const std::string& word : words) {
            bool starts = false;
            for (std::size_t at = 0; at + word.size() <= name.size(); ++at)
                starts = starts || (name.compare(at, word.size(), word) == 0 &&
                                    (at == 0 || !isAlnum(name[at - 1])));
            if (!starts) return 3;
        }
        return 2;
    };
    struct cFound {
        int key;
        const cModelItem* item;
    };
    std::vector<cFound> found;
    for (const cModelItem& item : items) {
        const std::string name = lower(item.name);
        bool all = true;
        for (const std::string& word : words)
            all = all && name.find(word) != std::string::npos;
        if (all && admitted(item)) found.push_back({rank(name), &item});
    }
    if (found.empty() && allowNear && !words.empty()) {
        for (const cModelItem& item : items) {
            std::vector<std::string> nameWords;
            std::string run;
            for (const char c : lower(item.name) + " ") {
                if (isAlnum(c))
                    run += c;
                else if (!run.empty())
                    nameWords.push_back(std::exchange(run, ""));
            }
            int total = 0;
            bool near = admitted(item);
            for (const std::string& word : words) {
                int fewest = 1 << 20;
                for (const std::string& nameWord : nameWords)
                    fewest = std::min(fewest, editDistance(word, nameWord));
                near = near && fewest <= (word.size() <= 3 ? 0 : word.size() <= 7 ? 1 : 2);
                total += fewest;
            }
            if (near) found.push_back({total, &item});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const cFound& a, const cFound& b) {
        if (a.key != b.key) return a.key < b.key;
        const std::string x = lower(a.item->name), y = lower(b.item->name);
        return x != y ? x < y : a.item->ql < b.item->ql;
    });
    for (const cFound& f : found)
        result.push_back(f.item->zrid);
    return result;
}

// Names from a few short syllables, so that words repeat, overlap and tie.
std::string randomName(std::mt19937& random) {
    static const char* const kParts[] = {"ab",  "Ba",  "ca", "-",  " ",    "\xE9", "1",  "bAc",
                                         "abc", "cab", "a",  "\t", "BAAB", "caca", "bcb"};
    std::string name;
    const int parts = 1 + int(random() % 6);
    for (int i = 0; i < parts; ++i)
        name += kParts[random() % std::size(kParts)];
    return name;
}

// Queries made of pieces of real names, altered words, exclusions, QL forms
// and identifiers.
std::string randomQuery(std::mt19937& random, const std::vector<cModelItem>& items) {
    std::string query;
    const int tokens = 1 + int(random() % 3);
    for (int i = 0; i < tokens; ++i) {
        const cModelItem& item = items[random() % items.size()];
        std::string piece = item.name.substr(random() % item.name.size());
        piece = piece.substr(0, 1 + random() % 9);
        switch (random() % 8) {
        case 0:
            piece = "-" + piece;
            break;
        case 1:
            piece = "ql:" + std::to_string(random() % 6) + (random() % 2 ? "-4" : "");
            break;
        case 2:
            piece = std::to_string(item.zrid);
            break;
        case 3:
            piece.insert(random() % piece.size(), 1, "abc"[random() % 3]);
            break;
        case 4:
            piece = "QL:" + piece;
            break;
        default:
            break;
        }
        for (char& c : piece)
            if (random() % 3 == 0 && c >= 'a' && c <= 'z') c = char(c - 32);
        query += (i == 0 ? "" : random() % 2 ? " " : "\t ") + piece;
    }
    return query;
}

TEST(NameSearchDifferentialTest, AgreesWithTheSlowModel) {
    std::mt19937 random(20240615);
    for (int round = 0; round < 20; ++round) {
        std::vector<cModelItem> items;
        cNameIndex index;
        ZRID zrid = 0;
        for (int batch = 0; batch < 4; ++batch) {
            for (int i = 0, n = int(random() % 60); i < n; ++i) {
                zrid += 1 + ZRID(random() % 3);
                items.push_back({zrid, randomName(random), std::int32_t(random() % 6)});
                index.add(items.back().zrid, items.back().name, items.back().ql);
            }
            index.commitPending();
            if (items.empty()) continue;
            for (int q = 0; q < 60; ++q) {
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

TEST(NameSearchDifferentialTest, BoundedEditDistanceAgreesWithTheFullTable) {
    std::mt19937 random(7);
    std::vector<int> scratch;
    for (int i = 0; i < 20000; ++i) {
        std::string a, b;
        for (int n = int(random() % 10); n > 0; --n)
            a += "abc"[random() % 3];
        for (int n = int(random() % 10); n > 0; --n)
            b += "abc"[random() % 3];
        const int limit = int(random() % 4);
        ASSERT_EQ(boundedEditDistance(a, b, limit, scratch),
                  std::min(editDistance(a, b), limit + 1))
            << a << " / " << b << " limit " << limit;
    }
}

} // namespace

} // namespace quarry
