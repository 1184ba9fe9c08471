#include "store/file_stamp.h"

#include <sys/stat.h>

namespace quarry {

cFileStamp cFileStamp::of(const std::string& path) {
    struct stat info {};
    cFileStamp stamp;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return stamp;
    stamp.readable = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.changedSeconds = info.st_mtim.tv_sec;
    stamp.changedNanoseconds = info.st_mtim.tv_nsec;
    return stamp;
}

} // namespace quarry
