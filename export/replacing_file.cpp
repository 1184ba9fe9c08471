#include "export/replacing_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarry {

namespace {

// The temporary files of this process, for the signal handler; a process
// writes one export at a time. Fixed buffers, as a handler may not allocate.
struct cSignalPath {
    char path[4096];
    std::atomic<bool> set{false};
};
cSignalPath gSignalPaths[2];

void registerTemporary(const std::string& path) {
    for (cSignalPath& slot : gSignalPaths) {
        if (slot.set || path.size() >= sizeof slot.path) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.set = true;
        return;
    }
}

void unregisterTemporary(const std::string& path) {
    for (cSignalPath& slot : gSignalPaths)
        if (slot.set && path == slot.path) slot.set = false;
}

extern "C" void removeTemporariesAndEnd(int signal) {
    for (cSignalPath& slot : gSignalPaths)
        if (slot.set) ::unlink(slot.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

const char kTemporaryPrefix[] = ".quarry-";
const char kTemporarySuffix[] = "XXXXXX"; // what mkstemp fills in

// The folder part of a path, with its slash ("" for none).
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// ".quarry-HHHHHHHH.": the temporary files of one target begin with it.
// H is the 32-bit FNV-1a hash of the target's name, in hex.
std::string temporaryPrefix(const std::string& target) {
    std::uint32_t hash = 2166136261u;
    for (const char c : target.substr(folderOf(target).size()))
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x.", hash);
    return kTemporaryPrefix + std::string(hex);
}

// Removes the temporary files of `target` that no process holds: a
// regular file with the target's prefix whose lock can be taken.
void removeStaleTemporaries(const std::string& target) {
    const std::string folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target);
    DIR* entries = ::opendir(folder.empty() ? "." : folder.c_str());
    if (entries == nullptr) return;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + sizeof kTemporarySuffix - 1 ||
            name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(entries);
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

cReplacingFile::eTarget cReplacingFile::targetAt(const std::string& target) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) return eTarget::none;
    return S_ISREG(info.st_mode) ? eTarget::regularFile : eTarget::somethingElse;
}

std::string cReplacingFile::whyNotWritable(const std::string& target, bool replace) {
    switch (targetAt(target)) {
    case eTarget::none:
        return {};
    case eTarget::regularFile:
        return replace ? std::string() : std::strerror(EEXIST);
    case eTarget::somethingElse:
        break;
    }
    return "not a regular file; only a regular file is replaced";
}

cReplacingFile::cReplacingFile(std::string target, bool replace)
    : target_(std::move(target)), replace_(replace), mode_(newFileMode()) {
    error_ = whyNotWritable(target_, replace_);
    if (!error_.empty()) return;
    struct stat replaced {};
    if (::lstat(target_.c_str(), &replaced) == 0) mode_ = replaced.st_mode & 0777;
    removeStaleTemporaries(target_);
    create(temporary_, mode_);
}

cReplacingFile::~cReplacingFile() {
    if (!committed_) remove(temporary_);
}

bool cReplacingFile::create(cTemporary& file, unsigned mode) {
    std::string path = folderOf(target_) + temporaryPrefix(target_) + kTemporarySuffix;
    // No signal may end the process between the file's creation and its
    // registration for removal.
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &before);
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    const int error = errno;
    if (fd >= 0) registerTemporary(path);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (fd < 0) {
        error_ = std::strerror(error);
        return false;
    }
    // Held until the file is renamed or removed: a file nobody holds is stale.
    ::flock(fd, LOCK_EX);
    ::fchmod(fd, mode);
    file = cTemporary{std::move(path), fd};
    return true;
}

void cReplacingFile::remove(cTemporary& file) {
    if (file.descriptor < 0) return;
    ::unlink(file.path.c_str());
    unregisterTemporary(file.path);
    ::close(file.descriptor);
    file = cTemporary{};
}

bool cReplacingFile::commit() {
    if (!error_.empty() || committed_) return committed_;
    const std::string refused = whyNotWritable(target_, replace_);
    const bool renamed =
        refused.empty() && (replace_ ? std::rename(temporary_.path.c_str(), target_.c_str()) == 0
                                     : renameWithoutReplacing(temporary_.path, target_));
    if (!renamed) {
        error_ = refused.empty() ? std::strerror(errno) : refused;
        return false;
    }
    committed_ = true;
    unregisterTemporary(temporary_.path);
    ::close(temporary_.descriptor);
    return true;
}

void removeTemporaryFilesOnSignals() {
    struct sigaction ending {};
    ending.sa_handler = removeTemporariesAndEnd;
    sigfillset(&ending.sa_mask);
    // Every signal whose default action ends the process, but the two that
    // cannot be caught (SIGKILL, SIGSTOP).
    for (const int signal : {SIGHUP,    SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT, SIGBUS,
                             SIGFPE,    SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
                             SIGSTKFLT, SIGXCPU, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSYS})
        ::sigaction(signal, &ending, nullptr);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        ::sigaction(signal, &ending, nullptr);
    // A write past the file size limit then fails like any other write.
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace quarry
