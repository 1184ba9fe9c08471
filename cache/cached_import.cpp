#include "cache/cached_import.h"

#include "cache/cache_file.h"
#include "cache/cache_folder.h"
#include "cache/content_hash.h"

#include "store/work_pacer.h"

#include <filesystem>
#include <future>
#include <memory>

namespace quarry {

namespace {

// The same file in the same state: what the cache is keyed by besides the
// content hash. The device is left out: it may be numbered anew at the next
// start of the system.
bool sameState(const cFileStamp& a, const cFileStamp& b) {
    return a.readable && b.readable && a.inode == b.inode && a.size == b.size &&
           a.changedSeconds == b.changedSeconds && a.changedNanoseconds == b.changedNanoseconds;
}

const cImportResult kStopped{cImportResult::eOutcome::stopped, {}};

// Waits for `done` while the window's events are dispatched.
template <class Result> Result waitDispatching(std::future<Result>& done, cProgressHost& progress) {
    cWorkPacer pacer(progress);
    while (done.wait_for(cWorkPacer::kInterval) != std::future_status::ready)
        pacer.pumpIfDue();
    return done.get();
}

} // namespace

// The host of the hash computed beside: no display, no events to dispatch.
class cSilentProgress : public cProgressHost {
public:
    void beginProgress(const std::string&, std::int32_t) override {}
    void setProgress(std::int32_t) override {}
    void endProgress() override {}
    void pumpMessages() override {}
};

class cCachedImport::cOpened {
public:
    // The cache is read on a thread beside, which dispatches no events: the
    // checks of millions of entries would hold the window for a second.
    cSilentProgress readerProgress;
    std::unique_ptr<cCacheFileReader> reader;
    cCacheHeader header;
    cFileStamp stamp; // the file's now
    std::future<std::optional<std::uint64_t>> hash;
};

cCachedImport::cCachedImport(cItemStore& store, cProgressHost& progress, cMessageSink& messages,
                             std::string cacheFolder, const cPattern& identifierPattern)
    : store_(store), progress_(progress), import_(store, progress, messages, identifierPattern),
      folder_(std::move(cacheFolder)), identifierPattern_(identifierPattern) {}

bool cCachedImport::openCache(const std::string& path, cOpened& opened) {
    if (folder_.empty()) return false;
    const std::string absolute = absolutePathOf(path);
    if (absolute.empty()) return false;
    opened.reader =
        std::make_unique<cCacheFileReader>(cacheFileFor(folder_, absolute), opened.readerProgress);
    const std::optional<cCacheHeader> header = opened.reader->readHeader();
    opened.stamp = cFileStamp::of(path);
    if (!header || header->programVersion != cacheProgramVersion() || header->path != absolute ||
        !sameState(header->stamp, opened.stamp))
        return false;
    opened.header = *header;
    opened.hash = std::async(std::launch::async, [path] {
        cSilentProgress silent;
        return hashFileContent(path, silent);
    });
    return true;
}

bool cCachedImport::contentMatches(const std::string& path, cOpened& opened) {
    const std::optional<std::uint64_t> hash = waitDispatching(opened.hash, progress_);
    return hash && *hash == opened.header.contentHash &&
           sameState(cFileStamp::of(path), opened.stamp);
}

cImportResult cCachedImport::scan(const std::string& path) {
    fromCache_ = false;
    if (cImportResult refused = cItemImport::check(path); !refused) return refused;
    cOpened opened;
    if (openCache(path, opened)) {
        progress_.beginProgress(kCheckingLabel, 0);
        std::future<std::shared_ptr<const cItemIndex>> reading =
            std::async(std::launch::async, [&opened] { return opened.reader->readIndex(); });
        std::shared_ptr<const cItemIndex> index = waitDispatching(reading, progress_);
        const bool matches = contentMatches(path, opened);
        progress_.endProgress();
        if (index && matches) {
            store_.adoptIndex(path, opened.stamp, std::move(index), identifierPattern_);
            fromCache_ = true;
            cImportResult scanned;
            scanned.itemTagsMisplaced = opened.header.itemTagsMisplaced;
            return scanned;
        }
    }
    if (progress_.stopRequested()) return kStopped;
    return import_.scan(path);
}

cImportResult cCachedImport::run(const std::string& path, cTreeControl& tree,
                                 cQueryIndex& queries) {
    fromCache_ = false;
    if (cImportResult refused = cItemImport::check(path); !refused) return refused;
    queries.clear();
    cOpened opened;
    if (openCache(path, opened)) {
        progress_.beginProgress(kCheckingLabel, 0);
        std::shared_ptr<const cItemIndex> index;
        cTreeRecording recording;
        cQueryIndex restored; // the window may read `queries` meanwhile
        std::future<bool> reading = std::async(std::launch::async, [&] {
            index = opened.reader->readIndex();
            return index && opened.reader->readTreeAndQueries(recording, restored);
        });
        const bool read = waitDispatching(reading, progress_);
        const bool matches = contentMatches(path, opened);
        progress_.endProgress();
        if (read && matches) {
            queries.adopt(std::move(restored));
            store_.adoptIndex(path, opened.stamp, std::move(index), identifierPattern_);
            progress_.beginProgress(kImportingLabel, 0);
            const bool replayed = recording.replay(tree, progress_);
            progress_.endProgress();
            if (!replayed) {
                store_.forgetIndex();
                queries.clear();
                return kStopped;
            }
            // Used counts as written: the caches kept are those of the files
            // imported last.
            std::error_code error;
            const std::string cacheFile = cacheFileFor(folder_, opened.header.path);
            std::filesystem::last_write_time(cacheFile,
                                             std::filesystem::file_time_type::clock::now(), error);
            fromCache_ = true;
            cImportResult built;
            built.loaded = opened.header.loaded;
            built.filed = opened.header.filed;
            built.itemTagsMisplaced = opened.header.itemTagsMisplaced;
            return built;
        }
    }
    queries.clear(); // what a cache that did not match held
    if (progress_.stopRequested()) return kStopped;
    if (folder_.empty()) return import_.run(path, tree, &queries);

    // A cache serves every query: every field is gathered.
    queries.setFields(cQueryFieldSet::all());
    const cFileStamp before = cFileStamp::of(path);
    cRecordingTree recorder(tree);
    const cImportResult result = import_.run(path, recorder, &queries);
    if (result && result.loaded != 0 && recorder.complete()) {
        cWorkPacer pacer(progress_); // millions of names take seconds to sort
        queries.commitPending([&pacer] { pacer.pumpIfDue(); });
        writeCache(path, before, result, recorder.recording(), queries);
    }
    return result;
}

void cCachedImport::writeCache(const std::string& path, const cFileStamp& imported,
                               const cImportResult& result, const cTreeRecording& tree,
                               const cQueryIndex& queries) {
    const std::string absolute = absolutePathOf(path);
    // A cache is searched by name: its names must lie in name order.
    if (absolute.empty() || !queries.names().inNameOrder() || !makeCacheFolder(folder_)) return;
    const std::optional<std::uint64_t> hash = hashFileContent(path, progress_);
    const cFileStamp now = cFileStamp::of(path);
    // A file changed since the import began is not what the import read.
    if (!hash || !sameState(imported, now)) return;
    cCacheHeader header;
    header.programVersion = cacheProgramVersion();
    header.path = absolute;
    header.stamp = now;
    header.contentHash = *hash;
    header.loaded = result.loaded;
    header.filed = result.filed;
    header.itemTagsMisplaced = result.itemTagsMisplaced;
    if (writeCacheFile(cacheFileFor(folder_, absolute), header, *store_.index(), tree, queries,
                       progress_))
        pruneCacheFolder(folder_);
}

} // namespace quarry
