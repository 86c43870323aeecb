// The bundled input files in data/ checked against the source coordinates
// they were made from (data/airports.csv), with the reference geometry in
// long double.
//
// Bounds, in metres on an Earth of 6371 km:
// - A direction-cosine pair decodes within kCdcPairBound of its unit vector
//   (coords.h): 2.2813e-9 radian, 14.534 mm. Rounding in making the vector
//   from degrees and in decoding adds under 1e-15 radian.
// - The fixed-point latitude/longitude is derived from the decoded pair and
//   truncated toward zero, which moves a position by less than
//   kFixedTruncationBound, 2.0689e-9 radian, 13.181 mm, on top of the pair's
//   error.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "base/whole_file.h"
#include "geo/cdc_encoder.h"
#include "geo/reference_geometry.h"
#include "input/input_files.h"
#include "input/loader.h"
#include "measure/bundled_measures.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "pass/pass_method.h"

using namespace spherebench;

namespace {

// The stored forms' bounds (coords.h) on the Earth, with 1e-6 of slack for
// the rounding named above.
constexpr long double kCdcBoundMetres = kCdcPairBound * kEarthRadiusMetres * (1 + 1e-6L);
constexpr long double kFixedBoundMetres = kCdcBoundMetres + kFixedTruncationBound * kEarthRadiusMetres * (1 + 1e-6L);
// The cosine of the central angle by the law of cosines is off by a few
// units in the last place of 1; this much moves an angle t by delta / sin t.
constexpr long double kCosineRounding = 1e-15L;

std::string read_file(const std::string& name) {
    return read_whole_file_or_empty(std::string(SPHEREBENCH_DATA_DIR) + "/" + name);
}

struct BundledFiles {
    std::vector<AirportSource> sources;
    std::vector<PreciseLatLong> source_positions;
    AirportTable airports;
    FlightLine flight_line;
    // The path from BOM to LAX in long double.
    std::vector<PreciseLatLong> path;
};

const BundledFiles& bundled() {
    static const BundledFiles data = [] {
        BundledFiles d;
        const std::optional<std::string> list_failure = read_airport_list(read_file("airports.csv"), d.sources);
        EXPECT_EQ(list_failure, std::nullopt);
        for (const AirportSource& s : d.sources) d.source_positions.push_back({s.latitude, s.longitude});
        EXPECT_EQ(parse_airports(read_file("airports.ptc"), "airports.ptc", d.airports, nullptr), std::nullopt);
        EXPECT_EQ(parse_flight_line(read_file("flightline.lnc"), "flightline.lnc", d.flight_line), std::nullopt);
        const int bom = index_of_code(d.sources, "BOM"), lax = index_of_code(d.sources, "LAX");
        EXPECT_GE(bom, 0);
        EXPECT_GE(lax, 0);
        if (bom < 0 || lax < 0) return d;
        d.path = precise_great_circle(d.source_positions[bom], d.source_positions[lax], d.flight_line.count);
        return d;
    }();
    return data;
}

// Per point of the path, its nearest source airport by haversine.
const std::vector<NearestAirports>& true_nearest() {
    static const std::vector<NearestAirports> truth = [] {
        std::vector<NearestAirports> t;
        for (const PreciseLatLong& point : bundled().path)
            t.push_back(precise_nearest(point, bundled().source_positions));
        return t;
    }();
    return truth;
}

TEST(BundledAirports, AreTheSourceListEncodedInOrder) {
    const BundledFiles& d = bundled();
    ASSERT_GT(d.sources.size(), 5000u);
    ASSERT_EQ(static_cast<size_t>(d.airports.count), d.sources.size());
    for (int i = 0; i < d.airports.count; ++i) {
        const CdcPair pair = encode_degrees(d.sources[i].latitude, d.sources[i].longitude);
        ASSERT_EQ(d.airports.cdc[i].first, pair.first) << i;
        ASSERT_EQ(d.airports.cdc[i].second, pair.second) << i;
        ASSERT_EQ(d.airports.names[i], d.sources[i].name) << i;
    }
}

TEST(BundledAirports, DecodeWithinTheBoundOfTheirSourceCoordinates) {
    const BundledFiles& d = bundled();
    long double worst_cdc = 0, worst_fixed = 0;
    for (int i = 0; i < d.airports.count; ++i) {
        const long double cdc = error_metres(precise_vector(decode_cdc(d.airports.cdc[i])), d.source_positions[i]);
        const long double fixed = error_metres(precise_vector(d.airports.fixed[i]), d.source_positions[i]);
        EXPECT_LE(cdc, kCdcBoundMetres) << d.sources[i].name;
        EXPECT_LE(fixed, kFixedBoundMetres) << d.sources[i].name;
        worst_cdc = std::fmax(worst_cdc, cdc);
        worst_fixed = std::fmax(worst_fixed, fixed);
    }
    std::printf("worst position error: pair %.2Lf mm, fixed point %.2Lf mm\n", worst_cdc * 1000, worst_fixed * 1000);
}

// The path runs from BOM to LAX of the source list; every point decodes
// within the pair's bound of the same point computed in long double.
TEST(BundledFlightLine, IsTheGreatCircleFromBombayToLosAngeles) {
    const BundledFiles& d = bundled();
    const int bom = index_of_code(d.sources, "BOM"), lax = index_of_code(d.sources, "LAX");
    ASSERT_EQ(d.flight_line.count, 1000);
    ASSERT_EQ(d.path.size(), 1000u);
    for (int i = 0; i < d.flight_line.count; ++i)
        EXPECT_LE(error_metres(precise_vector(decode_cdc(d.flight_line.cdc[i])), d.path[i]), kCdcBoundMetres) << i;
    EXPECT_EQ(d.flight_line.cdc[0].first, d.airports.cdc[bom].first);
    EXPECT_EQ(d.flight_line.cdc[0].second, d.airports.cdc[bom].second);
    EXPECT_EQ(d.flight_line.cdc[999].first, d.airports.cdc[lax].first);
    EXPECT_EQ(d.flight_line.cdc[999].second, d.airports.cdc[lax].second);
}

// Each method's nearest airport is the nearest by haversine on the source
// coordinates, or within what its stored form cannot tell apart: each of the
// two distances may be off by the airport's and the point's error.
template <typename Method>
void expect_true_nearest_along_path(long double bound_metres, bool law_of_cosines) {
    const BundledFiles& d = bundled();
    ASSERT_EQ(true_nearest().size(), static_cast<size_t>(d.flight_line.count));
    const std::vector<int> winners = nearest_by_method<Method>(d.airports, d.flight_line);
    int disagreements = 0;
    long double closest_call = INFINITY;
    for (int i = 0; i < d.flight_line.count; ++i) {
        const int winner = winners[i];
        const NearestAirports& truth = true_nearest()[i];
        closest_call = std::fmin(closest_call, truth.second_metres - truth.nearest_metres);
        if (winner == truth.nearest) continue;
        ++disagreements;
        const long double winner_metres = haversine_metres(d.path[i], d.source_positions[winner]);
        long double allowed = 4 * bound_metres;
        if (law_of_cosines)
            allowed += kCosineRounding * kEarthRadiusMetres *
                       (1 / std::sin(winner_metres / kEarthRadiusMetres) +
                        1 / std::sin(truth.nearest_metres / kEarthRadiusMetres));
        EXPECT_LE(winner_metres - truth.nearest_metres, allowed)
            << "point " << i << ": " << d.sources[winner].name << " instead of " << d.sources[truth.nearest].name;
    }
    std::printf("%d of %d points disagree with the reference; closest call %.3Lf m\n", disagreements,
                d.flight_line.count, closest_call);
}

TEST(NearestAlongPath, DirectionCosinesFindTheTrueNearest) {
    expect_true_nearest_along_path<CdcMethod>(kCdcBoundMetres, false);
}

TEST(NearestAlongPath, LatitudeLongitudeFindsTheTrueNearest) {
    expect_true_nearest_along_path<LatLongMethod>(kFixedBoundMetres, true);
}

}  // namespace
