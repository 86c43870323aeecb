// The two input tables, allocated once at full capacity and never resized.
// Each record's fields live in arrays of their own, so a proximity pass
// streams one contiguous array of 8-byte records per test.
#pragma once

#include <string>
#include <vector>

#include "geo/coords.h"

namespace spherebench {

inline constexpr int kAirportCapacity = 14000;
inline constexpr int kFlightLineCapacity = 1000;

// Airports in file order; a record's position is its index everywhere.
struct AirportTable {
    std::vector<CdcPair> cdc = std::vector<CdcPair>(kAirportCapacity);
    std::vector<FixedLatLong> fixed = std::vector<FixedLatLong>(kAirportCapacity);
    std::vector<std::string> names = std::vector<std::string>(kAirportCapacity);
    int count = 0;
};

// Points along the flight path in file order.
struct FlightLine {
    std::vector<CdcPair> cdc = std::vector<CdcPair>(kFlightLineCapacity);
    std::vector<FixedLatLong> fixed = std::vector<FixedLatLong>(kFlightLineCapacity);
    int count = 0;
};

}  // namespace spherebench
