// The scale benchmarks' tables and ways of searching: split among threads or
// blocked by tiles, every search finds what it finds over the whole table,
// the lowest index winning where a location appears twice; the merge rule;
// the refusal of a table larger than the memory available.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "measure/random_tables.h"
#include "scale/scale_search.h"

using namespace spherebench;

namespace {

template <typename T>
void append_copy(std::vector<T>& v) {
    v.insert(v.end(), v.begin(), v.end());
}

// `count` random locations followed by the same again: every query's winner
// appears twice, the copy in the other half.
FormTable doubled_table(Form form, int count) {
    FormTable t = make_form_table(form, count, 7);
    append_copy(t.cdc), append_copy(t.fixed), append_copy(t.cells);
    append_copy(t.xs), append_copy(t.ys), append_copy(t.zs), append_copy(t.fxs), append_copy(t.fys), append_copy(t.fzs);
    t.count = 2 * count;
    return t;
}

bool same(Nearest a, Nearest b) {
    return a.airport == b.airport && std::memcmp(&a.score, &b.score, sizeof(double)) == 0;
}

TEST(ScaleSearch, SplitAndBlockedFindThePlainWinner) {
    constexpr int kQueries = 12;
    for (Search search : kSearches) {
        const SearchInfo info = search_info(search);
        const FormTable table = doubled_table(info.form, 75);
        const FormTable queries = make_form_table(info.form, kQueries, 8);
        std::vector<Nearest> answers(kQueries);
        for (int q = 0; q < kQueries; ++q) {
            const Nearest plain = search_part(search, table, 0, table.count, queries, q);
            ASSERT_LT(plain.airport, 75) << info.name << ": the copy won";
            answers[q] = plain;
        }
        std::vector<Nearest> found(kQueries);
        for (int threads : {1, 2, 3, 4, 7}) {
            search_each(search, table, queries, kQueries, threads, found.data());
            for (int q = 0; q < kQueries; ++q) EXPECT_TRUE(same(found[q], answers[q])) << info.name << " " << threads;
            for (int tile : {1, 7, 75, 76, 150, 1000}) {
                search_blocked(search, table, queries, kQueries, tile, threads, found.data());
                for (int q = 0; q < kQueries; ++q)
                    EXPECT_TRUE(same(found[q], answers[q])) << info.name << " " << threads << " tile " << tile;
            }
        }
    }
}

// More threads than locations leave parts empty; an empty table has no winner.
TEST(ScaleSearch, TinyAndEmptyTables) {
    for (Search search : kSearches) {
        const SearchInfo info = search_info(search);
        const FormTable queries = make_form_table(info.form, 1, 8);
        for (int count : {0, 1, 2}) {
            const FormTable table = make_form_table(info.form, count, 7);
            Nearest split{}, blocked{};
            search_each(search, table, queries, 1, 5, &split);
            search_blocked(search, table, queries, 1, 1, 5, &blocked);
            const int32_t expected = count == 0 ? kNoWinner : search_part(search, table, 0, count, queries, 0).airport;
            EXPECT_EQ(split.airport, expected) << info.name << " " << count;
            EXPECT_EQ(blocked.airport, expected) << info.name << " " << count;
        }
    }
}

TEST(ScaleSearch, BetterOf) {
    struct Case {
        Nearest a, b;
        bool smaller_wins;
        int32_t winner;
    };
    const Case cases[] = {
        {{3, 1.0}, {5, 0.5}, true, 5},         {{3, 1.0}, {5, 0.5}, false, 3},
        {{3, 1.0}, {2, 1.0}, true, 2},         {{3, 1.0}, {2, 1.0}, false, 2},
        {{2, 1.0}, {3, 1.0}, true, 2},         {{kNoWinner, 0.0}, {4, 9.0}, true, 4},
        {{4, 9.0}, {kNoWinner, 0.0}, true, 4}, {{kNoWinner, 0.0}, {kNoWinner, 0.0}, true, kNoWinner},
        {{4, -0.0}, {1, 0.0}, true, 1},  // equal scores, whatever their sign
    };
    for (const Case& c : cases) EXPECT_EQ(better_of(c.a, c.b, c.smaller_wins).airport, c.winner);
}

// The first locations of a table are the suite's airports, drawn from the
// same seed: its pair and the fixed point derived from it.
TEST(ScaleTables, SameDirectionsAsTheSuite) {
    AirportTable suite;
    fill_random_airports(suite, 100, kAirportSeed);
    const FormTable cdc = make_form_table(Form::kCdcPair, 100, kAirportSeed);
    const FormTable fixed = make_form_table(Form::kFixedLatLong, 100, kAirportSeed);
    for (int j = 0; j < 100; ++j) {
        EXPECT_EQ(std::memcmp(&cdc.cdc[j], &suite.cdc[j], sizeof(CdcPair)), 0) << j;
        EXPECT_EQ(std::memcmp(&fixed.fixed[j], &suite.fixed[j], sizeof(FixedLatLong)), 0) << j;
    }
}

TEST(ScaleTables, MemAvailable) {
    EXPECT_EQ(mem_available_bytes("MemTotal:       24000000 kB\nMemAvailable:    1000 kB\n"), 1024000);
    EXPECT_EQ(mem_available_bytes("MemTotal: 5 kB\n"), -1);
    EXPECT_EQ(mem_available_bytes("MemAvailable: 5 MB\n"), -1);
    EXPECT_EQ(mem_available_bytes(""), -1);
    // 2^24 S2Points take 384 MiB.
    EXPECT_EQ(table_refusal(Form::kS2Point, 1 << 24, 384ll << 20), "");
    EXPECT_EQ(table_refusal(Form::kS2Point, 1 << 24, -1), "");
    EXPECT_EQ(table_refusal(Form::kS2Point, 1 << 24, (384ll << 20) - 1),
              "refused: a table of 16777216 S2Point locations needs 384 MiB and the machine has 383 MiB available "
              "(MemAvailable)");
    EXPECT_NE(table_refusal(Form::kCdcPair, 3, 23), "");
}

}  // namespace
