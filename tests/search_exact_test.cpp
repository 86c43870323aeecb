// The searches that skip work against the brute force of their form: the
// same winner and the same score bits on every table and point, the lowest
// index winning ties.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <type_traits>
#include <utility>
#include <vector>

#include "exact_tables.h"
#include "geo/cdc_encoder.h"
#include "input/loader.h"
#include "method/result_sets.h"
#include "random/table_kinds.h"
#include "reference_ranking.h"
#include "search/cdc_index.h"
#include "search/cdc_pruned_search.h"
#include "search/latlong_index.h"
#include "search/latlong_pruned_search.h"
#include "search/point_index.h"

using namespace spherebench;
using namespace spherebench::exact_tables;

namespace {
// The lat/long searches that skip by the margins of latlong_bound.h take
// the point as its fixed words, the only points the margins are proved for:
// given radians, a point 2^48 radians east (longitude 0x1.00000001f103ap+48,
// latitude -0x1.1778150f6fe8dp-1) over ten random locations found location 3
// where the brute force finds location 0.
static_assert(!std::is_invocable_v<decltype(&LatLongIndex::nearest), const LatLongIndex&, LatLong>);
static_assert(!std::is_invocable_v<decltype(&LatLongPruned::nearest), const LatLongPruned&, LatLong>);

TEST(SearchExact, RandomTablesOfEverySize) {
    for (const int size : {0, 1, 2, 3, 17, 100, 3000}) {
        for (const uint64_t seed : {1u, 2u}) {
            SCOPED_TRACE(testing::Message() << "size " << size << " seed " << seed);
            const Table table = table_of(random_directions(size, seed));
            Queries queries{random_directions(300, seed + 10), raw_positions(50, seed), kNegativeZeros};
            for (const CdcPair pair : table.pairs) queries.pairs.push_back(pair);  // distance 0
            EXPECT_EQ(count_differences(table, queries), 0);
        }
    }
}

// Random words: every flag case in equal shares, most pairs degenerate or
// beyond their face, with the major component 0.
TEST(SearchExact, RandomWordsInEveryFlagCase) {
    for (const int size : {5, 2000}) {
        std::vector<CdcPair> pairs = random_words(size, 7);
        pairs.insert(pairs.end(), kDegeneratePairs.begin(), kDegeneratePairs.end());
        Queries queries{random_words(400, 8), raw_positions(100, 9), kNegativeZeros};
        queries.pairs.insert(queries.pairs.end(), kDegeneratePairs.begin(), kDegeneratePairs.end());
        EXPECT_EQ(count_differences(table_of(pairs), queries), 0);
    }
}

// A few locations repeated many times, so that scores tie everywhere: the
// lowest index must win however the search meets them.
TEST(SearchExact, DuplicatesAndTies) {
    const std::vector<CdcPair> pool = random_directions(6, 3);
    std::vector<CdcPair> pairs;
    std::mt19937_64 random(4);
    for (int k = 0; k < 1500; ++k) pairs.push_back(pool[random() % pool.size()]);
    Queries queries{pool, {}, {}};
    const std::vector<CdcPair> others = random_directions(200, 5);
    queries.pairs.insert(queries.pairs.end(), others.begin(), others.end());
    EXPECT_EQ(count_differences(table_of(pairs), queries), 0);
}

// Every location beside its opposite, and queries at both.
TEST(SearchExact, Antipodes) {
    std::mt19937_64 random(6);
    std::vector<CdcPair> pairs;
    Queries queries;
    for (int k = 0; k < 400; ++k) {
        const UnitVector v = random_vector(random);
        pairs.push_back(encode_cdc(v));
        pairs.push_back(encode_cdc({-v.x, -v.y, -v.z}));
        queries.vectors.push_back({-v.x, -v.y, -v.z});
    }
    queries.pairs = pairs;
    // A table of one location and its opposite only: every score is large.
    EXPECT_EQ(count_differences(table_of(pairs), queries), 0);
    EXPECT_EQ(count_differences(table_of({pairs[0]}), queries), 0);
}

// Locations in mirrored pairs about queries on the axes, which score exactly
// alike though they lie in different cells; the mirror image comes first in
// the table as often as not. A stored field f mirrors to -f - 1 (the cosine
// (4f + 2) / kFixedPi negated exactly). The sizes give the grids an even
// side, whose middle boundary lies between the mirror images.
void expect_mirror_ties_kept(int sources, uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<CdcPair> pairs;
    std::vector<UnitVector> vectors;
    std::vector<FixedLatLong> fixed;
    for (const CdcPair pair : random_directions(sources, seed)) {
        const int32_t field = static_cast<int32_t>(static_cast<uint32_t>(pair.first) << 2) >> 2;
        const CdcPair mirror{
            static_cast<int32_t>((pair.first & ~int32_t(kCdcFieldMask)) | ((-field - 1) & int32_t(kCdcFieldMask))),
            pair.second};
        const bool mirror_first = random() % 2;
        pairs.push_back(mirror_first ? mirror : pair);
        pairs.push_back(mirror_first ? pair : mirror);
        const UnitVector v = decode_cdc(pair);
        vectors.push_back(mirror_first ? UnitVector{v.x, -v.y, v.z} : v);
        vectors.push_back(mirror_first ? v : UnitVector{v.x, -v.y, v.z});
        const FixedLatLong f = cdc_to_fixed(pair);
        fixed.push_back(mirror_first ? FixedLatLong{f.lat, -f.lon} : f);
        fixed.push_back(mirror_first ? f : FixedLatLong{f.lat, -f.lon});
    }
    Table table = table_of(pairs);
    table.vectors = vectors;
    table.fixed = fixed;
    const std::vector<UnitVector> axes = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const int n = static_cast<int>(pairs.size());
    const CdcIndex index(pairs.data(), n);
    for (const UnitVector axis : axes) {
        const CdcPoint point = arrange_point(axis);
        const Nearest brute = find_nearest<CdcMethod>(pairs.data(), n, point);
        EXPECT_TRUE(same_answer(brute, CdcPruned(pairs.data(), n).nearest(point)));
        EXPECT_TRUE(same_answer(brute, index.nearest(point)));
    }
    Queries queries{{}, {{0, 0}, {0, 2147483640}, {0, -2147483640}, {1073741820, 0}}, axes};
    EXPECT_EQ(count_differences(table, queries), 0);
}

TEST(SearchExact, MirroredLocationsTie) {
    for (const uint64_t seed : {14u, 15u, 16u}) {
        expect_mirror_ties_kept(384, seed);
        expect_mirror_ties_kept(768, seed);
    }
}

// The pair with its words moved by the amounts given (wrapping).
CdcPair nudged(CdcPair pair, int first, int second) {
    return {static_cast<int32_t>(static_cast<uint32_t>(pair.first) + first),
            static_cast<int32_t>(static_cast<uint32_t>(pair.second) + second)};
}

// Clusters of locations a few fixed-point units or field codes apart, whose
// scores differ only in their last bits: a bound without its margin for
// rounding skips the winner here.
TEST(SearchExact, TightClusters) {
    std::mt19937_64 random(16);
    std::vector<FixedLatLong> centres = {{0, 0}, {1073741800, 5}, {-500000000, 2147483630}};
    for (int k = 0; k < 20; ++k)
        centres.push_back({static_cast<int32_t>(static_cast<int64_t>(random() % 2000000000) - 1000000000),
                           static_cast<int32_t>(static_cast<int64_t>(random() % 4000000000) - 2000000000)});
    for (const FixedLatLong centre : centres) {
        std::vector<FixedLatLong> fixed;
        std::vector<CdcPair> pairs;
        const CdcPair middle = encode_cdc(decode_cdc({centre.lat, centre.lon}));
        for (int k = 0; k < 600; ++k) {
            const int dlat = static_cast<int>(random() % 81) - 40, dlon = static_cast<int>(random() % 81) - 40;
            const CdcPair moved = nudged({centre.lat, centre.lon}, dlat, dlon);  // the same words, wrapping
            fixed.push_back({moved.first, moved.second});
            pairs.push_back(nudged(middle, dlat, dlon));
        }
        Table table = table_of(pairs);
        table.fixed = fixed;
        Queries queries{{middle, nudged(middle, 1, 0)}, fixed, {}};
        queries.fixed.push_back(centre);
        const CdcPair beyond = nudged({centre.lat, centre.lon}, 45, -45);
        queries.fixed.push_back({beyond.first, beyond.second});
        EXPECT_EQ(count_differences(table, queries), 0);
    }
}

// A tight cluster within an even spread: a ninth of the table keeps the
// grid, whose cell then holds the whole cluster, a sixth takes the tree;
// both must rank the cluster's near-equal scores as the brute force does.
TEST(SearchExact, TightClusterWithinAnEvenSpread) {
    const FixedLatLong centre{300000000, -700000000};
    const CdcPair middle = encode_cdc(decode_cdc({centre.lat, centre.lon}));
    for (const int clustered : {375, 600}) {
        SCOPED_TRACE(testing::Message() << clustered << " clustered");
        std::mt19937_64 random(21);
        Table table = table_of(random_directions(3000, 22));
        Queries queries{{middle, nudged(middle, 1, 0)}, {centre}, {}};
        for (int k = 0; k < clustered; ++k) {
            const int dlat = static_cast<int>(random() % 81) - 40, dlon = static_cast<int>(random() % 81) - 40;
            const CdcPair moved = nudged({centre.lat, centre.lon}, dlat, dlon);
            const CdcPair pair = nudged(middle, dlat, dlon);
            table.pairs.push_back(pair);
            table.fixed.push_back({moved.first, moved.second});
            table.vectors.push_back(decode_cdc(pair));
            if (k % 4 == 0) queries.pairs.push_back(nudged(pair, 1, -1)), queries.fixed.push_back(table.fixed.back());
        }
        const std::vector<CdcPair> others = random_directions(300, 23);
        queries.pairs.insert(queries.pairs.end(), others.begin(), others.end());
        EXPECT_EQ(count_differences(table, queries), 0);
    }
}

// Locations and queries where faces meet (two or three components equal in
// size, so the first of equals picks the face) and at the poles, and their
// neighbours a field code away on either side.
TEST(SearchExact, PointsOnFaceEdgesAndPoles) {
    std::vector<UnitVector> edges = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {0, -1, 0}};
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int k = 0; k < 200; ++k) {
        const double s = unit(random), t = unit(random) * std::fabs(s), length = std::sqrt(2 * s * s + t * t);
        edges.push_back({s / length, s / length, t / length});   // |x| = |y|
        edges.push_back({t / length, -s / length, s / length});  // |y| = |z|
        const double third = 1 / std::sqrt(3.0);
        edges.push_back({third, k % 2 ? third : -third, -third});  // all three
    }
    std::vector<CdcPair> pairs = random_directions(1500, 11);
    Queries queries{{}, {}, edges};
    for (const UnitVector v : edges) {
        const CdcPair pair = encode_cdc(v);
        for (const CdcPair near : {pair, nudged(pair, 1, 0), nudged(pair, -1, 1)}) {
            queries.pairs.push_back(near);
            if (queries.pairs.size() % 3) pairs.push_back(near);
        }
    }
    EXPECT_EQ(count_differences(table_of(pairs), queries), 0);
}

