// quarry-cli compare [--format text|jsonl] [--differences] FILE ZRID ZRID...:
// two to eight items side by side, after the import's scan alone. One row per
// member any of them has (the members diff compares, in member order), one
// column per item; a member an item lacks is an empty cell (null in jsonl).
//
// text: a header row "member" and the identifiers, then per row the member's
// path and each item's value as JSON, tab-separated. jsonl: a header object
// {"zrids":[...],"loaded":[...]}, then one {"member":...,"values":[...]} per
// row. An item that does not load has no members; in text its "name" cell
// says so. --differences keeps the rows whose cells differ.
#include "cli/cli_common.h"
#include "report/item_difference.h"
#include "report/item_json.h"
#include "report/item_report.h"
#include "store/item_record.h"

namespace quarry {

namespace {

constexpr std::size_t kMinCompared = 2;
constexpr std::size_t kMaxCompared = 8;
const std::string_view kNameRow = memberKindName(eMemberKind::name);

// One compared item: its members, or none when it did not load.
struct cCompareColumn {
    ZRID zrid = 0;
    bool loaded = false;
    cItemMembers members;
};

void appendHeader(std::string& out, bool json, const std::vector<cCompareColumn>& items) {
    if (!json) {
        out += "member";
        for (const cCompareColumn& item : items)
            out += '\t' + std::to_string(item.zrid);
        out += '\n';
        return;
    }
    std::string loaded;
    out += "{\"zrids\":[";
    for (const cCompareColumn& item : items) {
        if (&item != &items.front()) {
            out += ',';
            loaded += ',';
        }
        appendJson(out, item.zrid);
        appendJson(loaded, item.loaded);
    }
    out += "],\"loaded\":[" + loaded + "]}\n";
}

void appendRow(std::string& out, bool json, const cMemberRow& row,
               const std::vector<cCompareColumn>& items) {
    const bool nameRow = row.path == kNameRow;
    if (json) {
        out += "{\"member\":";
        appendJson(out, row.path);
        out += ",\"values\":[";
    } else {
        appendUtf8Field(out, row.path);
    }
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        if (json && i > 0) out += ',';
        if (!json) out += '\t';
        if (const cItemMember* cell = row.cells[i])
            out += cell->json;
        else if (json)
            out += "null";
        else if (nameRow && !items[i].loaded)
            out += kFailedToLoadText;
    }
    out += json ? "]}\n" : "\n";
}

} // namespace

int runCompareCommand(const cArguments& args, cCliOutput& out) {
    std::optional<std::string> format;
    bool differencesOnly = false;
    bool noCache = false;
    const cCommandLine line = readCommandLine(
        args,
        {{"--format", &format}, {"--differences", &differencesOnly}, {kNoCacheOption, &noCache}});
    if (!line.wrong.empty()) return usageError(line.wrong);
    if (format && *format != "text" && *format != "jsonl")
        return usageError("--format takes text or jsonl");
    const bool json = format == "jsonl";
    const std::size_t count = line.operands.empty() ? 0 : line.operands.size() - 1;
    if (count < kMinCompared || count > kMaxCompared)
        return usageError("compare takes a FILE and 2 to 8 ZRIDs");
    std::vector<cCompareColumn> items(count);
    for (std::size_t i = 0; i < count; ++i)
        if (!parseZridArgument(line.operands[i + 1], items[i].zrid))
            return usageError("not an item identifier: " + line.operands[i + 1]);

    cCliSession session(line.quiet, !noCache);
    if (const int status = session.scan(line.operands[0]); status != kExitOk) return status;

    // As show: an item that does not load gives 3, a file that cannot be read
    // (or changed since the scan) 1, which wins.
    int status = kExitOk;
    std::vector<const cItemMembers*> lists;
    for (cCompareColumn& item : items) {
        cItemRecord record;
        cItemStore::eLoadFailure why = cItemStore::eLoadFailure::none;
        item.loaded = session.store().loadItem(item.zrid, record, session.messages(), &why);
        if (why == cItemStore::eLoadFailure::readFailed || why == cItemStore::eLoadFailure::changed)
            status = kExitUnreadableFile;
        else if (!item.loaded && status == kExitOk)
            status = kExitItemNotLoaded;
        if (item.loaded) item.members = itemMembers(record);
        lists.push_back(&item.members);
    }

    std::vector<cMemberRow> rows = memberRows(lists);
    // The name row says which items did not load, even when none did.
    const bool someFailed = status != kExitOk;
    if (someFailed && (rows.empty() || rows.front().path != kNameRow))
        rows.insert(rows.begin(),
                    cMemberRow{std::string(kNameRow), std::vector<const cItemMember*>(count)});
    std::string text;
    appendHeader(text, json, items);
    for (const cMemberRow& row : rows) {
        const bool showsFailure = someFailed && row.path == kNameRow;
        if (differencesOnly && !row.differs() && !showsFailure) continue;
        appendRow(text, json, row, items);
        out.write(text);
        text.clear();
    }
    out.write(text);
    return status;
}

} // namespace quarry
