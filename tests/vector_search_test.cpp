// The vector searches on every Highway target this CPU has (one test run per
// target): the direction-cosine search over the table grouped by flag case
// must find what find_nearest<CdcMethod> finds, the same winner
// with the same score bit for bit, on random and awkward tables and on ties
// within and across flag cases; the lat/long search the lowest index on ties
// and, on random tables, a winner whose exact cosine is the best to within
// SLEEF's error.
#include <hwy/tests/hwy_gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "pass/pass_method.h"
#include "vector/cdc_block_search.h"
#include "vector/latlong_vector_search.h"

using namespace spherebench;

namespace {

class VectorSearchTest : public hwy::TestWithParamTarget {};
HWY_TARGET_INSTANTIATE_TEST_SUITE_P(VectorSearchTest);

std::vector<CdcPair> random_pairs(std::mt19937& random, int count) {
    std::vector<CdcPair> pairs(count);
    for (CdcPair& p : pairs) p = {static_cast<int32_t>(random()), static_cast<int32_t>(random())};
    return pairs;
}

// Every point against the first `count` airports, for each count given, by
// the block search over the table grouped by flag case.
void expect_exact(const std::vector<CdcPair>& airports, const std::vector<CdcPair>& points,
                  const std::vector<int>& counts) {
    FlightLine flight_line;
    for (int count : counts) {
        const CdcCaseGroups groups = group_by_flag_case(airports.data(), count);
        for (size_t i = 0; i < points.size(); ++i) {
            flight_line.cdc[0] = points[i];
            const Nearest exact =
                find_nearest<CdcMethod>(airports.data(), count, pass_point<CdcMethod>(flight_line, 0));
            const Nearest vector = cdc_block_find_nearest(groups, points[i]);
            ASSERT_TRUE(same_answer(vector, exact))
                << "point " << i << ", " << count << " airports: " << vector.index << " " << vector.score << " vs "
                << exact.index << " " << exact.score;
        }
    }
}

std::vector<int> counts_up_to(int last) {
    std::vector<int> counts;
    for (int n = 0; n <= last; ++n) counts.push_back(n);
    return counts;
}

TEST_P(VectorSearchTest, CdcMatchesScalarOnRandomPairs) {
    std::mt19937 random(9);
    const std::vector<CdcPair> airports = random_pairs(random, 3000);
    std::vector<CdcPair> points = random_pairs(random, 40);
    points.insert(points.end(), airports.begin() + 100, airports.begin() + 110);  // scores of 0
    std::vector<int> counts = counts_up_to(40);
    counts.insert(counts.end(), {1023, 3000});
    expect_exact(airports, points, counts);
}

// The special pairs of the decoder, both sides of the threshold before the
// root (fields near 1/sqrt(2) in both words put s a few 1e-9 either side of
// 0) in every flag case, each twice in a shuffled table: equal scores in
// different lanes, and counts that are no multiple of any vector width.
TEST_P(VectorSearchTest, CdcMatchesScalarOnAwkwardPairs) {
    std::vector<CdcPair> pairs = {
        {0, 0},
        {0x40000000, 0},
        {0, 0x40000000},
        {0x40000000, 0x40000000},
        {0, int32_t(0x80000000)},
        {0x40000000, int32_t(0x80000000)},
        {0, int32_t(0xC0000000)},
        {0x40000000, int32_t(0xC0000000)},
        {int32_t(0x80000000), 0},
        {0x1FFFFFFF, 0},
        {0x1FFFFFFF, 0x40000000},
        {0x60000000, 0x40000000},
        {0x20000000, 0x20000000},
        {0x3FFFFFFF, 0x1FFFFFFF},
    };
    for (uint32_t field = 0x16A09E5C; field <= 0x16A09E6C; field += 4)
        for (uint32_t first_flag : {0u, 0x40000000u})
            for (uint32_t second_flags : {0u, 0x40000000u, 0x80000000u, 0xC0000000u})
                pairs.push_back({static_cast<int32_t>(field | first_flag), static_cast<int32_t>(field | second_flags)});
    std::vector<CdcPair> airports = pairs;
    airports.insert(airports.end(), pairs.begin(), pairs.end());
    std::shuffle(airports.begin(), airports.end(), std::mt19937(11));
    expect_exact(airports, pairs, counts_up_to(static_cast<int>(airports.size())));
}

// The same direction stored 17 times, in words that differ only in the
// unread bit 31 of the first word: all score alike, the first wins.
TEST_P(VectorSearchTest, EqualScoresGoToTheLowestIndex) {
    std::vector<CdcPair> cdc(17);
    std::vector<FixedLatLong> fixed(17, FixedLatLong{123456789, -987654321});
    for (int j = 0; j < 17; ++j) cdc[j] = {static_cast<int32_t>(0x12345678u | (j % 2 ? 0x80000000u : 0)), 0x0ABCDEF0};
    for (int count = 1; count <= 17; ++count) {
        EXPECT_EQ(cdc_block_find_nearest(group_by_flag_case(cdc.data(), count), {0x02345678, 0x4ABCDEF0}).index, 0);
        EXPECT_EQ(latlong_vector_find_nearest(fixed.data(), count, {0, 0}).index, 0);
    }
}

// Two airports of different flag cases at exactly the same squared chord:
// the point's stored cosines are opposite (fields 0x1234 and 0x3FFFEDCB are
// 0x48D2 and -0x48D2 shifted), so it decodes to (u, u, w); an axis X airport
// (w', u', v') and an axis Y one whose first cosine is -u' (field 0x3FFFFEFF
// against 0x100), decoded to (u', w', v'), give the same three squares summed
// in the same order. Ahead of them, far airports of a third case; the first
// of the tied airports must win, whichever group it is in.
TEST_P(VectorSearchTest, EqualScoresAcrossGroupsGoToTheLowestIndex) {
    const CdcPair point = {0x1234, int32_t(0x3FFFEDCBu | 0x80000000u)};
    const CdcPair axis_x = {0x100, 0x200}, axis_y = {0x3FFFFEFF, 0x40000200};
    const CdcPair far = {0x40001234, int32_t(0xBFFFEDCBu)};  // the point's fields, axis Z negative
    FlightLine flight_line;
    flight_line.cdc[0] = point;
    const CdcPoint p = pass_point<CdcMethod>(flight_line, 0);
    const double tie = CdcMethod::score(axis_x, p), other = CdcMethod::score(axis_y, p);
    ASSERT_EQ(std::memcmp(&tie, &other, sizeof(double)), 0);
    ASSERT_GT(CdcMethod::score(far, p), tie);
    for (int lead : {0, 3, 9}) {
        for (int tied = 1; tied <= 10; ++tied) {
            for (int y_at = 0; y_at < tied; ++y_at) {
                std::vector<CdcPair> airports(lead, far);
                for (int j = 0; j < tied; ++j) airports.push_back(j == y_at ? axis_y : axis_x);
                const CdcCaseGroups groups = group_by_flag_case(airports.data(), static_cast<int>(airports.size()));
                const Nearest found = cdc_block_find_nearest(groups, point);
                EXPECT_TRUE(same_answer(found, {lead, tie})) << lead << " far, " << tied << " tied, axis Y at " << y_at;
            }
        }
    }
}

// Two airports at the same nonzero squared chord among far ones, all of one
// flag case, so that a position in the group is the table index. At every
// pair of positions over two blocks of the widest vector and into a third
// (in one lane of different blocks, in different lanes of one block, the
// later one in an earlier lane, the table ending inside a block) the block
// search must name the first of the two, with the tie's score.
TEST_P(VectorSearchTest, BlockSearchNamesTheFirstOfTwoEqualScores) {
    const CdcPair point = {0x1234, 0x5678}, near = {0x100, 0x200}, far = {0x20000000, 0x30000000};  // axis X
    FlightLine flight_line;
    flight_line.cdc[0] = point;
    const CdcPoint p = pass_point<CdcMethod>(flight_line, 0);
    const double tie = CdcMethod::score(near, p);
    ASSERT_GT(tie, 0.0);
    ASSERT_GT(CdcMethod::score(far, p), tie);
    ASSERT_EQ(cdc_case_group(near), cdc_case_group(far));
    const int count = 2 * kCdcBlockVectors * 8 + 13;
    for (int first = 0; first < count; ++first) {
        for (int second = first + 1; second < count; ++second) {
            std::vector<CdcPair> airports(count, far);
            airports[first] = airports[second] = near;
            const Nearest found = cdc_block_find_nearest(group_by_flag_case(airports.data(), count), point);
            ASSERT_TRUE(same_answer(found, {first, tie})) << "tied at " << first << " and " << second;
        }
    }
}

// The layout: groups in case order, each in table order, padded with copies
// of its last pair and index to whole multiples of 8.
TEST(CdcCaseGroups, StableGroupsPaddedWithTheirLastPair) {
    const std::vector<CdcPair> airports = {
        {0, 0x40000000},                    // 0: axis Y, positive
        {0x40000000, 0},                    // 1: axis X, negative
        {0x40000000, int32_t(0xC0000000)},  // 2: axis Z (the Y bit unread), negative
        {5, 0x40000007},                    // 3: axis Y, positive
        {int32_t(0x80000000), 0},           // 4: axis X, positive (bit 31 unread)
    };
    const CdcCaseGroups groups = group_by_flag_case(airports.data(), 5);
    const int begin[] = {0, 8, 16, 24, 24, 24, 32};
    const int order[] = {4, 4, 4, 4, 4, 4, 4, 4, 1, 1, 1, 1, 1, 1, 1, 1,
                         0, 3, 3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 2, 2};
    for (int g = 0; g <= kCdcCaseGroups; ++g) EXPECT_EQ(groups.begin[g], begin[g]) << "group " << g;
    ASSERT_EQ(groups.pairs.size(), 32u);
    ASSERT_EQ(groups.indices.size(), 32u);
    for (int j = 0; j < 32; ++j) {
        EXPECT_EQ(groups.indices[j], order[j]) << "position " << j;
        EXPECT_EQ(groups.pairs[j].first, airports[order[j]].first) << "position " << j;
        EXPECT_EQ(groups.pairs[j].second, airports[order[j]].second) << "position " << j;
    }
}

TEST_P(VectorSearchTest, NoAirportsNoWinner) {
    const Nearest blocks = cdc_block_find_nearest(group_by_flag_case(nullptr, 0), {0, 0});
    EXPECT_EQ(blocks.index, kNoWinner);
    EXPECT_EQ(blocks.score, kStartScore);
    const Nearest latlong = latlong_vector_find_nearest(nullptr, 0, {0, 0});
    EXPECT_EQ(latlong.index, kNoWinner);
    EXPECT_EQ(latlong.score, -kStartScore);
}

// SLEEF's sine and cosine are each within 1 ulp, so a computed cosine of the
// central angle (below 1, five rounded operations on top) is within 1e-15 of
// the exact pass's; a winner other than the exact pass's must score within
// twice that of the best exact cosine.
TEST_P(VectorSearchTest, LatLongWinnerIsBestWithinSleefError) {
    std::mt19937 random(13);
    FlightLine flight_line;
    std::vector<FixedLatLong> airports(1000);
    for (FixedLatLong& a : airports) a = cdc_to_fixed({static_cast<int32_t>(random()), static_cast<int32_t>(random())});
    for (int i = 0; i < 50; ++i) {
        flight_line.fixed[0] = cdc_to_fixed({static_cast<int32_t>(random()), static_cast<int32_t>(random())});
        const LatLong point = pass_point<LatLongMethod>(flight_line, 0);
        for (int count : {1, 7, 9, 17, 1000}) {
            const Nearest exact = find_nearest<LatLongMethod>(airports.data(), count, point);
            const Nearest vector = latlong_vector_find_nearest(airports.data(), count, flight_line.fixed[0]);
            ASSERT_GE(vector.index, 0);
            EXPECT_NEAR(LatLongMethod::score(airports[vector.index], point), exact.score, 2e-15);
            EXPECT_NEAR(vector.score, exact.score, 2e-15);
        }
    }
}

}  // namespace
