// The searches the Python module offers over a table of stored pairs: the
// brute force of the program's direction-cosine method always, the pruned
// scan and the index where the search layer is built. All exact: the same
// winner and squared chord as the brute force, the lowest index on ties.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geo/coords.h"
#if SPHEREBENCH_PYTHON_HAS_SEARCH_LAYER
#include "search/cdc_index.h"
#endif

namespace spherebench {

enum class PythonSearch { kBrute, kPruned, kIndexed };

// The search of that name ("brute", "pruned" or "indexed") if this build
// has it.
std::optional<PythonSearch> python_search(std::string_view name);
const char* python_search_name(PythonSearch search);
// The names this build has, in that order.
std::vector<std::string> python_search_names();
// The best search for repeated queries that this build has.
PythonSearch python_repeated_search();

// A table of pairs made ready for one search: with the index built once
// over it for the indexed search. The pairs are not empty.
struct SearchTable {
    std::vector<CdcPair> pairs;
    PythonSearch search = PythonSearch::kBrute;
#if SPHEREBENCH_PYTHON_HAS_SEARCH_LAYER
    std::optional<CdcIndex> index;
#endif
};

SearchTable make_search_table(std::vector<CdcPair> pairs, PythonSearch search);

// For each query pair, decoded as the program decodes a point, the index of
// the nearest pair of the table and its squared chord to the query.
void find_all_nearest(const SearchTable& table, const CdcPair* queries, size_t count, int64_t* indices, double* chords);

}  // namespace spherebench
