#include "search/face_grid.h"

#include <cmath>

namespace spherebench {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The bytes of a grid of that side: its cells' offsets and its bounds.
size_t grid_bytes(int side) {
    const size_t n = side;
    return (kFaces * n * n + 1) * sizeof(int32_t) + 2 * (kFaces * 2 * n) * sizeof(double);
}

// Side of the face grids: about per_cell locations a cell over the six
// faces, within most_bytes (or 1).
int grid_side(int count, int per_cell, size_t most_bytes) {
    const double cells_per_face = static_cast<double>(count) / (kFaces * per_cell);
    int side = std::max(1, static_cast<int>(std::sqrt(cells_per_face)));
    while (side > 1 && grid_bytes(side) > most_bytes) --side;
    return side;
}

// Each column's member range, widened, then spread: low to the least of the
// column and all after it, high to the greatest of the column and all
// before it.
void spread_bounds(FaceGrid& grid, double widen) {
    const int n = grid.side;
    for (double& low : grid.low) low -= widen;
    for (double& high : grid.high) high += widen;
    for (int face = 0; face < kFaces; ++face) grid.major_low[face] -= widen, grid.major_high[face] += widen;
    for (int line = 0; line < kFaces * 2; ++line) {
        double* low = grid.low.data() + line * n;
        double* high = grid.high.data() + line * n;
        for (int i = n - 2; i >= 0; --i) low[i] = std::min(low[i], low[i + 1]);
        for (int i = 1; i < n; ++i) high[i] = std::max(high[i], high[i - 1]);
    }
}

}  // namespace

std::vector<int32_t> build_face_grid(FaceGrid& grid, const std::vector<FacePlace>& places, double reach, int per_cell,
                                     size_t most_bytes, double widen) {
    const int count = static_cast<int>(places.size());
    const int n = grid_side(count, per_cell, most_bytes);
    grid.side = n;
    grid.origin = -reach;
    grid.scale = n / (2 * reach);
    const size_t cells = static_cast<size_t>(kFaces) * n * n;
    grid.begin.assign(cells + 1, 0);
    grid.low.assign(static_cast<size_t>(kFaces) * 2 * n, kInfinity);
    grid.high.assign(grid.low.size(), -kInfinity);
    std::fill(grid.major_low, grid.major_low + kFaces, kInfinity);
    std::fill(grid.major_high, grid.major_high + kFaces, -kInfinity);
    std::vector<int32_t> cell_of(count);
    int32_t* begin = grid.begin.data();
    double *low = grid.low.data(), *high = grid.high.data();
    for (int k = 0; k < count; ++k) {
        const FacePlace& place = places[k];
        const int i = grid_column(grid, place.a), j = grid_column(grid, place.b);
        cell_of[k] = (place.face * n + i) * n + j;
        ++begin[cell_of[k] + 1];
        const int a_at = place.face * 2 * n + i, b_at = (place.face * 2 + 1) * n + j;
        low[a_at] = std::min(low[a_at], place.a);
        high[a_at] = std::max(high[a_at], place.a);
        low[b_at] = std::min(low[b_at], place.b);
        high[b_at] = std::max(high[b_at], place.b);
        grid.major_low[place.face] = std::min(grid.major_low[place.face], place.major);
        grid.major_high[place.face] = std::max(grid.major_high[place.face], place.major);
    }
    spread_bounds(grid, widen);
    for (size_t c = 0; c < cells; ++c) begin[c + 1] += begin[c];
    // A stable counting sort: each cell keeps table order.
    std::vector<int32_t> order(count);
    std::vector<int32_t> next(grid.begin.begin(), grid.begin.end() - 1);
    for (int k = 0; k < count; ++k) order[next[cell_of[k]]++] = k;
    return order;
}

size_t face_grid_bytes(const FaceGrid& grid) {
    return grid.begin.capacity() * sizeof(int32_t) + (grid.low.capacity() + grid.high.capacity()) * sizeof(double);
}

}  // namespace spherebench
