// The brute force of a method: every location tested by the method's score,
// the best kept, the lowest index winning ties. It holds nothing of its own:
// the table it reads must outlive it.
#pragma once

#include <cstddef>

#include "catalogue/search_catalogue.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "method/result_sets.h"

namespace spherebench {

template <ProximityMethod Method>
class BruteForce {
  public:
    using Records = const typename Method::Stored*;
    using Query = typename Method::Point;
    static constexpr ScoreOrder kOrder = Method::order;

    BruteForce(Records records, int count) : records_(records), count_(count) {}

    Nearest nearest(const Query& query) const { return find_nearest<Method>(records_, count_, query); }
    double score_at(const Query& query, int32_t index) const { return Method::score(records_[index], query); }
    // Every location offered to the results (method/result_sets.h).
    template <typename Results>
    void find(const Query& query, Results& results) const {
        for (int j = 0; j < count_; ++j) results.add(j, Method::score(records_[j], query));
    }
    size_t bytes() const { return sizeof(typename Method::Stored) * static_cast<size_t>(count_); }

  private:
    Records records_;
    int count_;
};

using CdcBrute = BruteForce<CdcMethod>;
using LatLongBrute = BruteForce<LatLongMethod>;

SPHEREBENCH_SEARCH_TYPE(kCdcBrute, CdcBrute);
SPHEREBENCH_SEARCH_TYPE(kLatLongBrute, LatLongBrute);

}  // namespace spherebench
