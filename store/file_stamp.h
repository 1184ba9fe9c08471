// What tells one state of the item file from another: its size and the time
// it was last changed. The index holds positions into the file as the scan
// read it; once the file has been replaced or rewritten, those positions may
// point into other records, so loads must fail rather than show a wrong item.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace quarry {

struct cFileStamp {
    bool readable = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type changed{};

    // The stamp of the file at `path` now; not readable when it cannot be asked.
    static cFileStamp of(const std::string& path);

    bool operator==(const cFileStamp&) const = default;
};

} // namespace quarry
