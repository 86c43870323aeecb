// spherebench's options run end to end: a folder named on the command line,
// repeated runs with the spread and the JSON record, each checked against a
// run without arguments or by pattern where times appear.
#include <cstdio>

#include "program_run.h"

using namespace e2e;

namespace {

// Two airports and 150 points at the first of them.
const std::string kTwoAirports = "0 0 Here\n1073741824 0 There\n";
const std::string kPoints150 = repeat("0 0\n", 150);
const std::string kBlocks = kHeader + kCdcTitle + "  1   0.00000    0.00000 Here\n" + kDuration + kHeader +
                            kLatLongTitle + "  1   0.00000    0.00000 Here\n" + kDuration;

// What both streams hold after a complete run with this many runs per pass.
std::string run_err(int runs) { return load_lines(2, 150) + tests_line(300) + repeat("0\r100\r", 2 * runs); }

TEST_F(ProgramRun, AFolderOrOneRepetitionGivesTheReportOfARunWithoutArguments) {
    write_inputs(kTwoAirports, kPoints150);
    const std::vector<std::vector<std::string>> commands = {
        {SPHEREBENCH_PROGRAM},
        {SPHEREBENCH_PROGRAM, "../run"},
        {SPHEREBENCH_PROGRAM, "--repeat=1", "--", "../run/"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.back());
        const Result result = run(command);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, run_err(1));
        EXPECT_TRUE(matches(result.out, kBlocks + kSummary)) << result.out;
    }
}

TEST_F(ProgramRun, RepeatedRunsListTheAirportsOnceThenGiveTheSpread) {
    write_inputs(kTwoAirports, kPoints150);
    const Result result = run({SPHEREBENCH_PROGRAM, "--repeat", "3"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, run_err(3));
    const std::string rule = "-----------------------------------------------------------\n";
    const std::string spread = "\nSpread of 3 runs:           fastest     median    slowest\n" + rule +
                               "Concise direction cosines:_#_#_#\n"
                               "Latitude/longitude:_#_#_#\n"
                               "Relative (CDC/lat-long):_#.#_#.#_#.#\n" +
                               rule;
    EXPECT_TRUE(matches(result.out, kBlocks + kSummary + spread)) << result.out;
}

// The record is valid JSON with one entry a run, and the summary's ticks are
// those of the median runs it holds (checked by Python, apart from the code).
TEST_F(ProgramRun, TheJsonRecordHoldsEveryRunAndTheSummaryTheirMedians) {
    if (std::system("python3 -c '' 2>/dev/null") != 0) GTEST_SKIP() << "python3 is not installed";
    write_inputs(kTwoAirports, kPoints150);
    const Result result = run({SPHEREBENCH_PROGRAM, "--repeat", "4", "--json", "../run.json"});
    ASSERT_EQ(result.status, 0);
    int cdc = -1, latlong = -1;
    const size_t summary = result.out.find("Concise direction cosines: ");
    ASSERT_NE(summary, std::string::npos);
    ASSERT_EQ(std::sscanf(result.out.c_str() + summary, "Concise direction cosines: %d%*[^\n]\nLatitude/longitude: %d",
                          &cdc, &latlong),
              2);
    const std::string record = (work_ / "run.json").string();
    const std::string check = "python3 -m json.tool " + record +
                              " >/dev/null && python3 -c '"
                              "import json, sys\n"
                              "r = json.load(open(sys.argv[1]))\n"
                              "lower_middle = lambda v: sorted(v)[(len(v) - 1) // 2]\n"
                              "assert r[\"version\"] and r[\"cpu\"] and r[\"compiler\"]\n"
                              "assert (r[\"airports\"], r[\"points\"], r[\"tests\"]) == (2, 150, 300)\n"
                              "assert len(r[\"runs\"]) == 4\n"
                              "cdc = lower_middle([x[\"cdc_ticks\"] for x in r[\"runs\"]])\n"
                              "latlong = lower_middle([x[\"latlong_ticks\"] for x in r[\"runs\"]])\n"
                              "assert (cdc, latlong) == (int(sys.argv[2]), int(sys.argv[3]))\n"
                              "assert r[\"cdc_tests_per_second\"] == (300 / (cdc * 0.001) if cdc else 0)\n"
                              "' " +
                              record + " " + std::to_string(cdc) + " " + std::to_string(latlong);
    EXPECT_EQ(std::system(check.c_str()), 0) << read_file(record);
}

// With no airport the first search fails at once; repeated runs print the
// same header before the message as a single run does.
TEST_F(ProgramRun, AFailedSearchAmongRepeatedRunsKeepsTheHeaderLines) {
    write_inputs("", "0 0\n");
    const Result result = run({SPHEREBENCH_PROGRAM, "--repeat", "5"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, load_lines(0, 1) + tests_line(0) + "0\rUnexpected internal error in airport search (a).\n");
    EXPECT_EQ(result.out, kHeader + kCdcTitle);
}

}  // namespace
