// make-inputs: writes the benchmark's input files.
//
//   make-inputs airports LIST.csv [--note TEXT]... [-o airports.ptc]
//   make-inputs flightline --from LAT,LON --to LAT,LON [--points N] [--note TEXT]... [-o flightline.lnc]
//
// LIST.csv ("-" for standard input) holds a header line naming its latitude,
// longitude and name columns, then one airport a line. The flight line is N
// points (default 1000, at least 2) evenly spaced along the great circle
// between the two positions, both ends included. Each --note adds a comment
// line to the file's header. The file goes to standard output, or with -o to
// a temporary file beside FILE that replaces FILE only once it is complete.
// Nothing is written unless every check passes. Exit status: 0 written (or
// --help), 1 refused or not written (one line on standard error), 2 a wrong
// command line (one line, pointing to --help).
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/tool_cli.h"
#include "base/whole_file.h"
#include "geo/cdc_encoder.h"
#include "geo/great_circle.h"
#include "input/input_files.h"

using namespace spherebench;

namespace {

constexpr const char* kTool = "make-inputs";

// Formatted with the limits: airports, the name's room, points (twice), note
// length.
constexpr const char* kUsageFormat =
    "usage: make-inputs airports LIST.csv [--note TEXT]... [-o FILE]\n"
    "       make-inputs flightline --from LAT,LON --to LAT,LON [--points N] [--note TEXT]... [-o FILE]\n"
    "\n"
    "airports    LIST.csv (\"-\" for standard input): a header line naming the columns\n"
    "            latitude (or latitude_deg, lat), longitude (or longitude_deg, lon) and\n"
    "            name, in any order and case (other columns are ignored), then one airport\n"
    "            a line, decimal degrees; at most %d airports. Spaces and tabs around a\n"
    "            field are dropped unless it is quoted (\"...\"). A name may not be empty\n"
    "            nor only spaces, and its line in the file holds at most %zu bytes: the\n"
    "            name's room is that less the two numbers the position is stored as and a\n"
    "            space after each, so at least %zu bytes of UTF-8, more where the numbers\n"
    "            are shorter (a refusal says how many at that line)\n"
    "flightline  N points (--points, 2 to %d, default %d) evenly spaced along the\n"
    "            great circle from --from to --to, both ends included\n"
    "--note TEXT adds a comment line to the file's header (at most %zu characters)\n"
    "-o, --output FILE\n"
    "            writes FILE (\"-\" or none: standard output) through a temporary file\n"
    "            beside it, so that FILE is replaced only when everything succeeded; never\n"
    "            the list it reads\n"
    "-h, --help  prints this help\n"
    "\n"
    "Every option's value may also be written --option=value. On success one line on\n"
    "standard error says how much was written and where.\n"
    "Exit status: 0 written, 1 refused or not written (one line on standard error),\n"
    "2 a wrong command line.\n";

// A failure and its exit status: kRefused or kWrongCommandLine.
struct Failure {
    int status;
    std::string message;
};
using Outcome = std::optional<Failure>;

Outcome wrong(const std::string& message) { return Failure{kWrongCommandLine, message}; }
Outcome refused(const std::string& message) { return Failure{kRefused, message}; }

int report(const Failure& failure) {
    return failure.status == kWrongCommandLine ? usage_error(kTool, failure.message)
                                               : tool_error(kTool, failure.message);
}

struct Position {
    double latitude;
    double longitude;
};

// What the command line asks for.
struct Request {
    std::optional<std::string> list_path;  // airports
    std::optional<Position> from, to;      // flightline
    std::optional<long> points;
    std::optional<std::string> output;  // "-": standard output
    std::vector<std::string> notes;
};

// --help anywhere, but not as the value of an option.
bool asks_for_help(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") return true;
        const bool takes_value = arg == "--note" || arg == "--from" || arg == "--to" || arg == "--points" ||
                                 arg == "-o" || arg == "--output";
        if (takes_value) ++i;
    }
    return false;
}

