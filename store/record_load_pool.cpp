#include "store/record_load_pool.h"

#include "pattern/pattern.h"
#include "store/freed_beside.h"

#include <algorithm>

namespace quarry {

unsigned cRecordLoadPool::defaultWorkers() {
    return std::max(1u, std::thread::hardware_concurrency());
}

cRecordLoadPool::cRecordLoadPool(std::size_t count, unsigned workers, const std::string& path,
                                 const cStreamLimits& limits, Load load)
    : count_(count), path_(path), limits_(limits), load_(std::move(load)), slots_(kAhead),
      filled_(kAhead, 0) {
    const unsigned threads = std::max(1u, workers);
    releasedRecords_.resize(threads);
    workers_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i)
        workers_.emplace_back([this, i] { work(i); });
}

cRecordLoadPool::~cRecordLoadPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    claimable_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void cRecordLoadPool::work(unsigned worker) {
    cFilteredStream stream(path_, limits_);
    cStopWatcher watcher(stop_);
    stream.setWatcher(&watcher);
    cPatternMatch context(256);
    for (;;) {
        std::size_t first = 0;
        std::size_t end = 0;
        std::vector<cItemRecord> toFree;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            claimable_.wait(lock, [this] {
                return stop_ || nextClaim_ >= count_ || nextClaim_ + kBatch <= released_ + kAhead;
            });
            toFree.swap(releasedRecords_[worker]);
            if (stop_ || nextClaim_ >= count_) return;
            first = nextClaim_;
            end = batchEnd(first, count_);
            nextClaim_ = end;
        }
        toFree.clear(); // outside the lock
        // The slots are this worker's alone until they are marked filled.
        for (std::size_t index = first; index < end && !stop_; ++index) {
            cLoadResult& result = slots_[index % kAhead];
            result.messages.clear();
            result.failure.clear();
            result.readFailed = false;
            result.worker = worker;
            load_(index, stream, context, result);
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (std::size_t index = first; index < end; ++index)
                filled_[index % kAhead] = 1;
        }
        ready_.notify_one();
    }
}

cLoadResult& cRecordLoadPool::waitFor(std::size_t index, std::chrono::milliseconds interval,
                                      const std::function<void()>& idle) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (filled_[index % kAhead] == 0) {
        if (!ready_.wait_for(lock, interval, [&] { return filled_[index % kAhead] != 0; })) {
            lock.unlock();
            idle();
            lock.lock();
        }
    }
    return slots_[index % kAhead];
}

void cRecordLoadPool::release(std::size_t index) {
    cLoadResult& result = slots_[index % kAhead];
    cItemRecord& record = result.record;
    freeBesideWhenLarge(record,
                        record.attributes.size() + record.events.size() + record.actions.size());
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        releasedRecords_[result.worker].push_back(std::move(record));
        filled_[index % kAhead] = 0;
        released_ = index + 1;
    }
    // A worker waits for a whole batch of room.
    if ((index + 1) % kBatch == 0) claimable_.notify_all();
}

} // namespace quarry
