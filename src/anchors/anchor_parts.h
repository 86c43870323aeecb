// The anchors one by one, each in a source of its own that is compiled only
// where its library was found (SPHEREBENCH_HAVE_<NAME>); anchor_searches.cpp
// dispatches to them. Private to src/anchors.
#pragma once

#include <cstddef>

#include "bench/search.h"
#include "geo/coords.h"

namespace spherebench {

struct NanoflannAnchor;
NanoflannAnchor* build_nanoflann_anchor(const double* xs, const double* ys, const double* zs, int count);
Nearest nanoflann_anchor_nearest(const NanoflannAnchor& anchor, UnitVector point);
size_t nanoflann_anchor_bytes(const NanoflannAnchor& anchor);
void free_nanoflann_anchor(NanoflannAnchor* anchor);

struct BoostRtreeAnchor;
BoostRtreeAnchor* build_boost_rtree_anchor(const double* xs, const double* ys, const double* zs, int count);
Nearest boost_rtree_anchor_nearest(const BoostRtreeAnchor& anchor, UnitVector point);
size_t boost_rtree_anchor_bytes(const BoostRtreeAnchor& anchor);
void free_boost_rtree_anchor(BoostRtreeAnchor* anchor);

struct S2ClosestAnchor;
S2ClosestAnchor* build_s2_closest_anchor(const double* xs, const double* ys, const double* zs, int count);
Nearest s2_closest_anchor_nearest(const S2ClosestAnchor& anchor, UnitVector point);
size_t s2_closest_anchor_bytes(const S2ClosestAnchor& anchor);
void free_s2_closest_anchor(S2ClosestAnchor* anchor);

struct FaissAnchor;
FaissAnchor* build_faiss_anchor(const double* xs, const double* ys, const double* zs, int count);
Nearest faiss_anchor_nearest(const FaissAnchor& anchor, UnitVector point);
size_t faiss_anchor_bytes(const FaissAnchor& anchor);
void free_faiss_anchor(FaissAnchor* anchor);

// The squared chord every anchor reports for its answer, so that the scores
// of all of them are comparable.
inline double anchor_chord2(double x, double y, double z, UnitVector p) {
    const double dx = x - p.x, dy = y - p.y, dz = z - p.z;
    return (dx * dx + dy * dy) + dz * dz;
}

}  // namespace spherebench
