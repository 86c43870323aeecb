#include "geo/cdc_encoder.h"

#include <cmath>
#include <cstdlib>

#include "geo/vectors.h"

namespace spherebench {

namespace {

// Cells per unit of cosine, 536870910: the cell width is 4 / kFixedPi.
constexpr int64_t kCellsPerUnit = static_cast<int64_t>(kFixedPi) / 4;
constexpr int32_t kLowestCode = -(1 << 29);
constexpr int32_t kHighestCode = (1 << 29) - 1;

__extension__ typedef __int128 Int128;

int32_t clamp_code(int64_t code) {
    if (code < kLowestCode) return kLowestCode;
    if (code > kHighestCode) return kHighestCode;
    return static_cast<int32_t>(code);
}

// The words' low 30 bits, from a code known to be in range.
uint32_t field_bits(int32_t code) { return static_cast<uint32_t>(code) & kCdcFieldMask; }

}  // namespace

int32_t cosine_field_code(double c) {
    if (std::isnan(c)) return 0;
    if (!(std::fabs(c) < 2.0)) return c > 0 ? kHighestCode : kLowestCode;
    // c = mantissa * 2^(exponent - 53) exactly, mantissa a 53-bit integer, so
    // c * kCellsPerUnit is an 83-bit integer times a power of two, and an
    // arithmetic shift right floors it.
    int exponent = 0;
    const double fraction = std::frexp(c, &exponent);
    const auto mantissa = static_cast<int64_t>(std::ldexp(fraction, 53));
    const Int128 product = static_cast<Int128>(mantissa) * kCellsPerUnit;
    const int shift = 53 - exponent;  // at least 52, since |c| < 2
    if (shift >= 127) return product < 0 ? -1 : 0;
    return clamp_code(static_cast<int64_t>(product >> shift));
}

CdcPair encode_cdc(UnitVector v) {
    const double ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    const CdcAxis major = az >= ax && az >= ay ? kCdcZ : ay >= ax ? kCdcY : kCdcX;
    const double components[3] = {v.x, v.y, v.z};
    const unsigned flag_case = cdc_case_of(major, std::signbit(components[major]));
    // The two stored cosines, each read back from where the decoder puts it.
    const auto stored = [&components](CdcPlace place) {
        return place.negated ? -components[place.axis] : components[place.axis];
    };
    const CdcPair flags = cdc_flag_bits(flag_case);
    const uint32_t first =
        field_bits(cosine_field_code(stored(kCdcLayout[flag_case].u))) | static_cast<uint32_t>(flags.first);
    const uint32_t second =
        field_bits(cosine_field_code(stored(kCdcLayout[flag_case].v))) | static_cast<uint32_t>(flags.second);
    return {static_cast<int32_t>(first), static_cast<int32_t>(second)};
}

UnitVector vector_from_degrees(double latitude, double longitude) {
    return vector_of_radians<UnitVector>(latitude * kRadiansPerDegree, longitude * kRadiansPerDegree);
}

}  // namespace spherebench
