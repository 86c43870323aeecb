#include "query/search.h"

#include <concepts>
#include <ctime>
#include <type_traits>
#include <utility>

// Every search's header: each ties its type to its catalogue entry.
#include "anchors/anchor.h"
#include "forms/representations.h"
#include "method/brute_force.h"
#include "method/result_sets.h"
#include "search/cdc_index.h"
#include "search/cdc_pruned_search.h"
#include "search/latlong_index.h"
#include "search/latlong_pruned_search.h"
#include "search/point_index.h"
#include "vector/cdc_block_search.h"
#include "vector/cdc_pruned_vector_search.h"
#include "vector/component_vector_search.h"
#include "vector/latlong_pruned_vector_search.h"
#include "vector/latlong_vector_search.h"

namespace spherebench {

namespace {

// Processor time, not wall-clock: on a machine shared with other work, what
// a build itself took.
double seconds_since(std::clock_t start) { return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

// Whether a search type offers its locations to the result sets (find), or
// answers the k nearest and those within a limit itself (an anchor, by its
// library's own calls).
template <typename T>
constexpr bool kFinds = requires(const T& t, NearestK& k, WithinLimit& within) {
    t.find(std::declval<typename T::Query>(), k);
    t.find(std::declval<typename T::Query>(), within);
};
template <typename T>
constexpr bool kAsksLibrary = requires(const T& t, const typename T::Query& q) {
    { t.nearest(q, 1) } -> std::same_as<std::vector<Nearest>>;
    { t.within(q, 0.0) } -> std::same_as<std::vector<Nearest>>;
};

// A search of type T behind the common interface.
template <typename T>
class SearchOf final : public Search {
  public:
    SearchOf(SearchId id, const FormView& table, std::clock_t start)
        : Search(id, table.count), search_(records_of(table, std::type_identity<typename T::Records>{}), table.count) {
        set_build_seconds(seconds_since(start));
    }

    Nearest nearest(const FormTable& queries, int q) const override { return search_.nearest(query(queries, q)); }
    std::vector<Nearest> nearest(const FormTable& queries, int q, int k) const override {
        if constexpr (kFinds<T>)
            return nearest_k(search_, query(queries, q), k);
        else
            return search_.nearest(query(queries, q), k);
    }
    std::vector<Nearest> within(const FormTable& queries, int q, double limit) const override {
        if constexpr (kFinds<T>)
            return nearest_within(search_, query(queries, q), limit);
        else
            return search_.within(query(queries, q), limit);
    }
    void nearest_all(const FormTable& queries, int first, int count, Nearest* answers, Batch batch) const override {
        const auto query_of = [&](size_t i) { return query(queries, first + static_cast<int>(i)); };
        spherebench::nearest_all(search_, static_cast<size_t>(count), query_of, answers, batch);
    }
    size_t bytes() const override { return search_.bytes(); }

  private:
    static typename T::Query query(const FormTable& queries, int q) {
        return query_of(queries, q, std::type_identity<typename T::Query>{});
    }

    T search_;
};

template <SearchId id>
std::unique_ptr<Search> make_if_built(const FormView& table) {
    if constexpr (SearchTypeKnown<id>) {
        using T = typename SearchType<id>::type;
        // Every search answers all three questions.
        static_assert(kFinds<T> || kAsksLibrary<T>,
                      "a search answers the k nearest and those within a limit: find, or nearest(q, k) and within");
        if constexpr (requires { T::kOrder; })
            static_assert(T::kOrder == score_order(search_facts(id).form), "a search ranks scores as its form does");
        const std::clock_t start = std::clock();
        return std::make_unique<SearchOf<T>>(id, table, start);
    } else {
        return nullptr;
    }
}

// The catalogue's entries in turn, each making its own type when asked.
template <size_t... entry>
std::unique_ptr<Search> make_by_entry(SearchId id, const FormView& table, std::index_sequence<entry...>) {
    std::unique_ptr<Search> made;
    ((id == kSearchCatalogue[entry].id ? (made = make_if_built<kSearchCatalogue[entry].id>(table), 0) : 0), ...);
    return made;
}

template <size_t... entry>
bool built_by_entry(SearchId id, std::index_sequence<entry...>) {
    return ((id == kSearchCatalogue[entry].id && SearchTypeKnown<kSearchCatalogue[entry].id>) || ...);
}

constexpr auto kEntries = std::make_index_sequence<std::size(kSearchCatalogue)>{};

}  // namespace

bool search_built(SearchId id) { return built_by_entry(id, kEntries); }

std::unique_ptr<Search> make_search(SearchId id, const FormView& table) { return make_by_entry(id, table, kEntries); }

}  // namespace spherebench
