// Work split over threads: part(k) for k = 0 .. threads - 1, each on a
// thread of its own (part 0 on the caller's), returning when all are done.
#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace spherebench {

// Fewer than one thread is taken as one.
inline int thread_count(int threads) { return std::max(1, threads); }

// The machine's cores, or 1 where it does not say.
inline int machine_threads() { return thread_count(static_cast<int>(std::thread::hardware_concurrency())); }

// The first of `count` items of part k of `parts`, as equal as they come.
inline int part_start(int count, int k, int parts) {
    return static_cast<int>(static_cast<long long>(count) * k / parts);
}

template <typename Part>
void run_on_threads(int threads, const Part& part) {
    threads = thread_count(threads);
    std::vector<std::thread> others;
    for (int k = 1; k < threads; ++k) others.emplace_back(part, k);
    part(0);
    for (std::thread& t : others) t.join();
}

}  // namespace spherebench
