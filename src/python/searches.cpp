#include "python/searches.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "method/result_sets.h"
#include "search/batch.h"

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

// Each query decoded as the program decodes a point.
template <typename Question>
void SearchTable::ask(const CdcPair* queries, int threads, const Question& question) const {
    const auto query_of = [queries](size_t i) { return arrange_point(decode_cdc(queries[i])); };
    std::visit([&](const auto& search) { question(search, query_of, Batch{threads}); }, built_);
}

std::vector<std::string> python_search_names() {
    std::vector<std::string> names;
    for (const PassSearch search : kPassSearches) names.emplace_back(pass_search_name(search));
    return names;
}

SearchTable::SearchTable(std::vector<CdcPair> pairs, PassSearch search)
    : pairs_(std::move(pairs)), size_(pairs_.size()), search_(search), built_(build(pairs_, search)) {
    if (search == PassSearch::kIndexed) std::vector<CdcPair>().swap(pairs_);
}

SearchTable::SearchTable(CdcIndex index)
    : size_(static_cast<size_t>(index.size())), search_(PassSearch::kIndexed), built_(std::move(index)) {}

std::optional<std::string> SearchTable::save(const std::string& path) const {
    const auto* index = std::get_if<CdcPassSearch<PassSearch::kIndexed>>(&built_);
    if (!index) return "can't write " + path + ": only the indexed search saves its index";
    return index->save(path);
}

std::string SearchTable::saved_bytes() const {
    return std::get<CdcPassSearch<PassSearch::kIndexed>>(built_).saved_bytes();
}

std::vector<CdcPair> SearchTable::pairs() const {
    const auto* index = std::get_if<CdcPassSearch<PassSearch::kIndexed>>(&built_);
    if (!index) return pairs_;
    std::vector<CdcPair> pairs(size_);
    index->copy_table(pairs.data());
    return pairs;
}

size_t SearchTable::bytes() const {
    // A search that reads the pairs as they are counts them in its own.
    return sizeof(SearchTable) + std::visit([](const auto& search) { return search.bytes(); }, built_);
}

void SearchTable::find_all_nearest(const CdcPair* queries, size_t count, int threads, int64_t* indices,
                                   double* chords) const {
    std::vector<Nearest> found(count);
    ask(queries, threads, [&](const auto& search, auto query_of, Batch batch) {
        nearest_all(search, count, query_of, found.data(), batch);
    });
    for (size_t i = 0; i < count; ++i) indices[i] = found[i].index, chords[i] = found[i].score;
}

void SearchTable::find_all_k(const CdcPair* queries, size_t count, int k, int threads, int64_t* indices,
                             double* chords) const {
    const int held = static_cast<int>(std::min(static_cast<size_t>(k), size_));
    std::vector<std::vector<Nearest>> found(count);
    ask(queries, threads, [&](const auto& search, auto query_of, Batch batch) {
        nearest_k_all(search, count, query_of, held, found.data(), batch);
    });
    for (size_t i = 0; i < count; ++i) {
        int64_t* row_indices = indices + i * static_cast<size_t>(k);
        double* row_chords = chords + i * static_cast<size_t>(k);
        for (int j = 0; j < k; ++j) {
            const bool filled = j < static_cast<int>(found[i].size());
            row_indices[j] = filled ? found[i][j].index : static_cast<int64_t>(size_);
            row_chords[j] = filled ? found[i][j].score : std::numeric_limits<double>::infinity();
        }
    }
}

void SearchTable::find_all_within(const CdcPair* queries, size_t count, const double* limits, int threads,
                                  std::vector<Nearest>* found) const {
    const auto limit_of = [limits](size_t i) { return limits[i]; };
    ask(queries, threads, [&](const auto& search, auto query_of, Batch batch) {
        within_all(search, count, query_of, limit_of, found, batch);
    });
}

}  // namespace spherebench
