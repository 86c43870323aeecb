#include "floors.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kScale = 4.656612890424627e-10;  // 1/2147483640
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kThreshold = 2.458e-14;

double field(uint32_t word) { return static_cast<double>(static_cast<int32_t>((word << 2) | 2u)) * kScale; }

double radians(int32_t n) { return (static_cast<double>(n) * kScale) * kPi; }

// The point's components as each flag case pairs them with the airport's
// stored and computed components: the score is
//   ((u - a)^2 + (m - b)^2) + (n - c)^2
// with (m, n) = (v, w) when the major axis is Z, (w, v) otherwise. A sign the
// decoder would put on an airport component goes onto the point's instead,
// which is exact ((-x - p)^2 == (x + p)^2 in IEEE arithmetic), and the first
// two terms are written in whichever order puts u first, also exact (addition
// commutes). So no airport component is negated or moved per test except v
// and w, which trade places.
struct Side {
    double a, b, c, unused;
};

}  // namespace

int32_t cdc_floor_search(const CdcPair* airports, int count, CdcPair point) {
    // The point, decoded once.
    const uint32_t f = static_cast<uint32_t>(point.first), g = static_cast<uint32_t>(point.second);
    const double pu = field(f), pv = field(g);
    const double ps = (1.0 - pu * pu) - pv * pv;
    const double pw = ps >= kThreshold ? std::sqrt(ps) : 0.0;
    const double sign = (f >> 30) & 1 ? -1.0 : 1.0;
    double px, py, pz;
    if (g >> 31) {
        px = -sign * pv, py = pu, pz = sign * pw;
    } else if ((g >> 30) & 1) {
        px = -sign * pu, py = sign * pw, pz = pv;
    } else {
        px = sign * pw, py = sign * pu, pz = pv;
    }
    // Indexed by (second bit 31, second bit 30, first bit 30).
    const Side sides[8] = {
        {py, px, pz, 0},   {-py, -px, pz, 0},  // X: ( w, u, v), (-w, -u, v)
        {-px, py, pz, 0},  {px, -py, pz, 0},   // Y: (-u, w, v), ( u, -w, v)
        {py, -px, pz, 0},  {py, px, -pz, 0},   // Z: (-v, u, w), ( v, u, -w)
        {py, -px, pz, 0},  {py, px, -pz, 0},   // Z again: bit 30 is not read
    };

    double best = 1.7976931348623e308;
    int32_t winner = -1;
    for (int j = 0; j < count; ++j) {
        const uint32_t first = static_cast<uint32_t>(airports[j].first);
        const uint32_t second = static_cast<uint32_t>(airports[j].second);
        const double u = field(first), v = field(second);
        const double s = (1.0 - u * u) - v * v;
        const double w = s >= kThreshold ? std::sqrt(s) : 0.0;
        const uint32_t axis_z = second >> 31;
        const double vw[2] = {w, v};
        const double m = vw[axis_z], n = vw[axis_z ^ 1];
        const Side& q = sides[((second >> 29) & 6u) | ((first >> 30) & 1u)];
        const double d0 = u - q.a, d1 = m - q.b, d2 = n - q.c;
        const double score = (d0 * d0 + d1 * d1) + d2 * d2;
        if (score < best) best = score, winner = j;
    }
    return winner;
}

int32_t latlong_floor_search(const FixedLatLong* airports, int count, FixedLatLong point) {
    double lat = radians(point.lat), lon = radians(point.lon);
    double best = -1.7976931348623e308;
    int32_t winner = -1;
    for (int j = 0; j < count; ++j) {
        // The point's sine and cosine belong to every test: hide the point
        // from the optimiser so it cannot keep them from the last one.
        asm volatile("" : "+x"(lat), "+x"(lon));
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
