#include "random/table_kinds.h"

#include <algorithm>
#include <cmath>

#include "base/enum_names.h"
#include "geo/vectors.h"
#include "random/random_tables.h"

namespace spherebench {

namespace {

// The queries' draws start from the seed mixed with this, so they share no
// stretch of the generator's sequence with the table's.
constexpr uint64_t kQueryStream = 0x6A09E667F3BCC909u;

constexpr double radians_of(double metres) { return metres / kEarthRadiusMetres; }

UnitVector scaled(UnitVector v, double s) { return {v.x * s, v.y * s, v.z * s}; }
UnitVector plus(UnitVector a, UnitVector b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
UnitVector normalized(UnitVector v) { return scaled(v, 1.0 / norm(v)); }

// Two unit vectors perpendicular to c and to each other.
struct Tangents {
    UnitVector east, north;
};

Tangents tangents_of(UnitVector c) {
    const double ax = std::fabs(c.x), ay = std::fabs(c.y), az = std::fabs(c.z);
    // Crossed with the axis c leans on least, which is far from parallel.
    const UnitVector axis = ax <= ay && ax <= az ? UnitVector{1, 0, 0}
                            : ay <= az           ? UnitVector{0, 1, 0}
                                                 : UnitVector{0, 0, 1};
    const UnitVector east = normalized(cross(c, axis));
    return {east, cross(c, east)};
}

// The direction of c moved by (east, north) radians along the tangent plane
// and brought back to the sphere: atan of the offset's length away from c,
// so never further than that length.
UnitVector displaced(UnitVector c, double east, double north) {
    const Tangents t = tangents_of(c);
    return normalized(plus(c, plus(scaled(t.east, east), scaled(t.north, north))));
}

// Two independent standard normal deviates (Box and Muller).
struct NormalPair {
    double first, second;
};

NormalPair normal_pair(uint64_t& state) {
    const double radius = std::sqrt(-2.0 * std::log(1.0 - random_unit(state)));
    const double angle = kTwoPi * random_unit(state);
    return {radius * std::cos(angle), radius * std::sin(angle)};
}

// What a kind's locations are drawn around, made from the seed alone.
struct Spread {
    TableKind kind;
    std::vector<UnitVector> centres;  // the towns, the city, the sites, the line's start
    std::vector<double> cumulative;   // towns: the Zipf weights summed
    UnitVector along{};               // line: its direction at the start
};

int spread_centres(TableKind kind) {
    switch (kind) {
        case TableKind::kTowns:
            return kTownCount;
        case TableKind::kRepeated:
            return kRepeatedSites;
        case TableKind::kCity:
        case TableKind::kLine:
            return 1;
        case TableKind::kUniform:
            break;
    }
    return 0;
}

Spread make_spread(TableKind kind, uint64_t& state) {
    Spread spread{kind, {}, {}, {}};
    for (int k = 0; k < spread_centres(kind); ++k) spread.centres.push_back(random_direction(state));
    if (kind == TableKind::kTowns) {
        double total = 0;
        for (int k = 1; k <= kTownCount; ++k) spread.cumulative.push_back(total += 1.0 / k);
    }
    if (kind == TableKind::kLine) {
        const UnitVector a = spread.centres[0], r = random_direction(state);
        spread.along = normalized(plus(r, scaled(a, -dot(a, r))));
    }
    return spread;
}

UnitVector town_location(const Spread& spread, uint64_t& state) {
    const double pick = random_unit(state) * spread.cumulative.back();
    const auto town = std::upper_bound(spread.cumulative.begin(), spread.cumulative.end(), pick);
    const size_t k = std::min<size_t>(town - spread.cumulative.begin(), spread.centres.size() - 1);
    const NormalPair offset = normal_pair(state);
    const double sigma = radians_of(kTownSpreadMetres);
    return displaced(spread.centres[k], sigma * offset.first, sigma * offset.second);
}

// Uniform over the disk: the radius as the root of a uniform fraction.
UnitVector city_location(const Spread& spread, uint64_t& state) {
    const double r = radians_of(kCityRadiusMetres) * std::sqrt(random_unit(state));
    const double azimuth = kTwoPi * random_unit(state);
    return displaced(spread.centres[0], r * std::cos(azimuth), r * std::sin(azimuth));
}

UnitVector line_location(const Spread& spread, uint64_t& state) {
    const double t = random_unit(state);
    const double s = t * radians_of(kLineLengthMetres);
    const UnitVector a = spread.centres[0], b = spread.along;
    const UnitVector middle = plus(scaled(a, std::cos(s)), scaled(b, std::sin(s)));
    const double across = radians_of(kLineWiggleMetres) * std::sin(kTwoPi * kLineWiggles * t) +
                          radians_of(kLineWidthMetres) * (random_unit(state) - 0.5);
    return normalized(plus(middle, scaled(cross(a, b), across)));
}

UnitVector location_of(const Spread& spread, uint64_t& state) {
    switch (spread.kind) {
        case TableKind::kTowns:
            return town_location(spread, state);
        case TableKind::kCity:
            return city_location(spread, state);
        case TableKind::kLine:
            return line_location(spread, state);
        case TableKind::kRepeated:
            return spread.centres[static_cast<size_t>(random_unit(state) * kRepeatedSites)];
        case TableKind::kUniform:
            break;
    }
    return random_direction(state);
}

// `count` locations of the seed's spread, drawn on from the seed's state
// after the spread for the table, from the queries' stream for queries.
std::vector<UnitVector> draw_locations(TableKind kind, int count, uint64_t seed, bool queries) {
    uint64_t state = seed;
    const Spread spread = make_spread(kind, state);
    if (queries) state = seed ^ kQueryStream;
    std::vector<UnitVector> locations;
    locations.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) locations.push_back(location_of(spread, state));
    return locations;
}

}  // namespace

const char* table_kind_name(TableKind kind) {
    static constexpr const char* kNames[] = {"uniform", "towns", "city", "line", "repeated"};
    return name_in(kNames, kind);
}

std::optional<TableKind> find_table_kind(std::string_view name) {
    for (const TableKind kind : kTableKinds)
        if (name == table_kind_name(kind)) return kind;
    return std::nullopt;
}

std::vector<UnitVector> table_directions(TableKind kind, int count, uint64_t seed) {
    return draw_locations(kind, count, seed, false);
}

std::vector<UnitVector> near_query_directions(TableKind kind, int count, uint64_t seed) {
    return draw_locations(kind, count, seed, true);
}

}  // namespace spherebench
