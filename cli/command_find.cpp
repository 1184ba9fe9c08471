// quarry-cli find [--limit N] [--near] [--columns A,B,...] FILE QUERY...: the
// query is read first (an error costs no import), then a full import (scan
// and tree build, with the tree's messages) gathers what the query reads of
// each item, and one line per match follows in the query's order:
// "ZRID<tab>QL<tab>name", then a tab and the value of each column.
#include "cli/cli_common.h"
#include "search/query_evaluator.h"
#include "store/discarding_tree.h"

#include <charconv>

namespace quarry {

namespace {

struct cFindOptions {
    std::uint64_t limit = UINT64_MAX;
    bool near = false;
    bool quiet = false;
    bool noCache = false;
    std::vector<std::string> columns;
    std::string file;
    std::string query;
};

bool parseLimit(const std::string& text, std::uint64_t& limit) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, limit);
    return !text.empty() && error == std::errc() && stop == end && limit > 0;
}

// Names separated by commas, none empty.
bool parseColumns(const std::string& text, std::vector<std::string>& columns) {
    columns.clear();
    for (std::size_t start = 0;;) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        if (comma == start) return false;
        columns.push_back(text.substr(start, comma - start));
        if (comma == text.size()) return true;
        start = comma + 1;
    }
}

// Empty when the arguments make a search; otherwise what is wrong with them.
std::string parseFindOptions(const cArguments& args, cFindOptions& options) {
    std::optional<std::string> limit;
    std::optional<std::string> columns;
    const cCommandLine line = readCommandLine(args, {{"--near", &options.near},
                                                     {"--limit", &limit},
                                                     {"--columns", &columns},
                                                     {kNoCacheOption, &options.noCache}});
    if (!line.wrong.empty()) return line.wrong;
    if (limit && !parseLimit(*limit, options.limit))
        return "--limit takes a whole number of at least 1";
    if (columns && !parseColumns(*columns, options.columns))
        return "--columns takes attribute names separated by commas";
    if (line.operands.size() < 2) return "find takes a FILE and a QUERY";
    options.quiet = line.quiet;
    options.file = line.operands[0];
    for (std::size_t next = 1; next < line.operands.size(); ++next)
        options.query += (options.query.empty() ? "" : " ") + line.operands[next];
    return {};
}

void writeMatches(const cQueryIndex& index, const std::vector<std::uint32_t>& items,
                  const cFindOptions& options, cCliOutput& out) {
    std::string line;
    std::string value;
    for (std::size_t i = 0; i < items.size() && i < options.limit; ++i) {
        const std::uint32_t item = items[i];
        line = std::to_string(index.zrid(item)) + '\t' + std::to_string(index.ql(item)) + '\t';
        appendField(line, index.name(item));
        for (const std::string& column : options.columns) {
            line.push_back('\t');
            if (index.attributeText(item, column, value)) appendField(line, value);
        }
        line.push_back('\n');
        out.write(line);
    }
}

} // namespace

int runFindCommand(const cArguments& args, cCliOutput& out) {
    cFindOptions options;
    if (const std::string wrong = parseFindOptions(args, options); !wrong.empty())
        return usageError(wrong);
    const cParsedQuery parsed = parseQuery(options.query);
    if (!parsed.ok()) {
        printMessage("query: " + parsed.error->message());
        return kExitUsage;
    }

    // Only what the query and the columns read is gathered (a cache holds
    // every field).
    cQueryFieldSet fields = parsed.query.fields();
    if (!options.columns.empty()) fields.add(eQueryField::attr);
    cQueryIndex index;
    index.setFields(fields);

    cCliSession session(options.quiet, !options.noCache);
    cDiscardingTree tree;
    if (const int status = session.import(options.file, tree, &index); status != kExitOk)
        return status;
    // Without name words nothing is searched by name: only the matches are
    // put in name order.
    if (parsed.query.nameWords.empty())
        index.commitInIndexOrder();
    else
        index.commitPending();
    writeMatches(index, runQuery(index, parsed.query, options.near).items, options, out);
    return kExitOk;
}

} // namespace quarry
