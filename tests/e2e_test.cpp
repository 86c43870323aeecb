// The program run as a user runs it: each test writes the two input files
// into a fresh directory, runs spherebench there with both streams captured
// to files, and checks their exact bytes and the exit status. Timing fields
// are the only parts of a report matched by pattern.
#include "program_run.h"

using namespace std::literals;
using namespace e2e;

namespace {

// Three airports, the first at latitude 0 and longitude 0, and 250 points all
// there; stored with CR LF line ends, a comment, a blank line and an
// end-of-file byte followed by text that must not be read.
const std::string kAirports =
    "; three airports\r\n"
    "0 0 Origin\r\n"
    "\r\n"
    "1935591320 1373509403 Los Angeles Intl\r\n"
    "797768793 1302777900 Dubai Intl\r\n"
    "\x1a"
    "this line is never read\r\n";
const std::string kPoints = "* 250 points\n" + repeat("0 0\n", 250);

std::string pass_block(const std::string& title) {
    return kHeader + title + "  1   0.00000    0.00000 Origin\n" + kDuration;
}

TEST_F(ProgramRun, CompleteRunWritesTheExactDiagnosticsAndTheReport) {
    write_inputs(kAirports, kPoints);
    const Result result = run();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, load_lines(3, 250) + tests_line(750) + "0\r100\r200\r" + "0\r100\r200\r");
    EXPECT_TRUE(matches(result.out, pass_block(kCdcTitle) + pass_block(kLatLongTitle) + kSummary)) << result.out;
}

// Airports on the axes, one stored twice, and points a few field units off
// them: each point's nearest airport is the one on its axis, the others lying
// a quarter turn or more away, so both methods list the same airports. A
// field is the low 30 bits of its word, so -100 there is 1073741724. The
// positions printed follow from the pairs by hand: the field code 0 stands for
// the cosine 2/2147483640, about 9.3e-10, which prints as 0 in degrees, and
// the north pole's longitude is atan2(c, -c) = 135 degrees.
TEST_F(ProgramRun, ReportListsTheNearestAirportsAlongThePath) {
    write_inputs(
        "0 0 Zero\n"
        "0 1073741824 East\n"
        "0 2147483648 North\n"
        "0 0 Zero again\n"  // same words as Zero: never wins
        "1073741824 0 West\n",
        "100 100\n"
        "200 1073741724\n"   // second field -100: still nearest to Zero, no new line
        "100 1073741924\n"   // near East
        "1073741524 50\n"    // first field -300: back at Zero, listed again
        "100 -2147483548\n"  // near North
        "100 -2147483548\n"
        "1073741924 100\n");  // near West
    const Result result = run();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, load_lines(5, 7) + tests_line(35) + "0\r0\r");
    const std::string list =
        "  1   0.00000    0.00000 Zero\n"
        "  2   0.00000   90.00000 East\n"
        "  3   0.00000    0.00000 Zero\n"
        "  4  90.00000  135.00000 North\n"
        "  5   0.00000 -180.00000 West\n";
    EXPECT_TRUE(matches(result.out,
                        kHeader + kCdcTitle + list + kDuration + kHeader + kLatLongTitle + list + kDuration + kSummary))
        << result.out;
}

TEST_F(ProgramRun, EmptyTablesGiveACompleteRunWithoutResults) {
    write_inputs("", "; no points\n");
    const Result result = run();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, load_lines(0, 0) + tests_line(0));
    EXPECT_TRUE(matches(result.out, kHeader + kCdcTitle + kDuration + kHeader + kLatLongTitle + kDuration + kSummary))
        << result.out;
}

TEST_F(ProgramRun, FilesThatCannotBeOpened) {
    // Nothing at all: the airport file is tried first.
    expect_failure("Can't open file [airports.ptc] for reading\n");

    reset();
    write("flightline.lnc", kPoints);
    fs::create_directory(run_dir_ / "airports.ptc");
    expect_failure("Can't open file [airports.ptc] for reading\n");

    // Both files are opened before either is read.
    reset();
    write("airports.ptc", kAirports);
    expect_failure("Can't open file [flightline.lnc] for reading\n");

    reset();
    write("airports.ptc", kAirports);
    fs::create_directory(run_dir_ / "flightline.lnc");
    expect_failure("Can't open file [flightline.lnc] for reading\n");
}

TEST_F(ProgramRun, FileThatOpensButCannotBeRead) {
    // Reading this process's own memory at address 0 fails with an I/O error.
    write("flightline.lnc", kPoints);
    fs::create_symlink("/proc/self/mem", run_dir_ / "airports.ptc");
    expect_failure("Reading airports.ptc\nCan't read file [airports.ptc]\n");
}

// An endless line is refused once it is known to be too long, without
// reading on: neither memory nor time grow with it.
TEST_F(ProgramRun, EndlessLineIsRefusedEarly) {
    write("flightline.lnc", kPoints);
    fs::create_symlink("/dev/zero", run_dir_ / "airports.ptc");
    expect_failure("Reading airports.ptc\nLine 1 of [airports.ptc] is too long\n");
}

