// Airport and flight-line tables of random directions, the same for every run
// with the same seed: the input of the search benchmarks and of the tools that
// count their instructions and write whole-program input files.
#pragma once

#include <cstdint>
#include <vector>

#include "geo/coords.h"
#include "input/tables.h"

namespace spherebench {

// The next word of splitmix64, a full-period generator with well-mixed
// output whose sequence depends only on `state`: the one generator every
// random table draws from.
uint64_t random_word(uint64_t& state);
// Uniform in [0, 1): the top 53 bits of the next word.
double random_unit(uint64_t& state);

// A direction uniform on the sphere, drawn from a generator of 64-bit words
// whose sequence depends only on `state` (no library distribution, so every
// standard library gives the same tables). The one generator of random
// directions: the tables, the suite's other forms and the reports' random
// positions all draw from it.
UnitVector random_direction(uint64_t& state);

// The first `count` directions drawn from `seed`.
std::vector<UnitVector> random_directions(uint64_t seed, int count);

// `count` points along the great circle from Bombay to Los Angeles (the
// bundled flight line's ends), both ends included (count at least 2): the
// path the benchmarks' queries follow.
std::vector<UnitVector> flight_path_directions(int count);

// `count` records of random directions, stored as the loader stores them: the
// pair as encoded, and beside it the fixed-point latitude/longitude derived
// from the decoded pair. Names are left empty.
void fill_random_airports(AirportTable& airports, int count, uint64_t seed);
void fill_random_flight_line(FlightLine& flight_line, int count, uint64_t seed);

inline constexpr uint64_t kAirportSeed = 20240501;
inline constexpr uint64_t kFlightLineSeed = 19721118;

// The benchmark suite searches kSuitePoints points of a random flight line
// against the first kSuiteAirportCounts airports of a random table; the
// reports name the sizes its figures were taken at.
inline constexpr int kSuitePoints = kFlightLineCapacity;
inline constexpr int kSuiteAirportCounts[] = {1000, 2000, 4000, 8000, kAirportCapacity};

}  // namespace spherebench
