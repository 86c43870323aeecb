#include "search/point_index.h"

#include <limits>

namespace spherebench {

namespace {

constexpr double kFaceReach = 0.7072;  // beyond 1/sqrt(2): unit vectors' other components
constexpr int kPointsPerCell = 8;

}  // namespace

S2PointIndex::S2PointIndex(ComponentArrays<double> points, int count) {
    std::vector<FacePlace> places(count);
    for (int k = 0; k < count; ++k) places[k] = face_place_of(points.xs[k], points.ys[k], points.zs[k]);
    const std::vector<int32_t> order = build_face_grid(grid_, places, kFaceReach, kPointsPerCell);
    xs_.resize(count);
    ys_.resize(count);
    zs_.resize(count);
    indices_.resize(count);
    for (int at = 0; at < count; ++at) {
        const int32_t k = order[at];
        xs_[at] = points.xs[k];
        ys_[at] = points.ys[k];
        zs_[at] = points.zs[k];
        indices_[at] = k;
    }
}

Nearest S2PointIndex::nearest(UnitVector p) const {
    Nearest nearest{kNoWinner, std::numeric_limits<double>::infinity()};
    const auto limit = [&] { return nearest.score; };
    const auto scan = [&](int32_t first, int32_t end) {
        for (int32_t at = first; at < end; ++at) {
            const double dx = xs_[at] - p.x, dy = ys_[at] - p.y, dz = zs_[at] - p.z;
            const double score = (dx * dx + dy * dy) + dz * dz;
            const int32_t k = indices_[at];
            if (score < nearest.score || (score == nearest.score && k < nearest.airport)) nearest = {k, score};
        }
    };
    const int own = face_place_of(p.x, p.y, p.z).face;
    for (int step = 0; step < kGridFaces; ++step) {
        const int face = face_in_visit_order(own, step);
        search_face(grid_, {on_face(face, p.x, p.y, p.z), chord_major_term(face), 0.0}, limit, scan);
    }
    return nearest;
}

size_t S2PointIndex::bytes() const {
    return sizeof(S2PointIndex) + face_grid_bytes(grid_) +
           (xs_.capacity() + ys_.capacity() + zs_.capacity()) * sizeof(double) + indices_.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
