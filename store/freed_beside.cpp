#include "store/freed_beside.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace quarry {

namespace {

class cFreeingThread {
public:
    cFreeingThread() : thread_([this] { run(); }) {}
    ~cFreeingThread() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            ending_ = true;
        }
        queued_.notify_one();
        thread_.join();
    }
    void push(std::unique_ptr<cHeldValue> held) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(std::move(held));
        }
        queued_.notify_one();
    }

private:
    void run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            queued_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (queue_.empty()) return; // ending, and nothing left
            std::unique_ptr<cHeldValue> held = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            held.reset();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<std::unique_ptr<cHeldValue>> queue_;
    bool ending_ = false;
    std::thread thread_; // last: starts once everything above exists
};

} // namespace

void freeHeldBeside(std::unique_ptr<cHeldValue> held) {
    static cFreeingThread freeing;
    freeing.push(std::move(held));
}

} // namespace quarry
