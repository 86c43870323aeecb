// The program run as a user runs it: a fixture that writes the two input
// files into a fresh folder, runs spherebench there with both streams
// captured to files, and hands back their bytes and the exit status; and the
// expected pieces of a report, with a pattern matcher for its timing fields.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/whole_file.h"
#include "temp_folder.h"

extern char** environ;

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif
#else
inline constexpr bool kSanitizedBuild = false;
#endif

namespace e2e {

inline const std::string kHeader =
    "==== Find nearest airports to the points ======\n"
    "==== along Bombay-Los Angeles flight path =====\n";
inline const std::string kCdcTitle = "==== (test proximity using CDC coordinates) ===\n";
inline const std::string kLatLongTitle = "= (test proximity using lat/long coordinates) =\n";

struct Result {
    int status = -1;  // exit status, or -1 if the process did not exit
    std::string out;
    std::string err;
};

inline std::string read_file(const fs::path& path) { return spherebench::read_whole_file_or_empty(path.string()); }

inline std::string repeat(std::string_view line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

// What the loader writes to standard error when both files load.
inline std::string load_lines(int airports, int points) {
    return "Reading airports.ptc\nInput airports: " + std::to_string(airports) +
           "\nReading flightline.lnc\nInput flightline points: " + std::to_string(points) + "\n";
}

inline std::string tests_line(int tests) { return "Number of proximity tests: " + std::to_string(tests) + "\n\n"; }

// Whether the text matches the pattern, in which '#' stands for a number
// (an optional minus sign and one or more digits) and '_' for any run of
// blanks, possibly empty; every other character stands for itself. This masks
// the timing fields of a report and keeps their shape.
inline bool matches(std::string_view text, std::string_view pattern) {
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

inline const std::string kDuration = "[Duration #:#:#.#]\n\n";
inline const std::string kSummary =
    "Reporting:            clock-ticks tests/second  (relative)\n"
    "-----------------------------------------------------------\n"
    "Concise direction cosines: _#   _#  (1.000 #.#)\n"
    "Latitude/longitude:        _#   _#  (#.# 1.000)\n"
    "-----------------------------------------------------------\n";

class ProgramRun : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        run_dir_ = work_ / "run";
        fs::create_directory(run_dir_);
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

    fs::path run_dir_;
};

}  // namespace e2e
