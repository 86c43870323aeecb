// An exact index over unit vectors held as three doubles, as s2geometry's
// S2Point holds them: sorted by face (the largest component and its sign)
// and, on each face, into a k-d tree by the other two components, each node
// bounding all three (face_tree.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bench/search.h"
#include "geo/coords.h"
#include "search/face_tree.h"

namespace spherebench {

struct PointIndex {
    FaceTree tree;
    std::vector<double> xs, ys, zs;  // leaf after leaf
    std::vector<int32_t> indices;    // each vector's index in the table
};

PointIndex build_point_index(const double* xs, const double* ys, const double* zs, int count);

// The smallest squared chord ((ax - px)^2 + (ay - py)^2) + (az - pz)^2, each
// operation rounded as written, and its index, the lowest among equal
// scores; {kNoWinner, infinity} when the table is empty: the answer of
// double_components_find_nearest, bit for bit. A node is skipped when its
// bound on the score, the same ordered sum of the squared gaps to its box in
// each component, or the bound of the sphere over the box (sphere_bound.h),
// exceeds the best so far.
Nearest point_index_find_nearest(const PointIndex& index, UnitVector point);

size_t point_index_bytes(const PointIndex& index);

}  // namespace spherebench
