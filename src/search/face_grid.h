// The grid the indexes share: locations sorted into six faces (a major axis
// and its sign, as a cube's faces) and, on each face, into a square grid of
// cells by two coordinates. A query visits, on each face, the cells around
// its own in rings of growing distance, and skips every cell and every ring
// whose lower bound on the squared gap between the query and the cell's
// members exceeds the limit the search gives it.
//
// Every bound is formed with the operations a search forms its partial sum
// with (a difference of doubles, its square, the sum of two squares), each
// rounded to nearest: rounding is monotone, so a bound formed from a gap no
// larger than a member's difference is no larger than that member's
// computed partial sum.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace spherebench {

inline constexpr int kGridFaces = 6;

struct FaceGrid {
    int side = 1;         // cells along each axis of a face
    double origin = 0.0;  // column of x: floor((x - origin) * scale), clamped to the face
    double scale = 1.0;
    // Cell c = (face * side + column of a) * side + column of b holds the
    // entries [begin[c], begin[c + 1]), in table order.
    std::vector<int32_t> begin;
    // Per face and axis (index (face * 2 + axis) * side + column): low is the
    // least coordinate among the members of this column and the columns
    // after it, high the greatest among this column and those before it
    // (+inf and -inf where there are none).
    std::vector<double> low, high;
    // Per face, the range of the third coordinate (the major one) of its
    // members.
    double major_low[kGridFaces], major_high[kGridFaces];
};

// A location's face, its two coordinates on it, and the third.
struct FacePlace {
    int face;
    double a, b;
    double major;
};

// Where the major coordinate's square stands in the score's sum of three
// squares, the other two in the order a, b: the score is
// (m + a) + b, (a + m) + b or (a + b) + m, each sum rounded.
enum class MajorTerm { kFirst, kSecond, kLast };

// The score's sum formed of lower bounds of its three terms: rounding is
// monotone, so it is no greater than the score formed of the terms.
inline double ordered_bound(double a, double b, double m, MajorTerm major) {
    switch (major) {
        case MajorTerm::kFirst:
            return (m + a) + b;
        case MajorTerm::kSecond:
            return (a + m) + b;
        case MajorTerm::kLast:
            break;
    }
    return (a + b) + m;
}

// The face of a three-component vector: its largest component in size
// (the first of equals), 2 * axis + (1 where it is negative), and its other
// two components in order as the coordinates on that face.
inline FacePlace face_place_of(double x, double y, double z) {
    const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    if (ax >= ay && ax >= az) return {x < 0 ? 1 : 0, y, z, x};
    if (ay >= az) return {y < 0 ? 3 : 2, x, z, y};
    return {z < 0 ? 5 : 4, x, y, z};
}

// The coordinates of a vector on a face (face_place_of's pair for that
// face's axis).
inline FacePlace on_face(int face, double x, double y, double z) {
    const int axis = face / 2;
    if (axis == 0) return {face, y, z, x};
    if (axis == 1) return {face, x, z, y};
    return {face, x, y, z};
}

// In the squared chord ((x - px)^2 + (y - py)^2) + (z - pz)^2, where the
// major coordinate of a face of that axis stands.
inline MajorTerm chord_major_term(int face) { return static_cast<MajorTerm>(face / 2); }

// The faces in the order a query visits them: its own first, where a near
// location is found early, then the others in turn.
inline int face_in_visit_order(int own, int step) { return step == 0 ? own : (step <= own ? step - 1 : step); }

// The column of a coordinate: non-decreasing in x (every operation is
// monotone), the ends taking everything beyond them. NaN goes to column 0.
inline int grid_column(const FaceGrid& grid, double x) {
    const double t = (x - grid.origin) * grid.scale;
    if (!(t > 0.0)) return 0;
    if (t >= grid.side) return grid.side - 1;
    return static_cast<int>(t);
}

// The grid over `places` with about `per_cell` locations a cell of the
// faces' square [-reach, reach]^2, or fewer cells where the grid would take
// more than most_bytes; returns the order of the locations by cell (each
// cell in table order), which the index stores its entries in.
std::vector<int32_t> build_face_grid(FaceGrid& grid, const std::vector<FacePlace>& places, double reach, int per_cell,
                                     size_t most_bytes = SIZE_MAX);

