#include "name_queries.h"

#include "search/query_evaluator.h"

namespace quarry {

namespace {

std::vector<std::string> wordsOf(std::string_view name) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : std::string(name) + ' ') {
        if (c != ' ' && c != '\t') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

// A name picked by its place in name order.
std::string_view randomName(const cQueryIndex& index, cRandomStream& random) {
    return index.names().name(random.below(index.size()));
}

// A whole word, a prefix of at least 2 bytes, or a middle part of at least 2.
std::string pieceOf(const std::string& word, cRandomStream& random) {
    const auto length = static_cast<std::int32_t>(word.size());
    if (length < 3) return word;
    switch (random.below(3)) {
    case 1:
        return word.substr(0, static_cast<std::size_t>(random.between(2, length)));
    case 2: {
        const std::int32_t start = random.between(1, length - 2);
        return word.substr(static_cast<std::size_t>(start),
                           static_cast<std::size_t>(random.between(2, length - start)));
    }
    default:
        return word;
    }
}

void mixCase(std::string& text, cRandomStream& random) {
    for (char& c : text)
        if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && random.chance(333))
            c = static_cast<char>(c ^ 0x20);
}

void misspell(std::string& word, cRandomStream& random) {
    const int edits = word.size() >= 8 ? 2 : 1;
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = random.below(static_cast<std::uint32_t>(word.size()));
        const char letter = static_cast<char>('a' + random.below(26));
        switch (random.below(3)) {
        case 0:
            word[at] = letter;
            break;
        case 1:
            word.insert(at, 1, letter);
            break;
        default:
            word.erase(at, 1);
            break;
        }
    }
}

} // namespace

std::vector<std::string> makeTypedQueries(const cQueryIndex& index, cRandomStream& random,
                                          std::size_t count) {
    std::vector<std::string> queries;
    while (index.size() > 0 && queries.size() < count) {
        const std::vector<std::string> words = wordsOf(randomName(index, random));
        if (words.empty()) continue;
        const std::size_t first = random.below(static_cast<std::uint32_t>(words.size()));
        const std::size_t wanted = 1 + random.below(3);
        std::string query;
        for (std::size_t w = first; w < words.size() && w < first + wanted; ++w)
            query += (query.empty() ? "" : " ") + pieceOf(words[w], random);
        mixCase(query, random);
        queries.push_back(query);
    }
    return queries;
}

std::vector<std::string> makeMisspelledQueries(const cQueryIndex& index, cRandomStream& random,
                                               std::size_t count) {
    std::vector<std::string> queries;
    for (std::size_t tries = 0; index.size() > 0 && queries.size() < count && tries < count * 100;
         ++tries) {
        std::vector<std::string> words;
        for (const std::string& word : wordsOf(randomName(index, random)))
            if (word.size() >= 4) words.push_back(word);
        if (words.empty()) continue;
        const std::size_t first = random.below(static_cast<std::uint32_t>(words.size()));
        const std::size_t wanted = 1 + random.below(2);
        std::string query;
        for (std::size_t w = first; w < words.size() && w < first + wanted; ++w) {
            std::string word = words[w];
            misspell(word, random);
            query += (query.empty() ? "" : " ") + word;
        }
        mixCase(query, random);
        const cParsedQuery parsed = parseQuery(query);
        if (parsed.ok() && runQuery(index, parsed.query, false).items.empty())
            queries.push_back(query);
    }
    return queries;
}

} // namespace quarry
