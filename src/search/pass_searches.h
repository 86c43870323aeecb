// The program's pass searches (brute, pruned, indexed) as types: the
// catalogue's entries for the kind (pass_search_ids) made into the types
// their headers tie to them, so that the program and the Python module build
// and ask them directly, with the method's arithmetic inlined.
#pragma once

#include <concepts>
#include <cstddef>
#include <iterator>
#include <utility>

#include "catalogue/pass_search.h"
#include "method/brute_force.h"
#include "search/cdc_index.h"
#include "search/cdc_pruned_search.h"
#include "search/latlong_index.h"
#include "search/latlong_pruned_search.h"

namespace spherebench {

template <PassSearch kind>
using CdcPassSearch = typename SearchType<pass_search_ids(kind).cdc>::type;
template <PassSearch kind>
using LatLongPassSearch = typename SearchType<pass_search_ids(kind).latlong>::type;

// Every kind's searches are asked alike: a direction-cosine point arranged
// for the test, a lat/long point as its fixed-point words.
template <PassSearch kind>
constexpr bool asked_alike() {
    using CdcQuery = typename CdcPassSearch<kind>::Query;
    using LatLongQuery = typename LatLongPassSearch<kind>::Query;
    return std::same_as<CdcQuery, CdcPoint> && std::same_as<LatLongQuery, FixedLatLong>;
}
static_assert([]<size_t... at>(std::index_sequence<at...>) {
    return (asked_alike<kPassSearches[at]>() && ...);
}(std::make_index_sequence<std::size(kPassSearches)>()));

// call.template operator()<kind>() for the kind given at run time; the
// result of each kind's call has one type.
template <size_t i = 0, typename Call>
auto with_pass_search(PassSearch kind, Call&& call) {
    if constexpr (i + 1 == std::size(kPassSearches)) {
        return call.template operator()<kPassSearches[i]>();
    } else {
        if (kind == kPassSearches[i]) return call.template operator()<kPassSearches[i]>();
        return with_pass_search<i + 1>(kind, call);
    }
}

}  // namespace spherebench
