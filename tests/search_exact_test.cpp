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

namespace {

// The squared chord in doubles as the three-double vector search forms it,
// written out here on its own: the smallest wins, the lowest index on ties,
// {kNoWinner, infinity} with no locations.
Nearest brute_point_nearest(const std::vector<UnitVector>& table, UnitVector p) {
    Nearest nearest{kNoWinner, std::numeric_limits<double>::infinity()};
    for (int k = 0; k < static_cast<int>(table.size()); ++k) {
        const double dx = table[k].x - p.x, dy = table[k].y - p.y, dz = table[k].z - p.z;
        const double score = (dx * dx + dy * dy) + dz * dz;
        if (score < nearest.score) nearest = {k, score};
    }
    return nearest;
}

struct Table {
    std::vector<CdcPair> pairs;
    std::vector<FixedLatLong> fixed;
    std::vector<UnitVector> vectors;
};

Table table_of(const std::vector<CdcPair>& pairs) {
    Table table{pairs, {}, {}};
    for (const CdcPair pair : pairs) {
        table.fixed.push_back(cdc_to_fixed(pair));
        table.vectors.push_back(decode_cdc(pair));
    }
    return table;
}

// The queries: pairs (each also as its fixed position and its vector), and
// fixed positions and vectors of their own.
struct Queries {
    std::vector<CdcPair> pairs;
    std::vector<FixedLatLong> fixed;
    std::vector<UnitVector> vectors;
};

// Every search of every form against its brute force; returns how many
// answers differ (each reported, up to a few).
int count_differences(const Table& table, const Queries& queries) {
    const int n = static_cast<int>(table.pairs.size());
    const CdcIndex cdc_index(table.pairs.data(), n);
    const LatLongIndex latlong_index(table.fixed.data(), n);
    std::vector<double> xs, ys, zs;
    for (const UnitVector v : table.vectors) xs.push_back(v.x), ys.push_back(v.y), zs.push_back(v.z);
    const S2PointIndex point_index({xs.data(), ys.data(), zs.data()}, n);
    int differences = 0;
    const auto check = [&](const char* search, int query, Nearest expected, Nearest got) {
        if (same_answer(expected, got)) return;
        if (++differences <= 5)
            ADD_FAILURE() << search << " query " << query << ": " << got.index << " " << got.score << " instead of "
                          << expected.index << " " << expected.score;
    };
    std::vector<FixedLatLong> fixed = queries.fixed;
    std::vector<UnitVector> vectors = queries.vectors;
    for (int i = 0; i < static_cast<int>(queries.pairs.size()); ++i) {
        const CdcPair pair = queries.pairs[i];
        const CdcPoint point = arrange_point(decode_cdc(pair));
        const Nearest brute = find_nearest<CdcMethod>(table.pairs.data(), n, point);
        check("CdcPruned", i, brute, CdcPruned(table.pairs.data(), n).nearest(point));
        check("CdcIndex", i, brute, cdc_index.nearest(point));
        fixed.push_back(cdc_to_fixed(pair));
        vectors.push_back(decode_cdc(pair));
    }
    for (int i = 0; i < static_cast<int>(fixed.size()); ++i) {
        const LatLong point = from_fixed(fixed[i]);
        const Nearest brute = find_nearest<LatLongMethod>(table.fixed.data(), n, point);
        check("LatLongPruned", i, brute, LatLongPruned(table.fixed.data(), n).nearest(fixed[i]));
        check("LatLongIndex", i, brute, latlong_index.nearest(fixed[i]));
    }
    for (int i = 0; i < static_cast<int>(vectors.size()); ++i)
        check("PointIndex", i, brute_point_nearest(table.vectors, vectors[i]), point_index.nearest(vectors[i]));
    return differences;
}

std::vector<CdcPair> random_words(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<CdcPair> pairs;
    for (int k = 0; k < count; ++k) {
        const uint64_t bits = random();
        pairs.push_back({static_cast<int32_t>(bits), static_cast<int32_t>(bits >> 32)});
    }
    return pairs;
}

UnitVector random_vector(std::mt19937_64& random) {
    std::normal_distribution<double> normal;
    const double x = normal(random), y = normal(random), z = normal(random);
    const double length = std::sqrt(x * x + y * y + z * z);
    return {x / length, y / length, z / length};
}

std::vector<CdcPair> random_directions(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<CdcPair> pairs;
    for (int k = 0; k < count; ++k) pairs.push_back(encode_cdc(random_vector(random)));
    return pairs;
}

// Fixed positions anywhere in the two words, beyond the poles and the
// antimeridian too, and the poles, antimeridians and ends of the words
// themselves.
std::vector<FixedLatLong> raw_positions(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<FixedLatLong> positions{{1073741820, 0},  {-1073741820, 5},          {0, 2147483640},
                                        {0, -2147483640}, {1073741819, -2147483640}, {0, 0},
                                        {INT32_MAX, 0},   {INT32_MIN, INT32_MAX},    {0, INT32_MIN}};
    for (int k = 0; k < count; ++k) {
        const uint64_t bits = random();
        positions.push_back({static_cast<int32_t>(bits), static_cast<int32_t>(bits >> 32)});
    }
    return positions;
}

// Pairs whose major component decodes to +0.0 or -0.0, and the vectors
// with a negative zero in each place.
const std::vector<CdcPair> kDegeneratePairs = {{0x1FFFFFFF, 0x40000000},
                                               {0x60000000, 0x40000000},
                                               {0x1FFFFFFF, 0},
                                               {0x60000000, int32_t(0x80000000)},
                                               {0, 0},
                                               {0x40000000, int32_t(0xC0000000)}};
const std::vector<UnitVector> kNegativeZeros = {{1, -0.0, 0}, {-0.0, 1, -0.0}, {0, -0.0, -1}, {-1, 0, -0.0}};

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

// Every location's score by score_of(j), ranked apart from the result sets
// (reference_ranking.h).
template <typename ScoreOf>
std::vector<Nearest> ranked(int count, ScoreOrder order, const ScoreOf& score_of) {
    std::vector<Nearest> all;
    for (int j = 0; j < count; ++j) all.push_back({j, score_of(j)});
    return reference::ranking(std::move(all), order);
}

// Whether the index's k nearest and everything within each limit are the
// first k of the ranking and those of it at the limit or nearer, bit for bit.
template <typename Index>
bool asks_as_ranked(const Index& index, const typename Index::Query& query, const std::vector<Nearest>& all,
                    std::initializer_list<double> limits) {
    for (const int k : {-1, 0, 1, 10, 700})
        if (!reference::difference(nearest_k(index, query, k), reference::first_k(all, k)).empty()) return false;
    for (const double limit : limits)
        if (!reference::difference(nearest_within(index, query, limit),
                                   reference::at_or_within(all, limit, Index::kOrder))
                 .empty())
            return false;
    return true;
}

// The three indexes over the table, each asked the k nearest and those
// within limits at every query against its form's scores ranked: squared
// chords within 0, 1e-4 and 0.5, cosines within 1, 0.99999 and 0.5.
void expect_indexes_ask_as_ranked(const Table& table, const std::vector<CdcPair>& queries) {
    const int n = static_cast<int>(table.pairs.size());
    const CdcIndex cdc_index(table.pairs.data(), n);
    const LatLongIndex latlong_index(table.fixed.data(), n);
    std::vector<double> xs, ys, zs;
    for (const UnitVector v : table.vectors) xs.push_back(v.x), ys.push_back(v.y), zs.push_back(v.z);
    const S2PointIndex point_index({xs.data(), ys.data(), zs.data()}, n);
    for (size_t i = 0; i < queries.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "query " << i);
        const CdcPoint point = arrange_point(decode_cdc(queries[i]));
        EXPECT_TRUE(
            asks_as_ranked(cdc_index, point,
                           ranked(n, CdcMethod::order, [&](int j) { return CdcMethod::score(table.pairs[j], point); }),
                           {0.0, 1e-4, 0.5}));
        const FixedLatLong fixed = cdc_to_fixed(queries[i]);
        EXPECT_TRUE(
            asks_as_ranked(latlong_index, fixed,
                           ranked(n, LatLongMethod::order,
                                  [&](int j) { return LatLongMethod::score(table.fixed[j], from_fixed(fixed)); }),
                           {1.0, 0.99999, 0.5}));
        const UnitVector v = decode_cdc(queries[i]);
        EXPECT_TRUE(asks_as_ranked(point_index, v,
                                   ranked(n, ScoreOrder::kSmallerNearer,
                                          [&](int j) {
                                              const double dx = xs[j] - v.x, dy = ys[j] - v.y, dz = zs[j] - v.z;
                                              return (dx * dx + dy * dy) + dz * dz;
                                          }),
                                   {0.0, 1e-4, 0.5}));
    }
}

