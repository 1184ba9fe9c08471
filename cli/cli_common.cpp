#include "cli/cli_common.h"

#include "cache/cache_folder.h"

#include <charconv>
#include <cstdio>

namespace quarry {

const char* usageText() {
    return "usage: quarry-cli index [-q] [--no-cache] FILE\n"
           "       quarry-cli tree [-q] [--no-cache] FILE\n"
           "       quarry-cli show [-q] [--no-cache] [--format rtf|text|html] FILE ZRID...\n"
           "       quarry-cli find [-q] [--no-cache] [--limit N] [--near] [--columns A,B,...] FILE "
           "QUERY...\n"
           "       quarry-cli stats [-q] FILE\n"
           "       quarry-cli export [-q] [--format jsonl] [--output OUT [--force]] FILE\n"
           "       quarry-cli export [-q] --format sqlite --output OUT.db [--force] FILE\n"
           "       quarry-cli diff [-q] [--format text|jsonl] OLD NEW\n"
           "       quarry-cli compare [-q] [--no-cache] [--format text|jsonl] [--differences] FILE "
           "ZRID ZRID...\n"
           "       quarry-cli --help | --version\n"
           "Options go before FILE; a lone -- ends them, so a QUERY word may start with --.\n"
           "  -q, --quiet  no messages about unsupported tags on standard error\n"
           "  --no-cache   import FILE afresh: neither read nor write its cache\n";
}

namespace {

bool isQuietOption(std::string_view arg) {
    return arg == "-q" || arg == "--quiet";
}

const cOption* findOption(std::initializer_list<cOption> options, std::string_view name) {
    for (const cOption& option : options)
        if (option.name == name) return &option;
    return nullptr;
}

} // namespace

cCommandLine readCommandLine(const cArguments& args, std::initializer_list<cOption> options) {
    cCommandLine line;
    bool endMarkSeen = false; // a lone "--": nothing after it is an option
    for (std::size_t next = 0; next < args.size() && line.wrong.empty(); ++next) {
        const std::string& arg = args[next];
        const bool optionsTaken = !endMarkSeen && line.operands.empty();
        if (!endMarkSeen && arg == "--") {
            endMarkSeen = true;
        } else if (endMarkSeen || arg.size() < 2 || arg[0] != '-' ||
                   (!optionsTaken && arg[1] != '-')) {
            line.operands.push_back(arg);
        } else if (!optionsTaken) {
            line.wrong = arg + " after the operands: options go before FILE (after a lone --, "
                               "an argument may start with --)";
        } else if (isQuietOption(arg)) {
            line.quiet = true;
        } else if (const cOption* option = findOption(options, arg); option == nullptr) {
            line.wrong = "unknown option: " + arg;
        } else if (option->flag != nullptr) {
            *option->flag = true;
        } else if (next + 1 == args.size()) {
            line.wrong = arg + " takes a value";
        } else {
            *option->value = args[++next];
        }
    }
    return line;
}

int usageError(const std::string& reason) {
    printMessage(reason);
    std::fputs(usageText(), stderr);
    return kExitUsage;
}

bool parseZridArgument(const std::string& text, ZRID& zrid) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first; // from_chars takes a minus sign only
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last) return false;
    if (value < INT32_MIN || value > std::int64_t(UINT32_MAX)) return false;
    zrid = static_cast<ZRID>(static_cast<std::uint32_t>(value));
    return true;
}

cCliSession::cCliSession(bool quiet, bool useCache)
    : progress_(standardErrorIsTerminal()), messages_(&progress_, quiet),
      import_(store_, progress_, messages_),
      cached_(store_, progress_, messages_, useCache ? standardCacheFolder() : std::string()),
      useCache_(useCache) {}

int cCliSession::statusOf(const cImportResult& result) {
    if (result) return kExitOk;
    printMessage(result.outcome == cImportResult::eOutcome::changed
                     ? path_ + " changed during the import"
                     : "cannot read " + path_ + ": " + result.failure);
    return kExitUnreadableFile;
}

int cCliSession::scan(const std::string& path) {
    path_ = path;
    const cImportResult scanned = cached_.scan(path);
    const int status = statusOf(scanned);
    if (status == kExitOk && store_.itemCount() == 0) sayNoItems(scanned.itemTagsMisplaced);
    return status;
}

int cCliSession::buildTree(cTreeControl& tree, cLoadedItemSink* loaded) {
    const cImportResult built = import_.buildTree(tree, loaded);
    const int status = statusOf(built);
    if (status == kExitOk) noteItemsLoaded(built.loaded);
    return status;
}

int cCliSession::import(const std::string& path, cTreeControl& tree, cQueryIndex* queries) {
    if (!useCache_) {
        const int scanned = scan(path);
        return scanned != kExitOk ? scanned : buildTree(tree, queries);
    }
    path_ = path;
    cQueryIndex own;
    const cImportResult result = cached_.run(path, tree, queries != nullptr ? *queries : own);
    const int status = statusOf(result);
    if (status != kExitOk) return status;
    if (store_.itemCount() == 0)
        sayNoItems(result.itemTagsMisplaced);
    else
        noteItemsLoaded(result.loaded);
    return status;
}

void cCliSession::noteItemsLoaded(std::uint64_t loaded) {
    if (loaded == 0 && store_.itemCount() != 0)
        sayNoItems(false); // a file of none was said at scan
}

void cCliSession::sayNoItems(bool tagsMisplaced) const {
    const std::string_view sentence = kNoItemsFound;
    const std::size_t name = sentence.find("%1");
    printMessage(std::string(sentence.substr(0, name)) + path_ +
                 std::string(sentence.substr(name + 2)));
    if (tagsMisplaced) printMessage(kItemTagsMisplaced);
}

} // namespace quarry