TEST_F(ProgramRun, MalformedLinesStopTheRunWithTheirLineNumber) {
    const std::string one_airport = "1 2 One\n";
    const std::string reading_points = "Reading airports.ptc\nInput airports: 1\nReading flightline.lnc\n";
    struct Case {
        std::string airports, points, err;
    };
    const Case cases[] = {
        // Lines are counted physically: comments and blank lines too.
        {"; c\n\n1 2 One\n3 4 " + std::string(505, 'n') + "\n", kPoints,
         "Reading airports.ptc\nLine 4 of [airports.ptc] is too long\n"},
        {one_airport, "1 2\r\n; c\r\n" + std::string(509, '1') + "\r\n",
         reading_points + "Line 3 of [flightline.lnc] is too long\n"},
        {one_airport + "3 4 B\0C\n"s, kPoints, "Reading airports.ptc\nLine 2 of [airports.ptc] holds a NUL byte\n"},
        {one_airport, "\t\n1 2\0\n"s, reading_points + "Line 2 of [flightline.lnc] holds a NUL byte\n"},
        // A line that is too long is reported as such, whatever else it holds.
        {one_airport + "\0"s + std::string(600, 'x'), kPoints,
         "Reading airports.ptc\nLine 2 of [airports.ptc] is too long\n"},
        {one_airport + "   7 \n", kPoints,
         "Reading airports.ptc\nLine 2 of [airports.ptc] has fewer than two number fields\n"},
        {one_airport, "1 2\n\n\r\n5\n",
         reading_points + "Line 4 of [flightline.lnc] has fewer than two number fields\n"},
        {one_airport, "1 2\nx\r\n", reading_points + "Line 2 of [flightline.lnc] has fewer than two number fields\n"},
        // Both numbers and no name: the count of airports stored so far.
        {one_airport + "3 4 Two\n5 6\n", kPoints, "Reading airports.ptc\nStrdup failed at 2\n"},
        {one_airport + "5 6 \n", kPoints, "Reading airports.ptc\nStrdup failed at 1\n"},
        {one_airport + "5 6", kPoints, "Reading airports.ptc\nStrdup failed at 1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        reset();
        write_inputs(c.airports, c.points);
        expect_failure(c.err);
    }
}

TEST_F(ProgramRun, TablesAtTheirLimitsLoad) {
    // 14000 airports then only comments and blank lines; the diagnostic line
    // after airport 11206 shows its name's length in bytes. A 508-character
    // record line and a comment of a million characters are fine.
    std::string airports = repeat("0 0 A\n", 11206) + "0 0   Z\xc3\xbcrich\n" + repeat("0 0 A\n", 2792) + "1 2 " +
                           std::string(504, 'n') + "\n; " + std::string(1000000, 'c') + "\n* c\n\n \t\n";
    write_inputs(airports, "0 0\n");
    Result result = run();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "Reading airports.ptc\n11206        9   Z\xc3\xbcrich\nInput airports: 14000\n"
              "Reading flightline.lnc\nInput flightline points: 1\n" +
                  tests_line(14000) + "0\r0\r");

    reset();
    write_inputs("0 0 A\n", repeat("0 0\n", 1000) + "; c\n\n");
    result = run();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              load_lines(1, 1000) + tests_line(1000) + repeat("0\r100\r200\r300\r400\r500\r600\r700\r800\r900\r", 2));
}

TEST_F(ProgramRun, TablesOverTheirLimitsStopTheRun) {
    write_inputs(repeat("0 0 Name\n", 14001), kPoints);
    expect_failure("Reading airports.ptc\n11206        4 Name\nAirport buffer overflow (14000)?\n");

    reset();
    write_inputs("0 0 A\n", repeat("0 0\n", 1000) + "; c\n0 0\n");
    expect_failure(
        "Reading airports.ptc\nInput airports: 1\nReading flightline.lnc\nFlightline buffer overflow (1000)?\n");
}

// With points but no airports the first pass finds no winner at its first
// point; what it wrote to standard output before stopping is delivered.
TEST_F(ProgramRun, InternalErrorStopKeepsTheHeaderLines) {
    write_inputs("; no airports\n", "0 0\n");
    const Result result = run();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, load_lines(0, 1) + tests_line(0) + "0\rUnexpected internal error in airport search (a).\n");
    EXPECT_EQ(result.out, kHeader + kCdcTitle);
}

TEST_F(ProgramRun, ReportThatCannotBeWrittenFailsTheRun) {
    write_inputs(kAirports, kPoints);
    const std::string expected_err =
        load_lines(3, 250) + tests_line(750) + "0\r100\r200\r0\r100\r200\rCan't write the report\n";
    Result result = run({SPHEREBENCH_PROGRAM}, "/dev/full");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, expected_err);

    // A pipe whose reader has gone: the run still ends with the message and
    // status 1, not killed by the broken pipe.
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    close(pipe_ends[0]);
    result = run({SPHEREBENCH_PROGRAM}, nullptr, pipe_ends[1]);
    close(pipe_ends[1]);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, expected_err);
}

TEST_F(ProgramRun, ValgrindFindsNoInvalidAccess) {
    if (kSanitizedBuild) GTEST_SKIP() << "valgrind cannot run a sanitized program";
    if (SPHEREBENCH_PROGRAM_EMULATED) GTEST_SKIP() << "the program runs under an emulator, which valgrind would check";
    if (std::system("valgrind --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "valgrind is not installed";

    write_inputs(kAirports, kPoints);
    Result result = run({"valgrind", "--error-exitcode=1", "-q", SPHEREBENCH_PROGRAM});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, load_lines(3, 250) + tests_line(750) + "0\r100\r200\r" + "0\r100\r200\r");

    // A stop in the middle of a pass, where the program itself exits with 1.
    reset();
    write_inputs("", "0 0\n");
    result = run({"valgrind", "--error-exitcode=99", "-q", SPHEREBENCH_PROGRAM});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, load_lines(0, 1) + tests_line(0) + "0\rUnexpected internal error in airport search (a).\n");
}

}  // namespace
