#include "search/point_index.h"

#include <limits>

namespace spherebench {

namespace {

constexpr double kFaceReach = 0.7072;  // beyond 1/sqrt(2): unit vectors' other components
constexpr int kPointsPerCell = 8;

}  // namespace

PointIndex build_point_index(const double* xs, const double* ys, const double* zs, int count) {
    std::vector<FacePlace> places(count);
    for (int k = 0; k < count; ++k) places[k] = face_place_of(xs[k], ys[k], zs[k]);
    PointIndex index;
    const std::vector<int32_t> order = build_face_grid(index.grid, places, kFaceReach, kPointsPerCell);
    index.xs.resize(count);
    index.ys.resize(count);
    index.zs.resize(count);
    index.indices.resize(count);
    for (int at = 0; at < count; ++at) {
        const int32_t k = order[at];
        index.xs[at] = xs[k];
        index.ys[at] = ys[k];
        index.zs[at] = zs[k];
        index.indices[at] = k;
    }
    return index;
}

Nearest point_index_find_nearest(const PointIndex& index, UnitVector p) {
    Nearest nearest{kNoWinner, std::numeric_limits<double>::infinity()};
    const auto limit = [&] { return nearest.score; };
    const auto scan = [&](int32_t first, int32_t end) {
        for (int32_t at = first; at < end; ++at) {
            const double dx = index.xs[at] - p.x, dy = index.ys[at] - p.y, dz = index.zs[at] - p.z;
            const double score = (dx * dx + dy * dy) + dz * dz;
            const int32_t k = index.indices[at];
            if (score < nearest.score || (score == nearest.score && k < nearest.airport)) nearest = {k, score};
        }
    };
    const int own = face_place_of(p.x, p.y, p.z).face;
    for (int step = 0; step < kGridFaces; ++step) {
        const int face = face_in_visit_order(own, step);
        search_face(index.grid, {on_face(face, p.x, p.y, p.z), chord_major_term(face), 0.0}, limit, scan);
    }
    return nearest;
}

size_t point_index_bytes(const PointIndex& index) {
    return sizeof(PointIndex) + face_grid_bytes(index.grid) +
           (index.xs.capacity() + index.ys.capacity() + index.zs.capacity()) * sizeof(double) +
           index.indices.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
