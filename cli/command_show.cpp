// quarry-cli show [--format rtf|text|html] FILE ZRID...: the report of each
// item as the report pane would receive it, or as a reader sees it (text), or
// as HTML; each followed by one line feed.
#include "cli/cli_common.h"
#include "platform/rich_text.h"
#include "report/item_report.h"

namespace quarry {

namespace {

enum class eShowFormat { rtf, text, html };

bool parseFormat(const std::string& name, eShowFormat& format) {
    if (name == "rtf")
        format = eShowFormat::rtf;
    else if (name == "text")
        format = eShowFormat::text;
    else if (name == "html")
        format = eShowFormat::html;
    else
        return false;
    return true;
}

std::string render(const std::string& report, eShowFormat format) {
    switch (format) {
    case eShowFormat::text:
        return toPlainText(readRichText(report));
    case eShowFormat::html:
        return toHtml(readRichText(report));
    case eShowFormat::rtf:
        break;
    }
    return report;
}

} // namespace

int runShowCommand(const cArguments& args, cCliOutput& out) {
    std::optional<std::string> formatName;
    bool noCache = false;
    const cCommandLine line =
        readCommandLine(args, {{"--format", &formatName}, {kNoCacheOption, &noCache}});
    if (!line.wrong.empty()) return usageError(line.wrong);
    eShowFormat format = eShowFormat::rtf;
    if (formatName && !parseFormat(*formatName, format))
        return usageError("--format takes rtf, text or html");
    if (line.operands.size() < 2) return usageError("show takes a FILE and at least one ZRID");
    const std::string& path = line.operands[0];
    std::vector<ZRID> zrids;
    for (std::size_t next = 1; next < line.operands.size(); ++next) {
        ZRID zrid = 0;
        if (!parseZridArgument(line.operands[next], zrid))
            return usageError("not an item identifier: " + line.operands[next]);
        zrids.push_back(zrid);
    }

    cCliSession session(line.quiet, !noCache);
    if (const int status = session.scan(path); status != kExitOk) return status;

    // An item that does not load gives 3, a file that cannot be read (or
    // changed since the scan) 1, which wins.
    int status = kExitOk;
    for (const ZRID zrid : zrids) {
        cItemStore::eLoadFailure why = cItemStore::eLoadFailure::none;
        const std::string report = writeItemReport(session.store(), zrid, session.messages(), &why);
        if (why == cItemStore::eLoadFailure::readFailed || why == cItemStore::eLoadFailure::changed)
            status = kExitUnreadableFile;
        else if (report == kFailedToLoadText && status == kExitOk)
            status = kExitItemNotLoaded;
        out.write(render(report, format) + '\n');
    }
    return status;
}

} // namespace quarry
