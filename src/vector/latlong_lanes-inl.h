// What the latitude/longitude vector searches share, compiled once per
// Highway target (included from each search's per-target code): SLEEF's
// sine and cosine on this target's vectors, and the cosine of the central
// angle of a vector of locations to the point by latlong_cosine's operations
// in its order. Both searches score through these, so a score is the same
// double in either, bit for bit, on every target.

// Per-target include guard, as Highway's foreach_target requires.
#if defined(SPHEREBENCH_LATLONG_LANES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef SPHEREBENCH_LATLONG_LANES_INL_H_
#undef SPHEREBENCH_LATLONG_LANES_INL_H_
#else
#define SPHEREBENCH_LATLONG_LANES_INL_H_
#endif

#include <hwy/highway.h>
#include <sleef.h>

#include <algorithm>
#include <cmath>

#include "base/barrier.h"
#include "geo/coords.h"
#include "vector/sleef_wide.h"
#include "vector/vector_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::latlong_lanes {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
// The one-lane fallback: latlong_cosine with SLEEF's scalar functions.
struct LatLongCosine {
    LatLong p;

    double operator()(FixedLatLong location) const {
        const LatLong a = from_fixed(location);
        double d = std::fabs(a.lon - p.lon);
        d = std::min(d, kTwoPi - d);
        double point_lat = p.lat;  // hidden as in the vector targets below
        hide_value(point_lat);
        const Sleef_double2 sa = Sleef_sincos_u10(a.lat), sp = Sleef_sincos_u10(point_lat);
        return sp.y * (Sleef_cos_u10(d) * sa.y) + sa.x * sp.x;
    }
};
#else
using namespace vector_lanes::HWY_NAMESPACE;

// SLEEF's 1-ulp sine and cosine for this target's vectors, in the variants
// without fused multiply-add.
struct SinCos {
    V sin, cos;
};
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX2
// Through memory, see sleef_wide.h.
HWY_INLINE SinCos sin_cos(V x) {
    const D d;
    HWY_ALIGN double in[hn::MaxLanes(d)], sin[hn::MaxLanes(d)], cos[hn::MaxLanes(d)];
    hn::Store(x, d, in);
#if HWY_TARGET <= HWY_AVX3
    sleef_sincos_8(in, sin, cos);
#else
    sleef_sincos_4(in, sin, cos);
#endif
    return {hn::Load(d, sin), hn::Load(d, cos)};
}
HWY_INLINE V cosine(V x) {
    const D d;
    HWY_ALIGN double in[hn::MaxLanes(d)], cos[hn::MaxLanes(d)];
    hn::Store(x, d, in);
#if HWY_TARGET <= HWY_AVX3
    sleef_cos_8(in, cos);
#else
    sleef_cos_4(in, cos);
#endif
    return hn::Load(d, cos);
}
#elif HWY_ARCH_X86 && (HWY_TARGET == HWY_SSE4 || HWY_TARGET == HWY_SSSE3)
HWY_INLINE SinCos sin_cos(V x) {
#if HWY_TARGET == HWY_SSE4
    const Sleef___m128d_2 r = Sleef_sincosd2_u10sse4(x.raw);
#else
    const Sleef___m128d_2 r = Sleef_sincosd2_u10sse2(x.raw);
#endif
    return {V{r.x}, V{r.y}};
}
HWY_INLINE V cosine(V x) {
#if HWY_TARGET == HWY_SSE4
    return V{Sleef_cosd2_u10sse4(x.raw)};
#else
    return V{Sleef_cosd2_u10sse2(x.raw)};
#endif
}
#elif HWY_ARCH_ARM_A64 && HWY_TARGET == HWY_NEON
HWY_INLINE SinCos sin_cos(V x) {
    const Sleef_float64x2_t_2 r = Sleef_sincosd2_u10advsimdnofma(x.raw);
    return {V{r.x}, V{r.y}};
}
HWY_INLINE V cosine(V x) { return V{Sleef_cosd2_u10advsimdnofma(x.raw)}; }
#else
// Any other target (an emulated one): SLEEF's scalar functions lane by lane.
HWY_INLINE SinCos sin_cos(V x) {
    const D d;
    HWY_ALIGN double s[hn::MaxLanes(d)], c[hn::MaxLanes(d)];
    hn::Store(x, d, s);
    for (size_t i = 0; i < hn::Lanes(d); ++i) {
        const Sleef_double2 r = Sleef_sincos_u10(s[i]);
        s[i] = r.x, c[i] = r.y;
    }
    return {hn::Load(d, s), hn::Load(d, c)};
}
HWY_INLINE V cosine(V x) {
    const D d;
    HWY_ALIGN double c[hn::MaxLanes(d)];
    hn::Store(x, d, c);
    for (size_t i = 0; i < hn::Lanes(d); ++i) c[i] = Sleef_cos_u10(c[i]);
    return hn::Load(d, c);
}
#endif

// What a vector of locations brings to latlong_cosine: the longitude
// difference to the point, folded into [0, pi], and the sine and cosine of
// each location's latitude.
struct LocationLanes {
    V dlon;
    SinCos lat;
};
HWY_INLINE LocationLanes location_lanes(VU records, LatLong p) {
    const D d;
    const DU32 d32;
    // from_fixed of both words: int32 (biased by 2^31 for the conversion)
    // to double, times the scale, times pi.
    const auto [lat_units, lon_units] = words_as_doubles(hn::Xor(hn::BitCast(d32, records), hn::Set(d32, 0x80000000u)));
    const V scale = hn::Set(d, kCosineScale);
    const V pi = hn::Set(d, kPi);
    const V lat = hn::Mul(hn::Mul(lat_units, scale), pi);
    const V lon = hn::Mul(hn::Mul(lon_units, scale), pi);
    V dlon = hn::Abs(hn::Sub(lon, hn::Set(d, p.lon)));
    dlon = hn::Min(dlon, hn::Sub(hn::Set(d, kTwoPi), dlon));
    return {dlon, sin_cos(lat)};
}

// latlong_cosine's last step, given the point's sine and cosine (q).
HWY_INLINE V central_cosines(const LocationLanes& a, SinCos q) {
    return hn::Add(hn::Mul(q.cos, hn::Mul(cosine(a.dlon), a.lat.cos)), hn::Mul(a.lat.sin, q.sin));
}

// The cosines of the central angles of the locations in one vector of
// records to the point, the point's sine and cosine evaluated again in every
// call, as the scalar search does in every test.
struct LatLongCosines {
    LatLong p;

    HWY_INLINE V operator()(VU records) const {
        const LocationLanes a = location_lanes(records, p);
        // Hide the point's latitude from the optimiser so its sine and
        // cosine are not hoisted out of the loop. (Hidden after the
        // location's sine and cosine: placed before, the loop spills more on
        // AVX-512.)
        double point_lat = p.lat;
        hide_value(point_lat);
        return central_cosines(a, sin_cos(hn::Set(D(), point_lat)));
    }
};
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::latlong_lanes
HWY_AFTER_NAMESPACE();

#endif  // per-target include guard
