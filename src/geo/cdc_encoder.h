// The encoder of concise direction cosines: the exact inverse of decode_cdc's
// bit layout. It lives outside the benchmark, which only ever decodes.
//
// Precision: a decoded pair lies within kCdcPairBound of the unit vector it
// was given (14.53 mm on the Earth); geo/coords.h derives the bound.
#pragma once

#include <cstdint>

#include "geo/coords.h"

namespace spherebench {

// The 30-bit field code (in [-2^29, 2^29 - 1]) whose cell centre,
// (4 * code + 2) / kFixedPi, lies nearest the cosine c: floor(c * kFixedPi / 4),
// computed exactly. On an exact tie between two centres (c on a cell
// boundary) the upper cell is taken. Values beyond the field's range are
// clamped to its end codes.
int32_t cosine_field_code(double c);

// Packs a unit vector. The major axis is the component of largest magnitude
// (Z before Y before X on equal magnitudes); with its sign it picks the flag
// case (the first of kCdcLayout's with that axis and sign), whose layout says
// where the two stored components are read from. The vector should be of unit length: the decoder recomputes
// the major component from the other two.
CdcPair encode_cdc(UnitVector v);

// The unit vector of a latitude and longitude in degrees:
// (cos lat cos lon, cos lat sin lon, sin lat).
UnitVector vector_from_degrees(double latitude, double longitude);

inline CdcPair encode_degrees(double latitude, double longitude) {
    return encode_cdc(vector_from_degrees(latitude, longitude));
}

}  // namespace spherebench
