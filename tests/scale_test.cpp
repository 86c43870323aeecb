// The scale benchmarks' tables and ways of searching: split among threads or
// blocked by tiles, every search finds what it finds over the whole table,
// the lowest index winning where a location appears twice;
// the refusal of a table larger than the memory available.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "random/random_tables.h"
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

TEST(ScaleSearch, SplitAndBlockedFindThePlainWinner) {
    constexpr int kQueries = 12;
    for (const SearchId search : scale_searches()) {
        const char* name = search_name(search);
        const FormTable table = doubled_table(search_facts(search).form, 75);
        const FormTable queries = make_form_table(table.form, kQueries, 8);
        std::vector<Nearest> answers(kQueries);
        for (int q = 0; q < kQueries; ++q) {
            const Nearest plain = search_whole(search, table, queries, q);
            ASSERT_LT(plain.index, 75) << name << ": the copy won";
            answers[q] = plain;
        }
        std::vector<Nearest> found(kQueries);
        for (int threads : {1, 2, 3, 4, 7}) {
            search_each(search, table, split_table(search, table, threads), queries, kQueries, found.data());
            for (int q = 0; q < kQueries; ++q) EXPECT_TRUE(same_answer(found[q], answers[q])) << name << " " << threads;
            for (int tile : {1, 7, 75, 76, 150, 1000}) {
                search_blocked(search, table, tile_table(search, table, tile), queries, kQueries, threads,
                               found.data());
                for (int q = 0; q < kQueries; ++q)
                    EXPECT_TRUE(same_answer(found[q], answers[q])) << name << " " << threads << " tile " << tile;
            }
        }
    }
}

// More threads than locations leave parts empty; an empty table has no winner.
TEST(ScaleSearch, TinyAndEmptyTables) {
    for (const SearchId search : scale_searches()) {
        const char* name = search_name(search);
        const FormTable queries = make_form_table(search_facts(search).form, 1, 8);
        for (int count : {0, 1, 2}) {
            const FormTable table = make_form_table(queries.form, count, 7);
            Nearest split{}, blocked{};
            search_each(search, table, split_table(search, table, 5), queries, 1, &split);
            search_blocked(search, table, tile_table(search, table, 1), queries, 1, 5, &blocked);
            const int32_t expected = count == 0 ? kNoWinner : search_whole(search, table, queries, 0).index;
            EXPECT_EQ(split.index, expected) << name << " " << count;
            EXPECT_EQ(blocked.index, expected) << name << " " << count;
            EXPECT_EQ(search_whole(search, table, queries, 0).index, expected) << name << " " << count;
        }
    }
}

// Parts cover the table once, in order: equal splits, tiles with a short
// last one, and a search built per part.
TEST(ScaleSearch, TableParts) {
    const FormTable table = make_form_table(Form::kCdcPair, 10, 7);
    EXPECT_EQ(split_table(SearchId::kCdcBrute, table, 3).begin, (std::vector<int>{0, 3, 6, 10}));
    EXPECT_EQ(split_table(SearchId::kCdcBrute, table, 0).begin, (std::vector<int>{0, 10}));
    EXPECT_EQ(tile_table(SearchId::kCdcBrute, table, 4).begin, (std::vector<int>{0, 4, 8, 10}));
    EXPECT_EQ(tile_table(SearchId::kCdcBrute, table, 0).count(), 10);
    const TableParts grouped = tile_table(SearchId::kCdcBruteVector, table, 4);
    ASSERT_EQ(grouped.searches.size(), 3u);
    // The last tile's search holds its two pairs, grouped: 16 bytes each at
    // least.
    EXPECT_EQ(grouped.searches[2]->count(), 2);
    EXPECT_GE(grouped.searches[2]->bytes(), 32u);
    EXPECT_EQ(tile_table(SearchId::kCdcBrute, make_form_table(Form::kCdcPair, 0, 7), 4).begin,
              (std::vector<int>{0, 0}));
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
    EXPECT_EQ(table_refusal(SearchId::kS2PointBruteVector, 1 << 24, 384ll << 20), "");
    EXPECT_EQ(table_refusal(SearchId::kS2PointBruteVector, 1 << 24, -1), "");
    EXPECT_EQ(table_refusal(SearchId::kS2PointBruteVector, 1 << 24, (384ll << 20) - 1),
              "refused: a table of 16777216 S2Point locations needs 384 MiB and the machine has 383 MiB available "
              "(MemAvailable)");
    EXPECT_NE(table_refusal(SearchId::kCdcBrute, 3, 23), "");
    // The block search's grouped copy, a pair and an index per location,
    // beside the table's pairs: 2^20 of them take 24 MiB.
    EXPECT_EQ(table_refusal(SearchId::kCdcBrute, 1 << 20, 8ll << 20), "");
    EXPECT_EQ(table_refusal(SearchId::kCdcBruteVector, 1 << 20, 24ll << 20), "");
    EXPECT_NE(table_refusal(SearchId::kCdcBruteVector, 1 << 20, (24ll << 20) - 1), "");
}

}  // namespace
