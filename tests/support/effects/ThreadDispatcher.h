// A job dispatcher for the effects runtime's tests: submitted jobs run on a
// few worker threads; WaitAll returns once every one has run. Held, the
// workers take no job before WaitAll is called, so a caller that reads the
// jobs' results without waiting for them sees them missing every time.
#pragma once

#include "effects/Core/Interface/Job.h"
#include "effects/Core/Interface/JobDispatcher.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace testsupport {

class ThreadDispatcher : public FulgorCore::JobDispatcher {
public:
    explicit ThreadDispatcher(int threads, bool held = false) : held_(held) {
        for (int i = 0; i < threads; ++i)
            workers_.emplace_back([this] { Work(); });
    }
    ~ThreadDispatcher() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : workers_)
            t.join();
    }

    void Submit(FulgorCore::Job* job) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(job);
            ++pending_;
            ++submitted;
        }
        wake_.notify_one();
    }
    void WaitAll() override {
        std::unique_lock<std::mutex> lock(mutex_);
        waiting_ = true;
        wake_.notify_all();
        done_.wait(lock, [this] { return pending_ == 0; });
        waiting_ = false;
        ++waits;
    }

    int submitted = 0;
    int waits = 0;
    // Jobs run; read after WaitAll.
    int executed = 0;

private:
    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock,
                       [this] { return stopping_ || (!queue_.empty() && (!held_ || waiting_)); });
            if (queue_.empty())
                return;
            FulgorCore::Job* job = queue_.front();
            queue_.pop_front();
            lock.unlock();
            job->Execute();
            lock.lock();
            ++executed;
            if (--pending_ == 0)
                done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<FulgorCore::Job*> queue_;
    int pending_ = 0;
    bool stopping_ = false;
    const bool held_;
    bool waiting_ = false;
    std::vector<std::thread> workers_;
};

} // namespace testsupport
