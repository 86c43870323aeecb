// random-inputs: writes airports.ptc and flightline.lnc of random directions
// into a folder, for timing the whole program.
//
//   random-inputs [--force] DIR [AIRPORTS [POINTS]]     (defaults 14000 and 1000)
//
// The directions come from fixed seeds, so every run writes the same files.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/tool_cli.h"
#include "input/input_files.h"
#include "random/random_tables.h"

using namespace spherebench;

namespace {

constexpr const char* kTool = "random-inputs";

// Formatted with the file names and the capacities.
constexpr const char* kUsageFormat =
    "usage: random-inputs [--force] DIR [AIRPORTS [POINTS]]\n"
    "\n"
    "Writes DIR/%s with AIRPORTS airports (1 to %d, default %d) and\n"
    "DIR/%s with POINTS points (1 to %d, default %d), all of directions\n"
    "uniform on the sphere from fixed seeds: every run writes the same files.\n"
    "Each file replaces its old version only once it is complete; standard error\n"
    "then names the files written and their counts.\n"
    "\n"
    "    --force  replaces files that are already there (else refused)\n"
    "-h, --help   prints this help\n"
    "\n"
    "Exit status: 0 written, 1 refused or not written (one line on standard error),\n"
    "2 a wrong command line.\n";

void print_usage(std::FILE* out) {
    std::fprintf(out, kUsageFormat, kAirportFileName, kAirportCapacity, kAirportCapacity, kFlightLineFileName,
                 kFlightLineCapacity, kFlightLineCapacity);
}

std::optional<int> parse_count(const std::string& text, int most) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int n = std::stoi(text);
    return n >= 1 && n <= most ? std::optional<int>(n) : std::nullopt;
}

struct Request {
    bool force = false;
    std::vector<std::string> operands;  // DIR [AIRPORTS [POINTS]]
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    Request request;
    for (const std::string& arg : args) {
        if (arg == "-h" || arg == "--help") {
            print_usage(stdout);
            return std::fflush(stdout) == 0 ? 0 : tool_error(kTool, "can't write the help");
        }
        if (arg == "--force")
            request.force = true;
        else if (!arg.empty() && arg[0] == '-')
            return usage_error(kTool, "unknown option " + arg);
        else
            request.operands.push_back(arg);
    }
    if (args.empty()) {
        print_usage(stderr);
        return kWrongCommandLine;
    }
    if (request.operands.empty()) return usage_error(kTool, "no folder given");
    if (request.operands.size() > 3) return usage_error(kTool, "unexpected argument " + request.operands[3]);
    const std::string& folder = request.operands[0];
    const int most[2] = {kAirportCapacity, kFlightLineCapacity};
    int counts[2] = {kAirportCapacity, kFlightLineCapacity};
    for (size_t i = 1; i < request.operands.size(); ++i) {
        const std::optional<int> count = parse_count(request.operands[i], most[i - 1]);
        if (!count)
            return usage_error(
                kTool, "a count from 1 to " + std::to_string(most[i - 1]) + ", not \"" + request.operands[i] + "\"");
        counts[i - 1] = *count;
    }

    const std::string paths[2] = {(std::filesystem::path(folder) / kAirportFileName).string(),
                                  (std::filesystem::path(folder) / kFlightLineFileName).string()};
    std::error_code ignored;
    if (!std::filesystem::exists(folder, ignored)) return tool_error(kTool, "no folder " + folder + ": make it first");
    if (!std::filesystem::is_directory(folder, ignored)) return tool_error(kTool, folder + " is not a folder");
    for (const std::string& path : paths)
        if (!request.force && std::filesystem::exists(std::filesystem::symlink_status(path, ignored)))
            return tool_error(kTool, path + " is already there: --force replaces it");

    AirportTable airports;
    FlightLine flight_line;
    fill_random_airports(airports, counts[0], kAirportSeed);
    fill_random_flight_line(flight_line, counts[1], kFlightLineSeed);
    std::vector<std::string> names;
    for (int i = 0; i < counts[0]; ++i) names.push_back("Random " + std::to_string(i));
    std::string files[2];
    const auto header = [](int count) {
        return std::vector<std::string>{std::to_string(count) + " random directions"};
    };
    const std::vector<CdcPair> airport_pairs(airports.cdc.begin(), airports.cdc.begin() + counts[0]);
    const std::vector<CdcPair> points(flight_line.cdc.begin(), flight_line.cdc.begin() + counts[1]);
    std::optional<std::string> failure = format_airports_file(airport_pairs, names, header(counts[0]), files[0]);
    if (!failure) failure = format_flight_line_file(points, header(counts[1]), files[1]);
    for (int i = 0; i < 2 && !failure; ++i) failure = write_file_atomically(paths[i], files[i]);
    if (failure) return tool_error(kTool, *failure);
    std::fprintf(stderr, "%s: wrote %d airports to %s and %d points to %s\n", kTool, counts[0], paths[0].c_str(),
                 counts[1], paths[1].c_str());
    return 0;
}