// Hundreds of copies of a few locations fill whole leaves and nodes of the
// indexes' trees (runs), whose first alone may win the nearest: the k
// nearest and everything within a limit take every copy all the same.
TEST(SearchExact, KNearestAndWithinTakeEveryCopy) {
    const std::vector<CdcPair> pool = random_directions(6, 13);
    std::vector<CdcPair> pairs = random_directions(300, 14);
    std::mt19937_64 random(15);
    for (int k = 0; k < 3000; ++k) pairs.push_back(pool[random() % pool.size()]);
    std::vector<CdcPair> queries = random_directions(20, 16);
    queries.insert(queries.end(), pool.begin(), pool.end());
    expect_indexes_ask_as_ranked(table_of(pairs), queries);
}

// Places within a degree or so of one another, on one face of every form.
std::vector<CdcPair> places_together(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    const UnitVector centre{0.48, 0.6, 0.64};
    std::vector<CdcPair> places;
    for (int k = 0; k < count; ++k) {
        const UnitVector d = random_vector(random);
        const UnitVector v{centre.x + 0.02 * d.x, centre.y + 0.02 * d.y, centre.z + 0.02 * d.z};
        const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        places.push_back(encode_cdc({v.x / length, v.y / length, v.z / length}));
    }
    return places;
}

