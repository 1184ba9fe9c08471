#include "store/item_file_check.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarry {

const char* whyNotRegular(mode_t mode) {
    if (S_ISREG(mode)) return nullptr;
    if (S_ISDIR(mode)) return std::strerror(EISDIR);
    if (S_ISFIFO(mode)) return "a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a regular file";
    if (S_ISSOCK(mode)) return "a socket, not a regular file";
    return "not a regular file";
}

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

} // namespace quarry
