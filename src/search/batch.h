// The one way to ask a search many questions: each query prepared from its
// stored form by the caller's query_of(i), the queries split over threads
// (the machine's cores unless told), each thread answering a contiguous
// share in order, an exception in any share carried back to the caller, and
// the nearest, the k nearest or everything within a limit written into the
// caller's buffers. Along a path, where consecutive queries lie close
// together, each query's search starts from
// the location the previous one found: scored the search's way, it is a
// real candidate, so the search skips from the start all it can prove
// beyond it, and the answer is the same, bit for bit, as asking alone.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include "base/threads.h"
#include "method/nearest.h"
#include "method/result_sets.h"

namespace spherebench {

struct Batch {
    int threads = 0;          // 0: the machine's cores
    bool along_path = false;  // each query seeded with the previous answer
};

// Whether the search can start from a location: it scores one location the
// search's way (score_at) and offers the rest to result sets (find).
template <typename Search>
concept Seedable = requires(const Search& s, const typename Search::Query& q, NearestOne& results) {
    { s.score_at(q, int32_t{0}) } -> std::same_as<double>;
    s.find(q, results);
};

// The search's nearest to the query, starting from location `from` (a table
// index; kNoWinner to start from nothing).
template <typename Search>
Nearest nearest_from(const Search& search, const typename Search::Query& query, int32_t from) {
    if constexpr (Seedable<Search>) {
        if (from != kNoWinner) {
            NearestOne results(Search::kOrder);
            results.add(from, search.score_at(query, from));
            search.find(query, results);
            return results.take();
        }
    }
    return search.nearest(query);
}

// share(begin, end) over [0, count) cut into at most `threads` contiguous
// shares (0: the machine's cores), a thread each, the caller's the first;
// returns when all are done, rethrowing the first failing share's
// exception, if any.
template <typename Share>
void split_queries(size_t count, int threads, const Share& share) {
    const size_t shares = std::min(count, static_cast<size_t>(threads > 0 ? threads : machine_threads()));
    if (shares <= 1) return share(size_t{0}, count);
    std::vector<std::exception_ptr> failures(shares);
    run_on_threads(static_cast<int>(shares), [&](int k) {
        try {
            share(count * k / shares, count * (k + 1) / shares);
        } catch (...) {
            failures[k] = std::current_exception();
        }
    });
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
}

// answers[i] = the nearest to query_of(i), the query i prepared from its
// stored form, for i < count.
template <typename Search, typename QueryOf>
void nearest_all(const Search& search, size_t count, QueryOf query_of, Nearest* answers, Batch batch = {}) {
    split_queries(count, batch.threads, [&](size_t first, size_t last) {
        int32_t previous = kNoWinner;
        for (size_t i = first; i < last; ++i) {
            answers[i] = nearest_from(search, query_of(i), batch.along_path ? previous : kNoWinner);
            previous = answers[i].index;
        }
    });
}

// found[i] = the k nearest to query_of(i), nearest first.
template <typename Search, typename QueryOf>
void nearest_k_all(const Search& search, size_t count, QueryOf query_of, int k, std::vector<Nearest>* found,
                   Batch batch = {}) {
    split_queries(count, batch.threads, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) found[i] = nearest_k(search, query_of(i), k);
    });
}

// found[i] = every location whose score is at or within limit_of(i) of
// query_of(i), nearest first.
template <typename Search, typename QueryOf, typename LimitOf>
void within_all(const Search& search, size_t count, QueryOf query_of, LimitOf limit_of, std::vector<Nearest>* found,
                Batch batch = {}) {
    split_queries(count, batch.threads, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) found[i] = nearest_within(search, query_of(i), limit_of(i));
    });
}

}  // namespace spherebench
