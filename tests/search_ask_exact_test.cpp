// The k nearest and everything within a limit, asked of the indexes, against
// every location's score ranked apart from the result sets
// (reference_ranking.h): the same locations in the same order, bit for bit,
// copies of one place included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <type_traits>
#include <utility>
#include <vector>

#include "exact_tables.h"
#include "geo/cdc_encoder.h"
#include "input/loader.h"
#include "method/result_sets.h"
#include "random/table_kinds.h"
#include "reference_ranking.h"
#include "search/cdc_index.h"
#include "search/cdc_pruned_search.h"
#include "search/latlong_index.h"
#include "search/latlong_pruned_search.h"
#include "search/point_index.h"

using namespace spherebench;
using namespace spherebench::exact_tables;

namespace {

// Every location's score by score_of(j), ranked apart from the result sets
// (reference_ranking.h).
template <typename ScoreOf>
std::vector<Nearest> ranked(int count, ScoreOrder order, const ScoreOf& score_of) {
    std::vector<Nearest> all;
    for (int j = 0; j < count; ++j) all.push_back({j, score_of(j)});
    return reference::ranking(std::move(all), order);
}

// Whether the index's k nearest and everything within each limit are the
// first k of the ranking and those of it at the limit or nearer, bit for bit.
template <typename Index>
bool asks_as_ranked(const Index& index, const typename Index::Query& query, const std::vector<Nearest>& all,
                    std::initializer_list<double> limits) {
    for (const int k : {-1, 0, 1, 10, 700})
        if (!reference::difference(nearest_k(index, query, k), reference::first_k(all, k)).empty()) return false;
    for (const double limit : limits)
        if (!reference::difference(nearest_within(index, query, limit),
                                   reference::at_or_within(all, limit, Index::kOrder))
                 .empty())
            return false;
    return true;
}

// The three indexes over the table, each asked the k nearest and those
// within limits at every query against its form's scores ranked: squared
// chords within 0, 1e-4 and 0.5, cosines within 1, 0.99999 and 0.5.
void expect_indexes_ask_as_ranked(const Table& table, const std::vector<CdcPair>& queries) {
    const int n = static_cast<int>(table.pairs.size());
    const TableIndexes indexes(table);
    const std::vector<double>&xs = indexes.xs, &ys = indexes.ys, &zs = indexes.zs;
    for (size_t i = 0; i < queries.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "query " << i);
        const CdcPoint point = arrange_point(decode_cdc(queries[i]));
        EXPECT_TRUE(
            asks_as_ranked(indexes.cdc, point,
                           ranked(n, CdcMethod::order, [&](int j) { return CdcMethod::score(table.pairs[j], point); }),
                           {0.0, 1e-4, 0.5}));
        const FixedLatLong fixed = cdc_to_fixed(queries[i]);
        EXPECT_TRUE(
            asks_as_ranked(indexes.latlong, fixed,
                           ranked(n, LatLongMethod::order,
                                  [&](int j) { return LatLongMethod::score(table.fixed[j], from_fixed(fixed)); }),
                           {1.0, 0.99999, 0.5}));
        const UnitVector v = decode_cdc(queries[i]);
        EXPECT_TRUE(asks_as_ranked(indexes.point, v,
                                   ranked(n, ScoreOrder::kSmallerNearer,
                                          [&](int j) {
                                              const double dx = xs[j] - v.x, dy = ys[j] - v.y, dz = zs[j] - v.z;
                                              return (dx * dx + dy * dy) + dz * dz;
                                          }),
                                   {0.0, 1e-4, 0.5}));
    }
}

// Hundreds of copies of a few locations fill whole leaves and nodes of the
// indexes' trees (runs), whose first alone may win the nearest: the k
// nearest and everything within a limit take every copy all the same.
TEST(SearchExact, KNearestAndWithinTakeEveryCopy) {
    const std::vector<CdcPair> pool = random_directions(6, 13);
    std::vector<CdcPair> pairs = random_directions(300, 14);
    std::mt19937_64 random(15);
    for (int k = 0; k < 3000; ++k) pairs.push_back(pool[random() % pool.size()]);
    std::vector<CdcPair> queries = random_directions(20, 16);
    queries.insert(queries.end(), pool.begin(), pool.end());
    expect_indexes_ask_as_ranked(table_of(pairs), queries);
}

// Places within a degree or so of one another, on one face of every form.
std::vector<CdcPair> places_together(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    const UnitVector centre{0.48, 0.6, 0.64};
    std::vector<CdcPair> places;
    for (int k = 0; k < count; ++k) {
        const UnitVector d = random_vector(random);
        const UnitVector v{centre.x + 0.02 * d.x, centre.y + 0.02 * d.y, centre.z + 0.02 * d.z};
        const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        places.push_back(encode_cdc({v.x / length, v.y / length, v.z / length}));
    }
    return places;
}

// Nothing but a few places on one face, each copied many times, in shuffled
// order: the trees' splits fall inside the copies of one place, so a node
// may hold copies of two places, which is no run though both its children
// are.
TEST(SearchExact, FewPlacesCopiedManyTimes) {
    for (const auto& [places, copies] : {std::pair{3, 100}, {5, 37}, {2, 129}, {2, 4096}}) {
        SCOPED_TRACE(testing::Message() << places << " places, " << copies << " copies each");
        const std::vector<CdcPair> pool = places_together(places, 17 + places);
        std::vector<CdcPair> pairs;
        for (int k = 0; k < places * copies; ++k) pairs.push_back(pool[k % places]);
        std::shuffle(pairs.begin(), pairs.end(), std::mt19937_64(18));
        std::vector<CdcPair> queries = random_directions(40, 19);
        queries.insert(queries.end(), pool.begin(), pool.end());
        const Table table = table_of(pairs);
        EXPECT_EQ(count_differences(table, Queries{queries, {}, {}}), 0);
        expect_indexes_ask_as_ranked(table, queries);
    }
}

}  // namespace
