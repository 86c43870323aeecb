#include "search_recipes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

#include "geo/cdc_encoder.h"
#include "geo/vectors.h"
#include "random/random_tables.h"
#include "search/latlong_bound.h"

namespace spherebench::fuzz {

namespace {

constexpr int32_t kFixedHalfTurn = static_cast<int32_t>(kFixedPi);  // the fold of the longitudes
constexpr double kInfinity = std::numeric_limits<double>::infinity();

CdcPair raw_pair(Bytes& in) { return {static_cast<int32_t>(in.bytes(4)), static_cast<int32_t>(in.bytes(4))}; }

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

FixedLatLong latlong_words(Bytes& in) {
    const uint8_t shape = in.byte();
    return {word_near_end(shape % 16, kFixedPoleLatitude, in), word_near_end(shape / 16, kFixedHalfTurn, in)};
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

// Location k moved by up to 2^(s - 1) units in each word of both forms (s
// from the byte, 0 to 15; none at 0).
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

// A pair whose stored fields sit on a grid line (their low bits clear, or
// all set, just below the next line), with its flag bits from the byte.
CdcPair grid_pair(Bytes& in) {
    const uint8_t shape = in.byte();
    const int shift = 10 + shape % 20;
    const uint32_t below = (shape & 0x20) ? (1u << shift) - 1 : 0;
    const auto field = [&](uint8_t line) { return ((static_cast<uint32_t>(line) << shift) | below) & kCdcFieldMask; };
    const uint32_t first = field(in.byte()) | ((shape & 0x40) ? kCdcNegativeMajorBit : 0);
    const uint32_t flags = static_cast<uint32_t>(in.byte()) << 30;
    return {static_cast<int32_t>(first), static_cast<int32_t>(field(in.byte()) | flags)};
}

// An axis, or a direction in a coordinate plane, with a zero of either sign.
CdcPair axis_pair(Bytes& in) {
    const uint8_t shape = in.byte();
    const double zero = (shape & 1) ? -0.0 : 0.0, one = (shape & 2) ? -1.0 : 1.0;
    const double half = (shape & 4) ? -0.7071067811865476 : 0.7071067811865476;
    const UnitVector choices[] = {{one, zero, zero},  {zero, one, zero},  {zero, zero, one},
                                  {half, half, zero}, {zero, half, half}, {half, zero, half}};
    return encode_cdc(choices[(shape >> 3) % 6]);
}

// Components of their own beside the pair and words of `base`: one of them
// NaN or infinite, all NaN, the vector scaled off the sphere or zero, a
// component at 1e300, or raw bits.
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

// `places` locations (earlier ones, or random directions near one another)
// each copied `copies` times, shuffled.
void add_places(Locations& table, Bytes& in, int count, uint64_t& state) {
    const int places = 2 + in.byte() % 6, copies = 8 + in.byte();
    Locations pool;
    const UnitVector centre = random_direction(state);
    for (int p = 0; p < places; ++p) {
        if (table.size() > 0 && (in.byte() & 1)) {
            pool.add_copy(table, in.byte() % table.size());
        } else {
            const UnitVector d = random_direction(state);
            const double s = 1.0 / (1 << (in.byte() % 12));
            const UnitVector v{centre.x + s * d.x, centre.y + s * d.y, centre.z + s * d.z};
            const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
            pool.add(length > 1e-3 ? encode_cdc({v.x / length, v.y / length, v.z / length}) : encode_cdc(d));
        }
    }
    const int first = table.size(), end = std::min(count, first + places * copies);
    for (int k = first; k < end; ++k) table.add_copy(pool, k % places);
    for (int k = end - 1; k > first; --k) {
        const int j = first + static_cast<int>(random_word(state) % static_cast<uint64_t>(k - first + 1));
        std::swap(table.pairs[k], table.pairs[j]), std::swap(table.fixed[k], table.fixed[j]);
        std::swap(table.vectors[k], table.vectors[j]);
    }
}

// The table so far copied and nudged, up to 16 times (add_nudged).
void grow(Locations& table, Bytes& in, int count, uint64_t& state) {
    const uint8_t shape = in.byte();
    const int original = table.size();
    for (int copy = 0; copy <= shape / 16; ++copy)
        for (int k = 0; k < original && table.size() < count; ++k) add_nudged(table, table, k, shape, state);
}

// How many locations, from the table's first byte (see search_recipes.h);
// `cluster` is set to the size of the cluster a table about the grid's
// threshold begins with.
int table_count(Bytes& in, int& cluster) {
    const uint8_t shape = in.byte();
    cluster = 0;
    if (shape == 255) return kMostLarge / 16 + static_cast<int>(in.bytes(2) % (kMostLarge - kMostLarge / 16 + 1));
    if (shape % 8 < 5) return in.byte() % (kMostSmall + 1);
    if (shape % 8 < 7) return kMostSmall + 1 + static_cast<int>(in.bytes(2) % (kMostMedium - kMostSmall));
    // The indexes keep their grid while at most an eighth of the table lies
    // in cells crowded past 8 times the mean (face_index.cpp).
    const int count = 400 + static_cast<int>(in.bytes(2) % (kMostMedium - 399));
    cluster = count / 8 + in.byte() % 7 - 3;
    return count;
}

// Random directions as locations, made once: the table's fill takes them
// in turn, which spares each input encoding thousands of directions.
const Locations& random_locations() {
    static const Locations pool = [] {
        Locations made;
        uint64_t state = kAirportSeed;
        for (int k = 0; k < kMostLarge; ++k) made.add(encode_cdc(random_direction(state)));
        return made;
    }();
    return pool;
}

}  // namespace

void Locations::add(CdcPair pair) { add(pair, cdc_to_fixed(pair), decode_cdc(pair)); }

void Locations::add(FixedLatLong words) {
    const LatLong p = from_fixed(words);
    const CdcPair pair = encode_cdc(vector_of_radians<UnitVector>(p.lat, p.lon));
    add(pair, words, decode_cdc(pair));
}

Locations make_table(Bytes& in) {
    int cluster = 0;
    const int count = table_count(in, cluster);
    Locations table;
    uint64_t state = kAirportSeed ^ in.size;
    if (cluster > 0) {
        Locations centre;
        centre.add(encode_cdc(random_direction(state)));
        const uint8_t spread = in.byte() % 8;
        for (int k = 0; k < cluster; ++k) add_nudged(table, centre, 0, spread, state);
    }
    const int fill = static_cast<int>(random_word(state) % kMostLarge);
    while (table.size() < count) {
        if (in.empty()) {
            table.add_copy(random_locations(), (fill + table.size()) % kMostLarge);
            continue;
        }
        const uint8_t recipe = in.byte();
        const bool none = table.size() == 0;
        const int earlier = none ? 0 : in.byte() % table.size();
        switch (recipe % 16) {
            case 0:
            case 1:
                table.add(raw_pair(in));
                break;
            case 2:
                none ? table.add(raw_pair(in)) : table.add_copy(table, earlier);
                break;
            case 3:
                table.add(none ? raw_pair(in) : antipode(table.pairs[earlier]));
                break;
            case 4:
                table.add(grid_pair(in));
                break;
            case 5:
                table.add(axis_pair(in));
                break;
            case 6:
                table.add(latlong_words(in));
                break;
            case 7:
                if (none) table.add(encode_cdc(random_direction(state)));
                table.add(table.pairs[earlier], table.fixed[earlier], odd_components(table.vectors[earlier], in));
                break;
            case 8:
                add_places(table, in, count, state);
                break;
            case 9:
                none ? table.add(raw_pair(in)) : grow(table, in, count, state);
                break;
            case 10:
                none ? table.add(raw_pair(in)) : add_nudged(table, table, earlier, in.byte(), state);
                break;
            default:
                table.add_copy(random_locations(), (fill + table.size()) % kMostLarge);
        }
    }
    // A recipe may overshoot the count by a location.
    table.pairs.resize(count), table.fixed.resize(count), table.vectors.resize(count);
    return table;
}

Locations make_points(Bytes& in, const Locations& table, int most) {
    Locations points;
    const int count = 1 + in.byte() % most;
    uint64_t state = kFlightLineSeed ^ in.size;
    for (int i = 0; i < count; ++i) {
        const uint8_t recipe = in.byte();
        const int a = table.size() == 0 ? 0 : in.byte() % table.size();
        const int b = table.size() == 0 ? 0 : in.byte() % table.size();
        if (table.size() == 0 || recipe % 8 == 0) {
            (recipe & 0x80) ? points.add(latlong_words(in)) : points.add(raw_pair(in));
        } else if (recipe % 8 == 1) {
            points.add_copy(table, a);
        } else if (recipe % 8 == 2) {
            const FixedLatLong w = table.fixed[a];
            const int64_t lon = w.lon > 0 ? int64_t{w.lon} - kFixedHalfTurn : int64_t{w.lon} + kFixedHalfTurn;
            const FixedLatLong opposite{static_cast<int32_t>(0u - static_cast<uint32_t>(w.lat)),
                                        static_cast<int32_t>(lon)};
            const CdcPair pair = antipode(table.pairs[a]);
            points.add(pair, opposite, decode_cdc(pair));
        } else if (recipe % 8 == 3) {
            const UnitVector u = decode_cdc(table.pairs[a]), v = decode_cdc(table.pairs[b]);
            const UnitVector m{u.x + v.x, u.y + v.y, u.z + v.z};
            const double norm = std::sqrt(m.x * m.x + m.y * m.y + m.z * m.z);
            points.add(norm > 1e-3 ? encode_cdc({m.x / norm, m.y / norm, m.z / norm}) : table.pairs[a]);
        } else if (recipe % 8 == 4) {
            points.add(table.pairs[a], table.fixed[a], odd_components(table.vectors[a], in));
        } else if (recipe % 8 == 5) {
            add_nudged(points, table, a, in.byte(), state);
        } else {
            points.add(encode_cdc(random_direction(state)));
        }
    }
    return points;
}

std::vector<Question> make_questions(Bytes& in, int points, int table_size) {
    std::vector<Question> questions;
    uint64_t state = kFlightLineSeed ^ in.size;
    for (int i = 0; i < points; ++i) {
        const uint8_t k_shape = in.empty() ? static_cast<uint8_t>(random_word(state)) : in.byte();
        const uint8_t limit_shape = in.empty() ? static_cast<uint8_t>(random_word(state)) : in.byte();
        // Round the table's size (from 2 short of it to 5 past it; past
        // kMostSmall, round kMostSmall: the k nearest are kept by insertion,
        // which a k of thousands makes slow), or -2 to 29.
        const int round = std::min(table_size, kMostSmall);
        const int k = (k_shape & 0x80) ? std::max(-2, round + k_shape % 8 - 2) : k_shape % 32 - 2;
        Question question{k, limit_shape, random_word(state)};
        if (limit_shape % 8 == 3 && !in.empty()) question.raw = uint64_t{in.bytes(4)} << 32 | in.bytes(4);
        questions.push_back(question);
    }
    return questions;
}

double limit_of(const Question& question, const std::vector<Nearest>& ranked) {
    const uint8_t shape = question.limit_shape;
    const double sign = (shape & 8) ? -1.0 : 1.0;
    switch (shape % 8) {
        case 0:
            return sign * 0.0;
        case 1:
            return std::nan("");
        case 2:
            return sign * kInfinity;
        case 3:
            return std::bit_cast<double>(question.raw);
        default:
            break;
    }
    if (ranked.empty()) return sign * 0.0;
    // One of the first eight scores, or the last, moved by -3 to 3 units.
    const size_t at = (shape >> 4) & 7;
    double limit = at == 7 ? ranked.back().score : ranked[std::min(at, ranked.size() - 1)].score;
    for (int ulps = static_cast<int>(question.raw % 7) - 3; ulps != 0; ulps += ulps > 0 ? -1 : 1)
        limit = std::nextafter(limit, ulps > 0 ? kInfinity : -kInfinity);
    return limit;
}

}  // namespace spherebench::fuzz
