#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// Runs work(i) for every i in [0, count) on up to `threads` threads of its own, each taking the
// next index as it becomes free. On the calling thread, finished(i, result) is called as each
// result comes in, in whatever order they do, and deliver(i, result) in the order of the
// indices, as soon as every earlier one has been delivered. Returns when all are delivered.
// Results wait in memory until their turn, so they should be small.
template <class Result, class Work, class Finished, class Deliver>
void runInParallelInOrder(std::size_t count, unsigned threads, Work work, Finished finished,
                          Deliver deliver) {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::optional<Result>> results(count);
    std::vector<std::size_t> arrivals;  // indices whose results came in since last looked at
    std::size_t next = 0;               // the next index a thread takes

    const auto run = [&] {
        for (;;) {
            std::size_t index;
            {
                std::lock_guard lock(mutex);
                if (next == count) {
                    return;
                }
                index = next++;
            }
            Result result = work(index);
            std::lock_guard lock(mutex);
            results[index] = std::move(result);
            arrivals.push_back(index);
            arrived.notify_one();
        }
    };
    std::vector<std::jthread> workers;
    const std::size_t workerCount = std::min<std::size_t>(std::max(threads, 1u), count);
    for (std::size_t i = 0; i < workerCount; ++i) {
        workers.emplace_back(run);
    }

    // A result is written before its index is announced and read only after, so the callbacks
    // can read it without the lock.
    std::vector<bool> announced(count);
    std::vector<std::size_t> seen;
    std::size_t delivered = 0;
    while (delivered < count) {
        {
            std::unique_lock lock(mutex);
            arrived.wait(lock, [&] { return !arrivals.empty(); });
            seen.swap(arrivals);
        }
        for (const std::size_t index : seen) {
            announced[index] = true;
            finished(index, std::as_const(*results[index]));
        }
        seen.clear();
        for (; delivered < count && announced[delivered]; ++delivered) {
            deliver(delivered, *results[delivered]);
            results[delivered].reset();
        }
    }
}
