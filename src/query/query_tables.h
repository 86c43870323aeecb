// The queries every search of the catalogue is asked: points along a great
// circle, as a flight line gives them, or points drawn uniformly on the
// sphere; each made in a search's stored form the way the tables are.
#pragma once

#include "catalogue/search_catalogue.h"
#include "forms/form_table.h"

namespace spherebench {

enum class QueryKind { kPath, kUniform };
inline constexpr QueryKind kQueryKinds[] = {QueryKind::kPath, QueryKind::kUniform};

constexpr const char* query_kind_name(QueryKind kind) { return kind == QueryKind::kPath ? "path" : "uniform"; }

// Queries per table: what a flight line holds.
inline constexpr int kQueryCount = 1000;

// `count` queries in the form: along the great circle from Bombay to Los
// Angeles (the bundled flight line's ends), both ends included (count at
// least 2), or the random directions of the suite's flight-line seed.
FormTable make_query_table(Form form, QueryKind kind, int count);

}  // namespace spherebench
