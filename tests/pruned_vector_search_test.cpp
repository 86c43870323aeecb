// The pruned vector searches on every Highway target this CPU has (one test
// run per target) against the brute-force searches they must agree with bit
// for bit: find_nearest<CdcMethod> for the direction cosines, the lat/long
// vector search (SLEEF's sines) for latitude/longitude. Tables are random,
// clustered round the point (so that the filters' margins are what decides),
// full of exact ties across lanes, blocks and flag cases, and awkward; and
// the bounds themselves must never exclude a location that scores the best.
#include <hwy/tests/hwy_gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numeric>
#include <random>
#include <vector>

#include "method/cdc_method.h"
#include "method/nearest.h"
#include "pass/pass_method.h"
#include "vector/cdc_pruned_vector_search.h"
#include "vector/latlong_pruned_vector_search.h"
#include "vector/latlong_vector_search.h"
#include "vector/pruning_bounds.h"

using namespace spherebench;

namespace {

class PrunedVectorSearchTest : public hwy::TestWithParamTarget {};
HWY_TARGET_INSTANTIATE_TEST_SUITE_P(PrunedVectorSearchTest);

constexpr uint32_t kField = 0x3FFFFFFF;

// A pair whose two fields lie within `spread` units of base's, its flag bits
// base's or, with `any_flags`, random.
CdcPair nudged(CdcPair base, int spread, bool any_flags, std::mt19937& random) {
    std::uniform_int_distribution<int> step(-spread, spread);
    const auto word = [&](int32_t w) {
        const uint32_t flags =
            any_flags ? static_cast<uint32_t>(random()) & ~kField : static_cast<uint32_t>(w) & ~kField;
        return static_cast<int32_t>(flags | ((static_cast<uint32_t>(w) + step(random)) & kField));
    };
    return {word(base.first), word(base.second)};
}

CdcPair random_pair(std::mt19937& random) { return {static_cast<int32_t>(random()), static_cast<int32_t>(random())}; }

// n locations made by make(random), in turn.
template <typename Location>
std::vector<Location> random_locations(int n, std::mt19937& random, Location (*make)(std::mt19937&)) {
    std::vector<Location> locations(n);
    for (Location& l : locations) l = make(random);
    return locations;
}

// Every airport count from 0 to `through`, then the larger ones.
std::vector<int> counts_through(int through, std::initializer_list<int> larger) {
    std::vector<int> counts(through + 1);
    std::iota(counts.begin(), counts.end(), 0);
    counts.insert(counts.end(), larger);
    return counts;
}

void expect_same(Nearest found, Nearest exact, const char* what, size_t point, int count) {
    ASSERT_TRUE(same_answer(found, exact))
        << what << ", point " << point << ", " << count << " airports: " << found.index << " " << found.score << " vs "
        << exact.index << " " << exact.score;
}

// Every point (at most a flight line's capacity) against the first `count`
// airports, for each count given.
void expect_cdc_exact(const std::vector<CdcPair>& airports, const std::vector<CdcPair>& points,
                      const std::vector<int>& counts) {
    FlightLine flight_line;
    std::copy(points.begin(), points.end(), flight_line.cdc.begin());
    for (int count : counts) {
        const CdcCaseGroups groups = group_by_flag_case(airports.data(), count);
        for (int i = 0; i < static_cast<int>(points.size()); ++i)
            expect_same(cdc_pruned_vector_find_nearest(groups, points[i]),
                        find_nearest<CdcMethod>(airports.data(), count, pass_point<CdcMethod>(flight_line, i)), "cdc",
                        i, count);
    }
}

TEST_P(PrunedVectorSearchTest, CdcRandomTables) {
    std::mt19937 random(21);
    const std::vector<CdcPair> airports = random_locations(3000, random, random_pair);
    std::vector<CdcPair> points = random_locations(40, random, random_pair);
    points.insert(points.end(), airports.begin() + 500, airports.begin() + 510);  // scores of 0
    expect_cdc_exact(airports, points, counts_through(40, {100, 1023, 3000}));
}

// Airports within a few field units of the point, in every flag case (the
// mirror images of the point among them), each stored up to three times at
// random places: scores that differ in their last bits, exact ties in
// other lanes, blocks and groups, and sums at the filter's margin.
TEST_P(PrunedVectorSearchTest, CdcClusteredTablesWithTies) {
    std::mt19937 random(22);
    for (int spread : {3, 40, 5000, 1 << 20}) {
        const CdcPair base = random_pair(random);
        std::vector<CdcPair> airports;
        for (int j = 0; j < 400; ++j) {
            const CdcPair a = nudged(base, spread, j % 3 == 0, random);
            for (int copies = random() % 3; copies >= 0; --copies)
                airports.insert(airports.begin() + random() % (airports.size() + 1), a);
        }
        std::vector<CdcPair> points = {base};
        for (int i = 0; i < 12; ++i) points.push_back(nudged(base, spread, i % 2 == 0, random));
        expect_cdc_exact(airports, points, {1, 13, 64, 255, static_cast<int>(airports.size())});
    }
}

// The decoder's special pairs and their neighbours in every flag case,
// against each other: antipodes, a major component of 0 (and -0.0), fields
// beyond ±1, the unread bits set.
TEST_P(PrunedVectorSearchTest, CdcAwkwardPairs) {
    std::vector<CdcPair> pairs;
    for (uint32_t field : {0u, 1u, 0x1FFFFFFFu, 0x20000000u, 0x3FFFFFFFu, 0x16A09E60u, 0x2D413CCDu})
        for (uint32_t other : {0u, 0x1FFFFFFFu, 0x16A09E60u})
            for (uint32_t first_flags : {0u, 0x40000000u, 0x80000000u})
                for (uint32_t second_flags : {0u, 0x40000000u, 0x80000000u, 0xC0000000u})
                    pairs.push_back(
                        {static_cast<int32_t>(field | first_flags), static_cast<int32_t>(other | second_flags)});
    std::vector<CdcPair> airports = pairs;
    airports.insert(airports.end(), pairs.rbegin(), pairs.rend());
    expect_cdc_exact(airports, pairs, {1, 2, 5, 17, 100, static_cast<int>(airports.size())});
}

TEST_P(PrunedVectorSearchTest, NoAirportsNoWinner) {
    expect_same(cdc_pruned_vector_find_nearest(group_by_flag_case(nullptr, 0), {0, 0}), {kNoWinner, kStartScore}, "cdc",
                0, 0);
    expect_same(latlong_pruned_vector_find_nearest(nullptr, 0, {0, 0}), {kNoWinner, -kStartScore}, "lat/long", 0, 0);
}

void expect_latlong_exact(const std::vector<FixedLatLong>& airports, const std::vector<FixedLatLong>& points,
                          const std::vector<int>& counts) {
    for (int count : counts)
        for (size_t i = 0; i < points.size(); ++i)
            expect_same(latlong_pruned_vector_find_nearest(airports.data(), count, points[i]),
                        latlong_vector_find_nearest(airports.data(), count, points[i]), "lat/long", i, count);
}

FixedLatLong random_fixed(std::mt19937& random) {
    return {std::uniform_int_distribution<int32_t>(-kFixedQuarterTurn, kFixedQuarterTurn)(random),
            std::uniform_int_distribution<int32_t>(-2147483640, 2147483640)(random)};
}

TEST_P(PrunedVectorSearchTest, LatLongRandomTables) {
    std::mt19937 random(23);
    const std::vector<FixedLatLong> airports = random_locations(3000, random, random_fixed);
    std::vector<FixedLatLong> points = random_locations(40, random, random_fixed);
    points.insert(points.end(), airports.begin() + 700, airports.begin() + 705);
    expect_latlong_exact(airports, points, counts_through(24, {100, 1023, 3000}));
}

// Clustered round the point, duplicated at random places (exact ties), with
// the poles, both forms of the antimeridian, the point's antipode, and
// latitudes beyond ±pi/2 (no table made by the loader holds them; the
// search must still match) in tables and points.
TEST_P(PrunedVectorSearchTest, LatLongClusteredAndAwkwardTables) {
    std::mt19937 random(24);
    for (int spread : {2, 300, 100000, 30000000}) {
        const FixedLatLong base = random_fixed(random);
        std::uniform_int_distribution<int32_t> step(-spread, spread);
        std::vector<FixedLatLong> airports = {{kFixedQuarterTurn, 0},
                                              {-kFixedQuarterTurn, 5},
                                              {0, 2147483640},
                                              {0, -2147483640},
                                              {-base.lat, base.lon ^ INT32_MIN},
                                              {kFixedQuarterTurn + 9, 0},
                                              {INT32_MIN, base.lon},
                                              {INT32_MAX, 7}};
        for (int j = 0; j < 300; ++j) {
            const FixedLatLong a = {std::clamp(base.lat + step(random), -kFixedQuarterTurn, kFixedQuarterTurn),
                                    base.lon + step(random)};
            for (int copies = random() % 3; copies >= 0; --copies)
                airports.insert(airports.begin() + random() % (airports.size() + 1), a);
        }
        // Beyond the pole, 640 units short of latitude pi: the same place as
        // latitude 640 units on the opposite meridian, where a point finds it.
        airports.insert(airports.begin() + random() % airports.size(), {2147483000, 1000});
        std::vector<FixedLatLong> points = {
            base, airports[3], {kFixedQuarterTurn, 0}, {kFixedQuarterTurn + 1000, 0}, {640, 1000 - 2147483640}};
        for (int i = 0; i < 8; ++i) points.push_back({base.lat + step(random) / 2, base.lon + step(random)});
        expect_latlong_exact(airports, points, {1, 3, 9, 64, static_cast<int>(airports.size())});
    }
}

// The filter's sum for a pair, as the vector lanes form it.
int32_t filter_sum(CdcPair pair, const CdcPoint::Partners& q) {
    const auto square = [](int32_t word, double partner) {
        const int16_t top = static_cast<int16_t>(word >> 16);
        const int16_t d = static_cast<int16_t>(static_cast<uint16_t>(top - cdc_filter_partner(partner)) << 2);
        return int32_t{d} * d;
    };
    return static_cast<int32_t>(static_cast<uint32_t>(square(pair.first, q.a)) + square(pair.second, q.b));
}

// A pair of flag case `flag_case` whose stored cosines lie within `spread`
// field units of the point's partners for that case: off the grid of cell
// centres where the partner is the point's computed component or another
// case's, so the filter's rounding of the partner matters.
CdcPair near_partners(const CdcPoint& p, unsigned flag_case, int spread, std::mt19937& random) {
    const CdcPoint::Partners& q = p.by_case[flag_case];
    std::uniform_int_distribution<int> step(-spread, spread);
    const auto field = [&](double partner) {  // the cell whose centre is nearest the partner, nudged
        const int64_t cell = std::llround((partner * 2147483640.0 - 2) / 4) + step(random);
        return static_cast<uint32_t>(cell) & kField;
    };
    const uint32_t first = field(q.a) | (flag_case & 1u) << 30, second = field(q.b) | (flag_case >> 1) << 30;
    return {static_cast<int32_t>(first), static_cast<int32_t>(second)};
}

// A pair scoring exactly the best so far may tie and win: the filter must
// pass it, however near the point it lies (there the margins decide).
TEST(PruningBounds, CdcFilterPassesEveryPairAtTheBest) {
    std::mt19937 random(25);
    FlightLine flight_line;
    for (int i = 0; i < 200000; ++i) {
        flight_line.cdc[0] = random_pair(random);
        const CdcPoint p = pass_point<CdcMethod>(flight_line, 0);
        const CdcPair pair = i % 2 ? nudged(flight_line.cdc[0], 1 << (i % 31), i % 5 == 0, random)
                                   : near_partners(p, random() % 8, i % 7 == 0 ? 0 : 1 << (i % 29), random);
        const double score = CdcMethod::score(pair, p);
        ASSERT_LT(filter_sum(pair, p.by_case[cdc_flag_case(pair)]), cdc_filter_limit(score)) << i;
    }
    EXPECT_EQ(cdc_filter_limit(kStartScore), INT32_MAX);
    // Not vacuous: a squared chord of 1e-4 (64 km on the Earth) lets pass
    // pairs whose components are within 1e-2 (in units of 2^18 / 2147483640,
    // 4 times that in the sum's square roots) and a margin of 1.5 units.
    EXPECT_LT(cdc_filter_limit(1e-4), 16 * std::pow(1e-2 * 2147483640 / 0x1p18 + 1.5, 2) + 2);
}

// An airport scoring exactly the best so far lies inside both bands: near
// the point and far, near the poles, across the antimeridian.
TEST(PruningBounds, BandsHoldEveryAirportAtTheBest) {
    std::mt19937 random(26);
    const auto near = [&random](int64_t centre, int spread, int64_t low, int64_t high) {
        const int64_t step = static_cast<int64_t>(random() % (uint64_t{2} << spread)) - (int64_t{1} << spread);
        return static_cast<int32_t>(std::clamp(centre + step, low, high));
    };
    for (int i = 0; i < 200000; ++i) {
        FixedLatLong point = random_fixed(random);
        if (i % 4 == 0)
            point.lat =
                near(i % 8 ? kFixedQuarterTurn : -kFixedQuarterTurn, i % 31, -kFixedQuarterTurn, kFixedQuarterTurn);
        if (i % 3 == 0) point.lon = near(2147483640, 20, -2147483640, 2147483640);
        const FixedLatLong airport = {
            near(point.lat, i % 31, -kFixedQuarterTurn, kFixedQuarterTurn),
            static_cast<int32_t>(point.lon + static_cast<uint32_t>(near(0, i % 32, INT32_MIN, INT32_MAX)))};
        const double score = latlong_vector_find_nearest(&airport, 1, point).score;
        const uint32_t latitude_limit = latitude_band_limit(score);
        ASSERT_LT(static_cast<uint32_t>(std::abs(int64_t{airport.lat} - point.lat)), latitude_limit) << i;
        const uint32_t longitude_apart = static_cast<uint32_t>(
            std::abs(static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(airport.lon) - point.lon))));
        ASSERT_LT(longitude_apart, longitude_band_limit(score, point.lat, latitude_limit)) << i;
    }
    EXPECT_EQ(latitude_band_limit(-kStartScore), UINT32_MAX);
    EXPECT_EQ(longitude_band_limit(-kStartScore, 0, UINT32_MAX), UINT32_MAX);
    // Not vacuous: a central angle of 0.01 radian gives bands of that
    // difference, to within a few units, in latitude and, on the equator, in
    // longitude; at latitude 60 degrees twice that, and more.
    const uint32_t band = latitude_band_limit(std::cos(0.01));
    EXPECT_NEAR(band, 0.01 * 2147483640 / kPi, 10);
    EXPECT_NEAR(longitude_band_limit(std::cos(0.01), 0, band), 0.01 * 2147483640 / kPi, 0.0002 * 2147483640 / kPi);
    EXPECT_GT(longitude_band_limit(std::cos(0.01), kFixedQuarterTurn / 3 * 2, band), 2 * band);
}

}  // namespace
