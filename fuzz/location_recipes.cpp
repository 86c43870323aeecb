#include "location_recipes.h"

#include <bit>
#include <cmath>
#include <limits>
#include <type_traits>

#include "geo/cdc_encoder.h"
#include "geo/vectors.h"
#include "random/random_tables.h"
#include "search/latlong_bound.h"

namespace spherebench::fuzz {

namespace {

constexpr int32_t kFixedHalfTurn = static_cast<int32_t>(kFixedPi);  // the fold of the longitudes
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A lat/long word round the end of its range, `end` (the pole, or the
// fold): raw, the end itself, just within, beyond, an end of the int32
// words, or anywhere within.
int32_t word_near_end(uint8_t shape, int32_t end, Bytes& in) {
    const int32_t sign = (shape & 8) ? -1 : 1;
    switch (shape % 8) {
        case 0:
            return static_cast<int32_t>(in.bytes(4));
        case 1:
            return sign * end;
        case 2:
            return sign * (end - 1 - in.byte());
        case 3:
            return sign * static_cast<int32_t>(end + 1 + in.bytes(4) % static_cast<uint32_t>(INT32_MAX - end));
        case 4:
            return sign > 0 ? INT32_MAX : INT32_MIN;
        default:
            return static_cast<int32_t>(static_cast<int64_t>(in.bytes(4)) % (2 * int64_t{end} + 1) - end);
    }
}

// Both words moved by the amounts given, wrapping.
template <typename Words>
Words nudged(Words w, int64_t first, int64_t second) {
    const auto move = [](int32_t word, int64_t by) {
        return static_cast<int32_t>(static_cast<uint32_t>(word) + static_cast<uint32_t>(by));
    };
    if constexpr (std::is_same_v<Words, CdcPair>)
        return {move(w.first, first), move(w.second, second)};
    else
        return {move(w.lat, first), move(w.lon, second)};
}

}  // namespace

void Locations::add(CdcPair pair) { add(pair, cdc_to_fixed(pair), decode_cdc(pair)); }

void Locations::add(FixedLatLong words) {
    const LatLong p = from_fixed(words);
    const CdcPair pair = encode_cdc(vector_of_radians<UnitVector>(p.lat, p.lon));
    add(pair, words, decode_cdc(pair));
}

CdcPair raw_pair(Bytes& in) { return {static_cast<int32_t>(in.bytes(4)), static_cast<int32_t>(in.bytes(4))}; }

FixedLatLong latlong_words(Bytes& in) {
    const uint8_t shape = in.byte();
    return {word_near_end(shape % 16, kFixedPoleLatitude, in), word_near_end(shape / 16, kFixedHalfTurn, in)};
}

void add_nudged(Locations& to, const Locations& from, int k, uint8_t shape, uint64_t& state) {
    const int64_t reach = (int64_t{1} << (shape % 16)) / 2;
    const uint64_t h = random_word(state);
    const int64_t a = static_cast<int64_t>((h >> 32) % (2 * reach + 1)) - reach;
    const int64_t b = static_cast<int64_t>((h & 0xFFFFFFFFu) % (2 * reach + 1)) - reach;
    const CdcPair pair = nudged(from.pairs[k], a, b);
    to.add(pair, nudged(from.fixed[k], a, b), decode_cdc(pair));
}

CdcPair antipode(CdcPair pair) {
    const UnitVector v = decode_cdc(pair);
    return encode_cdc({-v.x, -v.y, -v.z});
}

FixedLatLong antipode(FixedLatLong w) {
    const int64_t lon = w.lon > 0 ? int64_t{w.lon} - kFixedHalfTurn : int64_t{w.lon} + kFixedHalfTurn;
    return {static_cast<int32_t>(0u - static_cast<uint32_t>(w.lat)), static_cast<int32_t>(lon)};
}

CdcPair grid_pair(Bytes& in) {
    const uint8_t shape = in.byte();
    const int shift = 10 + shape % 20;
    const uint32_t below = (shape & 0x20) ? (1u << shift) - 1 : 0;
    const auto field = [&](uint8_t line) { return ((static_cast<uint32_t>(line) << shift) | below) & kCdcFieldMask; };
    const uint32_t first = field(in.byte()) | ((shape & 0x40) ? kCdcNegativeMajorBit : 0);
    const uint32_t flags = static_cast<uint32_t>(in.byte()) << 30;
    return {static_cast<int32_t>(first), static_cast<int32_t>(field(in.byte()) | flags)};
}

CdcPair axis_pair(Bytes& in) {
    const uint8_t shape = in.byte();
    const double zero = (shape & 1) ? -0.0 : 0.0, one = (shape & 2) ? -1.0 : 1.0;
    const double half = (shape & 4) ? -0.7071067811865476 : 0.7071067811865476;
    const UnitVector choices[] = {{one, zero, zero},  {zero, one, zero},  {zero, zero, one},
                                  {half, half, zero}, {zero, half, half}, {half, zero, half}};
    return encode_cdc(choices[(shape >> 3) % 6]);
}

UnitVector odd_components(UnitVector v, Bytes& in) {
    const uint8_t shape = in.byte();
    double* component[] = {&v.x, &v.y, &v.z};
    double& one = *component[(shape >> 3) % 3];
    const double sign = (shape & 0x80) ? -1.0 : 1.0;
    switch (shape % 8) {
        case 0:
            one = std::nan("");
            break;
        case 1:
            one = sign * kInfinity;
            break;
        case 2:
            v = {std::nan(""), std::nan(""), std::nan("")};
            break;
        case 3: {
            const int e = in.byte() % 9 - 4;
            v = {std::ldexp(v.x, e), std::ldexp(v.y, e), std::ldexp(v.z, e)};
            break;
        }
        case 4:
            v = {0.0, sign * 0.0, 0.0};
            break;
        case 5:
            one = sign * 1e300;
            break;
        default:
            for (double* c : component) *c = std::bit_cast<double>(uint64_t{in.bytes(4)} << 32 | in.bytes(4));
    }
    return v;
}

const Locations& random_locations() {
    static const Locations pool = [] {
        Locations made;
        uint64_t state = kAirportSeed;
        for (int k = 0; k < kRandomLocations; ++k) made.add(encode_cdc(random_direction(state)));
        return made;
    }();
    return pool;
}

}  // namespace spherebench::fuzz
