// Every search of the catalogue asked one query at a time, side by side: the
// brute forces, the scans that skip what cannot win, the indexes and the
// other libraries' indexes (the anchors), over the random tables of every
// size of the suite's ladder (suite/table_sizes.h: 2^10 to 2^20 and the
// program's capacity, up to SPHEREBENCH_SCALE_MAX where set). The queries are
// points along a great circle (path), drawn uniformly on the sphere (uniform)
// or drawn from the spread of the table (near).
//
// BM_Query/<search>/locations:n/queries:<path|uniform>            one thread,
//     a table uniform on the sphere
// BM_Query/<search>/locations:n/queries:<path|uniform>/threads:2  the queries
//     split, at the program's capacity and from 2^20 on (the sizes between
//     cost the run more time than they tell)
// BM_Query/<search>/table:<towns|city|line|repeated>/locations:n/queries:<near|uniform>
//     tables as people hold them (random/table_kinds.h), at the program's
//     capacity and from 2^20 on
// BM_Query/<search>/table:airports/locations:n/queries:<path|uniform>
//     the bundled airports (data/airports.csv), n of them
// On the tables of a kind and the airports only the searches whose cost
// follows the spread run: the indexes, the anchors that do not read every
// location, and the vector pruned scans (a brute force takes the same time
// on every table of a size).
//
// Counters: per_query, seconds per query: each thread's CPU time over the
// queries of all threads, averaged over the threads (on a quiet machine, the
// wall-clock time of the queries, the two threads at once where there are
// two; on a shared one, without what other work took); for an index or an
// anchor, build (seconds, the least of up to three builds) and
// bytes_per_location (all the structure holds over the table's count); for
// an anchor, wrong: of the 1000 queries, how many it answers at another
// location than CdcBrute over the same pairs (a copy of a repeated site is
// the same location).
// Before anything is timed, every exact search is checked against its brute
// force on every table that the filter lets it run on: the same winners and
// scores, bit for bit. A search that reads every location and is timed at
// less than reading its table once is refused (suite/reach.h).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "base/json_text.h"
#include "suite/query_cases.h"
#include "suite/suite.h"
#include "suite/table_sizes.h"

using namespace spherebench;

