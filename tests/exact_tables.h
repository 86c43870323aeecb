// What the exact-search tests share: tables in every form from direction-
// cosine pairs, queries, every search of every form against its brute force
// (count_differences), and the tables of random words, directions and fixed
// positions the tests draw.
#pragma once

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

namespace spherebench::exact_tables {

// The squared chord in doubles as the three-double vector search forms it,
// written out here on its own: the smallest wins, the lowest index on ties,
// {kNoWinner, infinity} with no locations.
inline Nearest brute_point_nearest(const std::vector<UnitVector>& table, UnitVector p) {
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

inline Table table_of(const std::vector<CdcPair>& pairs) {
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

inline std::vector<double> component(const Table& table, double UnitVector::*axis) {
    std::vector<double> values;
    for (const UnitVector& v : table.vectors) values.push_back(v.*axis);
    return values;
}

// The three indexes over a table, the vectors' over its components.
struct TableIndexes {
    explicit TableIndexes(const Table& table)
        : xs(component(table, &UnitVector::x)),
          ys(component(table, &UnitVector::y)),
          zs(component(table, &UnitVector::z)),
          cdc(table.pairs.data(), static_cast<int>(table.pairs.size())),
          latlong(table.fixed.data(), static_cast<int>(table.fixed.size())),
          point({xs.data(), ys.data(), zs.data()}, static_cast<int>(xs.size())) {}
    std::vector<double> xs, ys, zs;
    CdcIndex cdc;
    LatLongIndex latlong;
    S2PointIndex point;
};

// Every search of every form against its brute force; returns how many
// answers differ (each reported, up to a few).
inline int count_differences(const Table& table, const Queries& queries) {
    const int n = static_cast<int>(table.pairs.size());
    const TableIndexes indexes(table);
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
        check("CdcIndex", i, brute, indexes.cdc.nearest(point));
        fixed.push_back(cdc_to_fixed(pair));
        vectors.push_back(decode_cdc(pair));
    }
    for (int i = 0; i < static_cast<int>(fixed.size()); ++i) {
        const LatLong point = from_fixed(fixed[i]);
        const Nearest brute = find_nearest<LatLongMethod>(table.fixed.data(), n, point);
        check("LatLongPruned", i, brute, LatLongPruned(table.fixed.data(), n).nearest(fixed[i]));
        check("LatLongIndex", i, brute, indexes.latlong.nearest(fixed[i]));
    }
    for (int i = 0; i < static_cast<int>(vectors.size()); ++i)
        check("PointIndex", i, brute_point_nearest(table.vectors, vectors[i]), indexes.point.nearest(vectors[i]));
    return differences;
}

inline std::vector<CdcPair> random_words(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<CdcPair> pairs;
    for (int k = 0; k < count; ++k) {
        const uint64_t bits = random();
        pairs.push_back({static_cast<int32_t>(bits), static_cast<int32_t>(bits >> 32)});
    }
    return pairs;
}

inline UnitVector random_vector(std::mt19937_64& random) {
    std::normal_distribution<double> normal;
    const double x = normal(random), y = normal(random), z = normal(random);
    const double length = std::sqrt(x * x + y * y + z * z);
    return {x / length, y / length, z / length};
}

inline std::vector<CdcPair> random_directions(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<CdcPair> pairs;
    for (int k = 0; k < count; ++k) pairs.push_back(encode_cdc(random_vector(random)));
    return pairs;
}

// Fixed positions anywhere in the two words, beyond the poles and the
// antimeridian too, and the poles, antimeridians and ends of the words
// themselves.
inline std::vector<FixedLatLong> raw_positions(int count, uint64_t seed) {
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
inline const std::vector<CdcPair> kDegeneratePairs = {{0x1FFFFFFF, 0x40000000},
                                                      {0x60000000, 0x40000000},
                                                      {0x1FFFFFFF, 0},
                                                      {0x60000000, int32_t(0x80000000)},
                                                      {0, 0},
                                                      {0x40000000, int32_t(0xC0000000)}};
inline const std::vector<UnitVector> kNegativeZeros = {{1, -0.0, 0}, {-0.0, 1, -0.0}, {0, -0.0, -1}, {-1, 0, -0.0}};

}  // namespace spherebench::exact_tables
