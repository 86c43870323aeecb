// What the accuracy and representation reports measure alike: the bundled
// data beside its source coordinates with the true nearest airport at every
// point of its path, a million random directions, and summaries of position
// errors in metres.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geo/reference_geometry.h"
#include "input/input_files.h"
#include "input/tables.h"

namespace spherebench {

inline constexpr int kRandomDirections = 1000000;
inline constexpr uint64_t kRandomSeed = 20240601;
// How many of the path's closest calls the reports list.
inline constexpr int kClosestCallsShown = 5;

// The proven bounds of the program's two stored forms (geo/coords.h), in
// metres.
inline constexpr long double kPairBoundMetres = kCdcPairBound * kEarthRadiusMetres;
inline constexpr long double kTruncationBoundMetres = kFixedTruncationBound * kEarthRadiusMetres;

struct BundledData {
    std::vector<AirportSource> sources;     // data/airports.csv
    std::vector<PreciseLatLong> positions;  // the sources' coordinates
    AirportTable airports;                  // data/airports.ptc as the program loads it
    FlightLine line;                        // data/flightline.lnc
    std::vector<PreciseLatLong> path;       // the exact great circle BOM-LAX, one per point
    std::vector<NearestAirports> truth;     // per point: nearest by haversine on the sources
    std::vector<int> by_margin;             // points, closest call first
};

// Loads and checks the files of `dir` (they must hold the same airports) and
// finds the true nearest airports. Returns the first fault found (the parsers'
// messages end in a line feed, the others do not).
std::optional<std::string> load_bundled_data(const std::string& dir, BundledData& data);

// kRandomDirections directions uniform on the sphere, the same on every
// platform (random_directions of random_tables.h from kRandomSeed), as
// latitudes and longitudes in degrees rounded to doubles, as a source
// position is.
std::vector<PreciseLatLong> random_positions();

// The angle between a stored form's direction and its source, in metres.
long double error_metres(PreciseVector stored, PreciseLatLong source);

struct ErrorSummary {
    long double worst = 0;
    long double sum = 0;
    long count = 0;
    void add(long double e);
    long double mean() const { return count ? sum / count : 0; }
};

// {"worst_metres": ..., "mean_metres": ...}, as both reports' JSON holds it.
std::string error_summary_json(const ErrorSummary& e);

// The position errors of the pair and of the fixed point the benchmark
// derives from it, made from one source position as the bundled files are.
long double pair_error_metres(PreciseLatLong source);
long double derived_fixed_error_metres(PreciseLatLong source);

}  // namespace spherebench
