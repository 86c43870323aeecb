#include "measure/bundled_measures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/json_text.h"
#include "base/whole_file.h"
#include "geo/cdc_encoder.h"
#include "input/loader.h"
#include "random/random_tables.h"

namespace spherebench {

std::optional<std::string> load_bundled_data(const std::string& dir, BundledData& data) {
    std::string csv, airports, line;
    for (auto [name, text] :
         {std::pair{"/airports.csv", &csv}, {"/airports.ptc", &airports}, {"/flightline.lnc", &line}})
        if (auto failure = read_whole_file(dir + name, *text)) return failure;
    if (auto failure = read_airport_list(csv, data.sources)) return "airports.csv: " + *failure;
    if (auto failure = parse_airports(airports, "airports.ptc", data.airports, nullptr)) return failure;
    if (auto failure = parse_flight_line(line, "flightline.lnc", data.line)) return failure;
    if (static_cast<size_t>(data.airports.count) != data.sources.size())
        return std::string("airports.ptc and airports.csv differ in length");
    const int bom = index_of_code(data.sources, "BOM"), lax = index_of_code(data.sources, "LAX");
    if (bom < 0 || lax < 0) return std::string("BOM or LAX is missing from airports.csv");

    for (const AirportSource& s : data.sources) data.positions.push_back({s.latitude, s.longitude});
    data.path = precise_great_circle(data.positions[bom], data.positions[lax], data.line.count);
    for (const PreciseLatLong& point : data.path) data.truth.push_back(precise_nearest(point, data.positions));
    for (int i = 0; i < data.line.count; ++i) data.by_margin.push_back(i);
    std::stable_sort(data.by_margin.begin(), data.by_margin.end(), [&](int a, int b) {
        const NearestAirports &ta = data.truth[a], &tb = data.truth[b];
        return ta.second_metres - ta.nearest_metres < tb.second_metres - tb.nearest_metres;
    });
    return std::nullopt;
}

std::vector<PreciseLatLong> random_positions() {
    std::vector<PreciseLatLong> positions;
    for (const UnitVector& v : random_directions(kRandomSeed, kRandomDirections)) {
        const LatLong a = vector_to_latlong(v);
        positions.push_back({a.lat * kDegreesPerRadian, a.lon * kDegreesPerRadian});
    }
    return positions;
}

long double error_metres(PreciseVector stored, PreciseLatLong source) {
    return angle_between(stored, precise_vector(source)) * kEarthRadiusMetres;
}

void ErrorSummary::add(long double e) {
    worst = std::max(worst, e);
    sum += e;
    ++count;
}

std::string error_summary_json(const ErrorSummary& e) {
    return json_object({{"worst_metres", json_number(static_cast<double>(e.worst))},
                        {"mean_metres", json_number(static_cast<double>(e.mean()))}});
}

long double pair_error_metres(PreciseLatLong source) {
    const CdcPair pair = encode_degrees(static_cast<double>(source.latitude), static_cast<double>(source.longitude));
    return error_metres(precise_vector(decode_cdc(pair)), source);
}

long double derived_fixed_error_metres(PreciseLatLong source) {
    const CdcPair pair = encode_degrees(static_cast<double>(source.latitude), static_cast<double>(source.longitude));
    return error_metres(precise_vector(cdc_to_fixed(pair)), source);
}

}  // namespace spherebench
