#include "python/searches.h"

#include <utility>

namespace spherebench {

namespace {

using BuiltSearch = std::variant<CdcPassSearch<PassSearch::kBrute>, CdcPassSearch<PassSearch::kPruned>,
                                 CdcPassSearch<PassSearch::kIndexed>>;

BuiltSearch build(const std::vector<CdcPair>& pairs, PassSearch search) {
    return with_pass_search(search, [&]<PassSearch kind>() {
        return BuiltSearch(CdcPassSearch<kind>(pairs.data(), static_cast<int>(pairs.size())));
    });
}

}  // namespace

std::vector<std::string> python_search_names() {
    std::vector<std::string> names;
    for (const PassSearch search : kPassSearches) names.emplace_back(pass_search_name(search));
    return names;
}

SearchTable::SearchTable(std::vector<CdcPair> pairs, PassSearch search)
    : pairs_(std::move(pairs)), search_(search), built_(build(pairs_, search)) {}

void SearchTable::find_all_nearest(const CdcPair* queries, size_t count, int64_t* indices, double* chords) const {
    std::visit(
        [&](const auto& search) {
            for (size_t i = 0; i < count; ++i) {
                const Nearest nearest = search.nearest(arrange_point(decode_cdc(queries[i])));
                indices[i] = nearest.airport;
                chords[i] = nearest.score;
            }
        },
        built_);
}

}  // namespace spherebench
