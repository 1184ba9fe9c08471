// A database connection with a thread of its own, which inserts batches of
// rows in the order they are handed to it while the caller gathers the next.
// At most two full batches wait, so the rows in memory stay bounded whatever
// the item file holds; the caller waits when the thread falls behind.
#pragma once

#include "export/item_rows.h"
#include "export/sqlite_connection.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quarry {

class cProgressHost;

class cDatabaseThread : public cRowSink {
public:
    // What the thread does after the last row: false on failure.
    using cLastStep = std::function<bool(cSqliteConnection&)>;

    cDatabaseThread() = default;
    // Abandons the work unless it was finished, and waits for the thread.
    ~cDatabaseThread() override;
    cDatabaseThread(const cDatabaseThread&) = delete;
    cDatabaseThread& operator=(const cDatabaseThread&) = delete;

    // Lets `progress` dispatch window events while the caller waits for the
    // thread to take a batch.
    void setProgress(cProgressHost* progress) { progress_ = progress; }
    // Opens the database at `path`, runs `setupSql`, prepares the inserts of
    // the rows of `tables` and starts the thread. False on failure.
    bool open(const std::string& path, std::string_view setupSql,
              const std::vector<eTable>& tables);
    // The batch a row of `table` begins in; the batch filled so far is handed
    // to the thread first when it is full.
    cRowBatch& beginRow(eTable table) override;
    // Hands over the last batch; after its rows the thread runs `last`,
    // unless something failed, and closes the database.
    void finish(cLastStep last);
    // Makes the thread stop inserting and close the database unfinished.
    void abandon();
    // Waits until the thread has closed the database, letting `progress`
    // (when given) dispatch window events meanwhile; a stop it asks for
    // abandons the work. Any thread may wait. True when every step succeeded.
    bool wait(cProgressHost* progress);

    bool failed() const { return failed_; }
    // Why it failed: the failing statement and SQLite's message.
    const std::string& error() const { return connection_.error(); }

private:
    void handOff();
    void close(bool complete, cLastStep last);
    void run();
    bool insert(const cRowBatch& batch);
    // Makes the running statement fail; called with mutex_ held.
    void interrupt();
    template <typename Ready>
    void waitFor(std::unique_lock<std::mutex>& lock, cProgressHost* progress, Ready ready);

    cSqliteConnection connection_;
    std::vector<eTable> tables_;
    cSqliteInsert inserts_[kTableCount];
    std::unique_ptr<cRowBatch> filling_ = std::make_unique<cRowBatch>();
    cProgressHost* progress_ = nullptr;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<cRowBatch>> waiting_;
    std::vector<std::unique_ptr<cRowBatch>> spare_;
    cLastStep last_;
    bool closing_ = false;
    bool complete_ = false;
    bool closed_ = false; // the connection is closing: interrupt() no longer applies
    bool ended_ = false;
    std::atomic<bool> failed_{false};
    std::thread thread_;
};

} // namespace quarry
