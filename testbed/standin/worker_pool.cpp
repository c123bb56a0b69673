#include "testbed/standin/worker_pool.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// Started with the first job, so that the pool does not grow while a test host counts the
// process's threads and handles; more start only when a run needs more at once.
constexpr int kStartingThreads = 64;

struct Pool {
    std::mutex lock;
    std::condition_variable jobQueued;
    std::deque<std::function<void()>> jobs;
    int idle = 0;
    int threads = 0;
};

// Never destroyed: its threads wait on it while the process exits.
Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

void Work(Pool& pool) {
    std::unique_lock<std::mutex> hold(pool.lock);
    for (;;) {
        while (pool.jobs.empty()) {
            ++pool.idle;
            pool.jobQueued.wait(hold);
            --pool.idle;
        }
        std::function<void()> job = std::move(pool.jobs.front());
        pool.jobs.pop_front();
        hold.unlock();
        job();
        hold.lock();
    }
}

}  // namespace

void RunOnPoolThread(std::function<void()> job) {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> hold(pool.lock);
    pool.jobs.push_back(std::move(job));
    // Each queued job needs an idle thread of its own: jobs run until their client leaves.
    const int wanted = pool.threads == 0 ? kStartingThreads : static_cast<int>(pool.jobs.size()) - pool.idle;
    for (int n = 0; n < wanted; ++n) {
        ++pool.threads;
        std::thread([&pool] { Work(pool); }).detach();
    }
    if (wanted <= 0) pool.jobQueued.notify_one();
}

int PoolThreadCount() {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> hold(pool.lock);
    return pool.threads;
}