namespace {

void BM_Query(benchmark::State& state, QueryCase c) {
    const Ready ready = ready_for(state, c);
    if (ready.search == nullptr) return;
    const int count = queries_per_iteration(c.id, c.table.count), stride = kQueryCount / count;
    // This thread's share of the queries.
    const int first = count * state.thread_index() / state.threads();
    const int last = count * (state.thread_index() + 1) / state.threads();
    std::vector<Nearest> answers(static_cast<size_t>(count));
    const double start = thread_seconds();
    for (auto _ : state) {
        for (int i = first; i < last; ++i) answers[i] = ready.search->nearest(*ready.queries, i * stride);
        benchmark::DoNotOptimize(answers.data());
        benchmark::ClobberMemory();
    }
    const double seconds = thread_seconds() - start;
    const double table_bytes = static_cast<double>(c.table.count) * bytes_per_location(search_facts(c.id).form);
    const double reads = static_cast<double>(state.iterations()) * (last - first);
    if (search_facts(c.id).exhaustive && refuse_unreachable(state, seconds, reads, table_bytes)) return;
    const double queries_run = static_cast<double>(state.iterations()) * count;
    state.counters["per_query"] = benchmark::Counter(seconds / queries_run, benchmark::Counter::kAvgThreads);
    const SearchKind kind = search_facts(c.id).kind;
    if (state.thread_index() != 0 || (kind != SearchKind::kIndex && kind != SearchKind::kAnchor)) return;
    state.counters["build"] = least_build(c.table);
    state.counters["bytes_per_location"] = static_cast<double>(ready.search->bytes()) / c.table.count;
    if (kind == SearchKind::kAnchor) state.counters["wrong"] = ready.wrong;
}

void register_case(const QueryCase& c, bool two_threads) {
    registered_cases().push_back(c);
    const std::string name = case_name(c);
    with_minimum(benchmark::RegisterBenchmark(name.c_str(), BM_Query, c));
    if (two_threads) with_minimum(benchmark::RegisterBenchmark(name.c_str(), BM_Query, c)->Threads(2));
}

// Each search's cases of one table together, so that a table and an index
// are made once for all of them: every search on the uniform tables, size
// by size, then the searches that follow the spread on the tables of each
// kind and on the bundled airports.
bool register_query_benchmarks() {
    benchmark::AddCustomContext("query", json_object({{"queries", std::to_string(kQueryCount)}}));
    for (const int size : table_sizes()) {
        for (const SearchFacts& facts : kSearchCatalogue) {
            if (!search_built(facts.id)) continue;
            for (const QueryKind kind : kQueryKinds)
                register_case({facts.id, {TableKind::kUniform, size}, kind}, headline_size(size));
        }
    }
    std::vector<TableSpec> spread;
    for (const int size : table_sizes()) {
        for (const TableKind kind : kTableKinds)
            if (kind != TableKind::kUniform && headline_size(size)) spread.push_back({kind, size});
    }
    spread.push_back({std::nullopt, static_cast<int>(bundled_airport_directions().size())});
    for (const TableSpec& table : spread) {
        if (table.count == 0) continue;  // the bundled airports unread: a check says why
        for (const SearchFacts& facts : kSearchCatalogue) {
            if (!search_built(facts.id) || !follows_the_spread(facts.id)) continue;
            for (const QueryKind kind : {table.kind ? QueryKind::kNear : QueryKind::kPath, QueryKind::kUniform})
                register_case({facts.id, table, kind}, false);
        }
    }
    return true;
}
const bool registered = register_query_benchmarks();

// Whether the run's filter selects a benchmark of that name (the flag's
// rule: a regular expression searched for, "-" in front negating it).
bool filter_selects(const std::string& name) {
    std::string filter = benchmark::GetBenchmarkFilter();
    if (filter.empty() || filter == "all") return true;
    const bool negated = filter[0] == '-';
    if (negated) filter.erase(0, 1);
    const std::regex pattern(filter);
    const bool found = std::regex_search(name, pattern) || std::regex_search(name + "/threads:2", pattern);
    return found != negated;
}

// An exact search against its brute force over one table, on the queries of
// each kind it is timed on (as many as one timed iteration of the brute
// force answers).
bool agrees_with_brute_force(SearchId id, const TableSpec& spec, const std::set<QueryKind>& kinds) {
    std::string refusal;
    const FormTable* table = table_for(spec, table_form(id), refusal);
    if (table == nullptr) return true;  // its benchmarks are refused alike
    const SearchId reference = reference_search(id);
    const auto search = make_search(id, *table), brute = make_search(reference, *table);
    const int count = queries_per_iteration(reference, spec.count), stride = kQueryCount / count;
    for (const QueryKind kind : kinds) {
        const FormTable& queries = queries_for(table->form, kind, spec);
        for (int i = 0; i < count; ++i) {
            const Nearest found = search->nearest(queries, i * stride);
            const Nearest expected = brute->nearest(queries, i * stride);
            if (same_answer(found, expected)) continue;
            std::fprintf(stderr, "%s on %s of %d locations, %s query %d: %d (%.17g), %s %d (%.17g)\n", search_name(id),
                         table_name(spec).c_str(), spec.count, query_kind_name(kind), i * stride, found.index,
                         found.score, search_name(reference), expected.index, expected.score);
            return false;
        }
    }
    return true;
}

// Every exact search the filter lets run, on every table it runs on.
bool query_searches_agree() {
    std::map<std::pair<TableSpec, SearchId>, std::set<QueryKind>> selected;
    for (const QueryCase& c : registered_cases()) {
        const SearchFacts& facts = search_facts(c.id);
        if (facts.exact && reference_search(c.id) != c.id && filter_selects(case_name(c)))
            selected[{c.table, c.id}].insert(c.kind);
    }
    if (selected.empty()) return true;
    std::set<TableSpec> tables;
    for (const auto& [table_and_search, kinds] : selected) {
        if (!agrees_with_brute_force(table_and_search.second, table_and_search.first, kinds)) return false;
        tables.insert(table_and_search.first);
    }
    const std::string figure = std::to_string(selected.size()) + " searches and tables (" +
                               std::to_string(tables.size()) + " tables): same winners and scores as their brute force";
    report_check_figure("query searches", "query_searches_agree", figure);
    return true;
}
const bool query_checked = register_check(query_searches_agree);
const bool airports_read = register_check([] { return !bundled_airport_directions().empty(); });

}  // namespace
