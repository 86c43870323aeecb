// Many queries at once: split over threads (the machine's cores unless told),
// each thread answering a contiguous share in order. Along a path, where
// consecutive queries lie close together, each query's search starts from
// the location the previous one found: scored the search's way, it is a
// real candidate, so the search skips from the start all it can prove
// beyond it, and the answer is the same, bit for bit, as asking alone.
#pragma once

#include <cstdint>

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

// answers[i] = the nearest to queries[i], for i < count.
template <typename Search>
void nearest_all(const Search& search, const typename Search::Query* queries, int count, Nearest* answers,
                 Batch batch = {}) {
    const int threads = batch.threads > 0 ? batch.threads : machine_threads();
    run_on_threads(threads, [&](int k) {
        const int first = part_start(count, k, threads), last = part_start(count, k + 1, threads);
        int32_t previous = kNoWinner;
        for (int i = first; i < last; ++i) {
            answers[i] = nearest_from(search, queries[i], batch.along_path ? previous : kNoWinner);
            previous = answers[i].airport;
        }
    });
}

}  // namespace spherebench
