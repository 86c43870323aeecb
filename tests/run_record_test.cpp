// The median and spread of repeated runs and the JSON record of a run.
#include "app/run_record.h"

#include <gtest/gtest.h>

#include "app/passes.h"
#include "app/run_spread.h"

namespace spherebench {
namespace {

TEST(RunSpread, TheMedianIsTheLowerMiddleRun) {
    EXPECT_EQ(median_ticks({7}), 7);
    EXPECT_EQ(median_ticks({9, 3, 5}), 5);
    EXPECT_EQ(median_ticks({40, 10, 30, 20}), 20);
    EXPECT_EQ(median_ticks({2, 2, 1, 1}), 1);
}

// Relative times per turn: 30/60 = 0.5, 20/100 = 0.2, 50/40 = 1.25, 10/0 = -1.
TEST(RunSpread, GivesEachMethodsRangeAndTheRangeOfTheTurnsRatios) {
    const PassRuns runs{{30, 20, 50, 10}, {60, 100, 40, 0}};
    EXPECT_EQ(format_spread(runs),
              "Spread of 4 runs:           fastest     median    slowest\n"
              "-----------------------------------------------------------\n"
              "Concise direction cosines:       10         20         50\n"
              "Latitude/longitude:               0         40        100\n"
              "Relative (CDC/lat-long):     -1.000      0.200      1.250\n"
              "-----------------------------------------------------------\n");
}

TEST(RunRecord, WritesEveryFieldAndTheMedianRates) {
    // Medians 20 and 40 ticks: of 1000 tests the indexes scored 200 and 120,
    // in 0.02 s and 0.04 s.
    RunRecord record{"1.2.3", "CPU \"X\"", "cc", "two-slot array", 10, 100, 1000, {{20, 30, 10}, {50, 40, 30}}};
    record.timestamp = "2026-12-07T15:40:00Z";
    record.folder = "C:\\data";
    record.search = PassSearch::kIndexed;
    record.runs.cdc_index_ms = 0.25;
    record.runs.latlong_index_ms = 1.5;
    record.runs.cdc_scored = 200;
    record.runs.latlong_scored = 120;
    EXPECT_EQ(format_run_record(record),
              "{\n"
              "  \"version\": \"1.2.3\",\n"
              "  \"timestamp\": \"2026-12-07T15:40:00Z\",\n"
              "  \"cpu\": \"CPU \\\"X\\\"\",\n"
              "  \"compiler\": \"cc\",\n"
              "  \"search\": \"indexed\",\n"
              "  \"searches\": {\"cdc\": \"CdcIndex\", \"latlong\": \"LatLongIndex\"},\n"
              "  \"index_build_ms\": {\"cdc\": 0.25, \"latlong\": 1.5},\n"
              "  \"cdc_arrangement\": \"two-slot array\",\n"
              "  \"folder\": \"C:\\\\data\",\n"
              "  \"airports\": 10,\n"
              "  \"points\": 100,\n"
              "  \"tests\": 1000,\n"
              "  \"tick_unit\": \"ms\",\n"
              "  \"runs\": [\n"
              "    {\"cdc_ticks\": 20, \"latlong_ticks\": 50},\n"
              "    {\"cdc_ticks\": 30, \"latlong_ticks\": 40},\n"
              "    {\"cdc_ticks\": 10, \"latlong_ticks\": 30}\n"
              "  ],\n"
              "  \"scored\": {\"cdc\": 200, \"latlong\": 120},\n"
              "  \"cdc_tests_per_second\": 10000,\n"
              "  \"latlong_tests_per_second\": 3000\n"
              "}\n");
}

// Seconds since 1970 worked out apart (Python's calendar.timegm).
TEST(RunRecord, GivesTheTimeInUtcAsIso8601) {
    EXPECT_EQ(utc_timestamp(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(utc_timestamp(1796658000), "2026-12-07T15:40:00Z");
    EXPECT_EQ(utc_timestamp(951868799), "2000-02-29T23:59:59Z");
}

TEST(RunRecord, FindsTheModelNameInCpuinfo) {
    EXPECT_EQ(cpu_model_name("processor\t: 0\nmodel\t\t: 17\nmodel name\t: AMD EPYC 9R14\nflags\t: x\n"),
              "AMD EPYC 9R14");
    EXPECT_EQ(cpu_model_name("processor\t: 0\nBogoMIPS\t: 50.00\nCPU part\t: 0xd0c\n"), "unknown");
    EXPECT_EQ(cpu_model_name(""), "unknown");
}

}  // namespace
}  // namespace spherebench
