// s2geometry's S2ClosestPointQuery over an S2PointIndex holding each point
// with its index, asked for the one closest point (a query object keeps
// state between calls, so each thread keeps its own, made again when it
// meets another index), and for the k closest (max_results) or those within
// a distance (an inclusive max_distance), each by a query object of its own.
#include <s2/s2closest_point_query.h>
#include <s2/s2point_index.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "anchors/anchor_parts.h"

namespace spherebench {

namespace {

std::atomic<long long> next_serial{0};

struct ThreadQuery {
    long long serial = -1;
    std::unique_ptr<S2ClosestPointQuery<int32_t>> query;
};

// A query object per thread over the index with that serial: made again
// when a thread asks another index.
S2ClosestPointQuery<int32_t>& query_for(const ::S2PointIndex<int32_t>& index, long long serial) {
    thread_local ThreadQuery held;
    if (held.serial != serial) {
        S2ClosestPointQuery<int32_t>::Options options;
        options.set_max_results(1);
        held.query = std::make_unique<S2ClosestPointQuery<int32_t>>(&index, options);
        held.serial = serial;
    }
    return *held.query;
}

Nearest scored(const S2ClosestPointQuery<int32_t>::Result& result, UnitVector point) {
    const S2Point& p = result.point();
    return {result.data(), anchor_chord2(p.x(), p.y(), p.z(), point)};
}

}  // namespace

struct S2ClosestStructure {
    ::S2PointIndex<int32_t> index;
    long long serial = next_serial++;  // which index a thread's query object was made for

    explicit S2ClosestStructure(const DecodedPoints& points) {
        for (int i = 0; i < points.count(); ++i) index.Add(S2Point(points.xs[i], points.ys[i], points.zs[i]), i);
    }
    Nearest nearest(UnitVector point) const;
    std::vector<Nearest> nearest(UnitVector point, int k) const;
    std::vector<Nearest> within(UnitVector point, double limit) const;
    size_t bytes() const { return index.SpaceUsed(); }

  private:
    std::vector<Nearest> closest(UnitVector point, const S2ClosestPointQuery<int32_t>::Options& options) const;
};

Nearest S2ClosestStructure::nearest(UnitVector point) const {
    S2ClosestPointQuery<int32_t>::PointTarget target(S2Point(point.x, point.y, point.z));
    const auto result = query_for(index, serial).FindClosestPoint(&target);
    if (result.is_empty()) return {kNoWinner, kStartScore};
    return scored(result, point);
}

std::vector<Nearest> S2ClosestStructure::closest(UnitVector point,
                                                 const S2ClosestPointQuery<int32_t>::Options& options) const {
    S2ClosestPointQuery<int32_t> query(&index, options);
    S2ClosestPointQuery<int32_t>::PointTarget target(S2Point(point.x, point.y, point.z));
    std::vector<Nearest> found;
    for (const auto& result : query.FindClosestPoints(&target)) found.push_back(scored(result, point));
    return found;
}

std::vector<Nearest> S2ClosestStructure::nearest(UnitVector point, int k) const {
    S2ClosestPointQuery<int32_t>::Options options;
    options.set_max_results(k);
    return closest(point, options);
}

std::vector<Nearest> S2ClosestStructure::within(UnitVector point, double limit) const {
    S2ClosestPointQuery<int32_t>::Options options;
    // A squared chord past 4, the antipode's, is every distance. The count
    // of points as the most results (no more can be found) keeps the query
    // from warning, on the standard error, that it returns them all.
    options.set_inclusive_max_distance(S1ChordAngle::FromLength2(std::min(limit, 4.0)));
    options.set_max_results(std::max(1, index.num_points()));
    return closest(point, options);
}

template class Anchor<SearchId::kS2ClosestPoint, S2ClosestStructure>;

}  // namespace spherebench
