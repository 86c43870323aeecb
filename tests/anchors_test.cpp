// The other libraries' indexes (the anchors), built from the catalogue: each
// finds locations at the exact nearest distances (where it breaks ties its
// own way), its k nearest and those within a limit at the exact distances,
// none at all in an empty table, and answers from the index it is given even
// when an earlier one was freed on the same thread.
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

// Every anchor of the catalogue this build has.
std::vector<SearchId> built_anchors() {
    std::vector<SearchId> anchors;
    for (const SearchFacts& facts : kSearchCatalogue)
        if (facts.kind == SearchKind::kAnchor && search_built(facts.id)) anchors.push_back(facts.id);
    return anchors;
}

// Each anchor's answer lies at the exact nearest distance (to within the
// rounding of the squared chord), wherever it breaks ties.
TEST(Anchors, FindALocationAtTheExactNearestDistance) {
    const FormTable table = make_form_table(Form::kCdcPair, 3000, kAirportSeed);
    const auto exact = make_search(SearchId::kCdcBrute, table);
    for (const SearchId id : built_anchors()) {
        const auto anchor = make_search(id, table);
        EXPECT_GE(anchor->bytes(), 12u * 3000u) << search_name(id) << ": its copy of the points at least";
        for (QueryKind kind : kQueryKinds) {
            const FormTable queries = make_query_table(Form::kCdcPair, kind, 300);
            for (int q = 0; q < queries.count; ++q) {
                const Nearest found = anchor->nearest(queries, q), best = exact->nearest(queries, q);
                ASSERT_NE(found.index, kNoWinner);
                ASSERT_NEAR(found.score, best.score, 1e-15 + 1e-12 * best.score) << search_name(id) << " " << q;
            }
        }
    }
}

std::vector<int> indices_of(std::vector<Nearest> found) {
    std::vector<int> indices;
    for (const Nearest& n : found) indices.push_back(n.index);
    std::sort(indices.begin(), indices.end());
    return indices;
}

// Each anchor's k nearest lie at the exact k nearest distances, ranked by
// score; within a limit halfway between the 5th and 6th nearest it finds
// the 5 nearest.
TEST(Anchors, FindTheKNearestAndThoseWithinALimitAtTheExactDistances) {
    const FormTable table = make_form_table(Form::kCdcPair, 3000, kAirportSeed);
    const auto exact = make_search(SearchId::kCdcBrute, table);
    const FormTable queries = make_query_table(Form::kCdcPair, QueryKind::kUniform, 100);
    for (const SearchId id : built_anchors()) {
        const auto anchor = make_search(id, table);
        for (int q = 0; q < queries.count; ++q) {
            const std::vector<Nearest> best = exact->nearest(queries, q, 7);
            for (const int k : {1, 7}) {
                const std::vector<Nearest> found = anchor->nearest(queries, q, k);
                ASSERT_EQ(found.size(), static_cast<size_t>(k)) << search_name(id) << " " << q;
                for (int i = 0; i < k; ++i) {
                    ASSERT_NEAR(found[i].score, best[i].score, 1e-15 + 1e-12 * best[i].score)
                        << search_name(id) << " " << q << " " << i;
                    ASSERT_TRUE(i == 0 || ranks_before(found[i - 1], found[i], ScoreOrder::kSmallerNearer));
                }
            }
            const double limit = (best[4].score + best[5].score) / 2;
            ASSERT_EQ(indices_of(anchor->within(queries, q, limit)), indices_of(exact->within(queries, q, limit)))
                << search_name(id) << " " << q;
        }
    }
}

// A table of the directions given, as pairs.
FormTable pairs_of(const std::vector<UnitVector>& directions) {
    FormTable table = empty_form_table(Form::kCdcPair, static_cast<int>(directions.size()));
    for (int i = 0; i < table.count; ++i) set_location(table, i, directions[i]);
    return table;
}

TEST(Anchors, NoPointsNoWinnerAndOneIsTheWinner) {
    const FormTable none = pairs_of({}), one = pairs_of({{0.6, 0.8, 0}});
    for (const SearchId id : built_anchors()) {
        EXPECT_EQ(make_search(id, none)->nearest(one, 0).index, kNoWinner) << search_name(id);
        const Nearest found = make_search(id, one)->nearest(one, 0);
        EXPECT_EQ(found.index, 0) << search_name(id);
        EXPECT_EQ(found.score, 0.0) << search_name(id);  // the same pair decoded the same way
        EXPECT_TRUE(make_search(id, none)->nearest(one, 0, 3).empty()) << search_name(id);
        EXPECT_TRUE(make_search(id, none)->within(one, 0, 4).empty()) << search_name(id);
        // The limit itself is within, the one location past k = 1 is not there.
        EXPECT_EQ(indices_of(make_search(id, one)->within(one, 0, 0.0)), std::vector<int>{0}) << search_name(id);
        EXPECT_EQ(make_search(id, one)->nearest(one, 0, 5).size(), 1u) << search_name(id);
        EXPECT_TRUE(make_search(id, one)->nearest(one, 0, 0).empty()) << search_name(id);
        EXPECT_TRUE(make_search(id, one)->within(one, 0, NAN).empty()) << search_name(id);
    }
}

// A query object kept between calls must not outlive its index: a second
// index, made after the first is freed (perhaps at the same address), is the
// one searched.
TEST(Anchors, AnswerFromTheIndexGivenAfterAnotherWasFreed) {
    const FormTable first = pairs_of({{1, 0, 0}, {0, 1, 0}}), second = pairs_of({{0, 0, 1}, {0, -1, 0}, {-1, 0, 0}});
    const FormTable queries = pairs_of({{0, 1, 0}, {-1, 0, 0}});
    for (const SearchId id : built_anchors()) {
        EXPECT_EQ(make_search(id, first)->nearest(queries, 0).index, 1);
        EXPECT_EQ(make_search(id, second)->nearest(queries, 1).index, 2) << search_name(id);
    }
}

}  // namespace
