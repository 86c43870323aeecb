#include "scale/scale_search.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "bench/cdc_method.h"
#include "bench/latlong_method.h"
#include "forms/representations.h"
#include "vector/cdc_vector_search.h"
#include "vector/component_vector_search.h"
#include "vector/latlong_vector_search.h"

namespace spherebench {

SearchInfo search_info(Search search) {
    // In the order of the enumeration.
    static constexpr SearchInfo kInfo[] = {
        {"CdcPass", Form::kCdcPair, true},           {"CdcVector", Form::kCdcPair, true},
        {"LatLongPass", Form::kFixedLatLong, false}, {"LatLongVector", Form::kFixedLatLong, false},
        {"S2CellIdPass", Form::kS2CellId, true},     {"S2PointVector", Form::kS2Point, true},
        {"FloatVector", Form::kFloatVector, true},
    };
    return kInfo[static_cast<int>(search)];
}

namespace {

Nearest search_from(Search search, const FormTable& t, int begin, int n, const FormTable& queries, int q) {
    switch (search) {
        case Search::kCdcPass:
            return find_nearest<CdcMethod>(t.cdc.data() + begin, n, arrange_point(decode_cdc(queries.cdc[q])));
        case Search::kCdcVector:
            return cdc_vector_find_nearest(t.cdc.data() + begin, n, queries.cdc[q]);
        case Search::kLatLongPass:
            return find_nearest<LatLongMethod>(t.fixed.data() + begin, n, from_fixed(queries.fixed[q]));
        case Search::kLatLongVector:
            return latlong_vector_find_nearest(t.fixed.data() + begin, n, queries.fixed[q]);
        case Search::kS2CellIdPass: {
            // The scalar search gives the index alone: its score again, as
            // the search computes it.
            const S2Point point = queries.cells[q].ToPoint();
            const int32_t j = nearest_by_cell_ids(t.cells.data() + begin, n, point);
            if (j == kNoWinner) return {kNoWinner, 0};
            return {j, (t.cells[begin + j].ToPoint() - point).Norm2()};
        }
        case Search::kS2PointVector:
            return double_components_find_nearest(t.xs.data() + begin, t.ys.data() + begin, t.zs.data() + begin, n,
                                                  {queries.xs[q], queries.ys[q], queries.zs[q]});
        case Search::kFloatVector:
            return float_components_find_nearest(t.fxs.data() + begin, t.fys.data() + begin, t.fzs.data() + begin, n,
                                                 queries.fxs[q], queries.fys[q], queries.fzs[q]);
    }
    return {kNoWinner, 0};
}

// Runs part(k) for k = 0 .. threads - 1, each on a thread of its own (part
// 0 on the caller's), and returns when all are done.
template <typename Part>
void run_on_threads(int threads, const Part& part) {
    std::vector<std::thread> others;  // threads is at least 1, see thread_count
    for (int k = 1; k < threads; ++k) others.emplace_back(part, k);
    part(0);
    for (std::thread& t : others) t.join();
}

// Fewer than one thread is taken as one.
int thread_count(int threads) { return std::max(1, threads); }

// The first of `count` items of part k of `parts`, as equal as they come.
int part_start(int count, int k, int parts) { return static_cast<int>(static_cast<long long>(count) * k / parts); }

}  // namespace

Nearest search_part(Search search, const FormTable& table, int begin, int end, const FormTable& queries, int q) {
    Nearest found = search_from(search, table, begin, end - begin, queries, q);
    if (found.airport != kNoWinner) found.airport += begin;
    return found;
}

Nearest better_of(Nearest a, Nearest b, bool smaller_wins) {
    if (b.airport == kNoWinner) return a;
    if (a.airport == kNoWinner) return b;
    if (a.score == b.score) return b.airport < a.airport ? b : a;
    return (smaller_wins ? b.score < a.score : b.score > a.score) ? b : a;
}

void search_each(Search search, const FormTable& table, const FormTable& queries, int query_count, int threads,
                 Nearest* answers) {
    threads = thread_count(threads);
    const size_t stride = static_cast<size_t>(query_count);
    std::vector<Nearest> parts(static_cast<size_t>(threads) * stride);
    run_on_threads(threads, [&](int k) {
        const int begin = part_start(table.count, k, threads), end = part_start(table.count, k + 1, threads);
        for (int q = 0; q < query_count; ++q)
            parts[k * stride + q] = search_part(search, table, begin, end, queries, q);
    });
    const bool smaller_wins = search_info(search).smaller_wins;
    for (int q = 0; q < query_count; ++q) {
        answers[q] = parts[q];
        for (int k = 1; k < threads; ++k) answers[q] = better_of(answers[q], parts[k * stride + q], smaller_wins);
    }
}

void search_blocked(Search search, const FormTable& table, const FormTable& queries, int query_count, int tile,
                    int threads, Nearest* answers) {
    threads = thread_count(threads);
    tile = std::max(1, tile);  // a tile of none would never advance
    const bool smaller_wins = search_info(search).smaller_wins;
    const int n = table.count;
    run_on_threads(threads, [&](int k) {
        const int first = part_start(query_count, k, threads), last = part_start(query_count, k + 1, threads);
        for (int q = first; q < last; ++q) answers[q] = search_part(search, table, 0, std::min(n, tile), queries, q);
        for (int begin = tile; begin < n; begin += tile) {
            const int end = std::min(n, begin + tile);
            for (int q = first; q < last; ++q)
                answers[q] = better_of(answers[q], search_part(search, table, begin, end, queries, q), smaller_wins);
        }
    });
}

double sum_on_threads(const double* values, long long count, int passes, int threads) {
    threads = thread_count(threads);
    std::vector<double> sums(static_cast<size_t>(threads));
    run_on_threads(threads, [&](int k) {
        const long long begin = count * k / threads, end = count * (k + 1) / threads;
        for (int pass = 0; pass < passes; ++pass) sums[k] += vector_sum_of_doubles(values + begin, end - begin);
    });
    double total = 0;
    for (double s : sums) total += s;
    return total;
}

}  // namespace spherebench
