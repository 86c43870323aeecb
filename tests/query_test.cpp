// The query layer: its queries are the ones named (the great circle's ends,
// the suite's flight-line seed, the table's own spread), every exact search
// it dispatches to finds its brute force's winner and score bit for bit, and
// its k nearest and those within a limit, on tables of every small size and
// of every kind (the anchors: anchors_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "geo/cdc_encoder.h"
#include "geo/vectors.h"
#include "method/brute_force.h"
#include "method/result_sets.h"
#include "query/query_tables.h"
#include "query/search.h"
#include "random/random_tables.h"
#include "reference_scores.h"

using namespace spherebench;

namespace {

TEST(QueryTables, PathRunsFromBombayToLosAngelesInEqualSteps) {
    const FormTable path = make_query_table(Form::kCdcPair, QueryKind::kPath, 200);
    const CdcPair bombay = encode_cdc(vector_from_degrees(19.0886993408, 72.8678970337));
    const CdcPair los_angeles = encode_cdc(vector_from_degrees(33.942501, -118.407997));
    EXPECT_EQ(path.cdc.front().first, bombay.first);
    EXPECT_EQ(path.cdc.front().second, bombay.second);
    EXPECT_EQ(path.cdc.back().first, los_angeles.first);
    EXPECT_EQ(path.cdc.back().second, los_angeles.second);
    const double step = angle_between(decode_cdc(path.cdc[0]), decode_cdc(path.cdc[1]));
    for (int i = 1; i + 1 < path.count; ++i)
        EXPECT_NEAR(angle_between(decode_cdc(path.cdc[i]), decode_cdc(path.cdc[i + 1])), step, 1e-8) << i;
}

TEST(QueryTables, UniformQueriesAreTheSuiteFlightLine) {
    FlightLine line;
    fill_random_flight_line(line, 50, kFlightLineSeed);
    const FormTable uniform = make_query_table(Form::kCdcPair, QueryKind::kUniform, 50);
    const FormTable fixed = make_query_table(Form::kFixedLatLong, QueryKind::kUniform, 50);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(uniform.cdc[i].first, line.cdc[i].first) << i;
        EXPECT_EQ(uniform.cdc[i].second, line.cdc[i].second) << i;
        EXPECT_EQ(fixed.fixed[i].lat, line.fixed[i].lat) << i;
        EXPECT_EQ(fixed.fixed[i].lon, line.fixed[i].lon) << i;
    }
}

// Near queries lie where the table's locations are, uniform ones anywhere:
// for one city of 5 km radius, every near query within its diameter of the
// nearest location, and nearly every uniform one thousands of km away.
TEST(QueryTables, NearQueriesComeFromTheTablesSpread) {
    const FormTable city = make_kind_table(Form::kS2Point, TableKind::kCity, 500, 11);
    const FormTable near = make_query_table(Form::kS2Point, QueryKind::kNear, 100, TableKind::kCity, 11);
    const FormTable uniform = make_query_table(Form::kS2Point, QueryKind::kUniform, 100, TableKind::kCity, 11);
    const auto metres_to_city = [&city](const FormTable& queries, int q) {
        double least = 1e300;
        for (int j = 0; j < city.count; ++j) {
            const double angle = angle_between(UnitVector{city.xs[j], city.ys[j], city.zs[j]},
                                               UnitVector{queries.xs[q], queries.ys[q], queries.zs[q]});
            least = std::min(least, angle * kEarthRadiusMetres);
        }
        return least;
    };
    int far = 0;
    for (int q = 0; q < 100; ++q) {
        EXPECT_LT(metres_to_city(near, q), 10000) << q;
        far += metres_to_city(uniform, q) > 1e6;
    }
    EXPECT_GT(far, 90);
    // The uniform kind's table is the suite's random table.
    const FormTable uniform_kind = make_kind_table(Form::kCdcPair, TableKind::kUniform, 50, kAirportSeed);
    const FormTable suite = make_form_table(Form::kCdcPair, 50, kAirportSeed);
    for (int j = 0; j < 50; ++j) {
        EXPECT_EQ(uniform_kind.cdc[j].first, suite.cdc[j].first) << j;
        EXPECT_EQ(uniform_kind.cdc[j].second, suite.cdc[j].second) << j;
    }
}

