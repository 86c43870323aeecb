// The choice between the grid and the tree: the grid is kept while at most
// an eighth of the locations lie in cells holding more than 8 times the
// mean; and the same index built on any number of threads. Bit-exact
// answers on both are checked in search_exact_test.cpp.
#include "search/face_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "exact_tables.h"

using namespace spherebench;

namespace {

// A grid of 100 cells (side 4 over six faces holds 96; the count is all
// the rule reads) with `crowd` locations in the first and one in each other.
FaceGrid grid_with_crowd(int crowd) {
    FaceGrid grid;
    grid.begin.assign(101, 0);
    grid.begin[1] = crowd;
    for (int c = 2; c <= 100; ++c) grid.begin[c] = grid.begin[c - 1] + 1;
    return grid;
}

}  // namespace

// With 99 single cells and one of C: the mean is (C + 99) / 100, so the
// cell is crowded when 100 C > 8 (C + 99), from C = 9; its share passes an
// eighth when 8 C > C + 99, from C = 15.
TEST(FaceIndex, GridKeptUntilAnEighthIsCrowded) {
    EXPECT_TRUE(spread_evenly(grid_with_crowd(8)));
    EXPECT_TRUE(spread_evenly(grid_with_crowd(9)));
    EXPECT_TRUE(spread_evenly(grid_with_crowd(14)));
    EXPECT_FALSE(spread_evenly(grid_with_crowd(15)));
    EXPECT_FALSE(spread_evenly(grid_with_crowd(100000)));
}

// Places spread over a face in a lattice keep the grid; the same number at
// one place do not, nor do those of a face with every other face empty.
TEST(FaceIndex, GridBuiltOverPlacesJudgedBySpread) {
    std::vector<FacePlace> even, one_place;
    for (int face = 0; face < kFaces; ++face)
        for (int i = 0; i < 40; ++i)
            for (int j = 0; j < 40; ++j) {
                const double a = (i + 0.5) / 40 * 1.4 - 0.7, b = (j + 0.5) / 40 * 1.4 - 0.7;
                even.push_back({face, a, b, 0.5});
                one_place.push_back({0, 0.1, 0.1, 0.99});
            }
    FaceGrid grid;
    build_face_grid(grid, source_of(even), 0.7072, 8, SIZE_MAX, 0.0);
    EXPECT_TRUE(spread_evenly(grid));
    build_face_grid(grid, source_of(one_place), 0.7072, 8, SIZE_MAX, 0.0);
    EXPECT_FALSE(spread_evenly(grid));
}

// The parts of a threaded build (counts, bounds, the cells' order, the
// gathered entries) joined in table order: the same file, byte for byte, on
// 1, 2 or 3 threads, over a grid (uniform) and a tree (one city), with
// parts that split a cell's members and parts left empty.
TEST(FaceIndex, BuiltAlikeOnAnyThreads) {
    for (const TableKind kind : {TableKind::kUniform, TableKind::kCity}) {
        SCOPED_TRACE(table_kind_name(kind));
        std::vector<CdcPair> pairs;
        for (const UnitVector v : table_directions(kind, 3000, 5)) pairs.push_back(encode_cdc(v));
        const exact_tables::Table table = exact_tables::table_of(pairs);
        const int n = static_cast<int>(pairs.size());
        const std::string cdc = CdcIndex(pairs.data(), n, 1).saved_bytes();
        const std::string latlong = LatLongIndex(table.fixed.data(), n, 1).saved_bytes();
        for (const int threads : {2, 3}) {
            EXPECT_EQ(CdcIndex(pairs.data(), n, threads).saved_bytes(), cdc);
            EXPECT_EQ(LatLongIndex(table.fixed.data(), n, threads).saved_bytes(), latlong);
        }
        EXPECT_EQ(CdcIndex(pairs.data(), 2, 3).saved_bytes(), CdcIndex(pairs.data(), 2, 1).saved_bytes());
    }
}

// A query near the edge of its face lies within its neighbour's bounds as
// well. Its own face searched first, it scores a few locations; had the
// neighbour come first (the lower face number, here +x before +z), its far
// members would leave the reach wide over cells of both faces, more of them
// the finer the grid.
TEST(FaceIndex, QueryNearAFaceEdgeScoresFew) {
    const std::vector<CdcPair> pairs = exact_tables::random_directions(1 << 18, 3);
    const CdcIndex index(pairs.data(), static_cast<int>(pairs.size()), 1);
    std::mt19937_64 random(4);
    std::uniform_real_distribution<double> jitter(-0.01, 0.01);
    int64_t scored = 0;
    const int queries = 200;
    for (int i = 0; i < queries; ++i) {
        // x a little below z, both within 1/sqrt(2): on the +z face, within
        // the +x face's box.
        const double x = 0.62 + jitter(random), y = 0.45 + jitter(random), z = 0.64 + jitter(random);
        const double norm = std::sqrt(x * x + y * y + z * z);
        CountingNearest results(CdcIndex::kOrder);
        index.find(arrange_point(decode_cdc(encode_cdc({x / norm, y / norm, z / norm}))), results);
        scored += results.offered();
    }
    // About 3 a query (had the neighbour come first, 12).
    EXPECT_LT(scored, 6 * queries);
}
