// What tells one state of the item file from another: which file it is (its
// device and inode, so a file renamed into place is another file), its size
// and the time it was last changed. The index holds positions into the file
// as the scan read it; once the file has been replaced or rewritten, those
// positions may point into other records, so loads must fail rather than
// show a wrong item.
#pragma once

#include <cstdint>
#include <string>

namespace quarry {

struct cFileStamp {
    bool readable = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    // The stamp of the regular file at `path` now; not readable when it
    // cannot be asked or is no regular file.
    static cFileStamp of(const std::string& path);

    bool operator==(const cFileStamp&) const = default;
};

} // namespace quarry
