// s2geometry's S2ClosestPointQuery over an S2PointIndex holding each point
// with its index, asked for the one closest point. A query object keeps
// state between calls, so each thread keeps its own, made again when it
// meets another index.
#include <s2/s2closest_point_query.h>
#include <s2/s2point_index.h>

#include <atomic>
#include <cstdint>
#include <memory>

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

}  // namespace

struct S2ClosestStructure {
    ::S2PointIndex<int32_t> index;
    long long serial = next_serial++;  // which index a thread's query object was made for

    explicit S2ClosestStructure(const DecodedPoints& points) {
        for (int i = 0; i < points.count(); ++i) index.Add(S2Point(points.xs[i], points.ys[i], points.zs[i]), i);
    }
    Nearest nearest(UnitVector point) const;
    size_t bytes() const { return index.SpaceUsed(); }
};

Nearest S2ClosestStructure::nearest(UnitVector point) const {
    S2ClosestPointQuery<int32_t>::PointTarget target(S2Point(point.x, point.y, point.z));
    const auto result = query_for(index, serial).FindClosestPoint(&target);
    if (result.is_empty()) return {kNoWinner, kStartScore};
    const S2Point& p = result.point();
    return {result.data(), anchor_chord2(p.x(), p.y(), p.z(), point)};
}

template class Anchor<SearchId::kS2ClosestPoint, S2ClosestStructure>;

}  // namespace spherebench
