// Queries split over threads: each thread answers a contiguous share of them,
// so that every answer lands where one thread alone would put it.
#pragma once

#include <cstddef>
#include <functional>

namespace spherebench {

// The threads a `workers` argument asks for: a count of at least 1, or -1
// for one per core (as scipy's workers); anything else is a ValueError.
int worker_threads(long long workers);

// share(begin, end) over [0, count) cut into at most `threads` contiguous
// shares, one thread each, the calling thread taking the first; returns when
// all are done, rethrowing the first share's exception, if any.
void split_over_threads(size_t count, int threads, const std::function<void(size_t, size_t)>& share);

}  // namespace spherebench
