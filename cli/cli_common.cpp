#include "cli/cli_common.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarry {

const char* usageText() {
    return "usage: quarry-cli index FILE\n"
           "       quarry-cli tree FILE\n"
           "       quarry-cli show [--format rtf|text|html] FILE ZRID...\n"
           "       quarry-cli stats FILE\n";
}

int usageError(const std::string& reason) {
    printMessage(reason);
    std::fputs(usageText(), stderr);
    return kExitUsage;
}

namespace {

// Why a file of this kind is not read: only regular files are item files. A
// FIFO would lose its writer to the check and a device could be endless.
const char* whyNotRegular(mode_t mode) {
    if (S_ISREG(mode)) return nullptr;
    if (S_ISDIR(mode)) return std::strerror(EISDIR);
    if (S_ISFIFO(mode)) return "a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a regular file";
    if (S_ISSOCK(mode)) return "a socket, not a regular file";
    return "not a regular file";
}

} // namespace

std::string whyUnreadable(const std::string& path) {
    // The kind first, by name only: opening a FIFO or a device is already
    // reading from it.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::strerror(errno);
    if (const char* reason = whyNotRegular(info.st_mode)) return reason;
    // Non-blocking, in case another kind of file took the name meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return std::strerror(errno);
    std::string reason;
    if (::fstat(fd, &info) != 0)
        reason = std::strerror(errno);
    else if (const char* kind = whyNotRegular(info.st_mode))
        reason = kind;
    ::close(fd);
    return reason;
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

int cCliSession::scan(const std::string& path) {
    const std::string reason = whyUnreadable(path);
    if (!reason.empty()) {
        printMessage("cannot read " + path + ": " + reason);
        return kExitUnreadableFile;
    }
    store_.scanItemFile(path, progress_);
    return kExitOk;
}

void cCliSession::buildTree(cTreeControl& tree) {
    progress_.beginProgress("Importing Item Data", 0);
    store_.buildCategoryTree(tree, progress_, messages_);
    progress_.endProgress();
}

} // namespace quarry
