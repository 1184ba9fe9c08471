// quarry-cli find [--limit N] [--near] FILE QUERY...: a full import (scan and
// tree build, with the tree's messages), then one "ZRID<tab>QL<tab>name" line
// per item the query finds, in the query rule's order.
#include "cli/cli_common.h"
#include "search/name_search.h"
#include "store/discarding_tree.h"

#include <charconv>

namespace quarry {

namespace {

bool parseLimit(const std::string& text, std::uint64_t& limit) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, limit);
    return !text.empty() && error == std::errc() && stop == end && limit > 0;
}

// One line per match: identifier, QL, name (its tabs and line breaks as blanks).
void writeMatches(const cNameIndex& names, const std::vector<std::uint32_t>& items,
                  std::uint64_t limit, cCliOutput& out) {
    std::string line;
    for (std::size_t i = 0; i < items.size() && i < limit; ++i) {
        const std::uint32_t position = items[i];
        line =
            std::to_string(names.zrid(position)) + '\t' + std::to_string(names.ql(position)) + '\t';
        appendField(line, names.name(position));
        line.push_back('\n');
        out.write(line);
    }
}

} // namespace

int runFindCommand(const cArguments& args, cCliOutput& out) {
    bool allowNear = false;
    std::optional<std::string> limitText;
    const cCommandLine line =
        readCommandLine(args, {{"--near", &allowNear}, {"--limit", &limitText}});
    if (!line.wrong.empty()) return usageError(line.wrong);
    std::uint64_t limit = UINT64_MAX;
    if (limitText && !parseLimit(*limitText, limit))
        return usageError("--limit takes a whole number of at least 1");
    if (line.operands.size() < 2) return usageError("find takes a FILE and a QUERY");
    const std::string& path = line.operands[0];
    std::string text;
    for (std::size_t next = 1; next < line.operands.size(); ++next)
        text += (text.empty() ? "" : " ") + line.operands[next];
    const cNameQuery query = parseNameQuery(text);
    if (!query.isSearchable())
        return usageError("the query has no word, no ql: range and is not an item identifier");

    cCliSession session(line.quiet);
    if (const int status = session.scan(path); status != kExitOk) return status;
    cDiscardingTree tree;
    cNameIndex names;
    if (const int status = session.buildTree(tree, &names); status != kExitOk) return status;
    names.commitPending();
    names.shrinkToFit();
    writeMatches(names, searchNames(names, query, allowNear).items, limit, out);
    return kExitOk;
}

} // namespace quarry
