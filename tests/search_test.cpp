#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "pass/pass_method.h"

using namespace spherebench;

namespace {

TEST(ChordToArc, ZeroBelowThresholdSeriesFromIt) {
    EXPECT_EQ(chord2_to_arc(0.0), 0.0);
    EXPECT_EQ(chord2_to_arc(2.4579999999e-14), 0.0);
    // Expected values evaluate the same Horner scheme in Python.
    EXPECT_EQ(chord2_to_arc(2.458e-14), 1.5678010077812827e-07);
    EXPECT_EQ(chord2_to_arc(1e-6), 0.0010000000416666714);
    EXPECT_EQ(chord2_to_arc(0.01), 0.10004171361154005);
    // The truncated series falls short with distance.
    EXPECT_EQ(chord2_to_arc(2.0), 1.570775657480655);
    EXPECT_NEAR(kPi / 2 - chord2_to_arc(2.0), 2.07e-5, 0.01e-5);
    EXPECT_EQ(chord2_to_arc(4.0), 2.783389291886576);
}

TEST(ChordToArc, MatchesTheArcForShortDistances) {
    for (double angle = 1e-6; angle < 0.1; angle *= 1.5) {
        const double chord = 2 * std::sin(angle / 2);
        EXPECT_NEAR(chord2_to_arc(chord * chord), angle, angle * 1e-13);
    }
}

TEST(LatLongCosine, FoldsTheLongitudeDifferenceIntoZeroToPi) {
    // Across the antimeridian the difference 2*pi - 0.02 folds to about 0.02.
    const double across = latlong_cosine({0.0, -kPi + 0.01}, {0.0, kPi - 0.01});
    EXPECT_NEAR(across, std::cos(0.02), 1e-15);
    // Longitudes pi and -pi are the same meridian: the fold gives exactly 0.
    const LatLong east = from_fixed({0, 2147483640});
    const LatLong west = from_fixed({0, -2147483640});
    EXPECT_EQ(latlong_cosine(east, west), 1.0);
    EXPECT_EQ(latlong_cosine(west, east), 1.0);
    // A difference of exactly pi folds to 2*pi - pi = pi.
    EXPECT_EQ(latlong_cosine({0.0, 0.0}, {0.0, kPi}), std::cos(kPi));
    EXPECT_EQ(latlong_cosine({0.0, kPi}, {0.0, 0.0}), std::cos(kPi));
}

// The expected values are the Python model's (tests/model/spherebench_model.py),
// computed once in the model's folder by
//   python3 -c 'import spherebench_model as m; print(repr(m.latlong_cosine(0.3, 1.2, -0.7, 2.9)))'
// and the same for the second pair. The second tells the product as written,
// cos(p.lat) * (cos(d) * cos(a.lat)), from the other groupings of the three
// factors, which all give 0.7775800934140396 there.
TEST(LatLongCosine, ProductsAreGroupedAsWritten) {
    EXPECT_EQ(latlong_cosine({0.3, 1.2}, {-0.7, 2.9}), -0.2845236517443333);
    EXPECT_EQ(latlong_cosine({0.4, 0.7}, {0.9, 1.3}), 0.7775800934140397);
}

// latlong_cosine folds without branches; it must match the fold taken step by
// step: the larger longitude minus the smaller, then 2 pi - d from pi on.
TEST(LatLongCosine, BranchFreeFoldMatchesTheStepwiseFold) {
    auto stepwise = [](LatLong p, LatLong a) {
        double d = a.lon > p.lon ? a.lon - p.lon : p.lon - a.lon;
        if (d >= kPi) d = kTwoPi - d;
        return std::cos(p.lat) * (std::cos(d) * std::cos(a.lat)) + std::sin(a.lat) * std::sin(p.lat);
    };
    const unsigned seed = 12;
    std::mt19937 random(seed);
    std::uniform_int_distribution<int32_t> lon(-2147483640, 2147483640);
    for (int i = 0; i < 200000; ++i) {
        const LatLong p = from_fixed({lon(random) / 2, lon(random)});
        const LatLong a = from_fixed({lon(random) / 2, lon(random)});
        ASSERT_EQ(std::bit_cast<uint64_t>(latlong_cosine(p, a)), std::bit_cast<uint64_t>(stepwise(p, a)))
            << "seed " << seed << " at " << i;
    }
    // Differences at and next to pi and 2 pi.
    for (int32_t a : {1073741820, 1073741819, 1073741821, 2147483640, 2147483639})
        for (int32_t p : {-1073741820, -1073741819, -1073741821, -2147483640, 0}) {
            const LatLong pp = from_fixed({0, p}), aa = from_fixed({0, a});
            EXPECT_EQ(std::bit_cast<uint64_t>(latlong_cosine(pp, aa)), std::bit_cast<uint64_t>(stepwise(pp, aa)));
            EXPECT_EQ(std::bit_cast<uint64_t>(latlong_cosine(aa, pp)), std::bit_cast<uint64_t>(stepwise(aa, pp)));
        }
}

// Airports 1 and 3 are stored with the same words; the point lies nearest to
// them, so both score alike and the lower index must win in either method.
struct TieCase {
    AirportTable airports;
    FlightLine flight_line;
    TieCase() {
        const CdcPair near{1000, 2000}, far{0x40000000, 0}, point{1003, 2001};
        for (CdcPair pair : {far, near, far, near}) {
            airports.cdc[airports.count] = pair;
            airports.fixed[airports.count] = to_fixed(vector_to_latlong(decode_cdc(pair)));
            ++airports.count;
        }
        flight_line.cdc[0] = point;
        flight_line.fixed[0] = to_fixed(vector_to_latlong(decode_cdc(point)));
        flight_line.count = 1;
    }
};

template <typename Method>
Nearest nearest(const TieCase& c) {
    return find_nearest<Method>(stored_airports<Method>(c.airports), c.airports.count,
                                pass_point<Method>(c.flight_line, 0));
}

TEST(FindNearest, LowestIndexWinsTiesInBothMethods) {
    const TieCase c;
    EXPECT_EQ(nearest<CdcMethod>(c).index, 1);
    EXPECT_GT(nearest<CdcMethod>(c).score, 0.0);
    EXPECT_EQ(nearest<LatLongMethod>(c).index, 1);
}

TEST(FindNearest, SamePairScoresZeroAndHasDistanceZero) {
    TieCase c;
    c.flight_line.cdc[0] = c.airports.cdc[1];
    EXPECT_EQ(nearest<CdcMethod>(c).index, 1);
    EXPECT_EQ(nearest<CdcMethod>(c).score, 0.0);
    EXPECT_EQ(CdcMethod::distance(nearest<CdcMethod>(c).score), 0.0);
}

TEST(FindNearest, NoAirportsLeavesNoWinner) {
    TieCase c;
    c.airports.count = 0;
    EXPECT_EQ(nearest<CdcMethod>(c).index, kNoWinner);
    EXPECT_EQ(nearest<LatLongMethod>(c).index, kNoWinner);
}

// The one loop of every scalar search: only a strictly better score replaces
// the best, so of equal scores the first wins, by either comparison and in
// any score type; with no records the initial score stays and no index.
TEST(BestOf, LowestIndexWinsByEitherComparison) {
    const double scores[] = {3.0, 1.0, 2.0, 1.0, 3.0};
    const auto score = [](double s) { return s; };
    const Best<double> smallest = best_of(scores, 5, 9.0, score, [](double s, double b) { return s < b; });
    EXPECT_EQ(smallest.index, 1);
    EXPECT_EQ(smallest.score, 1.0);
    const Best<double> largest = best_of(scores, 5, -9.0, score, [](double s, double b) { return s > b; });
    EXPECT_EQ(largest.index, 0);
    const float floats[] = {0.5f, 0.25f, 0.25f};
    const Best<float> f = best_of(
        floats, 3, 1.0f, [](float s) { return s; }, [](float s, float b) { return s < b; });
    EXPECT_EQ(f.index, 1);
    const Best<double> none = best_of(scores, 0, 9.0, score, [](double s, double b) { return s < b; });
    EXPECT_EQ(none.index, kNoWinner);
    EXPECT_EQ(none.score, 9.0);
    // Nothing beats the initial score: no winner either.
    EXPECT_EQ(best_of(scores, 5, 0.5, score, [](double s, double b) { return s < b; }).index, kNoWinner);
}

// Two parts' answers merged: the order of the form's score, then the lower
// index among equal scores (0 and -0 are equal), a missing winner losing.
TEST(NearerOf, ByTheFormsOrderThenTheLowestIndex) {
    constexpr ScoreOrder chords = score_order(Form::kCdcPair), cosines = score_order(Form::kFixedLatLong);
    static_assert(chords == ScoreOrder::kSmallerNearer && cosines == ScoreOrder::kLargerNearer);
    static_assert(score_order(Form::kS2Point) == chords && score_order(Form::kFloatVector) == chords);
    struct Case {
        Nearest a, b;
        ScoreOrder order;
        int32_t winner;
    };
    const Case cases[] = {
        {{3, 1.0}, {5, 0.5}, chords, 5},          {{3, 1.0}, {5, 0.5}, cosines, 3},
        {{3, 1.0}, {2, 1.0}, chords, 2},          {{3, 1.0}, {2, 1.0}, cosines, 2},
        {{2, 1.0}, {3, 1.0}, chords, 2},          {{kNoWinner, 0.0}, {4, 9.0}, chords, 4},
        {{4, 9.0}, {kNoWinner, 0.0}, cosines, 4}, {{kNoWinner, 0.0}, {kNoWinner, 0.0}, chords, kNoWinner},
        {{4, -0.0}, {1, 0.0}, chords, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(nearer_of(c.a, c.b, c.order).index, c.winner);
    // The methods' own comparisons are the same order.
    EXPECT_TRUE(CdcMethod::beats(0.25, 0.5) && !CdcMethod::beats(0.5, 0.5) && !CdcMethod::beats(0.5, 0.25));
    EXPECT_TRUE(LatLongMethod::beats(0.5, 0.25) && !LatLongMethod::beats(0.5, 0.5) && !LatLongMethod::beats(0.25, 0.5));
}

// Bit for bit: the sign of a zero counts, a NaN is the same as its own bits.
TEST(SameAnswer, IndexAndScoreBits) {
    const double nan = std::nan("");
    EXPECT_TRUE(same_answer({3, 0.5}, {3, 0.5}));
    EXPECT_FALSE(same_answer({3, 0.5}, {4, 0.5}));
    EXPECT_FALSE(same_answer({3, 0.5}, {3, std::nextafter(0.5, 1.0)}));
    EXPECT_FALSE(same_answer({3, 0.0}, {3, -0.0}));
    EXPECT_TRUE(same_answer({3, nan}, {3, nan}));
}

}  // namespace
