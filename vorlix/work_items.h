// Items of work shared out over threads. The filter's results never depend
// on how many threads work the items: each item writes only its own part of
// the output, and whatever the items add up is combined in a fixed order
// afterwards.
#pragma once

#include <functional>
#include <memory>

// The number of threads the processor runs at once (at least 1).
int processor_threads();

// Runs work(item, worker) for every item from 0 to count - 1 on up to
// `threads` threads, the calling thread among them as worker 0; workers are
// numbered from 0 to threads - 1 and items are handed out in increasing
// order. before_item(k) runs on the calling thread for every k in increasing
// order, once every item before k is finished (at the latest when all are).
// An exception thrown by the work is thrown again here once every thread has
// stopped.
void run_items(int count, int threads, const std::function<void(int item, int worker)>& work,
               const std::function<void(int item)>& before_item = {});

// Threads kept for the life of the object that work the items of one batch
// after another alongside the calling thread. A helper that comes late to a
// batch finds its items done by the others: the calling thread never waits
// for a helper that has not started on an item.
class WorkTeam {
public:
    // `threads` counts the calling thread; helpers that cannot be had are
    // done without.
    explicit WorkTeam(int threads);
    ~WorkTeam();
    WorkTeam(const WorkTeam&) = delete;
    WorkTeam& operator=(const WorkTeam&) = delete;

    // Runs work(item, worker) for every item from 0 to count - 1 and returns
    // when all are done; the calling thread is worker 0. An exception thrown
    // by the work is thrown again here.
    void run(int count, const std::function<void(int item, int worker)>& work);

private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
};
