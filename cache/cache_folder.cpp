#include "cache/cache_folder.h"

#include "cache/cache_file.h"
#include "cache/content_hash.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <signal.h>

namespace quarry {

namespace fs = std::filesystem;

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The process that writes a temporary file, from its name; 0 when the name
// is no temporary file of a cache.
long writerOf(const std::string& name) {
    if (!endsWith(name, kTemporarySuffix)) return 0;
    const std::string stem = name.substr(0, name.size() - std::string(kTemporarySuffix).size());
    const std::size_t dot = stem.rfind('.');
    if (dot == std::string::npos || !endsWith(stem.substr(0, dot), kCacheSuffix)) return 0;
    char* end = nullptr;
    const long process = std::strtol(stem.c_str() + dot + 1, &end, 10);
    return *end == '\0' && process > 0 ? process : 0;
}

bool processIsGone(long process) {
    return ::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

} // namespace

std::string standardCacheFolder() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome != nullptr && *cacheHome == '/') return std::string(cacheHome) + "/quarry";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/') return std::string(home) + "/.cache/quarry";
    return {};
}

std::string absolutePathOf(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? std::string() : absolute.lexically_normal().string();
}

std::string cacheFileFor(const std::string& folder, const std::string& absolutePath) {
    char name[17];
    std::snprintf(name, sizeof name, "%016llx",
                  static_cast<unsigned long long>(hashText(absolutePath)));
    return folder + '/' + name + kCacheSuffix;
}

bool makeCacheFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return !error && fs::is_directory(folder, error);
}

void pruneCacheFolder(const std::string& folder) {
    struct cCache {
        fs::path path;
        fs::file_time_type written;
        std::uintmax_t bytes;
    };
    std::vector<cCache> caches;
    std::error_code error;
    for (fs::directory_iterator file(folder, error), end; !error && file != end;
         file.increment(error)) {
        const std::string name = file->path().filename().string();
        std::error_code statError;
        if (const long writer = writerOf(name); writer != 0) {
            if (processIsGone(writer)) fs::remove(file->path(), statError);
        } else if (endsWith(name, kCacheSuffix) && file->is_regular_file(statError)) {
            const auto written = file->last_write_time(statError);
            const auto bytes = file->file_size(statError);
            if (!statError) caches.push_back({file->path(), written, bytes});
        }
    }
    std::sort(caches.begin(), caches.end(),
              [](const cCache& a, const cCache& b) { return a.written > b.written; });
    std::uintmax_t kept = 0;
    for (std::size_t i = 0; i < caches.size(); ++i) {
        kept += caches[i].bytes;
        if (i >= kCacheFilesKept || kept > kCacheBytesKept) fs::remove(caches[i].path, error);
    }
}

bool clearCacheFolder(const std::string& folder) {
    bool cleared = true;
    std::error_code error;
    for (fs::directory_iterator file(folder, error), end; !error && file != end;
         file.increment(error)) {
        const std::string name = file->path().filename().string();
        std::error_code removeError;
        if (endsWith(name, kCacheSuffix) || writerOf(name) != 0)
            cleared = fs::remove(file->path(), removeError) && cleared;
    }
    return cleared && (!error || error == std::errc::no_such_file_or_directory);
}

} // namespace quarry
