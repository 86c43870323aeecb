#include "search/point_index.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "search/face_tree_search.h"
#include "search/sphere_bound.h"

namespace spherebench {

namespace {

constexpr int kPointsPerLeaf = 8;

}  // namespace

PointIndex build_point_index(const double* xs, const double* ys, const double* zs, int count) {
    std::vector<FacePlace> places(count);
    for (int k = 0; k < count; ++k) places[k] = face_place_of(xs[k], ys[k], zs[k]);
    PointIndex index;
    // Vectors at one place have equal components, which score alike.
    const std::vector<int32_t> order =
        build_face_tree(index.tree, places, kPointsPerLeaf, [](int32_t, int32_t) { return true; });
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
    const auto scan = [&](const FaceNodes& nodes, uint32_t leaf) {
        const EntryRange members = nodes.scanned(leaf);
        for (int32_t at = members.first; at < members.end; ++at) {
            const double dx = index.xs[at] - p.x, dy = index.ys[at] - p.y, dz = index.zs[at] - p.z;
            const double score = (dx * dx + dy * dy) + dz * dz;
            const int32_t k = index.indices[at];
            if (score < nearest.score || (score == nearest.score && k < nearest.airport)) nearest = {k, score};
        }
    };
    const bool unit_query = near_unit(p.x, p.y, p.z);
    const int own = face_place_of(p.x, p.y, p.z).face;
    for (int step = 0; step < kFaces; ++step) {
        const int face = face_in_visit_order(own, step);
        const FaceQuery query{on_face(face, p.x, p.y, p.z), chord_major_term(face)};
        // The members' major component has the face's sign.
        const double major = query.place.major;
        const SphereQuery sphere = sphere_query(query.place.a, query.place.b, face % 2 ? -major : major);
        const bool on_sphere = index.tree.faces[face].on_sphere && unit_query;
        const auto bound_of = [&](const FaceNodes& nodes, uint32_t node) {
            return node_bound(nodes, node, query, sphere, on_sphere, nearest.score);
        };
        search_face_tree(index.tree, face, query.place.a, query.place.b, bound_of, limit, scan);
    }
    return nearest;
}

size_t point_index_bytes(const PointIndex& index) {
    return sizeof(PointIndex) + face_tree_bytes(index.tree) +
           (index.xs.capacity() + index.ys.capacity() + index.zs.capacity()) * sizeof(double) +
           index.indices.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
