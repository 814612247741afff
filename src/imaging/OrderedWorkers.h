// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace imaging {

// Jobs done on a fixed set of threads, handed back in the order they came in:
// the threads start once, take the oldest job not yet started, and the caller
// collects finished jobs from the front. With no threads every job is done
// inside Push, on the caller's thread. Plain standard locks, which the thread
// sanitizer follows.
template <typename Job> class OrderedWorkers {
public:
    // work(job, thread) runs on thread 0..threads-1 (0 for the caller's own).
    OrderedWorkers(int threads, std::function<void(Job&, int)> work)
        : work_(std::move(work))
    {
        for (int k = 0; k < threads; ++k)
            threads_.emplace_back([this, k] { Serve(k); });
    }
    ~OrderedWorkers()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        started_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }
    OrderedWorkers(const OrderedWorkers&) = delete;
    OrderedWorkers& operator=(const OrderedWorkers&) = delete;

    void Push(std::unique_ptr<Job> job)
    {
        if (threads_.empty()) {
            work_(*job, 0);
            slots_.push_back({std::move(job), true});
            return;
        }
        {
            std::lock_guard lock(mutex_);
            slots_.push_back({std::move(job), false});
        }
        started_.notify_one();
    }

    // Jobs pushed and not yet popped.
    int Waiting() const
    {
        std::lock_guard lock(mutex_);
        return int(slots_.size());
    }

    // The oldest job, once it is done; empty when none is waiting.
    std::unique_ptr<Job> Pop()
    {
        std::unique_lock lock(mutex_);
        if (slots_.empty())
            return {};
        finished_.wait(lock, [this] { return slots_.front().done; });
        std::unique_ptr<Job> job = std::move(slots_.front().job);
        slots_.pop_front();
        if (next_ > 0)
            --next_;
        return job;
    }

private:
    struct Slot {
        std::unique_ptr<Job> job;
        bool done = false;
    };

    void Serve(int thread)
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            started_.wait(lock, [this] { return stop_ || next_ < slots_.size(); });
            if (stop_)
                return;
            // A deque keeps references to its elements when others are added or
            // popped, and a slot is popped only once it is done.
            Slot& slot = slots_[next_++];
            lock.unlock();
            work_(*slot.job, thread);
            lock.lock();
            slot.done = true;
            finished_.notify_all();
        }
    }

    std::function<void(Job&, int)> work_;
    mutable std::mutex mutex_;
    std::condition_variable started_;
    std::condition_variable finished_;
    std::deque<Slot> slots_;
    std::size_t next_ = 0; // the first slot no thread has taken
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

} // namespace imaging
