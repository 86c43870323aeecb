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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/json_text.h"
#include "geo/distance.h"
#include "query/query_tables.h"
#include "query/search.h"
#include "scale/scale_search.h"
#include "scale/scale_tables.h"
#include "suite/suite.h"
#include "suite/table_sizes.h"

using namespace spherebench;

namespace {

// A search that reads every location answers enough of the queries, spread
// along them, for about this many tests an iteration, and no fewer than the
// least; every other search answers all of them.
constexpr long long kTestsPerIteration = 1 << 22;
constexpr int kLeastQueries = 8;

// FAISS's flat index is an exhaustive search too.
bool reads_every_location(SearchId id) {
    const SearchKind kind = search_facts(id).kind;
    return kind == SearchKind::kBrute || kind == SearchKind::kPruned || id == SearchId::kFaissFlat;
}

// The searches timed on the tables of a kind and the airports.
bool follows_the_spread(SearchId id) {
    const SearchFacts& facts = search_facts(id);
    if (facts.kind == SearchKind::kPruned) return facts.vector;
    return facts.kind == SearchKind::kIndex || (facts.kind == SearchKind::kAnchor && !reads_every_location(id));
}

int queries_per_iteration(SearchId id, int size) {
    if (!reads_every_location(id)) return kQueryCount;
    return static_cast<int>(std::clamp<long long>(kTestsPerIteration / size, kLeastQueries, kQueryCount));
}

// A benchmark's table, by value: `count` locations of a kind drawn from
// `seed`, or, with no kind, the bundled airports.
struct TableSpec {
    std::optional<TableKind> kind;
    int count = 0;
    uint64_t seed = kAirportSeed;
    auto operator<=>(const TableSpec&) const = default;
};

std::string table_name(const TableSpec& spec) { return spec.kind ? table_kind_name(*spec.kind) : "airports"; }

FormTable make_table(const TableSpec& spec, Form form) {
    if (!spec.kind) return form_table_of(form, bundled_airport_directions());
    return make_kind_table(form, *spec.kind, spec.count, spec.seed);
}

// Setup runs on every thread of a benchmark at once: the shared tables are
// made and handed out under this lock.
std::mutex setup_lock;

// The tables of one spec in each form asked for, the search prepared last
// over one of them and CdcBrute's answers over its pairs: all freed together
// when another spec is asked for, so that nothing made for one table is used
// with another.
struct Held {
    TableSpec spec;
    std::unique_ptr<FormTable> tables[std::size(kForms)];
    std::unique_ptr<Search> search;
    double least_build = 0;  // of the search's builds
    std::map<QueryKind, std::vector<Nearest>> exact;
};

Held& held_for(const TableSpec& spec) {
    static Held held;
    if (held.spec != spec) {
        held = Held{};
        held.spec = spec;
    }
    return held;
}

const FormTable* table_for(const TableSpec& spec, Form form, std::string& refusal) {
    std::unique_ptr<FormTable>& t = held_for(spec).tables[static_cast<int>(form)];
    if (t) return t.get();
    refusal = table_refusal(form, bytes_per_location(form), spec.count, machine_mem_available());
    if (!refusal.empty()) return nullptr;
    t = std::make_unique<FormTable>(make_table(spec, form));
    return t.get();
}

// The queries of a kind in the form, near the spec's table for near ones.
const FormTable& queries_for(Form form, QueryKind kind, const TableSpec& spec) {
    const bool near = kind == QueryKind::kNear;
    const auto key = std::make_tuple(form, kind, near ? spec.kind : std::nullopt, near ? spec.seed : 0);
    static std::map<decltype(key), std::unique_ptr<FormTable>> made;
    std::unique_ptr<FormTable>& q = made[key];
    if (!q)
        q = std::make_unique<FormTable>(
            make_query_table(form, kind, kQueryCount, spec.kind.value_or(TableKind::kUniform), spec.seed));
    return *q;
}

// The search over the spec's table, built up to three times (while the
// builds take under a second in all) for the least build time; kept while
// the same search over the same spec is asked for.
const Search& prepared_for(SearchId id, const TableSpec& spec, const FormTable& table) {
    Held& held = held_for(spec);
    if (held.search && held.search->id() == id) return *held.search;
    double total = 0;
    for (int build = 0; build < 3 && total < 1.0; ++build) {
        held.search.reset();
        held.search = make_search(id, table);
        const double seconds = held.search->build_seconds();
        held.least_build = build == 0 ? seconds : std::min(held.least_build, seconds);
        total += seconds;
    }
    return *held.search;
}

// CdcBrute's answers to all the queries of the kind over the spec's pairs
// (its vector search, which finds the same, for speed), for the anchors'
// count.
const std::vector<Nearest>& exact_answers(const TableSpec& spec, const FormTable& pairs, QueryKind kind) {
    std::vector<Nearest>& answers = held_for(spec).exact[kind];
    if (answers.empty()) {
        const auto exact = make_search(SearchId::kCdcBruteVector, pairs);
        const FormTable& queries = queries_for(Form::kCdcPair, kind, spec);
        for (int q = 0; q < kQueryCount; ++q) answers.push_back(exact->nearest(queries, q));
    }
    return answers;
}

// Counted once per anchor, table and kind of query (a benchmark's function
// runs several times: to choose its iterations, and once per repetition):
// the answers at another location than the exact one (the copies of a
// repeated site are one location).
int count_wrong(const Search& anchor, const TableSpec& spec, QueryKind kind) {
    static std::map<std::tuple<SearchId, TableSpec, QueryKind>, int> counted;
    const auto key = std::make_tuple(anchor.id(), spec, kind);
    if (const auto found = counted.find(key); found != counted.end()) return found->second;
    const FormTable& pairs = *held_for(spec).tables[static_cast<int>(Form::kCdcPair)];
    const std::vector<Nearest>& exact = exact_answers(spec, pairs, kind);
    const FormTable& queries = queries_for(Form::kCdcPair, kind, spec);
    int wrong = 0;
    for (int q = 0; q < kQueryCount; ++q) {
        const CdcPair found = pairs.cdc[anchor.nearest(queries, q).index], best = pairs.cdc[exact[q].index];
        wrong += found.first != best.first || found.second != best.second;
    }
    return counted[key] = wrong;
}

// The calling thread's CPU time: on a machine shared with other work, what
// the thread itself spent, without the time others took from it.
double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct QueryCase {
    SearchId id;
    TableSpec table;
    QueryKind kind;
};

// What the benchmark of a case needs, made under the setup lock.
struct Ready {
    const FormTable* queries = nullptr;
    const Search* search = nullptr;
    int wrong = 0;
};

Ready ready_for(benchmark::State& state, const QueryCase& c) {
    const std::lock_guard<std::mutex> lock(setup_lock);
    std::string refusal;
    const FormTable* table = table_for(c.table, table_form(c.id), refusal);
    if (table == nullptr) {
        state.SkipWithError(refusal.c_str());
        return {};
    }
    Ready ready{&queries_for(table->form, c.kind, c.table), &prepared_for(c.id, c.table, *table)};
    if (search_facts(c.id).kind == SearchKind::kAnchor && state.thread_index() == 0)
        ready.wrong = count_wrong(*ready.search, c.table, c.kind);
    return ready;
}

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
    if (reads_every_location(c.id) && refuse_unreachable(state, seconds, reads, table_bytes)) return;
    const double queries_run = static_cast<double>(state.iterations()) * count;
    state.counters["per_query"] = benchmark::Counter(seconds / queries_run, benchmark::Counter::kAvgThreads);
    const SearchKind kind = search_facts(c.id).kind;
    if (state.thread_index() != 0 || (kind != SearchKind::kIndex && kind != SearchKind::kAnchor)) return;
    state.counters["build"] = held_for(c.table).least_build;
    state.counters["bytes_per_location"] = static_cast<double>(ready.search->bytes()) / c.table.count;
    if (kind == SearchKind::kAnchor) state.counters["wrong"] = ready.wrong;
}

std::string case_name(const QueryCase& c) {
    std::string name = std::string("BM_Query/") + search_name(c.id);
    if (c.table.kind != TableKind::kUniform) name += "/table:" + table_name(c.table);
    return name + "/locations:" + std::to_string(c.table.count) + "/queries:" + query_kind_name(c.kind);
}

// Every case registered, for the check to find which will run.
std::vector<QueryCase>& registered_cases() {
    static std::vector<QueryCase> cases;
    return cases;
}

void register_case(const QueryCase& c, bool two_threads) {
    registered_cases().push_back(c);
    const std::string name = case_name(c);
    with_minimum(benchmark::RegisterBenchmark(name.c_str(), BM_Query, c));
    if (two_threads) with_minimum(benchmark::RegisterBenchmark(name.c_str(), BM_Query, c)->Threads(2));
}

// The questions beside the one nearest (BM_Ask): the k nearest, everything
// within a distance, and a batch of the queries at once, along the path (each
// search started from the previous answer) or split over threads.
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
const bool registered = register_query_benchmarks() && register_ask_benchmarks();

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
