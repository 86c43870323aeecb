// An exact index over unit vectors held as three doubles, as s2geometry's
// S2Point holds them: sorted by face (the largest component and its sign)
// and, on each face, into a grid by the other two components (face_grid.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geo/coords.h"
#include "method/nearest.h"
#include "search/face_grid.h"

namespace spherebench {

struct PointIndex {
    FaceGrid grid;
    std::vector<double> xs, ys, zs;  // cell after cell
    std::vector<int32_t> indices;    // each vector's index in the table
};

PointIndex build_point_index(const double* xs, const double* ys, const double* zs, int count);

// The smallest squared chord ((ax - px)^2 + (ay - py)^2) + (az - pz)^2, each
// operation rounded as written, and its index, the lowest among equal
// scores; {kNoWinner, infinity} when the table is empty: the answer of
// double_components_find_nearest, bit for bit. A cell is skipped when its
// bound on the sum of two of the squares exceeds the best so far: the
// rounded sum of any two of the three non-negative squares is at most the
// rounded score (cdc_pruned_search.h has the proof).
Nearest point_index_find_nearest(const PointIndex& index, UnitVector point);

size_t point_index_bytes(const PointIndex& index);

}  // namespace spherebench
