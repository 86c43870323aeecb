// A grid over each face of the cube (face_place.h): on each face, a square
// grid of cells by the two coordinates, sized for locations spread evenly
// over the sphere. A query visits, on each face, the cells around its own
// in rings of growing distance, and skips every cell and every ring whose
// lower bound on the score of the cell's members exceeds the limit the
// search gives it.
//
// Every bound is the ordered sum of three terms (ordered_bound: the squared
// gaps to a column, to a row and to the face's range of major coordinates,
// summed in the order the score sums its three squares), each formed with
// the operations a search forms its score with (a difference of doubles,
// its square, the ordered sum), each rounded to nearest: rounding is
// monotone, so a bound formed from gaps no larger than a member's
// differences is no larger than that member's computed score.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "base/stored_array.h"
#include "search/face_place.h"

namespace spherebench {

struct FaceGrid {
    int side = 1;         // cells along each axis of a face
    double origin = 0.0;  // column of x: floor((x - origin) * scale), clamped to the face
    double scale = 1.0;
    // Cell c = (face * side + column of a) * side + column of b holds the
    // entries [begin[c], begin[c + 1]), in table order.
    StoredArray<int32_t> begin;
    // Per face and axis (index (face * 2 + axis) * side + column): low is the
    // least coordinate among the members of this column and the columns
    // after it, high the greatest among this column and those before it
    // (+inf and -inf where there are none), each widened by the grid's
    // `widen`.
    StoredArray<double> low, high;
    // Per face, the range of the third coordinate (the major one) of its
    // members, widened likewise.
    double major_low[kFaces], major_high[kFaces];
};

// The grid's values and arrays, in the order a saved index holds them
// (search/saved_index.h); Grid is FaceGrid or const FaceGrid.
template <typename Io, typename Grid>
void grid_fields(Io& io, Grid& grid) {
    io.value(grid.side), io.value(grid.origin), io.value(grid.scale);
    for (auto& low : grid.major_low) io.value(low);
    for (auto& high : grid.major_high) io.value(high);
    io.array(grid.begin);
    io.array(grid.low);
    io.array(grid.high);
}

// The column of a coordinate: non-decreasing in x (every operation is
// monotone), the ends taking everything beyond them. NaN goes to column 0.
inline int grid_column(const FaceGrid& grid, double x) {
    const double t = (x - grid.origin) * grid.scale;
    if (!(t > 0.0)) return 0;
    if (t >= grid.side) return grid.side - 1;
    return static_cast<int>(t);
}

// A table's places, decoded on demand: decode(first, end, out) writes the
// places of table indices [first, end) to out. Builders decode them in
// blocks, twice if need be, rather than hold them all: at 32 bytes a
// location they would take more than the index itself.
struct PlaceSource {
    int count = 0;
    std::function<void(int first, int end, FacePlace* out)> decode;
};

// Every place of the source into one vector, on `threads` threads (0: the
// machine's cores, where the table is large enough to gain by them).
std::vector<FacePlace> all_places(const PlaceSource& places, int threads = 0);
// A source over places already decoded (which must outlive it).
PlaceSource source_of(const std::vector<FacePlace>& places);

// Threads a build of `count` locations takes when asked for `threads`: that
// many, or for 0 the machine's cores, but one below kThreadedBuild
// locations, where starting threads costs more than they save.
inline constexpr int kThreadedBuild = 1 << 18;
int build_threads(int count, int threads);

// The grid over `places` with about `per_cell` locations a cell of the
// faces' square [-reach, reach]^2, or fewer cells where the grid would take
// more than most_bytes; every bound `widen` wider than the places (less a
// rounding of the widening). Returns the order of the locations by cell
// (each cell in table order), which the index stores its entries in; the
// same on any number of threads.
std::vector<int32_t> build_face_grid(FaceGrid& grid, const PlaceSource& places, double reach, int per_cell,
                                     size_t most_bytes, double widen, int threads = 0);

size_t face_grid_bytes(const FaceGrid& grid);

// The squared gaps from a query coordinate x to the columns of one axis of
// a face, the query's own column c among them. The gap to a column after c
// is taken from its low, the least coordinate of it and of every column
// after it, so it bounds all their members and grows column by column;
// before c, from its high likewise. So the least gap of all is at c or a
// neighbour, and the gaps at c - r and c + r bound every column further out.
struct AxisGaps {
    static constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const double* low;
    const double* high;
    int n, c;
    double x;
    double operator()(int i) const {
        if (i < 0 || i >= n) return kInfinity;
        if (i > c) return squared_gap(low[i], kInfinity, x);
        if (i < c) return squared_gap(-kInfinity, high[i], x);
        return squared_gap(low[i], high[i], x);
    }
    double least() const { return std::min({(*this)(c - 1), (*this)(c), (*this)(c + 1)}); }
    double at_distance(int r) const { return std::min((*this)(c - r), (*this)(c + r)); }
};

// Visits the cells of one face whose bound may be within limit(), calling
// scan(first, end) on their entries; limit() is asked again before each
// cell, as the scans lower it. A cell's bound is the ordered sum of three
// terms (ordered_bound): the squared gaps to its column, to its row and to
// the face's range of major coordinates. Cells are visited in rings around
// the query's; a ring whose nearest column and nearest row are both beyond
// the limit (each with the least gap of the other axis) ends the search.
template <typename Limit, typename Scan>
void search_face(const FaceGrid& grid, const FaceQuery& query, Limit limit, Scan scan) {
    const int face = query.place.face, n = grid.side;
    const double gap_m = squared_gap(grid.major_low[face], grid.major_high[face], query.place.major);
    const auto bound = [&](double ga, double gb) { return ordered_bound(ga, gb, gap_m, query.major); };
    if (bound(0.0, 0.0) > limit()) return;  // the major coordinates alone rule the face out
    const int32_t* cells = grid.begin.data() + face * n * n;
    if (cells[0] == cells[n * n]) return;  // an empty face
    const int ca = grid_column(grid, query.place.a), cb = grid_column(grid, query.place.b);
    const double* low = grid.low.data() + face * 2 * n;
    const double* high = grid.high.data() + face * 2 * n;
    const AxisGaps gap_a{low, high, n, ca, query.place.a};
    const AxisGaps gap_b{low + n, high + n, n, cb, query.place.b};
    const double least_a = gap_a.least(), least_b = gap_b.least();
    if (bound(least_a, least_b) > limit()) return;
    // A cell is skipped only where its bound is proved beyond the limit: a
    // NaN bound (the gap of an infinite query to an unbounded side) is not.
    const auto visit = [&](int i, int j, double ga, double gb) {
        const int32_t first = cells[i * n + j], end = cells[i * n + j + 1];
        if (first != end && !(bound(ga, gb) > limit())) scan(first, end);
    };
    // Row j from column i0 to i1, and column i from row j0 to j1, unless
    // the row's (the column's) gap with the least of the other rules it out.
    const auto visit_row = [&](int j, int i0, int i1) {
        if (j < 0 || j >= n) return;
        const double gb = gap_b(j);
        if (bound(least_a, gb) > limit()) return;
        for (int i = i0; i <= i1; ++i) visit(i, j, gap_a(i), gb);
    };
    const auto visit_column = [&](int i, int j0, int j1) {
        if (i < 0 || i >= n) return;
        const double ga = gap_a(i);
        if (bound(ga, least_b) > limit()) return;
        for (int j = j0; j <= j1; ++j) visit(i, j, ga, gap_b(j));
    };
    visit(ca, cb, gap_a(ca), gap_b(cb));
    const int last_ring = std::max({ca, n - 1 - ca, cb, n - 1 - cb});
    for (int r = 1; r <= last_ring; ++r) {
        if (std::min(bound(gap_a.at_distance(r), least_b), bound(least_a, gap_b.at_distance(r))) > limit()) return;
        const int i0 = std::max(ca - r, 0), i1 = std::min(ca + r, n - 1);
        const int j0 = std::max(cb - r + 1, 0), j1 = std::min(cb + r - 1, n - 1);
        visit_row(cb - r, i0, i1);
        visit_row(cb + r, i0, i1);
        visit_column(ca - r, j0, j1);
        visit_column(ca + r, j0, j1);
    }
}

}  // namespace spherebench
