// An exact index over fixed-point latitude/longitude: the positions as
// stored and their table indices, sorted by face and into a k-d tree over
// the unit vector each position names (face_tree.h). A node is skipped when its
// bound on the chord between the vectors shows that no position in it can
// score as much as the best so far, with the margin of latlong_bound.h for
// the sines and cosines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bench/latlong_method.h"
#include "bench/search.h"
#include "search/face_tree.h"

namespace spherebench {

struct LatLongIndex {
    FaceTree tree;                        // boxes of the vectors' coordinates
    std::vector<FixedLatLong> locations;  // leaf after leaf
    std::vector<int32_t> indices;         // each location's index in the table
};

LatLongIndex build_latlong_index(const FixedLatLong* locations, int count);

// find_nearest<LatLongMethod>'s answer, winner and score bits; point is
// from_fixed of a FixedLatLong, as the method prepares it (the margins of
// latlong_bound.h assume angles of that size); the table may hold any.
Nearest latlong_index_find_nearest(const LatLongIndex& index, LatLong point);

size_t latlong_index_bytes(const LatLongIndex& index);

}  // namespace spherebench
