// Loads item records on worker threads, ahead of the thread that files them.
//
// The tree build asks for results strictly in index order and uses each on
// its own thread (the one that owns the tree and the window); the workers
// claim the next kBatch unclaimed entries and load them into slots of a small
// ring, so at most kAhead results wait at once and memory stays bounded.
// Claiming and handing over by batches keeps the threads from waking each
// other for every record. Each worker
// has its own stream and match context; nothing a worker touches is shared
// but the ring, under one mutex. Destroying the pool stops the workers: each
// finishes or abandons its current load (long reads check between blocks)
// and ends.
#pragma once

#include "store/filtered_stream.h"
#include "store/item_record.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quarry {

class cPatternMatch;

// One loaded record and what its load said, to be replayed in order.
struct cLoadResult {
    bool loaded = false;
    bool moved = false; // the record's position no longer holds it: the file changed
    bool readFailed = false;
    std::string failure; // readFailed: why
    cItemRecord record;
    std::vector<std::pair<std::string, std::string>> messages; // caption, text
    unsigned worker = 0; // the one that loaded it, and frees it
};

class cRecordLoadPool {
public:
    static constexpr std::size_t kBatch = 32;
    static constexpr std::size_t kAhead = 8 * kBatch;
    // Whether a worker claims entry `index` first of its batch, and one past
    // the last entry claimed with it.
    static bool startsBatch(std::size_t index) { return index % kBatch == 0; }
    static std::size_t batchEnd(std::size_t index, std::size_t count) {
        return std::min((index / kBatch + 1) * kBatch, count);
    }

    // Loads entry `index` with the worker's own stream and context.
    using Load = std::function<void(std::size_t index, cFilteredStream& stream,
                                    cPatternMatch& context, cLoadResult& result)>;

    // `workers` threads (at least one) over `count` entries of the file at
    // `path`, every stream with `limits`.
    cRecordLoadPool(std::size_t count, unsigned workers, const std::string& path,
                    const cStreamLimits& limits, Load load);
    ~cRecordLoadPool();
    cRecordLoadPool(const cRecordLoadPool&) = delete;
    cRecordLoadPool& operator=(const cRecordLoadPool&) = delete;

    // The result of entry `index`, the one after the last released; calls
    // `idle` every `interval` while it waits.
    cLoadResult& waitFor(std::size_t index, std::chrono::milliseconds interval,
                         const std::function<void()>& idle);
    // Done with the result of `index`: its slot takes a later entry. The
    // record goes back to the worker that loaded it, which frees it when it
    // claims more: memory a thread took is given back on that thread, not
    // across threads, where the allocator would lock the worker's arena
    // against it. A record of a million entries goes to the freeing thread.
    void release(std::size_t index);

    // The number of workers a pool has when asked for 0: one per processor.
    static unsigned defaultWorkers();

private:
    // Abandons a worker's long read once the pool stops.
    class cStopWatcher : public cReadWatcher {
    public:
        explicit cStopWatcher(const std::atomic<bool>& stop) : stop_(stop) {}
        bool blockRead() override { return !stop_.load(std::memory_order_relaxed); }

    private:
        const std::atomic<bool>& stop_;
    };

    void work(unsigned worker);

    const std::size_t count_;
    const std::string path_;
    const cStreamLimits limits_;
    const Load load_;

    std::mutex mutex_;
    std::condition_variable claimable_; // workers wait for room in the ring
    std::condition_variable ready_;     // the owner waits for its result
    std::size_t nextClaim_ = 0;         // the next entry no worker took
    std::size_t released_ = 0;          // entries the owner is done with
    std::vector<cLoadResult> slots_;
    std::vector<char> filled_;                              // per slot: its result is ready
    std::vector<std::vector<cItemRecord>> releasedRecords_; // per worker: to free
    std::atomic<bool> stop_{false};
    std::vector<std::thread> workers_;
};

} // namespace quarry
