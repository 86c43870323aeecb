// The timed proximity pass shared by both methods: for every point of the
// flight line, test every airport and keep the nearest, timing the search;
// then list the airports met along the path and the time taken.
#pragma once

#include <concepts>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "input/messages.h"
#include "input/tables.h"

inline constexpr int32_t kNoWinner = -1;

// The index of each point's nearest airport; rewritten by each pass.
struct WinnerTable {
    std::vector<int32_t> airport = std::vector<int32_t>(kFlightLineCapacity);
};

// Per airport, the central angle in radians to the last point it was nearest
// to; written by each pass and never read back.
struct DistanceTable {
    std::vector<double> angle = std::vector<double>(kAirportCapacity);
};

struct PassTime {
    int32_t ticks;
    double seconds;
};

// The operations a method supplies; the pass is instantiated per method so
// that its inner loop is compiled with the method's arithmetic inline.
template <typename M>
concept ProximityMethod = requires(const AirportTable& airports, const FlightLine& flight_line, int i,
                                   typename M::Stored stored, const typename M::Point& point, double s) {
    { M::title } -> std::convertible_to<const char*>;
    { M::internal_error } -> std::convertible_to<const char*>;
    { M::initial_best } -> std::convertible_to<double>;
    { M::stored_airports(airports) } -> std::same_as<const typename M::Stored*>;
    { M::prepare_point(flight_line, i) } -> std::same_as<typename M::Point>;
    { M::score(stored, point) } -> std::same_as<double>;
    { M::beats(s, s) } -> std::same_as<bool>;
    { M::distance(s) } -> std::same_as<double>;
    { M::airport_position(airports, i) } -> std::same_as<LatLong>;
};

inline constexpr const char* kPassHeader =
    "==== Find nearest airports to the points ======\n"
    "==== along Bombay-Los Angeles flight path =====\n";

struct DurationParts {
    int hours;
    int minutes;
    double seconds;  // within the minute
};

// Multiplies by reciprocals rather than dividing; for every whole number of
// milliseconds up to ten hours the result agrees with integer division.
DurationParts split_duration(double seconds);

// "[Duration h:mm:ss.sss]" and an empty line.
std::string format_duration(double seconds);

// One numbered line per airport met along the path; consecutive points with
// the same winner collapse into one line.
template <ProximityMethod Method>
std::string format_result_list(const AirportTable& airports, const WinnerTable& winners, int points) {
    std::string list;
    int count = 0;
    for (int i = 0; i < points; ++i) {
        if (i > 0 && winners.airport[i] == winners.airport[i - 1]) continue;
        const int k = winners.airport[i];
        const LatLong position = Method::airport_position(airports, k);
        list += printf_string("%3d %9.5f %10.5f %s\n", ++count, position.lat * kDegreesPerRadian,
                              position.lon * kDegreesPerRadian, airports.names[k].c_str());
    }
    return list;
}

struct Nearest {
    int32_t airport;  // kNoWinner when there are no airports
    double score;
};

// The airport with the best score for the point; of equal scores the lowest
// index wins, since only a strictly better score replaces the best.
template <ProximityMethod Method>
inline Nearest find_nearest(const typename Method::Stored* airports, int airport_count,
                            const typename Method::Point& point) {
    Nearest nearest{kNoWinner, Method::initial_best};
    for (int j = 0; j < airport_count; ++j) {
        const double score = Method::score(airports[j], point);
        if (Method::beats(score, nearest.score)) nearest = {j, score};
    }
    return nearest;
}

// Prints the pass's block on standard output and a progress counter every
// 100 points on standard error; ends the run if a point finds no airport.
template <ProximityMethod Method>
PassTime run_pass(Method, const AirportTable& airports, const FlightLine& flight_line,
                  WinnerTable& winners, DistanceTable& distances) {
    std::fputs(kPassHeader, stdout);
    std::fputs(Method::title, stdout);

    const int32_t start = clock_ticks();
    const typename Method::Stored* stored = Method::stored_airports(airports);
    for (int i = 0; i < flight_line.count; ++i) {
        if (i % 100 == 0) std::fprintf(stderr, "%d\r", i);
        const typename Method::Point point = Method::prepare_point(flight_line, i);
        const Nearest nearest = find_nearest<Method>(stored, airports.count, point);
        winners.airport[i] = nearest.airport;
        if (nearest.airport == kNoWinner) fail_with(Method::internal_error);
        distances.angle[nearest.airport] = Method::distance(nearest.score);
    }
    const int32_t ticks = clock_ticks() - start;
    const double seconds = ticks_to_seconds(ticks);

    std::fputs(format_result_list<Method>(airports, winners, flight_line.count).c_str(), stdout);
    std::fputs(format_duration(seconds).c_str(), stdout);
    return {ticks, seconds};
}