// A single-valued option given twice is a wrong command line.
template <typename T>
Outcome set_once(std::optional<T>& option, T value, const std::string& name) {
    if (option) return wrong(name + " given twice");
    option = std::move(value);
    return std::nullopt;
}

// A --note: one comment line of the file's header.
Outcome add_note(const std::string& note, Request& request) {
    if (note.size() > kLongestHeaderLine)
        return refused("--note: a note may hold at most " + std::to_string(kLongestHeaderLine) + " characters");
    if (note.find_first_of("\n\r\x1a") != std::string::npos) return refused("--note: a note may not hold a line break");
    request.notes.push_back(note);
    return std::nullopt;
}

// "LAT,LON" in decimal degrees.
Outcome set_position(const std::string& text, const std::string& option, std::optional<Position>& position) {
    const size_t comma = text.find(',');
    std::optional<double> latitude, longitude;
    auto trimmed = [&](size_t from, size_t to) {
        const std::string part = text.substr(from, to - from);
        const size_t first = part.find_first_not_of(" \t"), last = part.find_last_not_of(" \t");
        return first == std::string::npos ? std::string() : part.substr(first, last - first + 1);
    };
    const std::string latitude_text = trimmed(0, comma), longitude_text = trimmed(comma + 1, text.size());
    if (comma != std::string::npos) {
        latitude = parse_number(latitude_text);
        longitude = parse_number(longitude_text);
    }
    if (!latitude || !longitude) return wrong(option + " takes LAT,LON in decimal degrees");
    if (auto failure = check_position(*latitude, *longitude, latitude_text, longitude_text))
        return refused(option + ": " + *failure);
    return set_once(position, Position{*latitude, *longitude}, option);
}

Outcome set_points(const std::string& value, Request& request) {
    char* end = nullptr;
    errno = 0;
    const long count = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || errno == ERANGE) return wrong("--points takes a whole number");
    return set_once(request.points, count, "--points");
}

// Reads the words after the command; `flight_line` tells which command.
Outcome parse_request(const std::vector<std::string>& args, bool flight_line, Request& request) {
    for (size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if (arg == "-" || arg.empty() || arg[0] != '-') {
            if (flight_line) return wrong("unexpected argument " + arg);
            if (request.list_path) return wrong("unexpected argument " + arg + ": airports takes one list");
            request.list_path = arg;
            continue;
        }
        const OptionWord option = split_option(arg);
        const std::string& name = option.name;
        const bool output = name == "-o" || name == "--output";
        const bool flight_line_option = name == "--from" || name == "--to" || name == "--points";
        if (!(output || name == "--note" || (flight_line && flight_line_option)))
            return wrong("unexpected argument " + name);
        const std::optional<std::string> value = option_value(option, args, at);
        if (!value) return wrong(name + " needs a value");
        Outcome outcome;
        if (output && value->empty())
            outcome = wrong(name + " needs a file name (\"-\" for standard output)");
        else if (output)
            outcome = set_once(request.output, *value, name);
        else if (name == "--note")
            outcome = add_note(*value, request);
        else if (name == "--points")
            outcome = set_points(*value, request);
        else
            outcome = set_position(*value, name, name == "--from" ? request.from : request.to);
        if (outcome) return outcome;
    }
    return std::nullopt;
}

bool to_standard_output(const Request& request) { return !request.output || *request.output == "-"; }

// The name of the file written, as its first comment gives it.
std::string written_name(const Request& request, const char* default_name) {
    if (to_standard_output(request)) return default_name;
    return std::filesystem::path(*request.output).filename().string();
}

Outcome read_text(const std::string& path, std::string& text) {
    if (auto failure = read_whole_file(path, text)) return refused(*failure);
    return std::nullopt;
}

std::string base_name(const std::string& path) {
    return path == "-" ? "standard input" : std::filesystem::path(path).filename().string();
}

