// The one failure convention of the project's command-line tools, and the
// GNU forms of their options.
//
// A tool reports a failure in one line on standard error, "TOOL: message",
// and ends with status 1; a wrong command line ends with status 2 after one
// line that points to TOOL --help. Library code returns its failures as
// messages; only a tool's main decides to stop.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace spherebench {

inline constexpr int kRefused = 1;
inline constexpr int kWrongCommandLine = 2;

// Writes "TOOL: message" (and a line feed, unless the message ends in one)
// to standard error; returns kRefused.
int tool_error(std::string_view tool, std::string_view message);

// Writes "TOOL: message (TOOL --help shows the usage)" to standard error;
// returns kWrongCommandLine.
int usage_error(std::string_view tool, std::string_view message);

// The end of a report tool's usage, the same for each: its one option and its
// exit statuses.
inline constexpr const char* kReportToolUsageEnd =
    "\n"
    "-h, --help   prints this help\n"
    "\n"
    "Exit status: 0 written, 1 a failure (one line on standard error), 2 a wrong\n"
    "command line.\n";

// When -h or --help is among the words after argv[0]: writes `usage` to
// standard output and returns the status to end with (0, or kRefused after a
// line on standard error when the help can't be written). Nullopt otherwise.
std::optional<int> help_status(std::string_view tool, std::string_view usage, int argc, const char* const* argv);

// A command-line word as an option: "--name=value" is the option --name with
// its value written in the same word; any other word is its own name.
struct OptionWord {
    std::string name;
    std::optional<std::string> value;
};
OptionWord split_option(const std::string& word);

// The value of an option that takes one: the part after '=', or else the
// next word, which `at` then moves past. Nullopt when there is none.
std::optional<std::string> option_value(const OptionWord& option, const std::vector<std::string>& args, size_t& at);

}  // namespace spherebench
