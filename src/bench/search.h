// The search at the heart of a proximity pass: for one prepared point, test
// every airport by a method's score and keep the best.
#pragma once

#include <concepts>
#include <cstdint>
#include <vector>

#include "geo/coords.h"
#include "input/tables.h"

namespace spherebench {

inline constexpr int32_t kNoWinner = -1;

// What a search's best score starts from, just below the largest double: the
// direction-cosine search starts from it (every squared chord is far smaller),
// the latitude/longitude search from its negative (every cosine is far
// larger), so the first airport tested always beats it. Written here only;
// the methods' initial_best, the floors and the vector searches take it from
// here.
inline constexpr double kStartScore = 1.7976931348623e308;

// The operations a method supplies; the search and the pass are instantiated
// per method so that the inner loop is compiled with the method's arithmetic
// inline.
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

// The index of each point's nearest airport; rewritten by each pass.
struct WinnerTable {
    std::vector<int32_t> airport = std::vector<int32_t>(kFlightLineCapacity);
};

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

}  // namespace spherebench