TEST(CatalogueSearch, EveryExactSearchFindsWhatItsBruteForceFinds) {
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!facts.exact || !search_built(facts.id)) continue;
        for (int size : {0, 1, 2, 37, 3000}) {
            const FormTable table = make_form_table(table_form(facts.id), size, kAirportSeed + size);
            const auto search = make_search(facts.id, table);
            const auto brute = make_search(reference_search(facts.id), table);
            ASSERT_EQ(search->id(), facts.id);
            for (QueryKind kind : kQueryKinds) {
                const FormTable queries = make_query_table(table.form, kind, 100);
                for (int q = 0; q < queries.count; ++q) {
                    const Nearest found = search->nearest(queries, q);
                    ASSERT_TRUE(same_answer(found, brute->nearest(queries, q)))
                        << facts.name << ", " << size << " locations, " << query_kind_name(kind) << " query " << q;
                    if (size == 0) {
                        ASSERT_EQ(found.index, kNoWinner) << facts.name;
                    }
                }
            }
        }
    }
}

// Crowded tables: one city, a line, towns and a few sites stored many times
// over (ties between copies go to the lowest index), near and far queries.
TEST(CatalogueSearch, EveryExactSearchFindsWhatItsBruteForceFindsOnEveryKindOfTable) {
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!facts.exact || !search_built(facts.id)) continue;
        for (const TableKind kind : kTableKinds) {
            const FormTable table = make_kind_table(table_form(facts.id), kind, 3000, 12);
            const auto search = make_search(facts.id, table);
            const auto brute = make_search(reference_search(facts.id), table);
            for (const QueryKind queries_kind : {QueryKind::kNear, QueryKind::kUniform}) {
                const FormTable queries = make_query_table(table.form, queries_kind, 100, kind, 12);
                for (int q = 0; q < queries.count; ++q)
                    ASSERT_TRUE(same_answer(search->nearest(queries, q), brute->nearest(queries, q)))
                        << facts.name << " on " << table_kind_name(kind) << ", " << query_kind_name(queries_kind)
                        << " query " << q;
            }
        }
    }
}

// The next score nearer than s in the order.
double one_nearer(double s, ScoreOrder order) {
    return std::nextafter(s, order == ScoreOrder::kSmallerNearer ? -INFINITY : INFINITY);
}

// The first question on which the search differs at query q from its brute
// force (of the table given): the nearest; the k nearest for k = -1, 0, 1,
// 7, the count and more, and those within 0, 2 (half the sphere's squared
// chords, a cosine above every one), the 5th nearest's score and the score
// just nearer, the farthest location's score and NaN, against the brute
// force's scores ranked apart (reference_scores.h).
std::string first_difference(const Search& search, const Search& brute, const FormTable& table,
                             const FormTable& queries, int q) {
    const std::vector<Nearest> all = reference::ranked_by(brute.id(), table, queries, q);
    const ScoreOrder order = score_order(search_facts(search.id()).form);
    std::vector<double> limits = {0.0, 2.0, NAN};
    if (all.size() >= 5) limits.insert(limits.end(), {all[4].score, one_nearer(all[4].score, order)});
    if (!all.empty()) limits.push_back(all.back().score);
    return reference::first_difference(search, brute, all, queries, q, {-1, 0, 1, 7, brute.count() + 3}, limits);
}

TEST(CatalogueSearch, EveryExactSearchAsksKNearestAndWithinAsItsBruteForce) {
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!facts.exact || !search_built(facts.id)) continue;
        for (int size : {0, 1, 2, 37, 1000}) {
            const FormTable table = make_form_table(table_form(facts.id), size, kAirportSeed + size);
            const auto search = make_search(facts.id, table);
            const auto brute = make_search(reference_search(facts.id), table);
            for (QueryKind kind : kQueryKinds) {
                const FormTable queries = make_query_table(table.form, kind, 30);
                for (int q = 0; q < queries.count; ++q)
                    ASSERT_EQ(first_difference(*search, *brute, table, queries, q), "")
                        << facts.name << ", " << size << " locations, " << query_kind_name(kind) << " query " << q;
            }
        }
    }
}

TEST(CatalogueSearch, EveryExactSearchAsksKNearestAndWithinAsItsBruteForceOnEveryKindOfTable) {
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!facts.exact || !search_built(facts.id)) continue;
        for (const TableKind kind : kTableKinds) {
            const FormTable table = make_kind_table(table_form(facts.id), kind, 2000, 12);
            const auto search = make_search(facts.id, table);
            const auto brute = make_search(reference_search(facts.id), table);
            for (const QueryKind queries_kind : {QueryKind::kNear, QueryKind::kUniform}) {
                const FormTable queries = make_query_table(table.form, queries_kind, 20, kind, 12);
                for (int q = 0; q < queries.count; ++q)
                    ASSERT_EQ(first_difference(*search, *brute, table, queries, q), "")
                        << facts.name << " on " << table_kind_name(kind) << ", " << query_kind_name(queries_kind)
                        << " query " << q;
            }
        }
    }
}

