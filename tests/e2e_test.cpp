// The program run as a user runs it: each test writes the two input files
// into a fresh directory, runs spherebench there with both streams captured
// to files, and checks their exact bytes and the exit status. Timing fields
// are the only parts of a report matched by pattern.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace std::literals;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizedBuild = true;
#else
constexpr bool kSanitizedBuild = false;
#endif
#else
constexpr bool kSanitizedBuild = false;
#endif

namespace {

const std::string kHeader =
    "==== Find nearest airports to the points ======\n"
    "==== along Bombay-Los Angeles flight path =====\n";
const std::string kCdcTitle = "==== (test proximity using CDC coordinates) ===\n";
const std::string kLatLongTitle = "= (test proximity using lat/long coordinates) =\n";

struct Result {
    int status = -1;  // exit status, or -1 if the process did not exit
    std::string out;
    std::string err;
};

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string repeat(std::string_view line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

// What the loader writes to standard error when both files load.
std::string load_lines(int airports, int points) {
    return "Reading airports.ptc\nInput airports: " + std::to_string(airports) +
           "\nReading flightline.lnc\nInput flightline points: " + std::to_string(points) + "\n";
}

std::string tests_line(int tests) { return "Number of proximity tests: " + std::to_string(tests) + "\n\n"; }

// Whether the text matches the pattern, in which '#' stands for a number
// (an optional minus sign and one or more digits) and '_' for any run of
// blanks, possibly empty; every other character stands for itself. This masks
// the timing fields of a report and keeps their shape.
bool matches(std::string_view text, std::string_view pattern) {
    size_t at = 0;
    auto is_digit = [&](size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    for (char p : pattern) {
        if (p == '_') {
            while (at < text.size() && text[at] == ' ') ++at;
        } else if (p == '#') {
            if (at < text.size() && text[at] == '-') ++at;
            if (!is_digit(at)) return false;
            while (is_digit(at)) ++at;
        } else {
            if (at == text.size() || text[at] != p) return false;
            ++at;
        }
    }
    return at == text.size();
}

const std::string kDuration = "[Duration #:#:#.#]\n\n";
const std::string kSummary =
    "Reporting:            clock-ticks tests/second  (relative)\n"
    "-----------------------------------------------------------\n"
    "Concise direction cosines: _#   _#  (1.000 #.#)\n"
    "Latitude/longitude:        _#   _#  (#.# 1.000)\n"
    "-----------------------------------------------------------\n";

class ProgramRun : public testing::Test {
  protected:
    void SetUp() override {
        std::string dir = (fs::path(testing::TempDir()) / "spherebench_e2e_XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        work_ = dir;
        run_dir_ = work_ / "run";
        fs::create_directory(run_dir_);
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(work_, ignored);
    }

    // Empties the run directory for another run within the same test.
    void reset() {
        fs::remove_all(run_dir_);
        fs::create_directory(run_dir_);
    }

    void write(const char* name, std::string_view bytes) {
        std::ofstream(run_dir_ / name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }

    void write_inputs(std::string_view airports, std::string_view flight_line) {
        write("airports.ptc", airports);
        write("flightline.lnc", flight_line);
    }

    // Runs the command in the run directory, standard input from /dev/null,
    // standard output to `stdout_path` (default: a capture file) or to the
    // descriptor `stdout_fd`, every signal at its default action.
    Result run(std::vector<std::string> command = {SPHEREBENCH_PROGRAM}, const char* stdout_path = nullptr,
               int stdout_fd = -1) {
        const std::string out_path = stdout_path ? stdout_path : (work_ / "stdout").string();
        const std::string err_path = (work_ / "stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, run_dir_.c_str());
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (stdout_fd >= 0)
            posix_spawn_file_actions_adddup2(&actions, stdout_fd, 1);
        else
            posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        std::vector<char*> argv;
        for (std::string& word : command) argv.push_back(word.data());
        argv.push_back(nullptr);

        Result result;
        pid_t pid;
        const int spawned = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << argv[0];
            return result;
        }
        int wait_status = 0;
        waitpid(pid, &wait_status, 0);
        if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
        if (!stdout_path && stdout_fd < 0) result.out = read_file(out_path);
        result.err = read_file(err_path);
        return result;
    }

    // A load failure: only the expected standard error, nothing on standard
    // output, status 1.
    void expect_failure(std::string_view expected_err) {
        const Result result = run();
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, expected_err);
        EXPECT_EQ(result.out, "");
    }

    fs::path work_;
    fs::path run_dir_;
};

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
