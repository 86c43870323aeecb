// Every search of the catalogue asked one query at a time, side by side: the
// brute forces, the scans that skip what cannot win, the indexes and the
// other libraries' indexes (the anchors), over random tables of 2^10 to 2^20
// locations (and 14000, the program's capacity), up to the count that
// SPHEREBENCH_SCALE_MAX names above that (2^24 in docs/PERFORMANCE.md's
// scale runs). The queries are points along a great circle (path) or drawn
// uniformly on the sphere (uniform).
//
// BM_Query/<search>/locations:n/queries:<path|uniform>            one thread
// BM_Query/<search>/locations:n/queries:<path|uniform>/threads:2  the queries split,
//     at 14000 and from 2^20 on (the sizes between cost the run more time
//     than they tell)
//
// Counters: per_query, seconds per query: each thread's CPU time over the
// queries of all threads, averaged over the threads (on a quiet machine, the
// wall-clock time of the queries, the two threads at once where there are
// two; on a shared one, without what other work took); for an index or an anchor, build (seconds, the
// least of up to three builds) and bytes_per_location (all the structure
// holds over the table's count); for an anchor, wrong: of the 1000 queries,
// how many it answers with another location than CdcBrute over the same pairs.
// Before anything is timed, every exact search is checked against its brute
// force at every size that the filter lets run: the same winners and scores,
// bit for bit.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "base/json_text.h"
#include "query/prepared_search.h"
#include "scale/scale_search.h"
#include "suite/suite.h"

using namespace spherebench;

namespace {

constexpr int kSizes[] = {1 << 10, 1 << 12, 14000, 1 << 14, 1 << 16, 1 << 18, 1 << 20, 1 << 22, 1 << 24};
constexpr int kDefaultLargest = 1 << 20;
// A search that reads every location answers enough of the queries, spread
// along them, for about this many tests an iteration, and no fewer than the
// least; every other search answers all of them.
constexpr long long kTestsPerIteration = 1 << 22;
constexpr int kLeastQueries = 8;

int read_largest_size() {
    const char* text = std::getenv("SPHEREBENCH_SCALE_MAX");
    if (text == nullptr || *text == '\0') return kDefaultLargest;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value <= 0) return kDefaultLargest;
    return static_cast<int>(std::clamp<long>(value, kDefaultLargest, 1 << 30));
}

int largest_size() {
    static const int largest = read_largest_size();
    return largest;
}

// FAISS's flat index is an exhaustive search too.
bool reads_every_location(SearchId id) {
    const SearchKind kind = search_facts(id).kind;
    return kind == SearchKind::kBrute || kind == SearchKind::kPruned || id == SearchId::kFaissFlat;
}

int queries_per_iteration(SearchId id, int size) {
    if (!reads_every_location(id)) return kQueryCount;
    return static_cast<int>(std::clamp<long long>(kTestsPerIteration / size, kLeastQueries, kQueryCount));
}

// Setup runs on every thread of a benchmark at once: the shared tables are
// made and handed out under this lock.
std::mutex setup_lock;

// The tables of one size, every form, freed when another size is asked for.
const FormTable* table_for(Form form, int count, std::string& refusal) {
    static int held_count = 0;
    static std::unique_ptr<FormTable> held[std::size(kForms)];
    if (held_count != count) {
        for (auto& t : held) t.reset();
        held_count = count;
    }
    std::unique_ptr<FormTable>& t = held[static_cast<int>(form)];
    if (t) return t.get();
    refusal = table_refusal(form, bytes_per_location(form), count, machine_mem_available());
    if (!refusal.empty()) return nullptr;
    t = std::make_unique<FormTable>(make_form_table(form, count, kAirportSeed));
    return t.get();
}

const FormTable& queries_for(Form form, QueryKind kind) {
    static std::unique_ptr<FormTable> made[std::size(kForms)][std::size(kQueryKinds)];
    std::unique_ptr<FormTable>& q = made[static_cast<int>(form)][static_cast<int>(kind)];
    if (!q) q = std::make_unique<FormTable>(make_query_table(form, kind, kQueryCount));
    return *q;
}

