// The brute force of a method: every location tested by the method's score,
// the best kept, the lowest index winning ties. It holds nothing of its own:
// the table it reads must outlive it.
#pragma once

#include <concepts>
#include <cstddef>

#include "catalogue/search_catalogue.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "method/result_sets.h"

namespace spherebench {

// Asked with the method's point as prepared (QueryForm = Method::Point), or
// with its stored form (Method::Stored), prepared here once per query: the
// form the other searches of its method take.
template <ProximityMethod Method, typename QueryForm = typename Method::Point>
class BruteForce {
    static_assert(std::same_as<QueryForm, typename Method::Point> || std::same_as<QueryForm, typename Method::Stored>);

  public:
    using Records = const typename Method::Stored*;
    using Query = QueryForm;
    static constexpr ScoreOrder kOrder = Method::order;

    BruteForce(Records records, int count) : records_(records), count_(count) {}

    Nearest nearest(const Query& query) const { return find_nearest<Method>(records_, count_, point(query)); }
    double score_at(const Query& query, int32_t index) const { return Method::score(records_[index], point(query)); }
    // Every location offered to the results (method/result_sets.h).
    template <typename Results>
    void find(const Query& query, Results& results) const {
        const typename Method::Point& p = point(query);
        for (int j = 0; j < count_; ++j) results.add(j, Method::score(records_[j], p));
    }
    size_t bytes() const { return sizeof(typename Method::Stored) * static_cast<size_t>(count_); }

  private:
    // The prepared point itself, not a copy, where the query is one.
    static decltype(auto) point(const Query& query) {
        if constexpr (std::same_as<Query, typename Method::Point>)
            return (query);
        else
            return Method::prepare(query);
    }

    Records records_;
    int count_;
};

using CdcBrute = BruteForce<CdcMethod>;
// Asked with a position's fixed-point words, as the lat/long searches that
// prune are (their bounds hold only for the angles from_fixed gives).
using LatLongBrute = BruteForce<LatLongMethod, FixedLatLong>;

SPHEREBENCH_SEARCH_TYPE(kCdcBrute, CdcBrute);
SPHEREBENCH_SEARCH_TYPE(kLatLongBrute, LatLongBrute);

}  // namespace spherebench
