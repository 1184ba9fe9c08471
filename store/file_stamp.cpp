#include "store/file_stamp.h"

#include <system_error>

namespace quarry {

cFileStamp cFileStamp::of(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file(path);
    cFileStamp stamp;
    if (!std::filesystem::is_regular_file(file, error) || error) return stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (error) return stamp;
    stamp.changed = std::filesystem::last_write_time(file, error);
    if (error) return stamp;
    stamp.readable = true;
    return stamp;
}

} // namespace quarry
