// What representations-report reads of the suite's results
// (compare/suite_figures.h).
#include "compare/suite_figures.h"

#include <gtest/gtest.h>

#include <string>

using namespace spherebench;

namespace {

// As benchmarks/suite_results.py writes them (tests/suite_results_test.py
// checks that side).
const std::string kFigures =
    "repetitions\t5\n"
    "widest_spread\t0.030791403984895313\n"
    "median\tBM_CdcBrute/airports:14000\t3.4253e-09\n"
    "median\tBM_LatLongBrute/airports:14000\t0.30000000000000004\n"
    "context\tdate\t2026-12-07T10:02:11+00:00\n"
    "context\tlatlong_vector random, 1000 airports\tagree at 1000 of 1000 points\n"
    "load_avg\t0.836914\t0.913574\t1.24072\n"
    "future_kind\twhatever it holds\n";

TEST(SuiteFigures, ReadsEveryKindOfLine) {
    SuiteFigures figures;
    ASSERT_EQ(parse_suite_figures(kFigures, figures), std::nullopt);
    EXPECT_EQ(figures.repetitions, 5);
    EXPECT_EQ(figures.widest_spread, 0.030791403984895313);
    ASSERT_EQ(figures.median_per_test.size(), 2u);
    EXPECT_EQ(figures.median_per_test.at("BM_CdcBrute/airports:14000"), 3.4253e-09);
    EXPECT_EQ(figures.median_per_test.at("BM_LatLongBrute/airports:14000"), 0.1 + 0.2);
    EXPECT_EQ(context_or(figures, "date", "?"), "2026-12-07T10:02:11+00:00");
    EXPECT_EQ(context_or(figures, "latlong_vector random, 1000 airports", "?"), "agree at 1000 of 1000 points");
    EXPECT_EQ(context_or(figures, "cpu", "CPU not recorded"), "CPU not recorded");
    EXPECT_EQ(figures.load_averages, (std::vector<double>{0.836914, 0.913574, 1.24072}));
}

TEST(SuiteFigures, RefusesAMalformedLineByNumber) {
    SuiteFigures figures;
    EXPECT_EQ(parse_suite_figures("repetitions\t5\nmedian\tBM_CdcBrute\t3.4e-9x\n", figures),
              "line 2: not a figure of suite_results.py: median\tBM_CdcBrute\t3.4e-9x");
    EXPECT_EQ(parse_suite_figures("context\tdate\n", figures),
              "line 1: not a figure of suite_results.py: context\tdate");
}

TEST(SuiteFigures, NeedsMedians) {
    SuiteFigures figures;
    EXPECT_EQ(parse_suite_figures("repetitions\t1\n", figures),
              "no medians: run the suite with --benchmark_repetitions");
}

}  // namespace
