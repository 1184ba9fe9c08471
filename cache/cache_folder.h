// The folder the caches live in, one file per item file: named by the hash
// of the item file's absolute path, holding at most the caches of the last
// kCacheFilesKept item files imported and at most kCacheBytesKept bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarry {

inline constexpr std::size_t kCacheFilesKept = 5;
inline constexpr std::uint64_t kCacheBytesKept = std::uint64_t(1) << 30;
inline constexpr const char* kCacheSuffix = ".cache";

// $XDG_CACHE_HOME/quarry, or ~/.cache/quarry when that is not set; empty when
// neither is known.
std::string standardCacheFolder();

// The absolute form of `path` (the cache's key); empty when it has none.
std::string absolutePathOf(const std::string& path);

// The cache file of the item file at `absolutePath`.
std::string cacheFileFor(const std::string& folder, const std::string& absolutePath);

// Creates the folder (and its parents) when missing; false when it cannot.
bool makeCacheFolder(const std::string& folder);

// Keeps the newest caches within the limits (the one just written, which is
// the newest, always stays unless it alone exceeds the bytes) and removes
// the temporary files of writers that are gone.
void pruneCacheFolder(const std::string& folder);

// Removes every cache and temporary file of the folder (files of other
// names stay). False when some could not be removed.
bool clearCacheFolder(const std::string& folder);

} // namespace quarry
