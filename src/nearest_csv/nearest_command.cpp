#include "nearest_csv/nearest_command.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/threads.h"
#include "base/tool_cli.h"
#include "base/whole_file.h"
#include "input/input_files.h"
#include "nearest_csv/nearest_rows.h"
#include "nearest_csv/position_csv.h"

namespace spherebench {

namespace {

constexpr const char* kTool = "nearest-csv";

constexpr const char* kUsage =
    "usage: nearest-csv build LOCATIONS.csv -o INDEX\n"
    "       nearest-csv ask INDEX [FIXES.csv] [--k K] [--within-km D | --max-km D]\n"
    "\n"
    "build   reads LOCATIONS.csv and saves an index of its locations to INDEX\n"
    "        (docs/SAVED_INDEX.md), written whole or not at all\n"
    "ask     writes, for each fix of FIXES.csv (\"-\" or none: standard input), its\n"
    "        nearest location in INDEX: a saved index, or a CSV of locations indexed\n"
    "        at once; as CSV on standard output, a row an answer:\n"
    "          fix,rank,location,km\n"
    "        fix and location the rows of their files, rank 1 for the nearest, km on\n"
    "        the 6371 km sphere between the positions as stored (each within 15 mm of\n"
    "        the one given), written to the millimetre; ties go to the lower row\n"
    "--k K          the K nearest locations of each fix, nearest first\n"
    "--within-km D  every location within D km of each fix, nearest first; with\n"
    "               --k, the K nearest among those within D km\n"
    "--max-km D     no answer beyond D km: a fix with no location that near has no row\n"
    "-h, --help     prints this help\n"
    "\n"
    "A CSV of positions holds latitude and longitude in decimal degrees, a row each:\n"
    "the first two columns, or those a header line names latitude (or latitude_deg,\n"
    "lat) and longitude (or longitude_deg, lon, lng, long), in any order and case;\n"
    "other columns are ignored. Rows are numbered from 0, the header and blank\n"
    "lines not counted. A fault is named as FILE:LINE:COLUMN.\n"
    "Every option's value may also be written --option=value. A progress line goes\n"
    "to standard error when it is a terminal and the run is long.\n"
    "Exit status: 0 done, 1 a failure (one line on standard error), 2 a wrong\n"
    "command line.\n";

struct Failure {
    int status;
    std::string message;
};

Failure wrong(const std::string& message) { return {kWrongCommandLine, message}; }
Failure refused(const std::string& message) { return {kRefused, message}; }

int report(const Failure& failure) {
    return failure.status == kWrongCommandLine ? usage_error(kTool, failure.message)
                                               : tool_error(kTool, failure.message);
}

struct Command {
    std::string verb;  // build or ask
    std::vector<std::string> files;
    std::optional<std::string> output;
    NearestQuestion question;
};

std::optional<Failure> parse_km(const std::string& option, const std::string& text, std::optional<double>& km) {
    const std::optional<double> value = parse_number(text);
    if (!value || *value < 0) return wrong(option + " takes a distance in km, at least 0, not \"" + text + "\"");
    km = value;
    return std::nullopt;
}

std::optional<Failure> parse(const std::vector<std::string>& args, Command& command) {
    if (args.empty()) return wrong("say build or ask");
    command.verb = args[0];
    if (command.verb != "build" && command.verb != "ask")
        return wrong("the first word is build or ask, not \"" + command.verb + "\"");
    for (size_t at = 1; at < args.size(); ++at) {
        const OptionWord option = split_option(args[at]);
        const bool takes_value = option.name == "-o" || option.name == "--output" || option.name == "--k" ||
                                 option.name == "--within-km" || option.name == "--max-km";
        if (!takes_value) {
            if (option.name.size() > 1 && option.name[0] == '-') return wrong("unknown option " + option.name);
            command.files.push_back(args[at]);
            continue;
        }
        const std::optional<std::string> value = option_value(option, args, at);
        if (!value) return wrong(option.name + " needs a value");
        if (option.name == "-o" || option.name == "--output") {
            if (command.output) return wrong("-o given twice");
            command.output = *value;
        } else if (option.name == "--k") {
            const std::optional<double> k = parse_number(*value);
            if (!k || *k < 1 || *k > INT_MAX || *k != static_cast<int>(*k))
                return wrong("--k takes a whole number from 1, not \"" + *value + "\"");
            command.question.k = static_cast<int>(*k);
        } else if (auto failure =
                       parse_km(option.name, *value,
                                option.name == "--max-km" ? command.question.max_km : command.question.within_km)) {
            return failure;
        }
    }
    const NearestQuestion& q = command.question;
    if (command.verb == "build") {
        if (command.files.size() != 1) return wrong("build takes one file of locations");
        if (!command.output || command.output->empty()) return wrong("build needs -o INDEX, the file to save");
        if (q.k || q.within_km || q.max_km) return wrong("--k, --within-km and --max-km are for ask");
    } else {
        if (command.files.empty() || command.files.size() > 2) return wrong("ask takes an index and a file of fixes");
        if (command.output) return wrong("ask writes to standard output, not -o");
        if (q.within_km && q.max_km) return wrong("--within-km and --max-km both bound the distance: give one");
    }
    return std::nullopt;
}

std::optional<Failure> read_positions(const std::string& path, std::vector<CdcPair>& pairs) {
    std::string text;
    if (auto failure = read_whole_file(path, text)) return refused(*failure);
    if (auto failure = read_position_csv(text, path == "-" ? "standard input" : path, pairs, machine_threads()))
        return refused(*failure);
    return std::nullopt;
}

std::optional<Failure> read_locations(const std::string& path, std::vector<CdcPair>& pairs) {
    if (auto failure = read_positions(path, pairs)) return failure;
    if (pairs.empty()) return refused(path + " holds no locations");
    if (pairs.size() > static_cast<size_t>(INT_MAX)) return refused(path + " holds more locations than an index takes");
    return std::nullopt;
}

// Whether the file begins with a saved index's mark.
bool is_saved_index(const std::string& path) {
    char mark[sizeof(kSavedMark)] = {};
    std::ifstream in(path, std::ios::binary);
    return in.read(mark, sizeof mark) && std::memcmp(mark, kSavedMark, sizeof mark) == 0;
}

std::optional<Failure> build(const Command& command) {
    std::vector<CdcPair> pairs;
    if (auto failure = read_locations(command.files[0], pairs)) return failure;
    const CdcIndex index(pairs.data(), static_cast<int>(pairs.size()));
    if (auto failure = index.save(*command.output)) return refused(*failure);
    std::fprintf(stderr, "%s: saved an index of %zu locations to %s\n", kTool, pairs.size(), command.output->c_str());
    return std::nullopt;
}

// Writes the rows of every fix, a block at a time, each block's fixes
// shared by the machine's cores and written in order.
std::optional<Failure> answer_all(const CdcIndex& index, const NearestAsk& ask, const std::vector<CdcPair>& fixes) {
    constexpr int kBlock = 1 << 16;
    // A thread for every 256 fixes at most: starting one costs more than
    // answering a few.
    constexpr size_t kLeastShare = 256;
    const int threads = static_cast<int>(std::clamp<size_t>(fixes.size() / kLeastShare, 1, machine_threads()));
    const bool show_progress = isatty(fileno(stderr));
    const auto start = std::chrono::steady_clock::now();
    bool shown = false;
    std::vector<std::string> parts(threads);
    bool written = std::fputs(kNearestRowsHeader, stdout) >= 0;
    for (size_t first = 0; first < fixes.size() && written; first += kBlock) {
        const int count = static_cast<int>(std::min<size_t>(kBlock, fixes.size() - first));
        run_on_threads(threads, [&](int k) {
            parts[k].clear();
            for (int i = part_start(count, k, threads); i < part_start(count, k + 1, threads); ++i)
                append_nearest_rows(index, ask, static_cast<int64_t>(first + i), fixes[first + i], parts[k]);
        });
        for (const std::string& part : parts)
            written = written && std::fwrite(part.data(), 1, part.size(), stdout) == part.size();
        if (show_progress && std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) {
            std::fprintf(stderr, "\r%s: %zu of %zu fixes", kTool, first + count, fixes.size());
            shown = true;
        }
    }
    if (shown) std::fputc('\n', stderr);
    if (!written || std::fflush(stdout) != 0) return refused("can't write standard output");
    return std::nullopt;
}

std::optional<Failure> ask(const Command& command) {
    const std::string& index_path = command.files[0];
    std::optional<CdcIndex> index;
    std::vector<CdcPair> locations;
    if (is_saved_index(index_path)) {
        Opened<CdcIndex> opened = CdcIndex::open(index_path);
        if (!opened.index) return refused(opened.failure);
        index = std::move(opened.index);
    } else {
        if (auto failure = read_locations(index_path, locations)) return failure;
        index.emplace(locations.data(), static_cast<int>(locations.size()));
    }
    std::vector<CdcPair> fixes;
    if (auto failure = read_positions(command.files.size() == 2 ? command.files[1] : "-", fixes)) return failure;
    return answer_all(*index, ask_of(command.question), fixes);
}

}  // namespace

int run_nearest_csv(int argc, const char* const* argv) {
    if (const std::optional<int> status = help_status(kTool, kUsage, argc, argv)) return *status;
    const std::vector<std::string> args(argv + 1, argv + argc);
    Command command;
    if (auto failure = parse(args, command)) return report(*failure);
    const std::optional<Failure> failure = command.verb == "build" ? build(command) : ask(command);
    return failure ? report(*failure) : 0;
}

}  // namespace spherebench
