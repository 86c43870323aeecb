// Airport and flight-line tables of random directions, the same for every run
// with the same seed: the input of the search benchmarks and of the tools that
// count their instructions and write whole-program input files.
#pragma once

#include <cstdint>

#include "geo/coords.h"
#include "input/tables.h"

namespace spherebench {

// A direction uniform on the sphere, drawn from a generator of 64-bit words
// whose sequence depends only on `state` (no library distribution, so every
// standard library gives the same tables).
UnitVector random_direction(uint64_t& state);

// `count` records of random directions, stored as the loader stores them: the
// pair as encoded, and beside it the fixed-point latitude/longitude derived
// from the decoded pair. Names are left empty.
void fill_random_airports(AirportTable& airports, int count, uint64_t seed);
void fill_random_flight_line(FlightLine& flight_line, int count, uint64_t seed);

inline constexpr uint64_t kAirportSeed = 20240501;
inline constexpr uint64_t kFlightLineSeed = 19721118;

}  // namespace spherebench
