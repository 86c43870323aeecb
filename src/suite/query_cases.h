// The query benchmarks' cases (BM_Query and BM_Ask) and what each is timed
// on: the table, by value (a kind, a count and a seed, or the bundled
// airports), its queries, and the search built over it. A table, its search
// and its exact answers are held for one table at a time and freed together
// when another is asked for, so that nothing made for one table is used with
// another; the benchmarks of one table are registered together so that each
// is made once.
#pragma once

#include <benchmark/benchmark.h>

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "query/query_tables.h"
#include "query/search.h"
#include "random/random_tables.h"

namespace spherebench {

// A benchmark's table: `count` locations of a kind drawn from `seed`, or,
// with no kind, the bundled airports.
struct TableSpec {
    std::optional<TableKind> kind;
    int count = 0;
    uint64_t seed = kAirportSeed;
    auto operator<=>(const TableSpec&) const = default;
};

std::string table_name(const TableSpec& spec);

struct QueryCase {
    SearchId id;
    TableSpec table;
    QueryKind kind;
};

// BM_Query/<search>[/table:<kind>]/locations:n/queries:<kind>
std::string case_name(const QueryCase& c);

// Every case registered, for the check to find which will run.
std::vector<QueryCase>& registered_cases();

// The searches timed on the tables of a kind and the airports: those whose
// cost follows the spread of the table (every search not exhaustive) and the
// vector pruned scans.
bool follows_the_spread(SearchId id);

// How many of the queries one iteration answers: a search that reads every
// location answers enough, spread along them, for about 2^22 tests; every
// other search answers all of them.
int queries_per_iteration(SearchId id, int size);

// The spec's table in the form, made on first asking; nullptr with the
// reason where the machine cannot hold it.
const FormTable* table_for(const TableSpec& spec, Form form, std::string& refusal);

// The queries of a kind in the form, near the spec's table for near ones.
const FormTable& queries_for(Form form, QueryKind kind, const TableSpec& spec);

// What the benchmark of a case needs, made under a lock (setup runs on every
// thread of a benchmark at once); the search null, and the benchmark
// skipped with the reason, where its table cannot be held.
struct Ready {
    const FormTable* queries = nullptr;
    const Search* search = nullptr;
    int wrong = 0;  // for an anchor: the queries it answers at another location than the exact one
};

Ready ready_for(benchmark::State& state, const QueryCase& c);

// The least of the held search's builds (seconds).
double least_build(const TableSpec& spec);

// The calling thread's CPU time: on a machine shared with other work, what
// the thread itself spent, without the time others took from it.
double thread_seconds();

}  // namespace spherebench
