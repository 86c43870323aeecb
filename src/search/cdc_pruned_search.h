// The direction-cosine search that skips the square root of every location
// whose two stored cosines already show it cannot win.
#pragma once

#include <cstddef>

#include "catalogue/search_catalogue.h"
#include "method/cdc_method.h"
#include "method/nearest.h"

namespace spherebench {

// The partial sum (u - a)^2 + (v - b)^2 of a location's two stored cosines
// against the point's partners, rounded as the score rounds them: never
// above the location's score. The score is one of ((A + V) + W) and
// ((A + W) + V), with A, V, W the three rounded squares, all non-negative.
// Rounding is monotone, and a rounded sum of non-negative terms is at least
// each term (x + y >= x exactly, and x is a double). So in the first order
// the score is the partial plus W >= 0, rounded: at least the partial. In the
// second, round(A + W) >= A, so round(A + W) + V >= A + V and, rounding both
// sides, the score is at least round(A + V), the partial. This holds in every
// flag case, for degenerate pairs (w = 0) too.
inline double cdc_partial_score(CdcPair location, const CdcPoint& point) {
    const CdcPoint::Partners& q = point.by_case[cdc_flag_case(location)];
    const double d0 = stored_cosine(location.first) - q.a;
    const double d1 = stored_cosine(location.second) - q.b;
    return d0 * d0 + d1 * d1;
}

// find_nearest<CdcMethod>'s answer, winner and score bits, on every table:
// a location whose partial sum reaches the best so far (>=) cannot beat it
// under the strict rule, in table order, so its root and score are skipped.
// find offers the rest of the question's sets the same way, skipping only
// what lies strictly beyond their reach: a location at the reach itself may
// still enter by its index.
class CdcPruned {
  public:
    using Records = const CdcPair*;
    using Query = CdcPoint;
    static constexpr ScoreOrder kOrder = CdcMethod::order;

    CdcPruned(const CdcPair* records, int count) : records_(records), count_(count) {}

    Nearest nearest(const CdcPoint& point) const;
    template <typename Results>
    void find(const CdcPoint& point, Results& results) const {
        for (int j = 0; j < count_; ++j) {
            if (cdc_partial_score(records_[j], point) > results.reach()) continue;
            results.add(j, CdcMethod::score(records_[j], point));
        }
    }
    size_t bytes() const { return sizeof(CdcPair) * static_cast<size_t>(count_); }

  private:
    const CdcPair* records_;  // the table, which must outlive the search
    int count_;
};

SPHEREBENCH_SEARCH_TYPE(kCdcPruned, CdcPruned);

}  // namespace spherebench