// The search over the table, prepared up to three times (while the builds
// take under a second in all) for the least build time; the last one asked
// for is kept.
const PreparedSearch& prepared_for(SearchId id, const FormTable& table) {
    static std::unique_ptr<PreparedSearch> held;
    if (held && held->id == id && held->table == &table) return *held;
    held.reset();
    double least = 0, total = 0;
    for (int build = 0; build < 3 && total < 1.0; ++build) {
        held.reset();
        held = prepare_search(id, table);
        least = build == 0 ? held->build_seconds : std::min(least, held->build_seconds);
        total += held->build_seconds;
    }
    held->build_seconds = least;
    return *held;
}

// CdcBrute's answers to all the queries of the kind over the pairs (its
// vector search, which finds the same, for speed), for the anchors' count.
const std::vector<Nearest>& exact_answers(const FormTable& pairs, QueryKind kind) {
    static std::map<std::pair<const FormTable*, int>, std::vector<Nearest>> made;
    static int made_for = 0;
    if (made_for != pairs.count) made.clear(), made_for = pairs.count;
    std::vector<Nearest>& answers = made[{&pairs, static_cast<int>(kind)}];
    if (answers.empty()) {
        const auto exact = prepare_search(SearchId::kCdcBruteVector, pairs);
        const FormTable& queries = queries_for(Form::kCdcPair, kind);
        for (int q = 0; q < kQueryCount; ++q) answers.push_back(answer_query(*exact, queries, q));
    }
    return answers;
}

// Counted once per anchor, size and kind: a benchmark's function runs several
// times (to choose its iterations, and once per repetition).
int count_wrong(const PreparedSearch& anchor, QueryKind kind) {
    static std::map<std::tuple<SearchId, int, QueryKind>, int> counted;
    const auto key = std::make_tuple(anchor.id, anchor.table->count, kind);
    if (const auto found = counted.find(key); found != counted.end()) return found->second;
    const std::vector<Nearest>& exact = exact_answers(*anchor.table, kind);
    const FormTable& queries = queries_for(Form::kCdcPair, kind);
    int wrong = 0;
    for (int q = 0; q < kQueryCount; ++q) wrong += answer_query(anchor, queries, q).airport != exact[q].airport;
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
    int size;
    QueryKind kind;
};

void BM_Query(benchmark::State& state, QueryCase c) {
    const FormTable* table = nullptr;
    const PreparedSearch* prepared = nullptr;
    int wrong = 0;
    {
        const std::lock_guard<std::mutex> lock(setup_lock);
        std::string refusal;
        table = table_for(table_form(c.id), c.size, refusal);
        if (table == nullptr) {
            state.SkipWithError(refusal.c_str());
            return;
        }
        prepared = &prepared_for(c.id, *table);
        if (search_facts(c.id).kind == SearchKind::kAnchor && state.thread_index() == 0)
            wrong = count_wrong(*prepared, c.kind);
    }
    const FormTable& queries = queries_for(table->form, c.kind);
    const int count = queries_per_iteration(c.id, c.size), stride = kQueryCount / count;
    // This thread's share of the queries.
    const int first = count * state.thread_index() / state.threads();
    const int last = count * (state.thread_index() + 1) / state.threads();
    std::vector<Nearest> answers(static_cast<size_t>(count));
    const double start = thread_seconds();
    for (auto _ : state) {
        for (int i = first; i < last; ++i) answers[i] = answer_query(*prepared, queries, i * stride);
        benchmark::DoNotOptimize(answers.data());
        benchmark::ClobberMemory();
    }
    const double seconds = thread_seconds() - start;
    const double queries_run = static_cast<double>(state.iterations()) * count;
    state.counters["per_query"] = benchmark::Counter(seconds / queries_run, benchmark::Counter::kAvgThreads);
    const SearchKind kind = search_facts(c.id).kind;
    if (state.thread_index() != 0 || (kind != SearchKind::kIndex && kind != SearchKind::kAnchor)) return;
    state.counters["build"] = prepared->build_seconds;
    state.counters["bytes_per_location"] = static_cast<double>(prepared->bytes) / c.size;
    if (kind == SearchKind::kAnchor) state.counters["wrong"] = wrong;
}

