// Four more stored forms of a direction that a nearest-neighbour search on the
// sphere might keep, beside the program's pair and fixed point, each with a
// plain brute-force search of its own: s2geometry's leaf cell id and point,
// latitude/longitude in double radians with the haversine formula, and a unit
// vector in three floats. The benchmark suite times the searches and
// representations-report measures the forms (docs/REPRESENTATIONS.md); the
// program itself never uses them.
//
// Every form here is made from a unit vector in doubles. Precision of the
// form, against that vector, on an Earth of radius 6371 km:
// - S2CellId (8 bytes): the leaf (level 30) cell holding the direction, read
//   back as the cell's centre (ToPoint). Both lie in the one cell, so they are
//   at most its longest diagonal apart, kMaxDiag at level 30: 2.27e-9 radian,
//   14.5 mm.
// - S2Point (24 bytes): the three doubles themselves: exact.
// - LatLong in radians (16 bytes): two arctangents, read back by sines and
//   cosines, each good to a few units in the last place of numbers up to pi:
//   within kLatLongBound, 1e-14 radian, 64 nm.
// - FloatVector (12 bytes): each component rounded to the nearest float, off
//   by at most half a unit in the last place of a number below 1, 2^-25; the
//   three together by sqrt(3) * 2^-25 = 5.16e-8, which moves the direction by
//   at most as much in radians (kFloatVectorBound): 0.33 m.
#pragma once

#include <s2/s2cell_id.h>
#include <s2/s2point.h>

#include <cstddef>
#include <cstdint>

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"

namespace spherebench {

inline constexpr double kCellIdBound = 2.2712e-9;     // radians, S2::kMaxDiag at level 30, rounded up
inline constexpr double kLatLongBound = 1e-14;        // radians
inline constexpr double kFloatVectorBound = 5.17e-8;  // radians, sqrt(3) * 2^-25 rounded up

S2CellId cell_id_of(UnitVector v);
S2Point s2_point_of(UnitVector v);
LatLong latlong_of(UnitVector v);
FloatVector float_vector_of(UnitVector v);

// Each form's direction as its search sees it: the cell's centre, the point,
// the vector of the two angles, the floats widened (not normalised).
UnitVector direction_of(S2CellId id);
UnitVector direction_of(const S2Point& p);
UnitVector direction_of(LatLong a);
UnitVector direction_of(FloatVector f);

// The nearest airport to the point, testing every one; the lowest index wins
// among equal scores, -1 when count is 0. Each decodes or converts the
// airport's stored form in every test, as the program's passes do.
//
// Cell ids: each airport's cell decoded by ToPoint, squared chord.
int32_t nearest_by_cell_ids(const S2CellId* airports, int count, const S2Point& point);
// S2Points: squared chord, nothing to decode.
int32_t nearest_by_s2_points(const S2Point* airports, int count, const S2Point& point);
// Haversine: sin^2(dlat/2) + cos(lat1) cos(lat2) sin^2(dlon/2), smallest wins;
// the point's cosine is taken once per search, the airport's in every test.
int32_t nearest_by_haversine(const LatLong* airports, int count, LatLong point);
// Floats: squared chord in float arithmetic.
int32_t nearest_by_float_vectors(const FloatVector* airports, int count, FloatVector point);

// The score of a cell id's search: the squared chord from its cell's centre.
inline double cell_chord2(S2CellId cell, const S2Point& point) { return (cell.ToPoint() - point).Norm2(); }

// The cell ids' search as a search of the catalogue: nearest_by_cell_ids'
// winner and its squared chord, {kNoWinner, 0} over no cells; find offers
// every cell (method/result_sets.h).
class S2CellIdBrute {
  public:
    using Records = const S2CellId*;
    using Query = S2Point;
    static constexpr ScoreOrder kOrder = ScoreOrder::kSmallerNearer;

    S2CellIdBrute(const S2CellId* cells, int count) : cells_(cells), count_(count) {}

    Nearest nearest(const S2Point& point) const;
    template <typename Results>
    void find(const S2Point& point, Results& results) const {
        for (int j = 0; j < count_; ++j) results.add(j, cell_chord2(cells_[j], point));
    }
    size_t bytes() const { return sizeof(S2CellId) * static_cast<size_t>(count_); }

  private:
    const S2CellId* cells_;  // the table, which must outlive the search
    int count_;
};

SPHEREBENCH_SEARCH_TYPE(kS2CellIdBrute, S2CellIdBrute);

}  // namespace spherebench