// Writes the file where the request says and reports it in one line.
Outcome write_output(const std::string& file, const Request& request, const std::string& what) {
    if (to_standard_output(request)) {
        if (!write_all(stdout, file)) return refused(std::string("can't write the output: ") + std::strerror(errno));
    } else if (auto failure = write_file_atomically(*request.output, file)) {
        return refused(*failure);
    }
    std::fprintf(stderr, "%s: wrote %s to %s\n", kTool, what.c_str(),
                 to_standard_output(request) ? "standard output" : request.output->c_str());
    return std::nullopt;
}

Outcome make_airports(const Request& request) {
    if (!request.list_path) return wrong("airports needs a list of airports");
    const std::string& list_path = *request.list_path;
    std::error_code ignored;
    if (!to_standard_output(request) && list_path != "-" &&
        std::filesystem::equivalent(list_path, *request.output, ignored))
        return refused("won't write over the list " + list_path + ": -o names the same file");
    std::string csv;
    if (auto failure = read_text(list_path, csv)) return failure;
    std::vector<AirportSource> airports;
    if (auto failure = read_airport_list(csv, airports)) return refused(base_name(list_path) + ": " + *failure);
    const std::string count = std::to_string(airports.size()) + " airports";
    std::vector<std::string> header = {
        written_name(request, kAirportFileName) + ": " + count + " from " + base_name(list_path) +
            ", written by make-inputs",
        "per line: the two words of the airport's concise direction cosines, then its name",
    };
    header.insert(header.end(), request.notes.begin(), request.notes.end());
    std::string file;
    if (auto failure = format_airports_file(airports, header, file)) return refused(*failure);
    return write_output(file, request, airports.size() == 1 ? "1 airport" : count);
}

Outcome make_flight_line(const Request& request) {
    if (!request.from || !request.to) return wrong("flightline needs --from and --to");
    const long count = request.points.value_or(kFlightLineCapacity);
    if (count < 2) return refused("--points: a flight line needs at least 2 points");
    if (count > kFlightLineCapacity) return refused("--points: " + over_capacity(kFlightLineCapacity, "points"));
    const Position from = *request.from, to = *request.to;
    const UnitVector a = vector_from_degrees(from.latitude, from.longitude);
    const UnitVector b = vector_from_degrees(to.latitude, to.longitude);
    if (!arc_is_defined(a, b))
        return refused("the two positions are the same or opposite: no single great circle joins them");

    char ends[160];
    std::snprintf(ends, sizeof ends, "from %.12g,%.12g to %.12g,%.12g (degrees), both ends included,", from.latitude,
                  from.longitude, to.latitude, to.longitude);
    const std::string points = std::to_string(count) + " points";
    std::vector<std::string> header = {
        written_name(request, kFlightLineFileName) + ": " + points + " evenly spaced along the great circle",
        ends,
        "written by make-inputs; per line: the two words of the point's concise direction cosines",
    };
    header.insert(header.end(), request.notes.begin(), request.notes.end());
    std::string file;
    if (auto failure = format_flight_line_file(great_circle_points(a, b, static_cast<int>(count)), header, file))
        return refused(*failure);
    return write_output(file, request, points);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (asks_for_help(args)) {
        std::printf(kUsageFormat, kAirportCapacity, kMaxRecordLineLength, name_allowance(CdcPair{INT32_MIN, INT32_MIN}),
                    kFlightLineCapacity, kFlightLineCapacity, kLongestHeaderLine);
        return std::fflush(stdout) == 0 ? 0 : tool_error(kTool, "can't write the help");
    }
    if (args.empty()) return usage_error(kTool, "no command: airports or flightline");
    const bool flight_line = args[0] == "flightline";
    if (!flight_line && args[0] != "airports") return usage_error(kTool, "unknown command " + args[0]);
    Request request;
    Outcome outcome = parse_request(std::vector<std::string>(args.begin() + 1, args.end()), flight_line, request);
    if (!outcome) outcome = flight_line ? make_flight_line(request) : make_airports(request);
    return outcome ? report(*outcome) : 0;
}
