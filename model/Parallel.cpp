#include "model/Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

bool ParallelFor(int count, int threads, const std::function<void(int)>& work,
                 const std::function<bool(int, int)>& progress)
{
    std::atomic<int> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto run = [&](bool reporting) {
        try {
            for (;;) {
                if (stop.load()) return;
                const int k = next.fetch_add(1);
                if (k >= count) return;
                work(k);
                const int finished = done.fetch_add(1) + 1;
                if (reporting && progress && !progress(finished, count)) stop = true;
            }
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureLock);
            if (!failure) failure = std::current_exception();
            stop = true;
        }
    };
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::max(1, std::min(threads, count));
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(run, false);
    run(true);
    for (std::thread& t : helpers)
        t.join();
    if (failure) std::rethrow_exception(failure);
    return done.load() == count;
}
