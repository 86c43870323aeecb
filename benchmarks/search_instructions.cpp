// search-instructions: runs one pass's search loop, or one floor (see
// floors.h), and nothing else, over random tables, so that callgrind can count
// its instructions per test.
//
//   search-instructions cdc|latlong|cdc-floor|latlong-floor [AIRPORTS [POINTS]]
//       (defaults 14000 airports, 100 points)
//
// Prints the number of tests. Count only search_all and floor_all (see
// count_instructions.sh); table setup is outside them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/format.h"
#include "base/tool_cli.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "pass/pass_method.h"
#include "random/random_tables.h"
#include "suite/floors.h"

using namespace spherebench;

template <typename Method>
__attribute__((noinline)) int64_t search_all(const AirportTable& airports, const FlightLine& flight_line) {
    int64_t checksum = 0;
    const typename Method::Stored* stored = stored_airports<Method>(airports);
    for (int i = 0; i < flight_line.count; ++i)
        checksum += find_nearest<Method>(stored, airports.count, pass_point<Method>(flight_line, i)).index;
    return checksum;
}

__attribute__((noinline)) int64_t floor_all(bool cdc, const AirportTable& airports, const FlightLine& flight_line) {
    int64_t checksum = 0;
    for (int i = 0; i < flight_line.count; ++i)
        checksum += cdc ? cdc_floor_search(airports.cdc.data(), airports.count, flight_line.cdc[i])
                        : latlong_floor_search(airports.fixed.data(), airports.count, flight_line.fixed[i]);
    return checksum;
}

constexpr const char* kTool = "search-instructions";

int main(int argc, char** argv) {
    const char* modes[] = {"cdc", "latlong", "cdc-floor", "latlong-floor"};
    int mode = -1;
    for (int m = 0; m < 4 && argc >= 2; ++m)
        if (std::strcmp(argv[1], modes[m]) == 0) mode = m;
    const char* usage = "usage: search-instructions cdc|latlong|cdc-floor|latlong-floor [AIRPORTS [POINTS]]\n";
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc < 2 || argc > 4 || mode < 0)
        return usage_error(kTool, "expected cdc, latlong, cdc-floor or latlong-floor");
    const int airport_count = argc > 2 ? std::atoi(argv[2]) : kAirportCapacity;
    const int point_count = argc > 3 ? std::atoi(argv[3]) : 100;
    if (airport_count < 1 || airport_count > kAirportCapacity || point_count < 1 || point_count > kFlightLineCapacity)
        return usage_error(kTool,
                           printf_string("1 to %d airports, 1 to %d points", kAirportCapacity, kFlightLineCapacity));
    auto airports = std::make_unique<AirportTable>();
    auto flight_line = std::make_unique<FlightLine>();
    fill_random_airports(*airports, airport_count, kAirportSeed);
    fill_random_flight_line(*flight_line, point_count, kFlightLineSeed);
    const int64_t checksum = mode == 0   ? search_all<CdcMethod>(*airports, *flight_line)
                             : mode == 1 ? search_all<LatLongMethod>(*airports, *flight_line)
                                         : floor_all(mode == 2, *airports, *flight_line);
    std::printf("%lld tests (winner checksum %lld)\n", static_cast<long long>(airport_count) * point_count,
                static_cast<long long>(checksum));
    return 0;
}
