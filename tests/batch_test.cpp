// Batches find what asking one query at a time finds, bit for bit: on any
// number of threads, and along a path with each search started from the
// previous answer (a real candidate, so nothing nearer is lost and ties still
// go to the lowest index), for every search of the catalogue.
#include "search/batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "query/query_tables.h"
#include "query/search.h"
#include "search/cdc_index.h"

using namespace spherebench;

namespace {

TEST(Batch, SameAnswersOnThreadsAndAlongAPath) {
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!search_built(facts.id)) continue;
        // A repeated table: ties between copies at every step of the path.
        for (const TableKind kind : {TableKind::kUniform, TableKind::kRepeated}) {
            const FormTable table = make_kind_table(table_form(facts.id), kind, 2000, 5);
            const auto search = make_search(facts.id, table);
            for (const QueryKind queries_kind : {QueryKind::kPath, QueryKind::kNear}) {
                const FormTable queries = make_query_table(table.form, queries_kind, 300, kind, 5);
                for (const Batch batch : {Batch{1, true}, Batch{3, true}, Batch{2, false}}) {
                    std::vector<Nearest> answers(250);
                    search->nearest_all(queries, 50, 250, answers.data(), batch);
                    for (int i = 0; i < 250; ++i)
                        ASSERT_TRUE(same_answer(answers[i], search->nearest(queries, 50 + i)))
                            << facts.name << " on " << table_kind_name(kind) << ", query " << 50 + i << ", "
                            << batch.threads << " threads";
                }
            }
        }
    }
}

// The k nearest and everything within a limit on threads, each query
// prepared by query_of: the answers asking one at a time gives, in place.
TEST(Batch, KNearestAndWithinOnThreads) {
    const FormTable table = make_kind_table(Form::kCdcPair, TableKind::kTowns, 3000, 7);
    const CdcIndex index(table.cdc.data(), table.count);
    const FormTable queries = make_query_table(Form::kCdcPair, QueryKind::kNear, 200, TableKind::kTowns, 7);
    const auto query_of = [&](size_t i) { return arrange_point(decode_cdc(queries.cdc[i])); };
    const auto limit_of = [](size_t i) { return 1e-7 * static_cast<double>(i % 7); };
    std::vector<std::vector<Nearest>> k_found(200), within_found(200);
    nearest_k_all(index, 200, query_of, 5, k_found.data(), Batch{3});
    within_all(index, 200, query_of, limit_of, within_found.data(), Batch{2});
    for (size_t i = 0; i < 200; ++i) {
        const auto same = [](const std::vector<Nearest>& a, const std::vector<Nearest>& b) {
            return std::equal(a.begin(), a.end(), b.begin(), b.end(), same_answer);
        };
        EXPECT_TRUE(same(k_found[i], nearest_k(index, query_of(i), 5))) << i;
        EXPECT_TRUE(same(within_found[i], nearest_within(index, query_of(i), limit_of(i)))) << i;
    }
}

// A search over numbers on a line that notes every location it is started
// from (score_at), the seed a path asker offers.
struct LineSearch {
    using Query = double;
    static constexpr ScoreOrder kOrder = ScoreOrder::kSmallerNearer;
    std::vector<double> locations;
    mutable std::vector<int32_t> seeds = {};

    double score(double query, int32_t index) const { return std::abs(locations[index] - query); }
    double score_at(double query, int32_t index) const {
        seeds.push_back(index);
        return score(query, index);
    }
    template <typename Results>
    void find(double query, Results& results) const {
        for (int32_t j = 0; j < static_cast<int32_t>(locations.size()); ++j) results.add(j, score(query, j));
    }
    Nearest nearest(double query) const {
        NearestOne results(kOrder);
        find(query, results);
        return results.take();
    }
};

// Along a path each query after the first starts from the previous answer,
// however it was asked, offered (and counted) before the search's own; off
// the path none does. The answers are the search's own.
TEST(PathAsker, SeedsEachQueryWithThePreviousAnswer) {
    const double queries[] = {0.9, 2.1, 2.2, 0.1, 2.9};
    for (const bool along_path : {true, false}) {
        const LineSearch search{{0, 1, 2, 3}};
        PathAsker asker(search, along_path);
        EXPECT_TRUE(same_answer(asker.nearest(queries[0]), search.nearest(queries[0])));
        std::vector<int64_t> offered;
        for (int i = 1; i < 4; ++i) {
            CountingNearest results(LineSearch::kOrder);
            EXPECT_TRUE(same_answer(asker.nearest_in(queries[i], results), search.nearest(queries[i]))) << i;
            offered.push_back(results.offered());
        }
        EXPECT_TRUE(same_answer(asker.nearest(queries[4]), search.nearest(queries[4])));
        const std::vector<int32_t> seeds = along_path ? std::vector<int32_t>{1, 2, 2, 0} : std::vector<int32_t>{};
        EXPECT_EQ(search.seeds, seeds);
        EXPECT_EQ(offered, std::vector<int64_t>(3, along_path ? 5 : 4));
    }
}

// A failure in any thread's share reaches the caller, once every share is
// done: the others' answers all written.
TEST(Batch, AFailingShareIsRethrownAfterAllAreDone) {
    std::vector<int> done(100, 0);
    const auto share = [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) done[i] = 1;
        if (first == 50) throw std::runtime_error("share at 50");
    };
    EXPECT_THROW(split_queries(100, 4, share), std::runtime_error);
    EXPECT_EQ(std::count(done.begin(), done.end(), 1), 100);
    EXPECT_NO_THROW(split_queries(0, 4, share));
}

}  // namespace
