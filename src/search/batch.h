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

// Asks one search its queries in order, keeping the previous answer: along
// a path each query's search starts from the location the previous query
// found. The one place a search is seeded; a batch, the program's timed pass
// and its count of the locations scored all ask through it.
template <typename Search>
class PathAsker {
  public:
    using Query = typename Search::Query;

    PathAsker(const Search& search, bool along_path) : search_(search), along_path_(along_path) {}

    // The nearest to the query, the same as the search's nearest(query).
    Nearest nearest(const Query& query) {
        if constexpr (Seedable<Search>) {
            if (seeded()) {
                NearestOne results(Search::kOrder);
                return nearest_in(query, results);
            }
        }
        return keep(search_.nearest(query));
    }

    // The nearest by `results` (a NearestOne, or one that also counts what
    // it is offered), the seed offered first.
    template <typename Results>
    Nearest nearest_in(const Query& query, Results& results) {
        if constexpr (Seedable<Search>)
            if (seeded()) results.add(previous_, search_.score_at(query, previous_));
        search_.find(query, results);
        return keep(results.take());
    }

  private:
    bool seeded() const { return along_path_ && previous_ != kNoWinner; }
    Nearest keep(Nearest found) {
        previous_ = found.index;
        return found;
    }

    const Search& search_;
    bool along_path_;
    int32_t previous_ = kNoWinner;
};

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
        PathAsker asker(search, batch.along_path);
        for (size_t i = first; i < last; ++i) answers[i] = asker.nearest(query_of(i));
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
