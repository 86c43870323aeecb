#include "search/point_index.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

#include "search/face_index.h"
#include "search/sphere_bound.h"
#include "search/walk_counts.h"

namespace spherebench {

namespace {

constexpr double kFaceReach = 0.7072;  // beyond 1/sqrt(2): unit vectors' other components
constexpr int kPointsPerCell = 8;
constexpr int kPointsPerLeaf = 8;

}  // namespace

S2PointIndex::S2PointIndex(ComponentArrays<double> points, int count) : table_(points) {
    const double *xs = points.xs, *ys = points.ys, *zs = points.zs;
    const PlaceSource places{count, [=](int first, int end, FacePlace* out) {
                                 for (int k = first; k < end; ++k) *out++ = face_place_of(xs[k], ys[k], zs[k]);
                             }};
    // Vectors at one place have equal components, which score alike.
    const FaceIndexShape shape{kFaceReach, kPointsPerCell, kPointsPerLeaf, SIZE_MAX, 0.0};
    const std::vector<int32_t> order = build_face_index(index_, places, shape, [](int32_t, int32_t) { return true; });
    std::vector<double> in_order_x(count), in_order_y(count), in_order_z(count);
    for (int at = 0; at < count; ++at) {
        const int32_t k = order[at];
        in_order_x[at] = xs[k];
        in_order_y[at] = ys[k];
        in_order_z[at] = zs[k];
    }
    xs_ = std::move(in_order_x);
    ys_ = std::move(in_order_y);
    zs_ = std::move(in_order_z);
    indices_ = std::vector<int32_t>(order);
}

UnitVector S2PointIndex::location(int32_t k) const {
    if (table_.xs) return {table_.xs[k], table_.ys[k], table_.zs[k]};
    const size_t at = std::find(indices_.begin(), indices_.end(), k) - indices_.begin();
    return {xs_[at], ys_[at], zs_[at]};
}

double S2PointIndex::score_at(UnitVector p, int32_t index) const {
    const UnitVector v = location(index);
    const double dx = v.x - p.x, dy = v.y - p.y, dz = v.z - p.z;
    return (dx * dx + dy * dy) + dz * dz;
}

std::optional<std::string> S2PointIndex::opened_fault(int64_t count, SavedCheck check) const {
    return saved_fault(index_, {xs_.size(), ys_.size(), zs_.size()}, indices_, count, check);
}

Nearest S2PointIndex::nearest(UnitVector p) const {
    NearestOne results(kOrder);
    find(p, results);
    return results.take();
}

template <typename Results>
void S2PointIndex::find(UnitVector p, Results& results) const {
    const auto limit = [&] { return results.reach(); };
    const auto scan = [&](int, int32_t first, int32_t end, double, double) {
        for (int32_t at = first; at < end; ++at) {
            SPHEREBENCH_COUNT(entries), SPHEREBENCH_COUNT(scored);
            const double dx = xs_[at] - p.x, dy = ys_[at] - p.y, dz = zs_[at] - p.z;
            results.add(indices_[at], (dx * dx + dy * dy) + dz * dz);
        }
    };
    const auto place_of = [&](int face) { return FaceQuery{on_face(face, p.x, p.y, p.z), chord_major_term(face)}; };
    // The members' major component has the face's sign.
    const bool unit_query = near_unit(p.x, p.y, p.z);
    const auto ask_of = [&](const FaceQuery& query) {
        const double major = query.place.major;
        return FaceAsk{sphere_query(query.place.a, query.place.b, query.place.face % 2 ? -major : major), unit_query};
    };
    search_faces(index_, place_of, ask_of, kScansEveryCopy<Results>, limit, scan);
}

template void S2PointIndex::find(UnitVector, NearestOne&) const;
template void S2PointIndex::find(UnitVector, NearestK&) const;
template void S2PointIndex::find(UnitVector, WithinLimit&) const;

}  // namespace spherebench
