#include "export/replacing_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarry {

namespace {

// The temporary file of this process, for the signal handler; a process
// writes one export at a time. A fixed buffer, as a handler may not allocate.
char gTemporaryPath[4096];
std::atomic<bool> gTemporaryPathSet{false};

void registerTemporary(const std::string& path) {
    if (path.size() >= sizeof gTemporaryPath) return;
    gTemporaryPathSet = false;
    std::memcpy(gTemporaryPath, path.c_str(), path.size() + 1);
    gTemporaryPathSet = true;
}

void unregisterTemporary() {
    gTemporaryPathSet = false;
}

extern "C" void removeTemporaryAndEnd(int signal) {
    if (gTemporaryPathSet) ::unlink(gTemporaryPath);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The permissions a newly created file gets: read and write for all, less
// the process's mask (mkstemp gives the owner alone).
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// rename() that fails when the name is taken. Where the file system cannot
// say so in one step, a hard link does the same (it fails on a taken name),
// and the temporary name then goes.
bool renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

} // namespace

cReplacingFile::cReplacingFile(std::string target, bool replace)
    : target_(std::move(target)), replace_(replace) {
    if (!replace_ && exists(target_)) {
        error_ = std::strerror(EEXIST);
        return;
    }
    std::string pattern = target_ + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error_ = std::strerror(errno);
        return;
    }
    ::fchmod(fd, newFileMode());
    ::close(fd);
    temporaryPath_ = std::move(pattern);
    registerTemporary(temporaryPath_);
}

cReplacingFile::~cReplacingFile() {
    if (!temporaryPath_.empty() && !committed_) {
        ::unlink(temporaryPath_.c_str());
        unregisterTemporary();
    }
}

bool cReplacingFile::commit() {
    if (!error_.empty() || committed_) return committed_;
    const bool renamed = replace_ ? std::rename(temporaryPath_.c_str(), target_.c_str()) == 0
                                  : renameWithoutReplacing(temporaryPath_, target_);
    if (!renamed) {
        error_ = std::strerror(errno);
        return false;
    }
    committed_ = true;
    unregisterTemporary();
    return true;
}

void removeTemporaryFilesOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, removeTemporaryAndEnd);
}

} // namespace quarry
