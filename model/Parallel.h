// Work items shared among threads, with progress and cancelling from the calling thread.
#pragma once

#include <functional>

// Runs work(k) for k = 0 .. count - 1 on threads threads (0: as many as the machine has; never
// more than count), the calling thread among them. Each item must write only its own results,
// so that the outcome does not depend on the threads. progress(done, count) is called from the
// calling thread after each item it finishes; when it returns false the remaining items are
// skipped and the result is false. An exception from work ends its thread's share and is raised
// again after every thread has ended.
bool ParallelFor(int count, int threads, const std::function<void(int)>& work,
                 const std::function<bool(int, int)>& progress);
