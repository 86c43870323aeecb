// spherebench's command line: its options as a plain record, read by one
// pure function so that every way of writing them can be tested.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalogue/pass_search.h"

namespace spherebench {

inline constexpr int kMostRepeats = 1000;

struct Options {
    std::string folder;                  // where the two files are; empty: the current folder
    int repeat = 1;                      // runs of each pass
    std::optional<std::string> json;     // where to write the record of the run
    std::optional<std::string> results;  // where to write each point's nearest airport, as CSV
    bool verbose = false;                // extra lines on standard error
    std::optional<PassSearch> search;    // the passes' search; unset: brute force
    bool help = false;
    bool version = false;
};

// Reads the words after the program's name into `options`, which the caller
// passes as default-constructed. -h or --help anywhere before "--" asks for
// help, whatever else is there. On a wrong command line returns the line that
// names the problem (without the pointer to --help).
std::optional<std::string> parse_command_line(const std::vector<std::string>& args, Options& options);

// The text --help prints.
std::string usage_text();

}  // namespace spherebench
