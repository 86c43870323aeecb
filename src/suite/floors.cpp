#include "suite/floors.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "base/barrier.h"
#include "bench/search.h"

namespace spherebench {

namespace {

double field(uint32_t word) { return static_cast<double>(static_cast<int32_t>((word << 2) | 2u)) * kCosineScale; }

double radians(int32_t n) { return (static_cast<double>(n) * kCosineScale) * kPi; }

// Per flag case, the point's components that the airport's u, v and w meet
// in the squared chord, with the sign the decoder would give the airport's
// component moved onto the point's: (-x - p)^2 == (x + p)^2 exactly.
struct Partners {
    double of_u, of_v, of_w, unused;
};

// The squared chord sums its terms in x, y, z order: u's term A comes
// first, and the z term is w's (W) on axis Z and v's (V) otherwise. Each
// arrangement below is the fastest known on some processor.
struct TwoSlotArray {
    static double sum(double A, double V, double W, uint32_t axis_z) {
        const double terms[2] = {W, V};
        return (A + terms[axis_z]) + terms[axis_z ^ 1];
    }
};
struct SelectBits {
    static double sum(double A, double V, double W, uint32_t axis_z) {
        const uint64_t mask = uint64_t{0} - axis_z;
        return std::bit_cast<double>((std::bit_cast<uint64_t>((A + V) + W) & mask) |
                                     (std::bit_cast<uint64_t>((A + W) + V) & ~mask));
    }
};
struct Conditional {
    static double sum(double A, double V, double W, uint32_t axis_z) { return axis_z ? (A + V) + W : (A + W) + V; }
};

template <class Order>
int32_t cdc_floor(const CdcPair* airports, int count, CdcPair point) {
    // The point, decoded once.
    const uint32_t f = static_cast<uint32_t>(point.first), g = static_cast<uint32_t>(point.second);
    const double pu = field(f), pv = field(g);
    const double ps = (1.0 - pu * pu) - pv * pv;
    const double pw = ps >= kSmallestRootArgument ? std::sqrt(ps) : 0.0;
    const double sign = f & kCdcNegativeMajorBit ? -1.0 : 1.0;
    double px, py, pz;
    if (g & kCdcAxisZBit) {
        px = -sign * pv, py = pu, pz = sign * pw;
    } else if (g & kCdcAxisYBit) {
        px = -sign * pu, py = sign * pw, pz = pv;
    } else {
        px = sign * pw, py = sign * pu, pz = pv;
    }
    // Indexed by the axis Z, axis Y and negative-major bits; the airport
    // decodes to (w, u, v), (-w, -u, v), (-u, w, v), (u, -w, v), (-v, u, w),
    // (v, u, -w), and the axis Y bit is not read when the axis Z bit is set.
    const Partners partners[8] = {
        {py, pz, px, 0},  {-py, pz, -px, 0}, {-px, pz, py, 0}, {px, pz, -py, 0},
        {py, -px, pz, 0}, {py, px, -pz, 0},  {py, -px, pz, 0}, {py, px, -pz, 0},
    };

    // Squared chords are never negative, so their bit patterns order as their
    // values do: the comparison runs on integers.
    uint64_t best = std::bit_cast<uint64_t>(kStartScore);
    int32_t winner = -1;
    for (int j = 0; j < count; ++j) {
        const uint32_t first = static_cast<uint32_t>(airports[j].first);
        const uint32_t second = static_cast<uint32_t>(airports[j].second);
        const double u = field(first), v = field(second);
        const double s = (1.0 - u * u) - v * v;
        const double w = s >= kSmallestRootArgument ? std::sqrt(s) : 0.0;
        const Partners& q =
            partners[((second >> (kCdcAxisYShift - 1)) & 6u) | ((first >> kCdcNegativeMajorShift) & 1u)];
        const double du = u - q.of_u, dv = v - q.of_v, dw = w - q.of_w;
        const uint64_t score = std::bit_cast<uint64_t>(Order::sum(du * du, dv * dv, dw * dw, second >> kCdcAxisZShift));
        if (score < best) best = score, winner = j;
    }
    return winner;
}

}  // namespace

int32_t cdc_floor_search(const CdcPair* airports, int count, CdcPair point) {
    return cdc_floor<TwoSlotArray>(airports, count, point);
}

int32_t cdc_floor_select_search(const CdcPair* airports, int count, CdcPair point) {
    return cdc_floor<SelectBits>(airports, count, point);
}

int32_t cdc_floor_conditional_search(const CdcPair* airports, int count, CdcPair point) {
    return cdc_floor<Conditional>(airports, count, point);
}

int32_t cdc_port_search(const CdcPair* airports, int count, CdcPair point) {
    const UnitVector p = decode_cdc(point);
    double best = kStartScore;
    int32_t winner = -1;
    for (int j = 0; j < count; ++j) {
        const UnitVector a = decode_cdc(airports[j]);
        const double dx = a.x - p.x, dy = a.y - p.y, dz = a.z - p.z;
        const double score = (dx * dx + dy * dy) + dz * dz;
        if (score < best) best = score, winner = j;
    }
    return winner;
}

int32_t latlong_floor_search(const FixedLatLong* airports, int count, FixedLatLong point) {
    double lat = radians(point.lat), lon = radians(point.lon);
    double best = -kStartScore;
    int32_t winner = -1;
    for (int j = 0; j < count; ++j) {
        // The point's sine and cosine belong to every test: hide the point
        // from the optimiser so it cannot keep them from the last one.
        hide_values(lat, lon);
        const double a_lat = radians(airports[j].lat), a_lon = radians(airports[j].lon);
        // |a - b| equals the larger minus the smaller exactly, and of d and
        // 2 pi - d the smaller is the folded difference (equal at pi).
        double d = std::fabs(a_lon - lon);
        d = std::min(d, kTwoPi - d);
        const double score = std::cos(lat) * (std::cos(d) * std::cos(a_lat)) + std::sin(a_lat) * std::sin(lat);
        if (score > best) best = score, winner = j;
    }
    return winner;
}

}  // namespace spherebench
