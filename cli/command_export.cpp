// quarry-cli export [--format jsonl|sqlite] [--output OUT [--force]] FILE: a
// full import whose every loaded item goes out as one JSON line (standard
// output, or OUT) or as rows of a SQLite database OUT. OUT is written whole or
// not at all, and an existing OUT is replaced only with --force.
#include "cli/cli_common.h"
#include "export/item_export.h"
#include "export/item_json_lines.h"
#include "export/replacing_file.h"
#include "store/discarding_tree.h"

namespace quarry {

namespace {

struct cExportOptions {
    eExportFormat format = eExportFormat::jsonLines;
    std::string output; // empty: standard output
    bool force = false;
    bool quiet = false;
    std::string file;
};

// Empty when the arguments make an export; otherwise what is wrong with them.
std::string parseExportOptions(const cArguments& args, cExportOptions& options) {
    std::optional<std::string> format, output;
    const cCommandLine line = readCommandLine(
        args, {{"--format", &format}, {"--output", &output}, {"--force", &options.force}});
    if (!line.wrong.empty()) return line.wrong;
    if (format == "sqlite")
        options.format = eExportFormat::sqlite;
    else if (format && *format != "jsonl")
        return "--format takes jsonl or sqlite";
    options.output = output.value_or("");
    options.quiet = line.quiet;
    if (line.operands.size() != 1) return "export takes one FILE";
    options.file = line.operands[0];
    if (options.format == eExportFormat::sqlite && options.output.empty())
        return "--format sqlite needs --output OUT.db";
    if (options.force && options.output.empty()) return "--force goes with --output";
    return {};
}

int exportToStandardOutput(cCliSession& session, cCliOutput& out) {
    cJsonLinesExport lines([&out](std::string_view line) { out.write(line); });
    cDiscardingTree tree;
    return session.buildTree(tree, &lines);
}

int exportToFile(cCliSession& session, const cExportOptions& options) {
    session.progress().beginProgress("Exporting Items", 0);
    const cExportResult result = exportItems(session.store(), options.format, options.output,
                                             options.force, session.progress(), session.messages());
    session.progress().endProgress();
    if (result.ok) {
        session.noteItemsLoaded(result.items);
        return kExitOk;
    }
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

    cCliSession session(options.quiet);
    if (const int status = session.scan(options.file); status != kExitOk) return status;
    if (options.output.empty()) return exportToStandardOutput(session, out);
    removeTemporaryFilesOnSignals();
    return exportToFile(session, options);
}

} // namespace quarry
