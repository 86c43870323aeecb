#include "app/command_line.h"

#include <algorithm>

#include "base/format.h"
#include "base/tool_cli.h"
#include "input/loader.h"

namespace spherebench {

namespace {

// A whole number of runs, digits only, from 1 to kMostRepeats.
std::optional<int> parse_repeat(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int n = std::stoi(text);
    if (n < 1 || n > kMostRepeats) return std::nullopt;
    return n;
}

bool asks_for_help(const std::vector<std::string>& args) {
    for (const std::string& word : args) {
        if (word == "--") return false;
        if (word == "-h" || word == "--help") return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> parse_command_line(const std::vector<std::string>& args, Options& options) {
    if (asks_for_help(args)) {
        options.help = true;
        return std::nullopt;
    }
    bool operands_only = false;
    bool folder_given = false;
    bool repeat_given = false;
    for (size_t at = 0; at < args.size(); ++at) {
        const std::string& word = args[at];
        if (operands_only || word == "-" || word.empty() || word[0] != '-') {
            if (folder_given) return "one folder only, not " + options.folder + " and " + word;
            if (word.empty()) return std::string("the folder's name is empty");
            options.folder = word;
            folder_given = true;
            continue;
        }
        const OptionWord option = split_option(word);
        const bool flag = option.name == "--version" || option.name == "-v" || option.name == "--verbose";
        if (flag && option.value) return option.name + " takes no value";
        if (option.name == "--") {
            operands_only = true;
        } else if (option.name == "--version") {
            options.version = true;
        } else if (option.name == "-v" || option.name == "--verbose") {
            options.verbose = true;
        } else if (option.name == "--search") {
            const std::optional<std::string> value = option_value(option, args, at);
            if (!value) return option.name + " needs a value";
            const std::optional<PassSearch> search = find_pass_search(*value);
            if (!search) return "--search takes brute, pruned or indexed, not \"" + *value + "\"";
            if (options.search) return std::string("--search given twice");
            options.search = search;
        } else if (option.name == "--repeat" || option.name == "--json" || option.name == "--results") {
            const std::optional<std::string> value = option_value(option, args, at);
            if (!value) return option.name + " needs a value";
            if (option.name != "--repeat") {
                std::optional<std::string>& file = option.name == "--json" ? options.json : options.results;
                if (file) return option.name + " given twice";
                if (value->empty()) return option.name + " needs a file name";
                // "-" is standard output, where the report goes.
                if (*value == "-") return option.name + " - would mix its file into the report on standard output";
                file = *value;
                continue;
            }
            const std::optional<int> repeat = parse_repeat(*value);
            if (!repeat)
                return printf_string("--repeat takes a whole number from 1 to %d, not \"%s\"", kMostRepeats,
                                     value->c_str());
            if (repeat_given) return std::string("--repeat given twice");
            options.repeat = *repeat;
            repeat_given = true;
        } else {
            return "unknown option " + option.name;
        }
    }
    return std::nullopt;
}

std::string usage_text() {
    return printf_string(
        "usage: spherebench [OPTION]... [DIR]\n"
        "\n"
        "Finds the nearest airport to every point of a flight path by testing every\n"
        "airport, once with concise direction cosines and once with fixed-point\n"
        "latitude/longitude, and reports the time each search took. Reads %s\n"
        "(at most %d airports) and %s (at most %d points) from DIR, or\n"
        "from the current folder.\n"
        "\n"
        "      --repeat N   runs the two searches N times in turn (1 to %d, default 1).\n"
        "                   Each method's airports are listed once (every run must\n"
        "                   find the same); its duration line and the summary come\n"
        "                   from its median run, the lower middle one when N is even;\n"
        "                   a last block gives each method's fastest, median and\n"
        "                   slowest run in clock ticks and the same of the runs'\n"
        "                   relative times. A single run varies on a busy machine:\n"
        "                   take the median of 15 runs for a steadier figure.\n"
        "      --json FILE  also writes a record of the run to FILE as JSON: version,\n"
        "                   UTC time, CPU, compiler, search, folder, the table sizes,\n"
        "                   every run's clock ticks (ms), and the tests per second of\n"
        "                   the median runs\n"
        "      --results FILE\n"
        "                   also writes each point's nearest airport to FILE as CSV,\n"
        "                   one line a point and method: the point's number (from 0,\n"
        "                   in file order), latitude and longitude, the airport's\n"
        "                   number, name, latitude and longitude (degrees, as the\n"
        "                   report gives them) and the great-circle distance in km\n"
        "                   between the two. Neither file may be one the run reads;\n"
        "                   both are made before the run and filled at its end\n"
        "      --search S   how both passes search: brute (test every airport, the\n"
        "                   default), pruned (skip the airports a bound rules out)\n"
        "                   or indexed (an index built before each pass, not timed).\n"
        "                   The airports found are the same; the times are the\n"
        "                   search's\n"
        "  -v, --verbose    writes what was read and how the run is set up to\n"
        "                   standard error, and how long an index took to build\n"
        "  -h, --help       prints this help\n"
        "      --version    prints the version\n"
        "\n"
        "An option's value may also be written --option=value; words after \"--\" are\n"
        "taken as the folder. The report goes to standard output, all else to\n"
        "standard error. Exit status: 0 a complete run, 1 a failure (one line on\n"
        "standard error), 2 a wrong command line.\n",
        kAirportFileName, kAirportCapacity, kFlightLineFileName, kFlightLineCapacity, kMostRepeats);
}

}  // namespace spherebench
