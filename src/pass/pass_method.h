// What the program's pass asks of a method beyond its arithmetic: the
// heading of its block, its internal error, where the loaded tables hold
// its stored airports and flight-path points, and an airport's position for
// the results. The methods themselves (method/) know no tables.
#pragma once

#include <concepts>
#include <vector>

#include "input/tables.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"

namespace spherebench {

template <typename Method>
struct PassMethod;

template <CdcArrangement kArrangement>
struct PassMethod<CdcMethodWith<kArrangement>> {
    static constexpr const char* title = "==== (test proximity using CDC coordinates) ===\n";
    static constexpr const char* internal_error = "Unexpected internal error in airport search (a).\n";
    static const CdcPair* stored_airports(const AirportTable& airports) { return airports.cdc.data(); }
    static const CdcPair* stored_points(const FlightLine& flight_line) { return flight_line.cdc.data(); }
    static LatLong airport_position(const AirportTable& airports, int k) {
        return vector_to_latlong(decode_cdc(airports.cdc[k]));
    }
};

template <>
struct PassMethod<LatLongMethod> {
    static constexpr const char* title = "= (test proximity using lat/long coordinates) =\n";
    static constexpr const char* internal_error = "Unexpected internal error in airport search (b).\n";
    static const FixedLatLong* stored_airports(const AirportTable& airports) { return airports.fixed.data(); }
    static const FixedLatLong* stored_points(const FlightLine& flight_line) { return flight_line.fixed.data(); }
    static LatLong airport_position(const AirportTable& airports, int k) { return from_fixed(airports.fixed[k]); }
};

template <ProximityMethod Method>
const typename Method::Stored* stored_airports(const AirportTable& airports) {
    return PassMethod<Method>::stored_airports(airports);
}

// The flight path's point i as the method's search takes it.
template <ProximityMethod Method>
typename Method::Point pass_point(const FlightLine& flight_line, int i) {
    return Method::prepare(PassMethod<Method>::stored_points(flight_line)[i]);
}

// The flight path's point i as a search of the method is asked it: the
// method's prepared point, or the stored form where the search prepares it.
template <ProximityMethod Method, typename Query>
Query pass_query(const FlightLine& flight_line, int i) {
    if constexpr (std::same_as<Query, typename Method::Stored>)
        return PassMethod<Method>::stored_points(flight_line)[i];
    else
        return pass_point<Method>(flight_line, i);
}

template <ProximityMethod Method>
LatLong airport_position(const AirportTable& airports, int k) {
    return PassMethod<Method>::airport_position(airports, k);
}

// Per point, the index of the airport with the best score (the lowest index
// among equals, as in the benchmark), or -1 when there are no airports: the
// pass's answers without the timed pass around them.
template <ProximityMethod Method>
std::vector<int> nearest_by_method(const AirportTable& airports, const FlightLine& line) {
    std::vector<int> winners;
    for (int i = 0; i < line.count; ++i)
        winners.push_back(
            find_nearest<Method>(stored_airports<Method>(airports), airports.count, pass_point<Method>(line, i)).index);
    return winners;
}

}  // namespace spherebench
