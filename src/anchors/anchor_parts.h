// The anchors one by one, each in a source of its own that is compiled only
// where its library was found (SPHEREBENCH_HAVE_<NAME>); anchor_searches.cpp
// dispatches to them. Private to src/anchors.
#pragma once

#include <cstddef>

#include "geo/coords.h"
#include "method/nearest.h"

namespace spherebench {

// Each anchor's structure, and for each the same three operations by
// overload: the nearest point, the bytes held, and freeing it.
struct NanoflannAnchor;
struct BoostRtreeAnchor;
struct S2ClosestAnchor;
struct FaissAnchor;

NanoflannAnchor* build_nanoflann_anchor(const double* xs, const double* ys, const double* zs, int count);
BoostRtreeAnchor* build_boost_rtree_anchor(const double* xs, const double* ys, const double* zs, int count);
S2ClosestAnchor* build_s2_closest_anchor(const double* xs, const double* ys, const double* zs, int count);
FaissAnchor* build_faiss_anchor(const double* xs, const double* ys, const double* zs, int count);

Nearest anchor_nearest(const NanoflannAnchor& anchor, UnitVector point);
Nearest anchor_nearest(const BoostRtreeAnchor& anchor, UnitVector point);
Nearest anchor_nearest(const S2ClosestAnchor& anchor, UnitVector point);
Nearest anchor_nearest(const FaissAnchor& anchor, UnitVector point);

size_t anchor_bytes(const NanoflannAnchor& anchor);
size_t anchor_bytes(const BoostRtreeAnchor& anchor);
size_t anchor_bytes(const S2ClosestAnchor& anchor);
size_t anchor_bytes(const FaissAnchor& anchor);

void free_anchor(NanoflannAnchor* anchor);
void free_anchor(BoostRtreeAnchor* anchor);
void free_anchor(S2ClosestAnchor* anchor);
void free_anchor(FaissAnchor* anchor);

// The squared chord every anchor reports for its answer, so that the scores
// of all of them are comparable.
inline double anchor_chord2(double x, double y, double z, UnitVector p) {
    const double dx = x - p.x, dy = y - p.y, dz = z - p.z;
    return (dx * dx + dy * dy) + dz * dz;
}

}  // namespace spherebench
