// The ranking of reference_ranking.h for a search of the catalogue: every
// location of the table scored by its reference, a brute force, whose
// find(query, results) offers them all with their scores; and a search's
// answers held to it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "forms/form_table.h"
#include "forms/representations.h"
#include "method/brute_force.h"
#include "query/search.h"
#include "reference_ranking.h"
#include "vector/cdc_block_search.h"
#include "vector/component_vector_search.h"
#include "vector/latlong_vector_search.h"

namespace spherebench::reference {

template <SearchId id>
void score_by(const FormTable& table, const FormTable& queries, int q, EveryScore& every) {
    if constexpr (search_facts(id).kind == SearchKind::kBrute && SearchTypeKnown<id>) {
        using T = typename SearchType<id>::type;
        const T brute(records_of(view_of(table), std::type_identity<typename T::Records>{}), table.count);
        brute.find(query_of(queries, q, std::type_identity<typename T::Query>{}), every);
    }
}

template <size_t... entry>
void score_by_entry(SearchId id, const FormTable& table, const FormTable& queries, int q, EveryScore& every,
                    std::index_sequence<entry...>) {
    ((id == kSearchCatalogue[entry].id ? score_by<kSearchCatalogue[entry].id>(table, queries, q, every) : void()), ...);
}

// Every location of the table (in the brute force's form) ranked by the
// score brute force `brute` gives it for query q; none where `brute` is no
// brute force.
inline std::vector<Nearest> ranked_by(SearchId brute, const FormTable& table, const FormTable& queries, int q) {
    EveryScore every;
    score_by_entry(brute, table, queries, q, every, std::make_index_sequence<std::size(kSearchCatalogue)>{});
    return ranking(std::move(every.scored), score_order(search_facts(brute).form));
}

// The first question on which the search differs at query q (of queries in
// its form), as text ("" where none): its nearest from its reference's; its
// k nearest for each of ks, and those within each of limits, from `ranked`
// (ranked_by its reference).
inline std::string first_difference(const Search& search, const Search& reference, const std::vector<Nearest>& ranked,
                                    const FormTable& queries, int q, const std::vector<int>& ks,
                                    const std::vector<double>& limits) {
    const Nearest found = search.nearest(queries, q), expected = reference.nearest(queries, q);
    if (!same_answer(found, expected)) return "the nearest: " + difference({found}, {expected});
    for (const int k : ks) {
        const std::string differs = difference(search.nearest(queries, q, k), first_k(ranked, k));
        if (!differs.empty()) return "the " + std::to_string(k) + " nearest: " + differs;
    }
    const ScoreOrder order = score_order(search_facts(search.id()).form);
    for (const double limit : limits) {
        const std::string differs = difference(search.within(queries, q, limit), at_or_within(ranked, limit, order));
        if (differs.empty()) continue;
        char text[48];
        std::snprintf(text, sizeof text, "those within %a: ", limit);
        return text + differs;
    }
    return "";
}

}  // namespace spherebench::reference
