// How the reports print figures in prose and tables (base/report_text.h).
#include "base/report_text.h"

#include <gtest/gtest.h>

using namespace spherebench;

namespace {

TEST(ReportText, ScientificWithoutLeadingZerosInTheExponent) {
    EXPECT_EQ(scientific(2.2813e-9, 2), "2.28e-9");
    EXPECT_EQ(scientific(2.0689e-9, 2), "2.07e-9");
    EXPECT_EQ(scientific(6371000.0, 3), "6.371e6");
    EXPECT_EQ(scientific(1.5e-10, 1), "1.5e-10");
    EXPECT_EQ(scientific(3.0, 1), "3.0e0");
}

}  // namespace
