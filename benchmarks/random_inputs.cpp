// random-inputs: writes airports.ptc and flightline.lnc of random directions
// into the current directory, for timing the whole program.
//
//   random-inputs [AIRPORTS [POINTS]]     (defaults 14000 and 1000)
//
// The directions come from fixed seeds, so every run writes the same files.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "measure/random_tables.h"

using namespace spherebench;

namespace {

int count_argument(const char* text, int most) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || n < 0 || n > most) {
        std::fprintf(stderr, "random-inputs: a count from 0 to %d, not \"%s\"\n", most, text);
        std::exit(2);
    }
    return static_cast<int>(n);
}

bool write_file(const char* name, const CdcPair* pairs, int count, bool named) {
    std::FILE* file = std::fopen(name, "w");
    if (file == nullptr) return false;
    std::fprintf(file, "; %d random directions\n", count);
    for (int i = 0; i < count; ++i) {
        if (named)
            std::fprintf(file, "%d %d Random %d\n", pairs[i].first, pairs[i].second, i);
        else
            std::fprintf(file, "%d %d\n", pairs[i].first, pairs[i].second);
    }
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 3) {
        std::fprintf(stderr, "usage: random-inputs [AIRPORTS [POINTS]]\n");
        return 2;
    }
    const int airport_count = argc > 1 ? count_argument(argv[1], kAirportCapacity) : kAirportCapacity;
    const int point_count = argc > 2 ? count_argument(argv[2], kFlightLineCapacity) : kFlightLineCapacity;
    auto airports = std::make_unique<AirportTable>();
    auto flight_line = std::make_unique<FlightLine>();
    fill_random_airports(*airports, airport_count, kAirportSeed);
    fill_random_flight_line(*flight_line, point_count, kFlightLineSeed);
    if (!write_file("airports.ptc", airports->cdc.data(), airport_count, true) ||
        !write_file("flightline.lnc", flight_line->cdc.data(), point_count, false)) {
        std::fprintf(stderr, "random-inputs: can't write the files\n");
        return 1;
    }
    return 0;
}
