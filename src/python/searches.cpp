#include "python/searches.h"

#include <iterator>
#include <utility>

#include "method/cdc_method.h"
#include "method/nearest.h"
#if SPHEREBENCH_PYTHON_HAS_SEARCH_LAYER
#include "search/cdc_pruned_search.h"
#endif

namespace spherebench {

namespace {

struct NamedSearch {
    PythonSearch search;
    const char* name;
};

// The catalogue's CdcBrute, CdcPruned and CdcIndex (bench/search_catalogue.h),
// from the slowest to the fastest on repeated queries: Index takes the last.
constexpr NamedSearch kSearches[] = {
    {PythonSearch::kBrute, "brute"},
#if SPHEREBENCH_PYTHON_HAS_SEARCH_LAYER
    {PythonSearch::kPruned, "pruned"},
    {PythonSearch::kIndexed, "indexed"},
#endif
};

Nearest nearest_of(const SearchTable& table, const CdcPoint& point) {
    const int count = static_cast<int>(table.pairs.size());
#if SPHEREBENCH_PYTHON_HAS_SEARCH_LAYER
    if (table.search == PythonSearch::kPruned) return cdc_pruned_find_nearest(table.pairs.data(), count, point);
    if (table.search == PythonSearch::kIndexed) return cdc_index_find_nearest(*table.index, point);
#endif
    return find_nearest<CdcMethod>(table.pairs.data(), count, point);
}

}  // namespace

std::optional<PythonSearch> python_search(std::string_view name) {
    for (const NamedSearch& named : kSearches)
        if (name == named.name) return named.search;
    return std::nullopt;
}

const char* python_search_name(PythonSearch search) {
    for (const NamedSearch& named : kSearches)
        if (named.search == search) return named.name;
    return "brute";
}

std::vector<std::string> python_search_names() {
    std::vector<std::string> names;
    for (const NamedSearch& named : kSearches) names.emplace_back(named.name);
    return names;
}

PythonSearch python_repeated_search() { return kSearches[std::size(kSearches) - 1].search; }

SearchTable make_search_table(std::vector<CdcPair> pairs, PythonSearch search) {
    SearchTable table;
    table.pairs = std::move(pairs);
    table.search = search;
#if SPHEREBENCH_PYTHON_HAS_SEARCH_LAYER
    if (search == PythonSearch::kIndexed)
        table.index = build_cdc_index(table.pairs.data(), static_cast<int>(table.pairs.size()));
#endif
    return table;
}

void find_all_nearest(const SearchTable& table, const CdcPair* queries, size_t count, int64_t* indices,
                      double* chords) {
    for (size_t i = 0; i < count; ++i) {
        const Nearest nearest = nearest_of(table, arrange_point(decode_cdc(queries[i])));
        indices[i] = nearest.airport;
        chords[i] = nearest.score;
    }
}

}  // namespace spherebench
