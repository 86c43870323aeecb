// The tables every search of the catalogue is asked of, and its queries: the
// random tables of each kind of random/table_kinds.h, and queries along a
// great circle, as a flight line gives them, drawn uniformly on the sphere,
// or drawn from the spread of the table searched; each made in a search's
// stored form the way the tables are.
#pragma once

#include <cstdint>

#include "base/enum_names.h"
#include "catalogue/search_catalogue.h"
#include "forms/form_table.h"
#include "input/tables.h"
#include "random/random_tables.h"
#include "random/table_kinds.h"

namespace spherebench {

enum class QueryKind { kPath, kUniform, kNear };
// The queries of the uniform tables; a table of another kind is asked near
// and uniform ones.
inline constexpr QueryKind kQueryKinds[] = {QueryKind::kPath, QueryKind::kUniform};

inline constexpr const char* kQueryKindNames[] = {"path", "uniform", "near"};
constexpr const char* query_kind_name(QueryKind kind) { return name_in(kQueryKindNames, kind); }

// Queries per table: what a flight line holds.
inline constexpr int kQueryCount = kFlightLineCapacity;

// `count` locations of the kind drawn from `seed` (table_kinds.h) in the
// form; the uniform kind's are make_form_table's.
FormTable make_kind_table(Form form, TableKind kind, int count, uint64_t seed);

// `count` queries in the form: along the great circle from Bombay to Los
// Angeles (the bundled flight line's ends), both ends included (count at
// least 2); the random directions of the suite's flight-line seed; or near
// the table of that kind drawn from `table_seed` (near_query_directions).
FormTable make_query_table(Form form, QueryKind kind, int count, TableKind table = TableKind::kUniform,
                           uint64_t table_seed = kAirportSeed);

}  // namespace spherebench
