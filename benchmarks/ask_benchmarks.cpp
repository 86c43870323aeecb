// The questions beside the one nearest, one query at a time and in batches:
// the k nearest (BM_Ask/.../k:K), everything within a distance
// (within_km:D), and all the queries at once along the path, each search
// started from the previous answer (batch:path), or split over threads
// (batch:threads:T), on the query benchmarks' tables (suite/query_cases.h).
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "geo/distance.h"
#include "suite/query_cases.h"
#include "suite/suite.h"
#include "suite/table_sizes.h"

using namespace spherebench;

namespace {

enum class Question { kNearestK, kWithinKm, kBatchPath, kBatchThreads };

struct AskCase {
    QueryCase query;
    Question question;
    int amount;  // k, km, or threads
};

// The limit on the search's score of everything within km: a squared chord,
// or for the lat/long form the cosine of the angle.
double limit_of_km(SearchId id, double km) {
    if (search_facts(id).form == Form::kFixedLatLong) return angle_to_cosine(km_to_angle(km));
    return within_chord2(km);
}

// Counters: per_query (seconds, wall-clock for a batch, else the thread's CPU
// time) and found (locations per query, for k and within).
void BM_Ask(benchmark::State& state, AskCase c) {
    const Ready ready = ready_for(state, c.query);
    if (ready.search == nullptr) return;
    const Search& search = *ready.search;
    const FormTable& queries = *ready.queries;
    const int count = queries_per_iteration(c.query.id, c.query.table.count), stride = kQueryCount / count;
    const double limit = limit_of_km(c.query.id, c.amount);
    std::vector<Nearest> answers(static_cast<size_t>(kQueryCount));
    double found = 0;
    const auto wall = std::chrono::steady_clock::now();
    const double start = thread_seconds();
    for (auto _ : state) {
        if (c.question == Question::kBatchPath || c.question == Question::kBatchThreads) {
            const Batch batch{c.question == Question::kBatchPath ? 1 : c.amount, c.question == Question::kBatchPath};
            search.nearest_all(queries, 0, count, answers.data(), batch);
        }
        for (int i = 0; i < count && c.question == Question::kNearestK; ++i)
            found += static_cast<double>(search.nearest(queries, i * stride, c.amount).size());
        for (int i = 0; i < count && c.question == Question::kWithinKm; ++i)
            found += static_cast<double>(search.within(queries, i * stride, limit).size());
        benchmark::DoNotOptimize(answers.data());
        benchmark::ClobberMemory();
    }
    const bool batch = c.question == Question::kBatchPath || c.question == Question::kBatchThreads;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - wall;
    const double seconds = batch ? took.count() : thread_seconds() - start;
    const double queries_run = static_cast<double>(state.iterations()) * count;
    state.counters["per_query"] = seconds / queries_run;
    if (!batch) state.counters["found"] = found / queries_run;
}

std::string ask_name(const AskCase& c) {
    static const char* const kSuffix[] = {"/k:", "/within_km:", "/batch:path", "/batch:threads:"};
    std::string name = std::string("BM_Ask/") + search_name(c.query.id);
    if (c.query.table.kind != TableKind::kUniform) name += "/table:" + table_name(c.query.table);
    name += "/locations:" + std::to_string(c.query.table.count) + "/queries:" + query_kind_name(c.query.kind);
    name += kSuffix[static_cast<int>(c.question)];
    return c.question == Question::kBatchPath ? name : name + std::to_string(c.amount);
}

void register_ask(const AskCase& c) {
    registered_cases().push_back(c.query);
    with_minimum(benchmark::RegisterBenchmark(ask_name(c).c_str(), BM_Ask, c)->UseRealTime());
}

// The indexes and the anchors that answer k and within by their own calls,
// at the headline sizes, on uniform tables and one city; the batches of the
// indexes and the pruned scans along the path and on one and two threads.
bool register_ask_benchmarks() {
    for (const int size : table_sizes()) {
        if (!headline_size(size)) continue;
        for (const SearchFacts& facts : kSearchCatalogue) {
            if (!search_built(facts.id) || !follows_the_spread(facts.id) || facts.kind == SearchKind::kPruned) continue;
            for (const TableKind kind : {TableKind::kUniform, TableKind::kCity}) {
                const QueryCase q{
                    facts.id, {kind, size}, kind == TableKind::kUniform ? QueryKind::kUniform : QueryKind::kNear};
                for (const int k : {1, 10, 100}) register_ask({q, Question::kNearestK, k});
                // In one city of 5 km every location lies within 10 km.
                if (kind == TableKind::kUniform)
                    for (const int km : {10, 50, 500}) register_ask({q, Question::kWithinKm, km});
            }
        }
        for (const SearchFacts& facts : kSearchCatalogue) {
            if (!search_built(facts.id) || (facts.kind != SearchKind::kIndex && facts.kind != SearchKind::kPruned))
                continue;
            const QueryCase path{facts.id, {TableKind::kUniform, size}, QueryKind::kPath};
            register_ask({path, Question::kBatchPath, 1});
            for (const int threads : {1, 2}) register_ask({path, Question::kBatchThreads, threads});
        }
    }
    return true;
}

const bool registered = register_ask_benchmarks();

}  // namespace
