// The stored forms past every cache: each form's searches over random tables
// of every size of the suite's ladder (suite/table_sizes.h: 2^10 to 2^20 and
// the program's capacity, up to SPHEREBENCH_SCALE_MAX where set, 2^24 in
// docs/PERFORMANCE.md's runs), one query at a time and as a blocked batch of
// a flight line's queries, on 1 and 2 threads, beside the machine's read
// bandwidth over the same number of bytes; a table larger than the memory
// available is refused when its benchmark runs, and a one-query figure
// faster than reading the table once (suite/reach.h) when it has run.
//
// BM_ScaleOne/<search>/locations:n/threads:t   one query at a time
// BM_ScaleBatch/<search>/locations:n/threads:t a flight line's queries by tiles
// (<search> a name of the catalogue, bench/search_catalogue.h)
// BM_ScaleRead/bytes:b/threads:t               a vector sum of b bytes
// The counters are per wall-clock second (the threads are the benchmark's
// own): per_test is seconds per proximity test; the CPU time reported beside
// is the whole process's, every thread's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/json_text.h"
#include "forms/representations.h"
#include "random/random_tables.h"
#include "scale/scale_search.h"
#include "suite/suite.h"
#include "suite/table_sizes.h"

using namespace spherebench;

namespace {

constexpr int kBatch = kFlightLineCapacity;
constexpr int kQueryCapacity = 1 << 14;      // one-query runs cycle through no more
constexpr long long kTestsPerRun = 1 << 24;  // one-query: about this many tests per iteration
constexpr int kTileBytes = 256 << 10;        // a quarter of this machine's L2

// One table at a time: the last one asked for, freed before the next is made.
const FormTable* table_for(SearchId search, int count, std::string& refusal) {
    const Form form = search_facts(search).form;
    static std::unique_ptr<FormTable> held;
    if (held && held->form == form && held->count == count) return held.get();
    held.reset();
    refusal = table_refusal(search, count, machine_mem_available());
    if (!refusal.empty()) return nullptr;
    held = std::make_unique<FormTable>(make_form_table(form, count, kAirportSeed));
    return held.get();
}

const FormTable& queries_for(Form form) {
    static std::unique_ptr<FormTable> made[std::size(kForms)];
    std::unique_ptr<FormTable>& q = made[static_cast<int>(form)];
    if (!q) q = std::make_unique<FormTable>(make_form_table(form, kQueryCapacity, kFlightLineSeed));
    return *q;
}

// The table for the benchmark's size, or null with the benchmark skipped.
const FormTable* table_or_skip(benchmark::State& state, SearchId search) {
    std::string refusal;
    const FormTable* table = table_for(search, static_cast<int>(state.range(0)), refusal);
    if (table == nullptr) {
        std::fprintf(stderr, "%s\n", refusal.c_str());
        state.SkipWithError(refusal.c_str());
    }
    return table;
}

void BM_ScaleOne(benchmark::State& state, SearchId search) {
    const FormTable* table = table_or_skip(state, search);
    if (table == nullptr) return;
    const FormTable& queries = queries_for(table->form);
    const int count = static_cast<int>(std::clamp<long long>(kTestsPerRun / table->count, 4, kQueryCapacity));
    const TableParts parts = split_table(search, *table, static_cast<int>(state.range(1)));
    std::vector<Nearest> answers(static_cast<size_t>(count));
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        search_each(search, *table, parts, queries, count, answers.data());
        benchmark::DoNotOptimize(answers.data());
        benchmark::ClobberMemory();
    }
    // Each query reads the whole table, a part on each thread at once.
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const double reads = static_cast<double>(state.iterations()) * count;
    const double bytes = static_cast<double>(table->count) * bytes_per_location(table->form);
    if (refuse_unreachable(state, wall.count() * parts.count(), reads, bytes)) return;
    count_tests(state, static_cast<double>(table->count) * count);
}

void BM_ScaleBatch(benchmark::State& state, SearchId search) {
    const FormTable* table = table_or_skip(state, search);
    if (table == nullptr) return;
    const FormTable& queries = queries_for(table->form);
    const TableParts tiles = tile_table(search, *table, kTileBytes / bytes_per_location(table->form));
    std::vector<Nearest> answers(kBatch);
    for (auto _ : state) {
        search_blocked(search, *table, tiles, queries, kBatch, static_cast<int>(state.range(1)), answers.data());
        benchmark::DoNotOptimize(answers.data());
        benchmark::ClobberMemory();
    }
    count_tests(state, static_cast<double>(table->count) * kBatch);
}

void BM_ScaleRead(benchmark::State& state) {
    const long long bytes = state.range(0);
    const long long available = machine_mem_available();
    if (available >= 0 && bytes > available) {
        const std::string refusal = "refused: " + std::to_string(bytes >> 20) + " MiB to read, " +
                                    std::to_string(available >> 20) + " MiB available (MemAvailable)";
        std::fprintf(stderr, "%s\n", refusal.c_str());
        state.SkipWithError(refusal.c_str());
        return;
    }
    const std::vector<double> values(static_cast<size_t>(bytes) / sizeof(double), 1.0);
    const int passes = static_cast<int>(std::max<long long>(1, (1ll << 27) / bytes));
    for (auto _ : state) {
        benchmark::DoNotOptimize(sum_on_threads(values.data(), static_cast<long long>(values.size()), passes,
                                                static_cast<int>(state.range(1))));
    }
    state.SetBytesProcessed(state.iterations() * bytes * passes);
}

