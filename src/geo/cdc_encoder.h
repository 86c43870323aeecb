// The encoder of concise direction cosines: the exact inverse of decode_cdc's
// bit layout. It lives outside the benchmark, which only ever decodes.
//
// Precision: each stored cosine is the centre of the 30-bit cell that holds
// the encoded component, so it is off by at most half a field unit,
// kHalfFieldUnit = 2/2147483640 (9.3e-10), plus the decoder's rounding of its
// product (below 2^-53). The major component is recomputed by the decoder from
// the stored two: to first order it moves by -(u*du + v*dv)/w, at most 2 half
// units since |u|, |v| <= |w|. So the decoded vector lies within
// sqrt(6) * kHalfFieldUnit of a unit vector it was given (kCdcPairBound,
// 14.53 mm on the Earth), reached when all three components are 1/sqrt(3).
#pragma once

#include <cstdint>

#include "geo/coords.h"

namespace spherebench {

// Half the width of a stored cosine's cell: the largest distance from a
// cosine in [-1, 1] to the nearest cell centre.
inline constexpr double kHalfFieldUnit = 2.0 / 2147483640.0;

// The 30-bit field code (in [-2^29, 2^29 - 1]) whose cell centre,
// (4 * code + 2) / 2147483640, lies nearest the cosine c: floor(c * 536870910),
// computed exactly. On an exact tie between two centres (c on a cell
// boundary) the upper cell is taken. Values beyond the field's range are
// clamped to its end codes.
int32_t cosine_field_code(double c);

// Packs a unit vector. The major axis is the component of largest magnitude
// (Z before Y before X on equal magnitudes); its sign sets the first word's
// bit 30, and the other two components are stored as the decoder's table
// expects them. The vector should be of unit length: the decoder recomputes
// the major component from the other two.
CdcPair encode_cdc(UnitVector v);

// The unit vector of a latitude and longitude in degrees:
// (cos lat cos lon, cos lat sin lon, sin lat).
UnitVector vector_from_degrees(double latitude, double longitude);

inline CdcPair encode_degrees(double latitude, double longitude) {
    return encode_cdc(vector_from_degrees(latitude, longitude));
}

}  // namespace spherebench
