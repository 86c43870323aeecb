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

struct S2ClosestAnchor {
    S2PointIndex<int32_t> index;
    long long serial;  // which index a thread's query object was made for
};

namespace {

std::atomic<long long> next_serial{0};

struct ThreadQuery {
    long long serial = -1;
    std::unique_ptr<S2ClosestPointQuery<int32_t>> query;
};

S2ClosestPointQuery<int32_t>& query_for(const S2ClosestAnchor& anchor) {
    thread_local ThreadQuery held;
    if (held.serial != anchor.serial) {
        S2ClosestPointQuery<int32_t>::Options options;
        options.set_max_results(1);
        held.query = std::make_unique<S2ClosestPointQuery<int32_t>>(&anchor.index, options);
        held.serial = anchor.serial;
    }
    return *held.query;
}

}  // namespace

S2ClosestAnchor* build_s2_closest_anchor(const double* xs, const double* ys, const double* zs, int count) {
    auto* anchor = new S2ClosestAnchor{{}, next_serial++};
    for (int i = 0; i < count; ++i) anchor->index.Add(S2Point(xs[i], ys[i], zs[i]), i);
    return anchor;
}

Nearest anchor_nearest(const S2ClosestAnchor& anchor, UnitVector point) {
    S2ClosestPointQuery<int32_t>::PointTarget target(S2Point(point.x, point.y, point.z));
    const auto result = query_for(anchor).FindClosestPoint(&target);
    if (result.is_empty()) return {kNoWinner, kStartScore};
    const S2Point& p = result.point();
    return {result.data(), anchor_chord2(p.x(), p.y(), p.z(), point)};
}

size_t anchor_bytes(const S2ClosestAnchor& anchor) { return anchor.index.SpaceUsed(); }

void free_anchor(S2ClosestAnchor* anchor) { delete anchor; }

}  // namespace spherebench
