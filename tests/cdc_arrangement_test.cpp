#include "pass/cdc_arrangement.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "method/cdc_method.h"

using namespace spherebench;

namespace {

constexpr CdcArrangement kArrangements[] = {CdcArrangement::kTwoSlotArray, CdcArrangement::kSelectBits,
                                            CdcArrangement::kConditional};

double score_in(CdcArrangement arrangement, CdcPair airport, const CdcPoint& point) {
    switch (arrangement) {
        case CdcArrangement::kSelectBits:
            return CdcMethodWith<CdcArrangement::kSelectBits>::score(airport, point);
        case CdcArrangement::kConditional:
            return CdcMethodWith<CdcArrangement::kConditional>::score(airport, point);
        case CdcArrangement::kTwoSlotArray:
            break;
    }
    return CdcMethodWith<CdcArrangement::kTwoSlotArray>::score(airport, point);
}

// The squared chord as written, between the decoded airport and point.
uint64_t literal_chord2_bits(CdcPair airport, CdcPair point) {
    const UnitVector a = decode_cdc(airport), p = decode_cdc(point);
    const double dx = a.x - p.x, dy = a.y - p.y, dz = a.z - p.z;
    return std::bit_cast<uint64_t>((dx * dx + dy * dy) + dz * dz);
}

void expect_every_arrangement_exact(CdcPair airport, CdcPair point, const std::string& where) {
    const CdcPoint arranged = arrange_point(decode_cdc(point));
    const uint64_t expected = literal_chord2_bits(airport, point);
    for (CdcArrangement arrangement : kArrangements)
        ASSERT_EQ(std::bit_cast<uint64_t>(score_in(arrangement, airport, arranged)), expected)
            << cdc_arrangement_name(arrangement) << ", " << where << ": airport " << airport.first << " "
            << airport.second << ", point " << point.first << " " << point.second;
}

// The score arranges the point instead of the airport; in every arrangement
// it must equal the squared chord between the decoded airport and the
// decoded point, bit for bit, degenerate pairs with a zero major component
// included.
TEST(CdcArrangements, EqualTheSquaredChordOnRandomPairs) {
    const unsigned seed = 11;
    std::mt19937 random(seed);
    auto random_pair = [&] {
        CdcPair pair{static_cast<int32_t>(random()), static_cast<int32_t>(random())};
        if (random() % 2) {  // small fields: a proper unit vector
            pair.first = static_cast<int32_t>(static_cast<uint32_t>(pair.first) & 0xC7FFFFFFu);
            pair.second = static_cast<int32_t>(static_cast<uint32_t>(pair.second) & 0xC7FFFFFFu);
        }
        return pair;
    };
    for (int i = 0; i < 2000; ++i) {
        const CdcPair point = random_pair();
        for (int j = 0; j < 500; ++j) expect_every_arrangement_exact(random_pair(), point, "seed 11");
    }
}

// Every flag case (the axis Y bit also set under axis Z, where it is not
// read) against every other, with fields at zero, at the ends of their range
// and where 1 - u*u - v*v falls to the threshold (w = 0, and -0.0 where the
// major component is negative); each pair is also its own point (score 0).
TEST(CdcArrangements, EqualTheSquaredChordOnEdgePairs) {
    // 0x16A09E66 and 0x16A09E67: u = v about 1/sqrt(2), either side of w = 0.
    const uint32_t fields[] = {0, 1, 0x1FFFFFFF, 0x20000000, 0x3FFFFFFF, 0x16A09E66, 0x16A09E67, 0x29F619A};
    const uint32_t flags[] = {0, 1u << 30, 1u << 31, 3u << 30};
    std::vector<CdcPair> pairs;
    for (uint32_t negative : {0u, 1u << 30})
        for (uint32_t axis : flags)
            for (uint32_t f : fields)
                for (uint32_t g : fields)
                    pairs.push_back({static_cast<int32_t>(f | negative), static_cast<int32_t>(g | axis)});
    for (CdcPair point : pairs)
        for (CdcPair airport : pairs) expect_every_arrangement_exact(airport, point, "edge pairs");
}

TEST(CdcArrangements, HaveDistinctNames) {
    std::set<std::string> names;
    for (CdcArrangement arrangement : kArrangements) names.insert(cdc_arrangement_name(arrangement));
    EXPECT_EQ(names.size(), std::size(kArrangements));
    EXPECT_STREQ(cdc_arrangement_name(CdcArrangement::kTwoSlotArray), "two-slot array");
}

// The trial's decision from the least times it measured.
TEST(CdcTrial, KeepsTheDefaultUnlessAnotherIsClearlyFaster) {
    static_assert(kDefaultCdcArrangement == CdcArrangement::kTwoSlotArray);
    struct Case {
        double least[kCdcArrangementCount];
        CdcArrangement expected;
    };
    const Case cases[] = {
        {{3.31, 3.98, 4.33}, CdcArrangement::kTwoSlotArray},  // the Xeon's order
        {{5.45, 4.16, 4.33}, CdcArrangement::kSelectBits},    // Zen 3's
        {{3.63, 3.25, 3.09}, CdcArrangement::kConditional},   // Zen 4's
        {{1.00, 0.99, 1.50}, CdcArrangement::kTwoSlotArray},  // within the margin
        {{1.00, 0.97, 0.97}, CdcArrangement::kSelectBits},    // equal: the first
        {{2.00, 2.00, 2.00}, CdcArrangement::kTwoSlotArray},
    };
    for (const Case& c : cases) EXPECT_EQ(fastest_cdc_arrangement(c.least), c.expected) << c.least[0];
}

TEST(CdcTrial, TimesEnoughPointsOrNoneOnSmallTables) {
    struct Case {
        int airports, points, expected;
    };
    const Case cases[] = {
        {kAirportCapacity, kFlightLineCapacity, 4},  // 14000 airports: 50000 tests a search, rounded up to whole points
        {5210, 1000, 10},
        {2000, 1000, 25},
        {1999, 1000, 0},  // under two million tests in the pass
        {kAirportCapacity, 3, 0},
        {0, kFlightLineCapacity, 0},
        {kAirportCapacity, 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(cdc_trial_points(c.airports, c.points), c.expected) << c.airports;
}

TEST(CdcTrial, SmallTablesTakeTheDefaultWithoutTiming) {
    AirportTable airports;
    FlightLine flight_line;
    airports.count = 3;
    flight_line.count = 5;
    const CdcArrangementChoice choice = choose_cdc_arrangement(airports, flight_line);
    EXPECT_EQ(choice.arrangement, kDefaultCdcArrangement);
    EXPECT_STREQ(choice.name, "two-slot array");
}

}  // namespace
