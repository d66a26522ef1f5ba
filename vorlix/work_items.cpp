#include "work_items.h"

#include <atomic>
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
