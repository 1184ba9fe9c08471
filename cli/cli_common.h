// What the commands of quarry-cli share: exit statuses, usage errors, and an
// import session that wires the item store to the terminal.
#pragma once

#include "cache/cached_import.h"
#include "cli/cli_output.h"
#include "cli/stderr_message_sink.h"
#include "cli/terminal_progress.h"
#include "store/item_import.h"
#include "store/item_store.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

enum eExitStatus : int {
    kExitOk = 0,
    kExitUnreadableFile = 1,
    kExitWriteFailed = 1,
    kExitUsage = 2,
    kExitItemNotLoaded = 3,
    kExitFilesDiffer = 4, // diff: the two files hold different items
};

using cArguments = std::vector<std::string>;

// An option a command takes: a flag, or an option whose value is the argument
// after it. Given twice, the last one counts.
struct cOption {
    cOption(const char* name, bool* flag) : name(name), flag(flag) {}
    cOption(const char* name, std::optional<std::string>* value) : name(name), value(value) {}

    std::string_view name;
    bool* flag = nullptr;
    std::optional<std::string>* value = nullptr;
};

// A command's arguments, read.
struct cCommandLine {
    std::vector<std::string> operands; // FILE, ZRID, QUERY... in their order
    bool quiet = false;                // -q, --quiet: every command takes it
    std::string wrong;                 // why the arguments do not read; empty when they do
};

// Reads a command's arguments by the rule every command shares. Options come
// first; the first operand ends them, and so does a lone "--" (which is not an
// operand). Once they have ended, an argument starting with "--" is refused
// rather than read as an operand, so an option put after FILE is not silently
// taken for a query word or an identifier; after a lone "--" nothing is
// refused. A single dash is an option only where options are taken, so "-5"
// and "-word" after FILE stay operands.
cCommandLine readCommandLine(const cArguments& args, std::initializer_list<cOption> options);

// Prints "quarry-cli: reason" and the usage text on standard error; returns kExitUsage.
int usageError(const std::string& reason);
// The usage text, one line per command form.
const char* usageText();

// Reads a ZRID argument: a decimal number, optionally signed, that fits in 32
// bits (values up to 4294967295 are taken as the unsigned form). False for
// anything else.
bool parseZridArgument(const std::string& text, ZRID& zrid);

// One run of the tool against one item file: its import, with progress and
// messages on the terminal.
class cCliSession {
public:
    // `quiet`: no messages about tags an item's record does not expect.
    // `useCache`: the index and the import come from the file's cache when it
    // holds the file as it is, and a whole import writes the cache.
    explicit cCliSession(bool quiet, bool useCache = false);
    cCliSession(const cCliSession&) = delete;
    cCliSession& operator=(const cCliSession&) = delete;

    // Checks the file and runs the import scan (or takes the cache's index).
    // kExitOk, or kExitUnreadableFile
    // after printing the reason (also when a read fails during the scan). A
    // file that indexes no item is said to hold none on standard error.
    int scan(const std::string& path);
    // Builds the category tree of the scanned file into `tree`, handing every
    // item that loads to `loaded` when given. kExitOk, or kExitUnreadableFile
    // after printing the reason when a read fails.
    int buildTree(cTreeControl& tree, cLoadedItemSink* loaded = nullptr);
    // The whole import: scan() and buildTree(), or with the cache, a reopen
    // from it, or an import that gathers every field into `queries` (or an
    // index of its own) for the cache. The same statuses and messages.
    int import(const std::string& path, cTreeControl& tree, cQueryIndex* queries = nullptr);
    // After a pass that loaded every indexed item (a tree build, an export):
    // when items were indexed but none loaded, says the file holds none.
    void noteItemsLoaded(std::uint64_t loaded);

    cItemStore& store() { return store_; }
    cMessageSink& messages() { return messages_; }
    cProgressHost& progress() { return progress_; }

private:
    // kExitOk after an import that read the whole file; otherwise the reason
    // is printed and the answer is kExitUnreadableFile.
    int statusOf(const cImportResult& result);
    void sayNoItems(bool tagsMisplaced) const;

    std::string path_;
    cTerminalProgress progress_;
    cStderrMessageSink messages_;
    cItemStore store_;
    cItemImport import_;
    cCachedImport cached_;
    bool useCache_;
};

// The option of every command that imports and may use the cache.
inline constexpr const char* kNoCacheOption = "--no-cache";

// The commands; each takes the arguments after its name and writes its results
// to `out`.
int runIndexCommand(const cArguments& args, cCliOutput& out);
int runTreeCommand(const cArguments& args, cCliOutput& out);
int runShowCommand(const cArguments& args, cCliOutput& out);
int runStatsCommand(const cArguments& args, cCliOutput& out);
int runFindCommand(const cArguments& args, cCliOutput& out);
int runExportCommand(const cArguments& args, cCliOutput& out);
int runDiffCommand(const cArguments& args, cCliOutput& out);
int runCompareCommand(const cArguments& args, cCliOutput& out);

} // namespace quarry
