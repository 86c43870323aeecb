#include "app/point_results.h"

#include <vector>

#include "base/format.h"
#include "geo/vectors.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "pass/pass_method.h"

namespace spherebench {

namespace {

// A point and its airport as one method holds them.
struct Pair {
    LatLong point, airport;
    UnitVector point_vector, airport_vector;
};

Pair cdc_pair(const Inputs& inputs, int i, int k) {
    const UnitVector point = decode_cdc(inputs.flight_line.cdc[i]);
    return {vector_to_latlong(point), airport_position<CdcMethod>(inputs.airports, k), point,
            decode_cdc(inputs.airports.cdc[k])};
}

Pair latlong_pair(const Inputs& inputs, int i, int k) {
    const LatLong point = from_fixed(inputs.flight_line.fixed[i]);
    const LatLong airport = airport_position<LatLongMethod>(inputs.airports, k);
    return {point, airport, vector_of_radians<UnitVector>(point.lat, point.lon),
            vector_of_radians<UnitVector>(airport.lat, airport.lon)};
}

std::string degrees(double radians) { return shortest_decimal(radians * kDegreesPerRadian); }

std::string method_lines(const char* method, Pair (*pair_of)(const Inputs&, int, int), const Inputs& inputs,
                         const std::vector<int32_t>& winners) {
    std::string lines;
    for (int i = 0; i < static_cast<int>(winners.size()); ++i) {
        const int k = winners[i];
        const Pair p = pair_of(inputs, i, k);
        const double km = angle_between(p.point_vector, p.airport_vector) * kEarthRadiusMetres / 1000;
        lines += std::string(method) + "," + std::to_string(i) + "," + degrees(p.point.lat) + "," +
                 degrees(p.point.lon) + "," + std::to_string(k) + "," + csv_field(inputs.airports.names[k]) + "," +
                 degrees(p.airport.lat) + "," + degrees(p.airport.lon) + "," + shortest_decimal(km) + "\n";
    }
    return lines;
}

}  // namespace

std::string format_point_results(const Inputs& inputs, const PassRuns& runs) {
    return kPointResultsHeader + method_lines("cdc", cdc_pair, inputs, runs.cdc_winners) +
           method_lines("latlong", latlong_pair, inputs, runs.latlong_winners);
}

std::string csv_field(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace spherebench
