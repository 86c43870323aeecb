#include "python/workers.h"

#include <pybind11/pybind11.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <string>
#include <thread>
#include <vector>

namespace spherebench {

int worker_threads(long long workers) {
    if (workers == -1) return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
    if (workers < 1)
        throw pybind11::value_error("workers must be a count of threads (at least 1), or -1 for one per core, not " +
                                    std::to_string(workers));
    return static_cast<int>(std::min<long long>(workers, INT_MAX));
}

void split_over_threads(size_t count, int threads, const std::function<void(size_t, size_t)>& share) {
    const size_t shares = std::min(count, static_cast<size_t>(std::max(threads, 1)));
    if (shares <= 1) return share(0, count);
    std::vector<std::exception_ptr> failures(shares);
    const auto run = [&](size_t i) {
        try {
            share(count * i / shares, count * (i + 1) / shares);
        } catch (...) {
            failures[i] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> others;
        for (size_t i = 1; i < shares; ++i) others.emplace_back(run, i);
        run(0);
    }  // joined here
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
}

}  // namespace spherebench
