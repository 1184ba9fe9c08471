// The Find pane's searches, off the window's thread: one worker thread runs
// the newest query over the query index while the window goes on taking
// keystrokes. A new query abandons the one running (its stop flag); only the
// newest search's result is handed back, through finished() on the window's
// thread.
//
// The index must not change while a search runs: before the index is
// cleared, filled or committed, stop() abandons the search and waits for the
// worker to be idle.
#pragma once

#include "search/query_evaluator.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace quarry {

class cFindSearch : public QObject {
    Q_OBJECT
public:
    explicit cFindSearch(const cQueryIndex& index, QObject* parent = nullptr);
    ~cFindSearch() override;

    // Starts a search, abandoning the one running. A search done within
    // `patience` is handed back before start() returns, so a quick one shows
    // with the keystroke that asked for it; a slower one comes later, as
    // every one does with no patience.
    void start(cQuery query, bool allowNear, std::chrono::milliseconds patience);
    // Abandons the running search: its result never comes.
    void abandon();
    // Abandons the running search and waits until the worker no longer
    // reads the index.
    void stop();
    // A search was started and its result has not come yet.
    bool running() const { return awaited_ != 0; }

signals:
    void finished(const cQueryResult& result);

private:
    struct cJob {
        std::uint64_t serial = 0;
        cQuery query;
        bool allowNear = false;
    };
    void work();
    // Hands back the newest search's result when it is there.
    void deliver();

    const cQueryIndex& index_;
    std::uint64_t serials_ = 0; // the last serial given out
    std::uint64_t awaited_ = 0; // the serial whose result is wanted; 0 none (window's thread only)

    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<cJob> next_;         // waiting for the worker
    std::uint64_t busyWith_ = 0;       // the serial the worker runs; 0 idle
    std::optional<cQueryResult> done_; // the result of doneSerial_
    std::uint64_t doneSerial_ = 0;
    bool quitting_ = false;
    cSearchStop stop_{false};
    std::thread worker_; // last: starts once everything above exists
};

} // namespace quarry
