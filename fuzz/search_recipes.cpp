#include "search_recipes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

#include "geo/cdc_encoder.h"
#include "random/random_tables.h"

namespace spherebench::fuzz {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// `places` locations (earlier ones, or random directions near one another)
// each copied `copies` times (up to `count` in all), shuffled; the first of
// the copies, the lowest index of its place, with odd components of its own
// where the byte asks (a NaN member the lowest of its copies).
void add_places(Locations& table, Bytes& in, int places, int copies, int count, uint64_t& state) {
    const uint8_t shape = in.byte();
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
    if ((shape & 1) && end > first) table.vectors[first] = odd_components(table.vectors[first], in);
}

// The table so far copied and nudged, up to 16 times (add_nudged).
void grow(Locations& table, Bytes& in, int count, uint64_t& state) {
    const uint8_t shape = in.byte();
    const int original = table.size();
    for (int copy = 0; copy <= shape / 16; ++copy)
        for (int k = 0; k < original && table.size() < count; ++k) add_nudged(table, table, k, shape, state);
}

// How a table begins, from its first byte (search_recipes.h): its count,
// and the block it starts with, a cluster or a few places copied.
struct Opening {
    int count;
    int cluster = 0;
    int places = 0, copies = 0;
};

Opening table_opening(Bytes& in) {
    const uint8_t shape = in.byte();
    if (shape == 255) return {kMostLarge / 16 + static_cast<int>(in.bytes(2) % (kMostLarge - kMostLarge / 16 + 1))};
    if (shape % 8 < 4) return {in.byte() % (kMostSmall + 1)};
    if (shape % 8 == 4) {
        // Copies enough that every index keeps its tree (a grid of side 2
        // or more, 192 locations and up, with a third of them in one cell
        // is crowded), whose leaves and nodes they fill.
        const int places = 2 + in.byte() % 5, copies = 96 + in.byte() % 128;
        return {places * copies, 0, places, copies};
    }
    if (shape % 8 < 7) return {kMostSmall + 1 + static_cast<int>(in.bytes(2) % (kMostMedium - kMostSmall))};
    // The indexes keep their grid while at most an eighth of the table lies
    // in cells crowded past 8 times the mean (face_index.cpp).
    const int count = 400 + static_cast<int>(in.bytes(2) % 1101);
    return {count, count / 8 + in.byte() % 7 - 3};
}
}  // namespace

Locations make_table(Bytes& in) {
    const Opening opening = table_opening(in);
    const int count = opening.count;
    Locations table;
    uint64_t state = kAirportSeed ^ in.size;
    if (opening.cluster > 0) {
        Locations centre;
        centre.add(encode_cdc(random_direction(state)));
        const uint8_t spread = in.byte() % 8;
        for (int k = 0; k < opening.cluster; ++k) add_nudged(table, centre, 0, spread, state);
    }
    if (opening.places > 0) add_places(table, in, opening.places, opening.copies, count, state);
    const int fill = static_cast<int>(random_word(state) % kRandomLocations);
    while (table.size() < count) {
        if (in.empty()) {
            table.add_copy(random_locations(), (fill + table.size()) % kRandomLocations);
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
                add_places(table, in, 2 + in.byte() % 6, 8 + in.byte(), count, state);
                break;
            case 9:
                none ? table.add(raw_pair(in)) : grow(table, in, count, state);
                break;
            case 10:
                none ? table.add(raw_pair(in)) : add_nudged(table, table, earlier, in.byte(), state);
                break;
            default:
                table.add_copy(random_locations(), (fill + table.size()) % kRandomLocations);
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
            const CdcPair pair = antipode(table.pairs[a]);
            points.add(pair, antipode(table.fixed[a]), decode_cdc(pair));
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
