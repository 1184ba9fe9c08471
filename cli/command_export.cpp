// quarry-cli export [--format jsonl|sqlite] [--output OUT [--force]] FILE: a
// full import whose every loaded item goes out as one JSON line (standard
// output, or OUT) or as rows of a SQLite database OUT. OUT is written whole or
// not at all, and an existing OUT is replaced only with --force.
#include "cli/cli_common.h"
#include "export/item_export.h"
#include "export/replacing_file.h"
#include "report/item_json_lines.h"

namespace quarry {

namespace {

struct cExportOptions {
    eExportFormat format = eExportFormat::jsonLines;
    std::string output; // empty: standard output
    bool force = false;
    std::string file;
};

// Empty when the arguments make an export; otherwise what is wrong with them.
std::string parseExportOptions(const cArguments& args, cExportOptions& options) {
    std::size_t next = 0;
    for (; next < args.size() && args[next].starts_with("--"); ++next) {
        const std::string& option = args[next];
        if (option == "--") {
            ++next;
            break;
        }
        if (option == "--force") {
            options.force = true;
            continue;
        }
        if (next + 1 >= args.size()) return option + " takes a value";
        const std::string& value = args[++next];
        if (option == "--output") {
            options.output = value;
        } else if (option == "--format" && value == "jsonl") {
            options.format = eExportFormat::jsonLines;
        } else if (option == "--format" && value == "sqlite") {
            options.format = eExportFormat::sqlite;
        } else if (option == "--format") {
            return "--format takes jsonl or sqlite";
        } else {
            return "unknown option: " + option;
        }
    }
    if (args.size() != next + 1) return "export takes one FILE";
    options.file = args[next];
    if (options.format == eExportFormat::sqlite && options.output.empty())
        return "--format sqlite needs --output OUT.db";
    if (options.force && options.output.empty()) return "--force goes with --output";
    return {};
}

int exportToStandardOutput(cCliSession& session, cCliOutput& out) {
    cJsonLinesExport lines([&out](std::string_view line) { out.write(line); });
    return session.buildTree(lines.tree(), &lines);
}

int exportToFile(cCliSession& session, const cExportOptions& options) {
    session.progress().beginProgress("Exporting Items", 0);
    const cExportResult result = exportItems(session.store(), options.format, options.output,
                                             options.force, session.progress(), session.messages());
    session.progress().endProgress();
    if (result.ok) return kExitOk;
    printMessage("cannot write " + options.output + ": " + result.error);
    return kExitWriteFailed;
}

} // namespace

int runExportCommand(const cArguments& args, cCliOutput& out) {
    cExportOptions options;
    if (const std::string wrong = parseExportOptions(args, options); !wrong.empty())
        return usageError(wrong);
    // Said before the import rather than after it; the export checks again.
    const cReplacingFile::eTarget target = options.output.empty()
                                               ? cReplacingFile::eTarget::none
                                               : cReplacingFile::targetAt(options.output);
    if (target == cReplacingFile::eTarget::somethingElse) {
        printMessage("cannot write " + options.output + ": " +
                     cReplacingFile::whyNotWritable(options.output, options.force));
        return kExitWriteFailed;
    }
    if (target == cReplacingFile::eTarget::regularFile && !options.force) {
        printMessage(options.output + " exists; --force replaces it");
        return kExitWriteFailed;
    }

    cCliSession session;
    if (const int status = session.scan(options.file); status != kExitOk) return status;
    if (options.output.empty()) return exportToStandardOutput(session, out);
    removeTemporaryFilesOnSignals();
    return exportToFile(session, options);
}

} // namespace quarry
