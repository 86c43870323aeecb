// Each point's nearest airport as CSV: quoting, the header, and every line's
// positions and distance against an independent calculation.
#include "app/point_results.h"

#include <gtest/gtest.h>

#include <cmath>

#include "csv_rows.h"
#include "geo/cdc_encoder.h"

namespace spherebench {
namespace {

TEST(PointResults, QuotesEveryNameSoThatItReadsBackWhole) {
    EXPECT_EQ(csv_field("Plain"), "\"Plain\"");
    EXPECT_EQ(csv_field("Quarter, \"East\""), "\"Quarter, \"\"East\"\"\"");
    EXPECT_EQ(csv_field(" a\r\nb "), "\" a\r\nb \"");
    const std::string line = csv_field("x,\"\"y") + "," + csv_field("") + "\n";
    EXPECT_EQ(csv::rows(line), (std::vector<csv::Row>{{"x,\"\"y", ""}}));
}

// The haversine distance in km of two positions in degrees, in long double.
long double haversine_km(long double lat1, long double lon1, long double lat2, long double lon2) {
    const long double r = std::acos(-1.0L) / 180;
    const long double a = std::pow(std::sin((lat2 - lat1) * r / 2), 2) +
                          std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin((lon2 - lon1) * r / 2), 2);
    return 2 * 6371.0L * std::asin(std::sqrt(std::min(a, 1.0L)));
}

struct Place {
    double lat, lon;
};

Inputs tables(const std::vector<Place>& airports, const std::vector<std::string>& names,
              const std::vector<Place>& points) {
    Inputs inputs;
    for (size_t k = 0; k < airports.size(); ++k) {
        inputs.airports.cdc[k] = encode_degrees(airports[k].lat, airports[k].lon);
        inputs.airports.fixed[k] = cdc_to_fixed(inputs.airports.cdc[k]);
        inputs.airports.names[k] = names[k];
    }
    for (size_t i = 0; i < points.size(); ++i) {
        inputs.flight_line.cdc[i] = encode_degrees(points[i].lat, points[i].lon);
        inputs.flight_line.fixed[i] = cdc_to_fixed(inputs.flight_line.cdc[i]);
    }
    inputs.airports.count = static_cast<int>(airports.size());
    inputs.flight_line.count = static_cast<int>(points.size());
    return inputs;
}

TEST(PointResults, GivesEachPointItsAirportPositionsAndDistance) {
    const Inputs inputs =
        tables({{0, 90}, {0, 0}}, {"Quarter, \"East\"", " Null Island"}, {{0, 0}, {0.001, 90}, {0, -179.999}});
    PassRuns runs;
    runs.cdc_winners = {1, 0, 1};
    runs.latlong_winners = {1, 0, 0};
    const std::vector<csv::Row> rows = csv::rows(format_point_results(inputs, runs));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], (csv::Row{"method", "point", "point_latitude", "point_longitude", "airport", "airport_name",
                                 "airport_latitude", "airport_longitude", "distance_km"}));
    // Distances on a sphere of 6371 km, to within the stored forms' error
    // (centimetres); a place and itself is exactly 0 apart.
    const double expected_km[] = {0, 0.001 * std::acos(-1.0) / 180 * 6371, 179.999 * std::acos(-1.0) / 180 * 6371,
                                  0, 0.001 * std::acos(-1.0) / 180 * 6371, 90.001 * std::acos(-1.0) / 180 * 6371};
    for (size_t r = 1; r < rows.size(); ++r) {
        const csv::Row& row = rows[r];
        SCOPED_TRACE(r);
        ASSERT_EQ(row.size(), 9u);
        const int point = static_cast<int>(r - 1) % 3;
        const std::vector<int32_t>& winners = r <= 3 ? runs.cdc_winners : runs.latlong_winners;
        EXPECT_EQ(row[0], r <= 3 ? "cdc" : "latlong");
        EXPECT_EQ(row[1], std::to_string(point));
        EXPECT_EQ(row[4], std::to_string(winners[point]));
        EXPECT_EQ(row[5], inputs.airports.names[winners[point]]);
        const double km = std::stod(row[8]);
        EXPECT_NEAR(km, expected_km[r - 1], 5e-5);
        if (expected_km[r - 1] == 0) {
            EXPECT_EQ(row[8], "0");
        }
        // The distance is that of the line's own positions.
        const long double independent =
            haversine_km(std::stold(row[2]), std::stold(row[3]), std::stold(row[6]), std::stold(row[7]));
        EXPECT_NEAR(km, static_cast<double>(independent), 1e-9);
    }
    // The positions are each method's: the cdc lines decode the pair, the
    // latlong lines convert the fixed point (truncated, so a little nearer 0).
    const LatLong decoded = vector_to_latlong(decode_cdc(inputs.flight_line.cdc[1]));
    EXPECT_EQ(std::stod(rows[2][2]), decoded.lat * kDegreesPerRadian);
    const LatLong fixed = from_fixed(inputs.flight_line.fixed[1]);
    EXPECT_EQ(std::stod(rows[5][2]), fixed.lat * kDegreesPerRadian);
    EXPECT_NE(rows[2][2], rows[5][2]);
}

TEST(PointResults, NoPointsGiveTheHeaderAlone) {
    EXPECT_EQ(format_point_results(tables({{0, 0}}, {"A"}, {}), PassRuns{}), kPointResultsHeader);
}

}  // namespace
}  // namespace spherebench