// Blocking cannot help a search whose time per test is far above what the
// memory needs (a scalar one, or the lat/long one, which takes a sine and a
// cosine a test): its batch is timed only where it costs little.
bool batch_affordable(SearchId search, int size) {
    const SearchFacts& facts = search_facts(search);
    return (facts.vector && facts.form != Form::kFixedLatLong) || size <= 1 << 14;
}

void threads_1_and_2(benchmark::internal::Benchmark* b, const char* size_name, long long size) {
    b->Args({size, 1})->Args({size, 2})->ArgNames({size_name, "threads"})->MinTime(0.2);
    // Wall-clock for the counters; the CPU time of all threads beside it.
    b->MeasureProcessCPUTime()->UseRealTime();
}

// Size by size, each form's searches together, so each table is made once.
bool register_scale_benchmarks() {
    benchmark::AddCustomContext(
        "scale", json_object({{"batch", std::to_string(kBatch)}, {"tile_bytes", std::to_string(kTileBytes)}}));
    for (const int size : table_sizes()) {
        for (int bytes : {8, 12, 24}) {
            threads_1_and_2(benchmark::RegisterBenchmark("BM_ScaleRead", BM_ScaleRead), "bytes",
                            static_cast<long long>(size) * bytes);
        }
        for (const SearchId search : scale_searches()) {
            const std::string name = search_name(search);
            threads_1_and_2(benchmark::RegisterBenchmark(("BM_ScaleOne/" + name).c_str(), BM_ScaleOne, search),
                            "locations", size);
            if (batch_affordable(search, size))
                threads_1_and_2(benchmark::RegisterBenchmark(("BM_ScaleBatch/" + name).c_str(), BM_ScaleBatch, search),
                                "locations", size);
        }
    }
    return true;
}
const bool registered = register_scale_benchmarks();

// The winner of the scalar search of forms/representations.h that a vector
// search must match, or -2 where the search has none here.
int32_t scalar_winner(SearchId search, const FormTable& t, const FormTable& queries, int q) {
    if (search == SearchId::kS2PointBruteVector) {
        std::vector<S2Point> points;
        for (int j = 0; j < t.count; ++j) points.emplace_back(t.xs[j], t.ys[j], t.zs[j]);
        return nearest_by_s2_points(points.data(), t.count, S2Point(queries.xs[q], queries.ys[q], queries.zs[q]));
    }
    if (search == SearchId::kFloatBruteVector) {
        std::vector<FloatVector> floats;
        for (int j = 0; j < t.count; ++j) floats.push_back({t.fxs[j], t.fys[j], t.fzs[j]});
        return nearest_by_float_vectors(floats.data(), t.count, {queries.fxs[q], queries.fys[q], queries.fzs[q]});
    }
    if (search == SearchId::kCdcBruteVector) return search_whole(SearchId::kCdcBrute, t, queries, q).index;
    return -2;
}

// Before timing: for every search, at sizes where the plain search is cheap,
// the split and blocked runs find the plain search's winner and score for
// every query, and each exact vector search the winner of its scalar one.
bool scale_searches_agree() {
    constexpr int kQueries = 100;
    constexpr int kCheckTile = 1000;  // several tiles, the last one part full
    int checked = 0;
    for (int size : {1 << 10, kAirportCapacity, 1 << 16}) {
        if (size > largest_table_size().size) break;
        for (const SearchId search : scale_searches()) {
            const char* name = search_name(search);
            const FormTable table = make_form_table(search_facts(search).form, size, kAirportSeed);
            const FormTable& queries = queries_for(table.form);
            std::vector<Nearest> plain(kQueries), split(kQueries), blocked(kQueries);
            for (int q = 0; q < kQueries; ++q) plain[q] = search_whole(search, table, queries, q);
            for (int q = 0; q < 10; ++q) {
                const int32_t scalar = scalar_winner(search, table, queries, q);
                if (scalar != -2 && scalar != plain[q].index) {
                    std::fprintf(stderr, "%s at %d locations, query %d: %d, scalar search %d\n", name, size, q,
                                 plain[q].index, scalar);
                    return false;
                }
            }
            for (int threads : {1, 2, 3}) {
                search_each(search, table, split_table(search, table, threads), queries, kQueries, split.data());
                search_blocked(search, table, tile_table(search, table, kCheckTile), queries, kQueries, threads,
                               blocked.data());
                for (int q = 0; q < kQueries; ++q) {
                    if (!same_answer(split[q], plain[q]) || !same_answer(blocked[q], plain[q])) {
                        std::fprintf(stderr, "%s at %d locations on %d threads, query %d: %d, split %d, blocked %d\n",
                                     name, size, threads, q, plain[q].index, split[q].index, blocked[q].index);
                        return false;
                    }
                }
            }
            ++checked;
        }
    }
    const std::string figure = std::to_string(checked) + " searches and sizes, " + std::to_string(kQueries) +
                               " queries each, split and blocked on 1 to 3 threads: same winners and scores";
    report_check_figure("scale searches", "scale_searches_agree", figure);
    return true;
}
const bool scale_checked = register_check(scale_searches_agree);

}  // namespace