// Nothing but a few places on one face, each copied many times, in shuffled
// order: the trees' splits fall inside the copies of one place, so a node
// may hold copies of two places, which is no run though both its children
// are.
TEST(SearchExact, FewPlacesCopiedManyTimes) {
    for (const auto& [places, copies] : {std::pair{3, 100}, {5, 37}, {2, 129}, {2, 4096}}) {
        SCOPED_TRACE(testing::Message() << places << " places, " << copies << " copies each");
        const std::vector<CdcPair> pool = places_together(places, 17 + places);
        std::vector<CdcPair> pairs;
        for (int k = 0; k < places * copies; ++k) pairs.push_back(pool[k % places]);
        std::shuffle(pairs.begin(), pairs.end(), std::mt19937_64(18));
        std::vector<CdcPair> queries = random_directions(40, 19);
        queries.insert(queries.end(), pool.begin(), pool.end());
        const Table table = table_of(pairs);
        EXPECT_EQ(count_differences(table, Queries{queries, {}, {}}), 0);
        expect_indexes_ask_as_ranked(table, queries);
    }
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
            const CdcIndex index(pairs.data(), size);
            EXPECT_LE(index.bytes() - sizeof(CdcIndex), 13.0 * size) << size << table_kind_name(kind);
            EXPECT_GE(index.bytes(), 12.0 * size) << size << table_kind_name(kind);
        }
    }
}

}  // namespace
