// The tables of each kind: the same for the same seed, spread as stated,
// and their near queries drawn from the same spread.
#include "random/table_kinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <set>
#include <tuple>

#include "geo/vectors.h"
#include "random/random_tables.h"

using namespace spherebench;

namespace {

using Bits = std::tuple<uint64_t, uint64_t, uint64_t>;

Bits bits_of(UnitVector v) {
    return {std::bit_cast<uint64_t>(v.x), std::bit_cast<uint64_t>(v.y), std::bit_cast<uint64_t>(v.z)};
}

bool same(const std::vector<UnitVector>& a, const std::vector<UnitVector>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](UnitVector u, UnitVector v) { return bits_of(u) == bits_of(v); });
}

double metres_between(UnitVector a, UnitVector b) { return angle_between(a, b) * kEarthRadiusMetres; }

// The distance from v to the nearest of `table`.
double metres_to_nearest(const std::vector<UnitVector>& table, UnitVector v) {
    double least = 1e300;
    for (const UnitVector t : table) least = std::min(least, metres_between(t, v));
    return least;
}

TEST(TableKinds, SameSeedSameTableAndLargerTablesExtendSmaller) {
    for (const TableKind kind : kTableKinds) {
        SCOPED_TRACE(table_kind_name(kind));
        EXPECT_EQ(find_table_kind(table_kind_name(kind)), kind);
        const std::vector<UnitVector> table = table_directions(kind, 400, 5);
        EXPECT_TRUE(same(table, table_directions(kind, 400, 5)));
        std::vector<UnitVector> start = table_directions(kind, 150, 5);
        EXPECT_TRUE(same(start, {table.begin(), table.begin() + 150}));
        EXPECT_FALSE(same(table, table_directions(kind, 400, 6)));
        const std::vector<UnitVector> queries = near_query_directions(kind, 400, 5);
        EXPECT_TRUE(same(queries, near_query_directions(kind, 400, 5)));
        EXPECT_FALSE(same(queries, table));
    }
    // The uniform tables are the suite's random directions.
    EXPECT_TRUE(same(table_directions(TableKind::kUniform, 300, kAirportSeed), random_directions(kAirportSeed, 300)));
    EXPECT_FALSE(find_table_kind("cities").has_value());
}

// Every location and query lies within the radius of the centre, so within
// its diameter of each other; and the disk is filled out to near its edge.
TEST(TableKinds, CityWithinItsRadius) {
    const std::vector<UnitVector> table = table_directions(TableKind::kCity, 2000, 7);
    const std::vector<UnitVector> queries = near_query_directions(TableKind::kCity, 500, 7);
    double widest = 0;
    for (const std::vector<UnitVector>* set : {&table, &queries})
        for (const UnitVector v : *set) widest = std::max(widest, metres_between(table[0], v));
    EXPECT_LE(widest, 2 * kCityRadiusMetres);
    EXPECT_GE(widest, 1.5 * kCityRadiusMetres);
}

TEST(TableKinds, RepeatedHoldsItsSitesOnly) {
    const std::vector<UnitVector> table = table_directions(TableKind::kRepeated, 14000, 8);
    std::set<Bits> sites;
    for (const UnitVector v : table) sites.insert(bits_of(v));
    EXPECT_EQ(sites.size(), static_cast<size_t>(kRepeatedSites));
    for (const UnitVector q : near_query_directions(TableKind::kRepeated, 200, 8)) EXPECT_TRUE(sites.count(bits_of(q)));
}

// Zipf's law gives the largest town 1 / H(2000) = 12.2 % of the locations;
// nearly all lie within four deviations of their town.
TEST(TableKinds, TownsFollowZipf) {
    const std::vector<UnitVector> table = table_directions(TableKind::kTowns, 4000, 9);
    int most = 0;
    for (int i = 0; i < 100; ++i) {
        const int near = static_cast<int>(std::count_if(table.begin(), table.end(), [&](UnitVector v) {
            return metres_between(table[i], v) < 4 * kTownSpreadMetres;
        }));
        most = std::max(most, near);
    }
    EXPECT_GT(most, 0.10 * 4000);
    EXPECT_LT(most, 0.15 * 4000);
}

// The location furthest from v in the table.
UnitVector furthest_from(const std::vector<UnitVector>& table, UnitVector v) {
    return *std::max_element(table.begin(), table.end(),
                             [&](UnitVector a, UnitVector b) { return metres_between(v, a) < metres_between(v, b); });
}

// A line 3000 km long: its ends that far apart, and every query within a
// few widths of a location (they lie 200 m apart along it).
TEST(TableKinds, LineIsLongAndQueriesFollowIt) {
    const std::vector<UnitVector> table = table_directions(TableKind::kLine, 14000, 10);
    const UnitVector end = furthest_from(table, table[0]);
    const double span = metres_between(end, furthest_from(table, end));
    EXPECT_GT(span, 0.99 * kLineLengthMetres);
    EXPECT_LT(span, kLineLengthMetres + 2 * (kLineWiggleMetres + kLineWidthMetres));
    for (const UnitVector q : near_query_directions(TableKind::kLine, 50, 10))
        EXPECT_LT(metres_to_nearest(table, q), 2 * kLineWidthMetres);
}

// The near queries of towns lie among the table's locations: most within
// two spreads of one (one town in six holds none of a table this small),
// where a uniform query would be so about once in a hundred.
TEST(TableKinds, TownQueriesNearTheTowns) {
    const std::vector<UnitVector> table = table_directions(TableKind::kTowns, 4000, 11);
    int near = 0;
    const std::vector<UnitVector> queries = near_query_directions(TableKind::kTowns, 200, 11);
    for (const UnitVector q : queries) near += metres_to_nearest(table, q) < 2 * kTownSpreadMetres;
    EXPECT_GT(near, 0.75 * 200);
}

}  // namespace
