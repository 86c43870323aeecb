#include "suite/query_cases.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "scale/scale_search.h"
#include "scale/scale_tables.h"
#include "suite/suite.h"

namespace spherebench {

namespace {

constexpr long long kTestsPerIteration = 1 << 22;
constexpr int kLeastQueries = 8;

FormTable make_table(const TableSpec& spec, Form form) {
    if (!spec.kind) return form_table_of(form, bundled_airport_directions());
    return make_kind_table(form, *spec.kind, spec.count, spec.seed);
}

// Setup runs on every thread of a benchmark at once: the shared tables are
// made and handed out under this lock.
std::mutex setup_lock;

// The tables of one spec in each form asked for, the search prepared last
// over one of them and CdcBrute's answers over its pairs.
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

}  // namespace

bool follows_the_spread(SearchId id) {
    const SearchFacts& facts = search_facts(id);
    if (facts.kind == SearchKind::kPruned) return facts.vector;
    return !facts.exhaustive;
}

int queries_per_iteration(SearchId id, int size) {
    if (!search_facts(id).exhaustive) return kQueryCount;
    return static_cast<int>(std::clamp<long long>(kTestsPerIteration / size, kLeastQueries, kQueryCount));
}

std::string table_name(const TableSpec& spec) { return spec.kind ? table_kind_name(*spec.kind) : "airports"; }

const FormTable* table_for(const TableSpec& spec, Form form, std::string& refusal) {
    std::unique_ptr<FormTable>& t = held_for(spec).tables[static_cast<int>(form)];
    if (t) return t.get();
    refusal = table_refusal(form, bytes_per_location(form), spec.count, machine_mem_available());
    if (!refusal.empty()) return nullptr;
    t = std::make_unique<FormTable>(make_table(spec, form));
    return t.get();
}

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

double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double least_build(const TableSpec& spec) { return held_for(spec).least_build; }

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

std::string case_name(const QueryCase& c) {
    std::string name = std::string("BM_Query/") + search_name(c.id);
    if (c.table.kind != TableKind::kUniform) name += "/table:" + table_name(c.table);
    return name + "/locations:" + std::to_string(c.table.count) + "/queries:" + query_kind_name(c.kind);
}

std::vector<QueryCase>& registered_cases() {
    static std::vector<QueryCase> cases;
    return cases;
}

}  // namespace spherebench
