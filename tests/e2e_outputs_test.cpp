// The files a run writes besides its report, end to end: the per-point
// results against the report's lists on the bundled data, the record's
// fields, and a run that refuses to write over its own inputs.
#include <algorithm>
#include <cstdio>

#include "csv_rows.h"
#include "program_run.h"

using namespace e2e;

namespace {

// The list lines of a report block: those between its title and its
// duration line.
std::string list_after(const std::string& report, const std::string& title) {
    const size_t start = report.find(title);
    if (start == std::string::npos) return "";
    const size_t from = start + title.size();
    return report.substr(from, report.find("[Duration", from) - from);
}

// The report's list as the results give it: each run of points with the
// same airport, as "%3d %9.5f %10.5f %s".
std::string list_of_results(const std::vector<csv::Row>& rows, const std::string& method) {
    std::string list;
    int count = 0;
    const csv::Row* previous = nullptr;
    for (const csv::Row& row : rows) {
        if (row.size() != 9 || row[0] != method) continue;
        if (previous && (*previous)[4] == row[4]) continue;
        previous = &row;
        char line[600];
        std::snprintf(line, sizeof line, "%3d %9.5f %10.5f %s\n", ++count, std::stod(row[6]), std::stod(row[7]),
                      row[5].c_str());
        list += line;
    }
    return list;
}

TEST_F(ProgramRun, TheResultsCollapseToTheReportsListsOnTheBundledData) {
    const Result result = run({SPHEREBENCH_PROGRAM, "--results", "../results.csv", SPHEREBENCH_DATA_DIR});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string results = read_file(work_ / "results.csv");
    const std::vector<csv::Row> rows = csv::rows(results);
    ASSERT_EQ(rows.size(), 2001u);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(rows[1 + i][1], std::to_string(i));
        EXPECT_EQ(rows[1001 + i][1], std::to_string(i));
    }
    const std::string cdc_list = list_after(result.out, kCdcTitle);
    const std::string latlong_list = list_after(result.out, kLatLongTitle);
    EXPECT_EQ(std::count(cdc_list.begin(), cdc_list.end(), '\n'), 79);
    EXPECT_EQ(list_of_results(rows, "cdc"), cdc_list);
    EXPECT_EQ(list_of_results(rows, "latlong"), latlong_list);

    // Repeated runs find the same airports, and the results say so.
    const Result repeated = run({SPHEREBENCH_PROGRAM, "--repeat=3", "--results=../again.csv", SPHEREBENCH_DATA_DIR});
    ASSERT_EQ(repeated.status, 0) << repeated.err;
    EXPECT_EQ(read_file(work_ / "again.csv"), results);
}

TEST_F(ProgramRun, TheRecordSaysWhenWhatAndWhereTheRunWas) {
    write_inputs("0 0 A\n", "0 0\n");
    const Result result = run({SPHEREBENCH_PROGRAM, "--json", "../run.json", "../run"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string record = read_file(work_ / "run.json");
    for (const std::string field :
         {"  \"search\": \"brute\",\n", "  \"folder\": \"../run\",\n", "  \"tick_unit\": \"ms\",\n"})
        EXPECT_NE(record.find(field), std::string::npos) << field << record;
    const size_t timestamp = record.find("  \"timestamp\": \"");
    ASSERT_NE(timestamp, std::string::npos) << record;
    EXPECT_TRUE(matches(record.substr(timestamp + 15, 24), "\"#-#-#T#:#:#Z\",\n")) << record;
}

// Every spelling of an input file is refused before anything is read: the
// inputs stay as they were and nothing else appears beside them.
TEST_F(ProgramRun, NoSpellingOfAnInputFileIsWrittenOver) {
    const std::string airports = "0 0 A\n", points = "0 0\n";
    write_inputs(airports, points);
    fs::create_directory(run_dir_ / "sub");
    fs::create_symlink("airports.ptc", run_dir_ / "link");
    const std::vector<std::vector<std::string>> commands = {
        {SPHEREBENCH_PROGRAM, "--json", "airports.ptc"},
        {SPHEREBENCH_PROGRAM, "--results", "./flightline.lnc"},
        {SPHEREBENCH_PROGRAM, "--json", "sub/../airports.ptc", "."},
        {SPHEREBENCH_PROGRAM, "--results", (run_dir_ / "airports.ptc").string(), "../run"},
        {SPHEREBENCH_PROGRAM, "--json=link", "--repeat", "2"},
        {SPHEREBENCH_PROGRAM, "--json", "out", "--results", "sub/../out"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[2]);
        const Result result = run(command);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(matches(result.err.substr(0, 13), "spherebench: ")) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(read_file(run_dir_ / "airports.ptc"), airports);
        EXPECT_EQ(read_file(run_dir_ / "flightline.lnc"), points);
        EXPECT_EQ(std::distance(fs::directory_iterator(run_dir_), fs::directory_iterator()), 4);
    }
}

// A run that fails leaves no results and no temporary file; one whose
// output can't be made fails before it reads anything.
TEST_F(ProgramRun, OutputsAreMadeBeforeTheRunAndKeptOnlyAfterASuccessfulOne) {
    write_inputs("", "0 0\n");
    const Result failed = run({SPHEREBENCH_PROGRAM, "--results", "r.csv", "--json", "r.json"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(run_dir_), fs::directory_iterator()), 2);
    const Result unwritable = run({SPHEREBENCH_PROGRAM, "--results", "no-such/r.csv"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_EQ(unwritable.err, "spherebench: can't write no-such/r.csv: No such file or directory\n");
}

}  // namespace