// Every kind of table, its queries from its own spread and uniform ones, and
// the antipodes of its locations (from which a tight cluster's locations lie
// all but equally far): the searches that skip most of a cluster from afar.
TEST(SearchExact, EveryTableKind) {
    for (const TableKind kind : kTableKinds) {
        SCOPED_TRACE(table_kind_name(kind));
        std::vector<CdcPair> pairs;
        for (const UnitVector v : table_directions(kind, 3000, 21)) pairs.push_back(encode_cdc(v));
        Queries queries;
        for (const UnitVector v : near_query_directions(kind, 300, 21)) queries.pairs.push_back(encode_cdc(v));
        for (const CdcPair pair : random_directions(300, 22)) queries.pairs.push_back(pair);
        for (int k = 0; k < 3000; k += 30) {
            const UnitVector v = decode_cdc(pairs[k]);
            queries.pairs.push_back(encode_cdc({-v.x, -v.y, -v.z}));
        }
        EXPECT_EQ(count_differences(table_of(pairs), queries), 0);
    }
}

TEST(SearchExact, BundledData) {
    Inputs inputs;
    ASSERT_FALSE(load_inputs(SPHEREBENCH_DATA_DIR, inputs));
    const int n = inputs.airports.count;
    Table table;
    table.pairs.assign(inputs.airports.cdc.begin(), inputs.airports.cdc.begin() + n);
    table.fixed.assign(inputs.airports.fixed.begin(), inputs.airports.fixed.begin() + n);
    for (const CdcPair pair : table.pairs) table.vectors.push_back(decode_cdc(pair));
    Queries queries;
    queries.pairs.assign(inputs.flight_line.cdc.begin(), inputs.flight_line.cdc.begin() + inputs.flight_line.count);
    queries.fixed.assign(inputs.flight_line.fixed.begin(), inputs.flight_line.fixed.begin() + inputs.flight_line.count);
    const std::vector<CdcPair> uniform = random_directions(300, 12);
    queries.pairs.insert(queries.pairs.end(), uniform.begin(), uniform.end());
    EXPECT_EQ(count_differences(table, queries), 0);
}

// The direction-cosine index keeps within 13 bytes a location at the sizes
// it is built for, beside its own fixed size, spread over the six faces or
// all on one (a city of a power of two, where a tree of one leaf size more
// would overflow).
TEST(SearchExact, CdcIndexBytesPerLocation) {
    for (const int size : {1 << 10, kAirportCapacity, 1 << 18}) {
        for (const TableKind kind : {TableKind::kUniform, TableKind::kCity}) {
            std::vector<CdcPair> pairs;
            for (const UnitVector v : table_directions(kind, size, 13)) pairs.push_back(encode_cdc(v));
            // Built on one thread: the AArch64 tests run under an emulator
            // that spins when a thread starts.
            const CdcIndex index(pairs.data(), size, 1);
            EXPECT_LE(index.bytes() - sizeof(CdcIndex), 13.0 * size) << size << table_kind_name(kind);
            EXPECT_GE(index.bytes(), 12.0 * size) << size << table_kind_name(kind);
        }
    }
}

}  // namespace
