// One cache file: what an import of one item file left, to be read instead of
// the item file while that file is unchanged.
//
// Layout (numbers in the machine's own byte order: a cache never leaves the
// machine that wrote it). Every array is its element count as a 64-bit number,
// then its elements; a number is its bytes.
//   header:  kCacheMagic, kCacheFormat, the program's version, the item
//            file's absolute path, device, inode, size, change time (seconds,
//            nanoseconds), content hash, and the import's counts
//   check:   the xxh3-64 of every byte before it
//   index:   identifiers, positions, record starts (cItemIndex)
//   check
//   tree:    cTreeRecording's arrays
//   queries: cQueryIndex's arrays (fillEachArray's order)
//   check
// A reader checks each part against its check before using it, never sizes
// an array beyond the bytes left in the file, and so ends on any bytes in
// time linear in the file, holding at most its size.
#pragma once

#include "cache/tree_recording.h"
#include "search/query_index.h"
#include "store/file_stamp.h"
#include "store/item_index.h"
#include "store/item_store.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quarry {

// "qrycache" read as a number.
inline constexpr std::uint64_t kCacheMagic = 0x65686361'63797271ull;
// The layout's number: raised with every change to the layout or to what an
// import makes of a file (a cache of the old layout is then not read).
inline constexpr std::uint32_t kCacheFormat = 1;

// Which item file a cache was made from, and what its import found.
struct cCacheHeader {
    std::string programVersion;
    std::string path; // absolute
    cFileStamp stamp;
    std::uint64_t contentHash = 0;
    std::uint64_t loaded = 0;
    std::uint64_t filed = 0;
    bool itemTagsMisplaced = false;
};

// The version the program writes into its caches.
std::string cacheProgramVersion();

// Reads one cache file part by part, each part only after the one before it.
class cCacheFileReader {
public:
    // Window events are dispatched through `progress` while arrays are read.
    cCacheFileReader(const std::string& cachePath, cProgressHost& progress);
    ~cCacheFileReader();
    cCacheFileReader(const cCacheFileReader&) = delete;
    cCacheFileReader& operator=(const cCacheFileReader&) = delete;

    // The header; none when the file is missing, damaged or of another layout.
    std::optional<cCacheHeader> readHeader();
    // The index; none when damaged.
    std::shared_ptr<const cItemIndex> readIndex();
    // The tree and the query index; false, with both emptied, when damaged.
    bool readTreeAndQueries(cTreeRecording& tree, cQueryIndex& queries);

private:
    class cInput;
    std::unique_ptr<cInput> in_;
};

// Writes a cache to a temporary file beside `cachePath` and renames it into
// place, so a reader never meets a half-written cache under that name. False,
// with nothing left behind, when it cannot be written. Window events are
// dispatched through `progress` between blocks.
bool writeCacheFile(const std::string& cachePath, const cCacheHeader& header,
                    const cItemIndex& index, const cTreeRecording& tree, const cQueryIndex& queries,
                    cProgressHost& progress);

// What writeCacheFile() names its temporary file: the cache's name, the
// process, kTemporarySuffix. A killed writer leaves it; the folder's pruning
// removes it once that process is gone.
inline constexpr const char* kTemporarySuffix = ".tmp";
std::string temporaryNameOf(const std::string& cachePath, long processId);

} // namespace quarry