size_t face_grid_bytes(const FaceGrid& grid);

// The table's locations in the grid's `order`, each beside its index in the
// table (which the tie rule compares).
template <typename Location>
void store_in_order(const Location* table, const std::vector<int32_t>& order, std::vector<Location>& entries,
                    std::vector<int32_t>& indices) {
    entries.resize(order.size());
    indices.resize(order.size());
    for (size_t at = 0; at < order.size(); ++at) {
        entries[at] = table[order[at]];
        indices[at] = order[at];
    }
}

// The square of a gap less `margin`, 0 where that is not positive. With
// margin 0 and gap = round(low - x) for some low <= m, it is at most
// round(m - x)^2 rounded (rounding is monotone); likewise x - high.
inline double squared_gap(double gap, double margin) {
    gap -= margin;
    return gap > 0.0 ? gap * gap : 0.0;
}

// The squared gap from x to [low, high], less `margin`.
inline double gap_squared(double low, double high, double x, double margin) {
    return squared_gap(std::max(low - x, x - high), margin);
}

// What a face search needs of the query: its place on the face, where the
// major term stands in the score, and the margin taken off every gap.
struct FaceQuery {
    FacePlace place;
    MajorTerm major;
    double margin;
};

// The squared gaps from a query coordinate x to the columns of one axis of
// a face, the query's own column c among them. The gap to a column after c
// is taken from its low, the least coordinate of it and of every column
// after it, so it bounds all their members and grows column by column;
// before c, from its high likewise. So the least gap of all is at c or a
// neighbour, and the gaps at c - r and c + r bound every column further out.
struct AxisGaps {
    const double* low;
    const double* high;
    int n, c;
    double x, margin;
    double operator()(int i) const {
        if (i < 0 || i >= n) return std::numeric_limits<double>::infinity();
        if (i > c) return squared_gap(low[i] - x, margin);
        if (i < c) return squared_gap(x - high[i], margin);
        return gap_squared(low[i], high[i], x, margin);
    }
    double least() const { return std::min({(*this)(c - 1), (*this)(c), (*this)(c + 1)}); }
    double at_distance(int r) const { return std::min((*this)(c - r), (*this)(c + r)); }
};

// Visits the cells of one face whose bound may be within limit(), calling
// scan(first, end) on their entries; limit() is asked again before each
// cell, as the scans lower it. A cell's bound is the score's sum
// (ordered_bound) of the squared gaps to its column, its row and the face's
// range of major coordinates. Cells are visited in rings around the query's.
template <typename Limit, typename Scan>
void search_face(const FaceGrid& grid, const FaceQuery& query, Limit limit, Scan scan) {
    const int face = query.place.face, n = grid.side;
    const double gap_m = gap_squared(grid.major_low[face], grid.major_high[face], query.place.major, query.margin);
    const auto bound = [&](double ga, double gb) { return ordered_bound(ga, gb, gap_m, query.major); };
    if (bound(0.0, 0.0) > limit()) return;  // the major coordinates alone rule the face out
    const int32_t* cells = grid.begin.data() + face * n * n;
    if (cells[0] == cells[n * n]) return;  // an empty face
    const int ca = grid_column(grid, query.place.a), cb = grid_column(grid, query.place.b);
    const double* low = grid.low.data() + face * 2 * n;
    const double* high = grid.high.data() + face * 2 * n;
    const AxisGaps gap_a{low, high, n, ca, query.place.a, query.margin};
    const AxisGaps gap_b{low + n, high + n, n, cb, query.place.b, query.margin};
    const double least_a = gap_a.least(), least_b = gap_b.least();
    if (bound(least_a, least_b) > limit()) return;
    const auto visit = [&](int i, int j, double ga, double gb) {
        const int32_t first = cells[i * n + j], end = cells[i * n + j + 1];
        if (first != end && bound(ga, gb) <= limit()) scan(first, end);
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
