#include "cli/cli_common.h"

#include "platform/item_file_check.h"

#include <charconv>
#include <cstdio>

namespace quarry {

const char* usageText() {
    return "usage: quarry-cli index FILE\n"
           "       quarry-cli tree FILE\n"
           "       quarry-cli show [--format rtf|text|html] FILE ZRID...\n"
           "       quarry-cli find [--limit N] [--near] [--columns A,B,...] FILE QUERY...\n"
           "       quarry-cli stats FILE\n"
           "       quarry-cli export [--format jsonl] [--output OUT [--force]] FILE\n"
           "       quarry-cli export --format sqlite --output OUT.db [--force] FILE\n"
           "       quarry-cli diff [--format text|jsonl] OLD NEW\n"

           "       quarry-cli --help | --version\n";
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

cCliSession::cCliSession() : progress_(standardErrorIsTerminal()), messages_(&progress_) {}

int cCliSession::readFailed(const std::string& reason) {
    printMessage("cannot read " + path_ + ": " + reason);
    return kExitUnreadableFile;
}

int cCliSession::scan(const std::string& path) {
    path_ = path;
    const std::string reason = whyUnreadable(path);
    if (!reason.empty()) return readFailed(reason);
    const cImportResult result = store_.scanItemFile(path, progress_);
    return result.readFailed() ? readFailed(result.failure) : kExitOk;
}

int cCliSession::buildTree(cTreeControl& tree, cLoadedItemSink* loaded) {
    progress_.beginProgress("Importing Item Data", 0);
    const cImportResult result = store_.buildCategoryTree(tree, progress_, messages_, loaded);
    progress_.endProgress();
    return result.readFailed() ? readFailed(result.failure) : kExitOk;
}

} // namespace quarry
