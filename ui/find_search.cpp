#include "ui/find_search.h"

#include <utility>

namespace quarry {

cFindSearch::cFindSearch(const cQueryIndex& index, QObject* parent)
    : QObject(parent), index_(index), worker_(&cFindSearch::work, this) {}

cFindSearch::~cFindSearch() {
    {
        const std::lock_guard lock(mutex_);
        quitting_ = true;
        next_.reset();
        stop_.store(true, std::memory_order_relaxed);
    }
    changed_.notify_all();
    worker_.join();
}

void cFindSearch::start(cQuery query, bool allowNear, std::chrono::milliseconds patience) {
    const std::uint64_t serial = ++serials_;
    awaited_ = serial;
    {
        const std::lock_guard lock(mutex_);
        next_ = cJob{serial, std::move(query), allowNear};
        done_.reset();
        stop_.store(true, std::memory_order_relaxed); // the worker lowers it for the next job
    }
    changed_.notify_all();
    if (patience <= std::chrono::milliseconds::zero()) return;
    std::unique_lock lock(mutex_);
    if (changed_.wait_for(lock, patience, [&] { return doneSerial_ == serial; })) {
        lock.unlock();
        deliver();
    }
}

void cFindSearch::abandon() {
    awaited_ = 0;
    const std::lock_guard lock(mutex_);
    next_.reset();
    done_.reset();
    stop_.store(true, std::memory_order_relaxed);
}

void cFindSearch::stop() {
    abandon();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return busyWith_ == 0; });
}

void cFindSearch::work() {
    for (;;) {
        cJob job;
        {
            std::unique_lock lock(mutex_);
            busyWith_ = 0;
            changed_.notify_all(); // stop() waits for the worker to be idle
            changed_.wait(lock, [&] { return quitting_ || next_.has_value(); });
            if (quitting_) return;
            job = std::move(*next_);
            next_.reset();
            busyWith_ = job.serial;
            stop_.store(false, std::memory_order_relaxed);
        }
        cQueryResult result = runQuery(index_, job.query, job.allowNear, &stop_);
        if (result.abandoned) continue;
        {
            const std::lock_guard lock(mutex_);
            done_ = std::move(result);
            doneSerial_ = job.serial;
        }
        changed_.notify_all();
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void cFindSearch::deliver() {
    std::optional<cQueryResult> result;
    {
        const std::lock_guard lock(mutex_);
        if (awaited_ == 0 || doneSerial_ != awaited_ || !done_) return;
        result = std::move(done_);
        done_.reset();
    }
    awaited_ = 0;
    emit finished(*result);
}

} // namespace quarry
