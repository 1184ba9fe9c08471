// The import with a cache: a file imported before, whose size, change time,
// inode and content hash all match what its cache noted, is reopened from
// the cache (index, category tree, query index) instead of being read record
// by record; any other file, and any cache that cannot be read whole and
// sound, takes the ordinary import (cItemImport), after which the cache is
// written. Nothing is said about the cache either way: the progress display
// shows what runs.
//
// What the cache gives is what the import would give: the same index (so
// every later load checks the file as after a scan), the same tree built
// into the caller's control, the same query index with every field, and the
// same counts.
#pragma once

#include "search/query_index.h"
#include "store/item_import.h"

#include <string>

namespace quarry {

// The progress label while the file's content is hashed.
inline constexpr const char* kCheckingLabel = "Checking File";

struct cTreeRecording;

class cCachedImport {
public:
    // `cacheFolder` empty: no cache is read or written.
    cCachedImport(cItemStore& store, cProgressHost& progress, cMessageSink& messages,
                  std::string cacheFolder,
                  const cPattern& identifierPattern = standardIdentifierPattern());

    // The index alone (for what loads single items): from the cache when it
    // holds this file, else the import scan. The cache is not written.
    cImportResult scan(const std::string& path);
    // A whole import: the index, the tree into `tree`, every field of every
    // item into `queries` (cleared first); cItemImport::run's results. The
    // cache is written after an ordinary import that loaded an item.
    cImportResult run(const std::string& path, cTreeControl& tree, cQueryIndex& queries);

    // Whether the last scan or run was served by the cache.
    bool fromCache() const { return fromCache_; }

private:
    class cOpened;
    // The cache of `path` when it is there and its header matches the file
    // as it is now (all but the content): its reader placed after the
    // header, with the header and the file's stamp. The file's content is
    // then hashed on a thread beside while the cache is read.
    bool openCache(const std::string& path, cOpened& opened);
    // Whether the file's content is what the cache was made from, and the
    // file unchanged meanwhile; waits for the hash, dispatching events.
    bool contentMatches(const std::string& path, cOpened& opened);
    // Writes the cache of what the store and `queries` hold of `path`, when
    // the file is still as the import read it.
    void writeCache(const std::string& path, const cFileStamp& imported,
                    const cImportResult& result, const cTreeRecording& tree,
                    const cQueryIndex& queries);

    cItemStore& store_;
    cProgressHost& progress_;
    cItemImport import_;
    std::string folder_;
    const cPattern& identifierPattern_;
    bool fromCache_ = false;
};

} // namespace quarry
