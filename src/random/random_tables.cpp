#include "random/random_tables.h"

#include <cmath>

#include "geo/cdc_encoder.h"
#include "geo/great_circle.h"
#include "geo/vectors.h"

namespace spherebench {

uint64_t random_word(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

double random_unit(uint64_t& state) { return static_cast<double>(random_word(state) >> 11) * 0x1p-53; }

// z uniform in [-1, 1] and the azimuth uniform make the point uniform on the
// sphere (Archimedes' hat-box theorem).
UnitVector random_direction(uint64_t& state) {
    const double z = 2.0 * random_unit(state) - 1.0;
    const double azimuth = 2.0 * kPi * random_unit(state);
    return vector_on_parallel<UnitVector>(std::sqrt(1.0 - z * z), z, azimuth);
}

std::vector<UnitVector> flight_path_directions(int count) {
    return great_circle_points(vector_from_degrees(19.0886993408, 72.8678970337),
                               vector_from_degrees(33.942501, -118.407997), count);
}

std::vector<UnitVector> random_directions(uint64_t seed, int count) {
    uint64_t state = seed;
    std::vector<UnitVector> directions;
    for (int i = 0; i < count; ++i) directions.push_back(random_direction(state));
    return directions;
}

namespace {

// Both tables keep each record's pair and fixed position in arrays of the
// same names.
template <typename Table>
void fill_random(Table& table, int count, uint64_t seed) {
    uint64_t state = seed;
    for (int i = 0; i < count; ++i) {
        table.cdc[i] = encode_cdc(random_direction(state));
        table.fixed[i] = cdc_to_fixed(table.cdc[i]);
    }
    table.count = count;
}

}  // namespace

void fill_random_airports(AirportTable& airports, int count, uint64_t seed) { fill_random(airports, count, seed); }

void fill_random_flight_line(FlightLine& flight_line, int count, uint64_t seed) {
    fill_random(flight_line, count, seed);
}

}  // namespace spherebench
