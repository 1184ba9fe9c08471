#include "export/database_thread.h"

#include "store/store_host.h"

#include <chrono>

namespace quarry {

namespace {

// A batch is handed to the thread at this size.
constexpr std::size_t kBatchBytes = std::size_t(4) << 20;
constexpr std::size_t kBatchesWaiting = 2;
// How often a wait for the thread lets window events run.
constexpr std::chrono::milliseconds kPumpInterval{10};

} // namespace

cDatabaseThread::~cDatabaseThread() {
    if (!thread_.joinable()) return;
    abandon();
    wait(nullptr);
    thread_.join();
}

bool cDatabaseThread::open(const std::string& path, std::string_view setupSql,
                           const std::vector<eTable>& tables) {
    tables_ = tables;
    if (!connection_.open(path) || !connection_.execute(setupSql)) return false;
    for (const eTable table : tables_) {
        const auto sqlFor = [table](std::size_t rows) { return insertSql(table, rows); };
        if (!inserts_[table].prepare(connection_, columnCount(table), kRowsPerInsert, sqlFor))
            return false;
    }
    thread_ = std::thread(&cDatabaseThread::run, this);
    return true;
}

cRowBatch& cDatabaseThread::beginRow(eTable table) {
    if (filling_->bytes() >= kBatchBytes) handOff();
    filling_->beginRow(table);
    return *filling_;
}

void cDatabaseThread::interrupt() {
    if (!closed_) connection_.interrupt();
}

template <typename Ready>
void cDatabaseThread::waitFor(std::unique_lock<std::mutex>& lock, cProgressHost* progress,
                              Ready ready) {
    while (!changed_.wait_for(lock, kPumpInterval, ready)) {
        if (progress == nullptr) continue;
        lock.unlock();
        progress->pumpMessages();
        const bool stop = progress->stopRequested();
        lock.lock();
        if (stop) {
            closing_ = true;
            complete_ = false;
            interrupt();
        }
    }
}

void cDatabaseThread::handOff() {
    if (failed_) { // nothing more goes in
        filling_->clear();
        return;
    }
    std::unique_lock lock(mutex_);
    waitFor(lock, progress_, [this] { return waiting_.size() < kBatchesWaiting || failed_; });
    waiting_.push_back(std::move(filling_));
    if (!spare_.empty()) {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    } else {
        filling_ = std::make_unique<cRowBatch>();
    }
    changed_.notify_all();
}

void cDatabaseThread::close(bool complete, cLastStep last) {
    std::unique_lock lock(mutex_);
    if (complete && closing_) return;
    if (complete) {
        last_ = std::move(last);
    } else { // also after finish(): the rows left and the last step are dropped
        interrupt();
    }
    closing_ = true;
    complete_ = complete;
    changed_.notify_all();
}

void cDatabaseThread::finish(cLastStep last) {
    if (!thread_.joinable()) return;
    if (!failed_) handOff();
    close(true, std::move(last));
}

void cDatabaseThread::abandon() {
    if (thread_.joinable()) close(false, nullptr);
}

bool cDatabaseThread::wait(cProgressHost* progress) {
    if (!thread_.joinable()) return false;
    std::unique_lock lock(mutex_);
    waitFor(lock, progress, [this] { return ended_; });
    return !failed_;
}

void cDatabaseThread::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return !waiting_.empty() || closing_; });
        if (waiting_.empty()) break;
        std::unique_ptr<cRowBatch> batch = std::move(waiting_.front());
        waiting_.pop_front();
        const bool skip = failed_ || (closing_ && !complete_);
        lock.unlock();
        if (!skip && !insert(*batch)) failed_ = true;
        batch->clear();
        lock.lock();
        spare_.push_back(std::move(batch));
        changed_.notify_all();
    }
    const bool complete = complete_ && !failed_;
    cLastStep last = std::move(last_);
    lock.unlock();
    if (complete && last && !last(connection_)) failed_ = true;
    if (!complete) failed_ = true;
    lock.lock();
    closed_ = true;
    lock.unlock();
    for (cSqliteInsert& insert : inserts_)
        insert.finalize();
    if (!connection_.close()) failed_ = true;
    lock.lock();
    ended_ = true;
    changed_.notify_all();
}

bool cDatabaseThread::insert(const cRowBatch& batch) {
    for (const eTable table : tables_) {
        const std::vector<cCell>& cells = batch.cells(table);
        if (!inserts_[table].insert(connection_, batch, cells.data(), cells.size())) return false;
    }
    return true;
}

} // namespace quarry
