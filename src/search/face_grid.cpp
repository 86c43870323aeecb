#include "search/face_grid.h"

#include <cmath>
#include <memory>
#include <utility>

#include "base/threads.h"

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

// Places decoded at a time, on the stack.
constexpr int kDecodeBlock = 256;

// The least and greatest coordinate of each face's columns of each axis
// (index (face * 2 + axis) * side + column), and of each face's major
// coordinate, over the members seen.
struct ColumnBounds {
    explicit ColumnBounds(int side)
        : side(side), low(size_t{kFaces} * 2 * side, kInfinity), high(low.size(), -kInfinity) {
        std::fill(major_low, major_low + kFaces, kInfinity);
        std::fill(major_high, major_high + kFaces, -kInfinity);
    }
    void add(const FacePlace& place, int i, int j) {
        const int a_at = place.face * 2 * side + i, b_at = (place.face * 2 + 1) * side + j;
        low[a_at] = std::min(low[a_at], place.a);
        high[a_at] = std::max(high[a_at], place.a);
        low[b_at] = std::min(low[b_at], place.b);
        high[b_at] = std::max(high[b_at], place.b);
        major_low[place.face] = std::min(major_low[place.face], place.major);
        major_high[place.face] = std::max(major_high[place.face], place.major);
    }
    void join(const ColumnBounds& other) {
        for (size_t k = 0; k < low.size(); ++k) low[k] = std::min(low[k], other.low[k]);
        for (size_t k = 0; k < high.size(); ++k) high[k] = std::max(high[k], other.high[k]);
        for (int f = 0; f < kFaces; ++f) {
            major_low[f] = std::min(major_low[f], other.major_low[f]);
            major_high[f] = std::max(major_high[f], other.major_high[f]);
        }
    }
    int side;
    std::vector<double> low, high;
    double major_low[kFaces], major_high[kFaces];
};

}  // namespace

std::vector<FacePlace> all_places(const PlaceSource& places, int threads) {
    std::vector<FacePlace> all(places.count);
    const int parts = build_threads(places.count, threads);
    run_on_threads(parts, [&](int part) {
        const int first = part_start(places.count, part, parts), end = part_start(places.count, part + 1, parts);
        if (first < end) places.decode(first, end, all.data() + first);
    });
    return all;
}

PlaceSource source_of(const std::vector<FacePlace>& places) {
    return {static_cast<int>(places.size()), [&places](int first, int end, FacePlace* out) {
                std::copy(places.begin() + first, places.begin() + end, out);
            }};
}

int build_threads(int count, int threads) {
    if (threads > 0) return threads;
    return count < kThreadedBuild ? 1 : machine_threads();
}

std::vector<int32_t> build_face_grid(FaceGrid& grid, const PlaceSource& places, double reach, int per_cell,
                                     size_t most_bytes, double widen, int threads) {
    const int count = places.count;
    const int n = grid_side(count, per_cell, most_bytes);
    grid.side = n;
    grid.origin = -reach;
    grid.scale = n / (2 * reach);
    const size_t cells = static_cast<size_t>(kFaces) * n * n;
    // Each part of the table (a thread's) counts its members of every cell
    // and bounds its columns; then the counts become each part's first
    // place in every cell, parts in table order, so the order is the same
    // stable counting sort on any number of threads.
    const int parts = build_threads(count, threads);
    std::vector<std::vector<int32_t>> counts(parts, std::vector<int32_t>(cells, 0));
    std::vector<ColumnBounds> bounds(parts, ColumnBounds(0));  // each part's, when it is done
    // Left uninitialized: each part writes its own share, so the pages are
    // first touched on its thread rather than zeroed by this one.
    const std::unique_ptr<int32_t[]> cell_of(new int32_t[count]);
    run_on_threads(parts, [&](int part) {
        const int first = part_start(count, part, parts), end = part_start(count, part + 1, parts);
        int32_t* part_counts = counts[part].data();
        // The part's bounds kept apart until it is done: side by side in one
        // vector, each add would pass their cache line between the cores.
        ColumnBounds part_bounds(n);
        FacePlace block[kDecodeBlock];
        for (int at = first; at < end; at += kDecodeBlock) {
            const int size = std::min(kDecodeBlock, end - at);
            places.decode(at, at + size, block);
            for (int k = 0; k < size; ++k) {
                const FacePlace& place = block[k];
                const int i = grid_column(grid, place.a), j = grid_column(grid, place.b);
                cell_of[at + k] = (place.face * n + i) * n + j;
                ++part_counts[cell_of[at + k]];
                part_bounds.add(place, i, j);
            }
        }
        bounds[part] = std::move(part_bounds);
    });
    for (int part = 1; part < parts; ++part) bounds[0].join(bounds[part]);
    grid.low = std::move(bounds[0].low);
    grid.high = std::move(bounds[0].high);
    std::copy(bounds[0].major_low, bounds[0].major_low + kFaces, grid.major_low);
    std::copy(bounds[0].major_high, bounds[0].major_high + kFaces, grid.major_high);
    spread_bounds(grid, widen);
    grid.begin.assign(cells + 1, 0);
    int32_t* begin = grid.begin.data();
    int32_t placed = 0;
    for (size_t c = 0; c < cells; ++c) {
        begin[c] = placed;
        for (std::vector<int32_t>& part_counts : counts) placed += std::exchange(part_counts[c], placed);
    }
    begin[cells] = placed;
    std::vector<int32_t> order(count);
    run_on_threads(parts, [&](int part) {
        const int first = part_start(count, part, parts), end = part_start(count, part + 1, parts);
        int32_t* next = counts[part].data();
        for (int k = first; k < end; ++k) order[next[cell_of[k]]++] = k;
    });
    return order;
}

size_t face_grid_bytes(const FaceGrid& grid) {
    return grid.begin.capacity() * sizeof(int32_t) + (grid.low.capacity() + grid.high.capacity()) * sizeof(double);
}

}  // namespace spherebench