// A table of the vectors given, which may be NaN, infinite or off the
// sphere, in a form of components: S2Point's doubles or the float vector's
// floats (rounded).
FormTable components_of(Form form, const std::vector<UnitVector>& vectors) {
    FormTable table = empty_form_table(form, static_cast<int>(vectors.size()));
    for (int i = 0; i < table.count; ++i) {
        const UnitVector v = vectors[i];
        if (form == Form::kS2Point)
            table.xs[i] = v.x, table.ys[i] = v.y, table.zs[i] = v.z;
        else
            table.fxs[i] = static_cast<float>(v.x), table.fys[i] = static_cast<float>(v.y),
            table.fzs[i] = static_cast<float>(v.z);
    }
    return table;
}

// NaN and infinite components, in tables and queries, where the forms hold
// them: a NaN score is never nearer than another, so a NaN query finds
// nothing and a NaN member is never taken, nor taken for a copy of the
// place it shares a tree's leaf with (the first of 8 on its face, beside
// 242 copies of another place, which make the index a tree); an infinite
// score never beats the brute force's start. An infinite query meets a
// node reaching to infinity (a member of its face infinite in the major
// component, among 4 places of 96 copies each) with a NaN bound, which
// rules nothing out: every finite member scores infinity there.
TEST(CatalogueSearch, NaNAndInfiniteComponentsRankAsTheBruteForce) {
    const double nan = std::nan(""), inf = INFINITY;
    const UnitVector v{0.6, 0, 0.8};
    std::vector<UnitVector> copies(8, v);
    copies[0].x = nan;
    copies.resize(250, {0, 0, -1});
    const UnitVector places[] = {
        {0.216, 0.96, -0.177}, {0.134, 0.977, -0.165}, {0.219, 0.958, -0.183}, {0.31, 0.87, -0.38}};
    std::vector<UnitVector> copied;
    for (int k = 0; k < 4 * 96; ++k) copied.push_back(places[k % 4]);
    std::shuffle(copied.begin() + 1, copied.end(), std::mt19937_64(7));
    copied[0].y = inf;
    std::vector<UnitVector> mixed = {{inf, 0, 0}, {nan, nan, nan}, {-inf, 0, 1}, {0, inf, -inf}, {0, nan, 1}};
    const FormTable uniform = make_form_table(Form::kS2Point, 300, kAirportSeed);
    for (int j = 0; j < uniform.count; ++j) mixed.push_back({uniform.xs[j], uniform.ys[j], uniform.zs[j]});
    const std::vector<UnitVector> infinite = {{inf, 0, 0}, {0, -inf, 0}, {0, 0, inf}};
    const std::vector<UnitVector> asked = {v,         {nan, 0, 0},       {inf, 0, 0}, {nan, nan, nan}, {0, -inf, 0},
                                           {1, 0, 0}, {0.86, inf, -0.71}};
    for (const Form form : {Form::kS2Point, Form::kFloatVector}) {
        const FormTable queries = components_of(form, asked);
        for (const auto& vectors : {copies, mixed, infinite, copied}) {
            const FormTable table = components_of(form, vectors);
            for (const SearchFacts& facts : kSearchCatalogue) {
                if (!facts.exact || facts.form != form || !search_built(facts.id)) continue;
                const auto search = make_search(facts.id, table);
                const auto brute = make_search(reference_search(facts.id), table);
                for (int q = 0; q < queries.count; ++q)
                    ASSERT_EQ(first_difference(*search, *brute, table, queries, q), "")
                        << facts.name << " over " << table.count << " locations, query " << q;
            }
        }
    }
    // The copies' first finite one at distance 0; nothing for a NaN query.
    const FormTable table = components_of(Form::kS2Point, copies), queries = components_of(Form::kS2Point, asked);
    const auto index = make_search(SearchId::kS2PointIndex, table);
    EXPECT_TRUE(same_answer(index->nearest(queries, 0), {1, 0.0}));
    EXPECT_TRUE(same_answer(index->nearest(queries, 1), {kNoWinner, inf}));
}

TEST(CatalogueSearch, CdcBruteFindsTheSameInEveryArrangement) {
    const FormTable table = make_form_table(Form::kCdcPair, 2000, kAirportSeed);
    const FormTable queries = make_query_table(Form::kCdcPair, QueryKind::kUniform, 100);
    const auto plain = make_search(SearchId::kCdcBrute, table);
    for (int q = 0; q < queries.count; ++q) {
        const CdcPoint point = arrange_point(decode_cdc(queries.cdc[q]));
        for (CdcArrangement arrangement : {CdcArrangement::kSelectBits, CdcArrangement::kConditional}) {
            const Nearest other = with_cdc_method(arrangement, [&](auto method) {
                return BruteForce<decltype(method)>(table.cdc.data(), table.count).nearest(point);
            });
            ASSERT_TRUE(same_answer(other, plain->nearest(queries, q))) << q;
        }
    }
}

}  // namespace