std::string case_name(const QueryCase& c) {
    return std::string("BM_Query/") + search_name(c.id) + "/locations:" + std::to_string(c.size) +
           "/queries:" + query_kind_name(c.kind);
}

// Every case registered, for the check to find which sizes will run.
std::vector<std::string>& registered_names() {
    static std::vector<std::string> names;
    return names;
}

// Size by size, each search's cases together, so that a table and an index
// are made once for all of them.
bool register_query_benchmarks() {
    benchmark::AddCustomContext("query", json_object({{"queries", std::to_string(kQueryCount)}}));
    for (int size : kSizes) {
        if (size > largest_size()) break;
        for (const SearchFacts& facts : kSearchCatalogue) {
            if (!search_built(facts.id)) continue;
            for (QueryKind kind : kQueryKinds) {
                const QueryCase c{facts.id, size, kind};
                const std::string name = case_name(c);
                registered_names().push_back(name);
                with_minimum(benchmark::RegisterBenchmark(name.c_str(), BM_Query, c));
                if (size == 14000 || size >= kDefaultLargest)
                    with_minimum(benchmark::RegisterBenchmark(name.c_str(), BM_Query, c)->Threads(2));
            }
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

bool same(Nearest a, Nearest b) {
    return a.airport == b.airport && std::memcmp(&a.score, &b.score, sizeof(double)) == 0;
}

// Every exact search against its brute force at one size, on queries of both
// kinds (as many as one timed iteration of the brute force answers).
bool exact_searches_agree(int size, int& checked) {
    for (const SearchFacts& facts : kSearchCatalogue) {
        const SearchId reference = reference_search(facts.id);
        if (!facts.exact || reference == facts.id || !search_built(facts.id)) continue;
        const FormTable table = make_form_table(table_form(facts.id), size, kAirportSeed);
        const auto search = prepare_search(facts.id, table), brute = prepare_search(reference, table);
        const int count = queries_per_iteration(reference, size), stride = kQueryCount / count;
        for (QueryKind kind : kQueryKinds) {
            const FormTable& queries = queries_for(table.form, kind);
            for (int i = 0; i < count; ++i) {
                const Nearest found = answer_query(*search, queries, i * stride);
                const Nearest expected = answer_query(*brute, queries, i * stride);
                if (!same(found, expected)) {
                    std::fprintf(stderr, "%s at %d locations, %s query %d: %d (%.17g), %s %d (%.17g)\n", facts.name,
                                 size, query_kind_name(kind), i * stride, found.airport, found.score,
                                 search_name(reference), expected.airport, expected.score);
                    return false;
                }
            }
        }
        ++checked;
    }
    return true;
}

bool query_searches_agree() {
    int checked = 0, sizes = 0;
    for (int size : kSizes) {
        if (size > largest_size()) break;
        bool runs = false;
        for (const std::string& name : registered_names())
            runs = runs ||
                   (name.find("/locations:" + std::to_string(size) + "/") != std::string::npos && filter_selects(name));
        if (!runs) continue;
        if (!exact_searches_agree(size, checked)) return false;
        ++sizes;
    }
    if (sizes == 0) return true;
    const std::string figure = std::to_string(checked) + " searches and sizes (" + std::to_string(sizes) +
                               " sizes): same winners and scores as their brute force";
    report_check_figure("query searches", "query_searches_agree", figure);
    return true;
}
const bool query_checked = register_check(query_searches_agree);

}  // namespace
