// spherebench's command line, word lists to the options or the problem named.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/tool_cli.h"

namespace spherebench {
namespace {

auto fields(const Options& o) { return std::tie(o.folder, o.repeat, o.json, o.results, o.verbose, o.help, o.version); }

Options with(std::string folder, int repeat, std::optional<std::string> json = std::nullopt, bool verbose = false,
             std::optional<std::string> results = std::nullopt) {
    Options options;
    options.results = std::move(results);
    options.folder = std::move(folder);
    options.repeat = repeat;
    options.json = std::move(json);
    options.verbose = verbose;
    return options;
}

TEST(CommandLine, ReadsEveryFormOfTheOptions) {
    Options help, version;
    help.help = true;
    version.version = true;
    const struct {
        std::vector<std::string> args;
        Options expected;
    } cases[] = {
        {{}, Options{}},
        {{"data"}, with("data", 1)},
        {{"--repeat", "15", "data"}, with("data", 15)},
        {{"--repeat=1000"}, with("", 1000)},
        {{"data", "--json", "run.json", "-v"}, with("data", 1, "run.json", true)},
        {{"--json=a=b.json", "--verbose"}, with("", 1, "a=b.json", true)},
        {{"--results", "r.csv", "data"}, with("data", 1, std::nullopt, false, "r.csv")},
        {{"--results=-x.csv", "--json", "./-"}, with("", 1, "./-", false, "-x.csv")},
        {{"--", "-odd folder"}, with("-odd folder", 1)},
        {{"-"}, with("-", 1)},
        // Help wins over anything else, even a wrong word; --version does not.
        {{"--bogus", "-h"}, help},
        {{"--repeat", "0", "--help"}, help},
        {{"--version"}, version},
        {{"--", "--help"}, with("--help", 1)},
    };
    for (const auto& c : cases) {
        Options options;
        EXPECT_EQ(parse_command_line(c.args, options), std::nullopt) << testing::PrintToString(c.args);
        EXPECT_EQ(fields(options), fields(c.expected)) << testing::PrintToString(c.args);
    }
}

TEST(CommandLine, NamesTheProblemOfAWrongOne) {
    const struct {
        std::vector<std::string> args;
        std::string problem;
    } cases[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"-x", "data"}, "unknown option -x"},
        {{"--repeat"}, "--repeat needs a value"},
        {{"--json"}, "--json needs a value"},
        {{"--json="}, "--json needs a file name"},
        {{"--repeat", "0"}, "--repeat takes a whole number from 1 to 1000, not \"0\""},
        {{"--repeat=1001"}, "--repeat takes a whole number from 1 to 1000, not \"1001\""},
        {{"--repeat", "+3"}, "--repeat takes a whole number from 1 to 1000, not \"+3\""},
        {{"--repeat", "3x"}, "--repeat takes a whole number from 1 to 1000, not \"3x\""},
        {{"--repeat", "99999999999"}, "--repeat takes a whole number from 1 to 1000, not \"99999999999\""},
        {{"--repeat", "1", "--repeat", "2"}, "--repeat given twice"},
        {{"--json", "a", "--json", "b"}, "--json given twice"},
        {{"--results"}, "--results needs a value"},
        {{"--results="}, "--results needs a file name"},
        {{"--results", "a", "--results=b"}, "--results given twice"},
        // Standard output carries the report.
        {{"--results", "-"}, "--results - would mix its file into the report on standard output"},
        {{"--json=-"}, "--json - would mix its file into the report on standard output"},
        {{"data", "other"}, "one folder only, not data and other"},
        {{""}, "the folder's name is empty"},
        {{"--verbose=yes"}, "--verbose takes no value"},
        {{"--version=2"}, "--version takes no value"},
    };
    for (const auto& c : cases) {
        Options options;
        EXPECT_EQ(parse_command_line(c.args, options), c.problem) << testing::PrintToString(c.args);
    }
}

// --search in both forms, beside the folder and the other options; unset
// without it (the brute force's default report).
TEST(CommandLine, ReadsTheSearch) {
    const struct {
        std::vector<std::string> args;
        std::optional<PassSearch> search;
        std::string folder;
    } cases[] = {
        {{}, std::nullopt, ""},
        {{"--search", "pruned", "data"}, PassSearch::kPruned, "data"},
        {{"data", "--search=indexed", "-v"}, PassSearch::kIndexed, "data"},
        {{"--search=brute"}, PassSearch::kBrute, ""},
        {{"--", "--search=brute"}, std::nullopt, "--search=brute"},
    };
    for (const auto& c : cases) {
        Options options;
        EXPECT_EQ(parse_command_line(c.args, options), std::nullopt) << testing::PrintToString(c.args);
        EXPECT_EQ(options.search, c.search) << testing::PrintToString(c.args);
        EXPECT_EQ(options.folder, c.folder);
    }
    Options options;
    EXPECT_EQ(parse_command_line({"--search", "Pruned"}, options),
              std::optional<std::string>("--search takes brute, pruned or indexed, not \"Pruned\""));
}

TEST(ToolCommandLine, SplitsAValueWrittenWithEqualsOnlyFromALongOption) {
    std::vector<std::string> args = {"--to=1,2", "-o=x", "--from", "3,4", "--note"};
    size_t at = 0;
    const OptionWord to = split_option(args[0]);
    EXPECT_EQ(std::tie(to.name, to.value), std::make_tuple("--to", std::optional<std::string>("1,2")));
    EXPECT_EQ(option_value(to, args, at), "1,2");
    EXPECT_EQ(at, 0u);
    EXPECT_EQ(split_option(args[1]).name, "-o=x");
    at = 2;
    EXPECT_EQ(option_value(split_option(args[2]), args, at), "3,4");
    EXPECT_EQ(at, 3u);
    at = 4;
    EXPECT_EQ(option_value(split_option(args[4]), args, at), std::nullopt);
}

TEST(ToolCommandLine, WritesTheHelpWhereverItIsAskedForAndOnlyThen) {
    const char* asked_last[] = {"tool", "data", "--help"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(help_status("tool", "usage: tool\n", 3, asked_last), std::optional<int>(0));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "usage: tool\n");

    const char* not_asked[] = {"tool", "-help", "--helpful", "-h=1"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(help_status("tool", "usage: tool\n", 4, not_asked), std::nullopt);
    EXPECT_EQ(help_status("tool", "usage: tool\n", 1, not_asked), std::nullopt);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
}  // namespace spherebench
