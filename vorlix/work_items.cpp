#include "work_items.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

int processor_threads()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

void run_items(int count, int threads, const std::function<void(int item, int worker)>& work,
               const std::function<void(int item)>& before_item)
{
    if (count <= 0) return;
    if (threads > count) threads = count;
    if (threads < 1) threads = 1;

    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    std::unique_ptr<std::atomic<bool>[]> finished(new std::atomic<bool>[count]);
    for (int i = 0; i < count; ++i) finished[i] = false;
    std::exception_ptr failure;
    std::mutex failure_lock;

    int announced = 0;  // items told to before_item so far
    auto announce = [&](bool all) {
        while (announced < count && (announced == 0 || all || finished[announced - 1])) {
            if (before_item) before_item(announced);
            ++announced;
        }
    };

    auto worker = [&](int id) {
        try {
            for (int item; !failed && (item = next++) < count;) {
                work(item, id);
                finished[item] = true;
                if (id == 0) announce(false);
            }
        } catch (...) {
            std::lock_guard<std::mutex> hold(failure_lock);
            if (!failure) failure = std::current_exception();
            failed = true;
        }
    };

    std::vector<std::thread> helpers;
    try {
        for (int id = 1; id < threads; ++id) helpers.emplace_back(worker, id);
    } catch (...) {
        // Too few threads to be had: the ones started and this one do the work.
    }
    announce(false);
    worker(0);
    for (std::thread& t : helpers) t.join();
    if (failure) std::rethrow_exception(failure);
    announce(true);
}

struct WorkTeam::Shared {
    std::mutex lock;
    std::condition_variable batch_ready, batch_done;
    const std::function<void(int, int)>* work = nullptr;
    int count = 0;
    std::uint32_t batch = 0;
    // The batch in the high half, the next item to take in the low half: an
    // item is taken only for the batch it belongs to.
    std::atomic<std::uint64_t> next{0};
    int done = 0;  // items of the batch finished (under the lock)
    bool quit = false;
    std::exception_ptr failure;
    std::vector<std::thread> helpers;

    // Takes and works items of `batch_number` while there are any.
    void work_items(std::uint32_t batch_number, int batch_count, const std::function<void(int, int)>& batch_work,
                    int worker)
    {
        for (;;) {
            std::uint64_t taken = next.load();
            do {
                if (static_cast<std::uint32_t>(taken >> 32) != batch_number ||
                    static_cast<int>(taken & 0xFFFFFFFFu) >= batch_count)
                    return;
            } while (!next.compare_exchange_weak(taken, taken + 1));
            try {
                batch_work(static_cast<int>(taken & 0xFFFFFFFFu), worker);
            } catch (...) {
                std::lock_guard<std::mutex> hold(lock);
                if (!failure) failure = std::current_exception();
            }
            std::lock_guard<std::mutex> hold(lock);
            if (++done == batch_count) batch_done.notify_all();
        }
    }

    void helper(int worker)
    {
        std::uint32_t seen = 0;
        for (;;) {
            std::unique_lock<std::mutex> hold(lock);
            batch_ready.wait(hold, [&] { return quit || batch != seen; });
            if (quit) return;
            seen = batch;
            const std::function<void(int, int)>* batch_work = work;
            const int batch_count = count;
            hold.unlock();
            work_items(seen, batch_count, *batch_work, worker);
        }
    }
};

WorkTeam::WorkTeam(int threads) : shared_(std::make_unique<Shared>())
{
    try {
        for (int id = 1; id < threads; ++id) shared_->helpers.emplace_back([this, id] { shared_->helper(id); });
    } catch (...) {
        // Too few threads to be had: the ones started and the caller do the work.
    }
}

WorkTeam::~WorkTeam()
{
    {
        std::lock_guard<std::mutex> hold(shared_->lock);
        shared_->quit = true;
    }
    shared_->batch_ready.notify_all();
    for (std::thread& t : shared_->helpers) t.join();
}

void WorkTeam::run(int count, const std::function<void(int item, int worker)>& work)
{
    if (count <= 0) return;
    Shared& s = *shared_;
    std::uint32_t batch_number = 0;
    {
        std::lock_guard<std::mutex> hold(s.lock);
        s.work = &work;
        s.count = count;
        s.done = 0;
        s.failure = nullptr;
        batch_number = ++s.batch;
        s.next = static_cast<std::uint64_t>(batch_number) << 32;
    }
    if (!s.helpers.empty()) s.batch_ready.notify_all();
    s.work_items(batch_number, count, work, 0);
    std::unique_lock<std::mutex> hold(s.lock);
    s.batch_done.wait(hold, [&] { return s.done == count; });
    if (s.failure) std::rethrow_exception(s.failure);
}
