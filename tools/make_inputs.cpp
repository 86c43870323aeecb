// make-inputs: writes the benchmark's input files.
//
//   make-inputs airports LIST.csv [--note TEXT]... > airports.ptc
//   make-inputs flightline --from LAT,LON --to LAT,LON [--points N] [--note TEXT]... > flightline.lnc
//
// LIST.csv ("-" for standard input) holds a header line, then latitude,
// longitude (decimal degrees) and name per airport. The flight line is N
// points (default 1000, at least 2) evenly spaced along the great circle
// between the two positions, both ends included. Each --note adds a comment
// line to the file's header. Nothing is written unless every check passes;
// a refusal prints one line on standard error and exits with status 1, a
// wrong command line prints the usage and exits with status 2.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cdc_encoder.h"
#include "great_circle.h"
#include "input_files.h"

namespace {

constexpr const char* kUsage =
    "usage: make-inputs airports LIST.csv [--note TEXT]... > airports.ptc\n"
    "       make-inputs flightline --from LAT,LON --to LAT,LON [--points N] [--note TEXT]... > flightline.lnc\n";

[[noreturn]] void usage_error(const std::string& message) {
    std::fprintf(stderr, "make-inputs: %s\n%s", message.c_str(), kUsage);
    std::exit(2);
}

[[noreturn]] void refuse(const std::string& message) {
    std::fprintf(stderr, "make-inputs: %s\n", message.c_str());
    std::exit(1);
}

void write_output(const std::string& file) {
    if (std::fwrite(file.data(), 1, file.size(), stdout) != file.size() || std::fflush(stdout) != 0)
        refuse("can't write the output");
}

std::string read_text(const std::string& path) {
    std::ostringstream text;
    if (path == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) refuse("can't open " + path + " for reading");
        text << in.rdbuf();
    }
    return text.str();
}

std::string base_name(const std::string& path) {
    if (path == "-") return "standard input";
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Position {
    double latitude;
    double longitude;
};

// "LAT,LON" in decimal degrees.
Position parse_position(const std::string& text, const char* option) {
    const size_t comma = text.find(',');
    std::optional<double> latitude, longitude;
    if (comma != std::string::npos) {
        latitude = parse_number(std::string_view(text).substr(0, comma));
        longitude = parse_number(std::string_view(text).substr(comma + 1));
    }
    if (!latitude || !longitude) usage_error(std::string(option) + " takes LAT,LON in decimal degrees");
    const AirportSource check{*latitude, *longitude, "position"};
    if (auto failure = check_airport(check)) refuse(std::string(option) + ": " + *failure);
    return {*latitude, *longitude};
}

int make_airports(const std::vector<std::string>& args) {
    std::string list_path;
    std::vector<std::string> notes;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--note" && i + 1 < args.size()) notes.push_back(args[++i]);
        else if (list_path.empty() && (args[i] == "-" || args[i].rfind("--", 0) != 0)) list_path = args[i];
        else usage_error("unexpected argument " + args[i]);
    }
    if (list_path.empty()) usage_error("airports needs a list of airports");

    std::vector<AirportSource> airports;
    if (auto failure = read_airport_list(read_text(list_path), airports)) refuse(base_name(list_path) + ": " + *failure);
    std::vector<std::string> header = {
        "airports.ptc: " + std::to_string(airports.size()) + " airports from " + base_name(list_path) +
            ", written by make-inputs",
        "per line: the two words of the airport's concise direction cosines, then its name",
    };
    header.insert(header.end(), notes.begin(), notes.end());
    std::string file;
    if (auto failure = format_airports_file(airports, header, file)) refuse(*failure);
    write_output(file);
    return 0;
}

int make_flight_line(const std::vector<std::string>& args) {
    std::optional<Position> from, to;
    long count = kMostFlightLinePoints;
    std::vector<std::string> notes;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool has_value = i + 1 < args.size();
        if (args[i] == "--from" && has_value) {
            from = parse_position(args[++i], "--from");
        } else if (args[i] == "--to" && has_value) {
            to = parse_position(args[++i], "--to");
        } else if (args[i] == "--points" && has_value) {
            const std::string& text = args[++i];
            char* end = nullptr;
            errno = 0;
            count = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || errno == ERANGE) usage_error("--points takes a whole number");
        } else if (args[i] == "--note" && has_value) {
            notes.push_back(args[++i]);
        } else {
            usage_error("unexpected argument " + args[i]);
        }
    }
    if (!from || !to) usage_error("flightline needs --from and --to");
    if (count < 2) refuse("--points: a flight line needs at least 2 points");
    if (count > kMostFlightLinePoints) refuse("--points: more than 1000 points: the benchmark holds at most 1000");
    const UnitVector a = vector_from_degrees(from->latitude, from->longitude);
    const UnitVector b = vector_from_degrees(to->latitude, to->longitude);
    if (!arc_is_defined(a, b)) refuse("the two positions are the same or opposite: no single great circle joins them");

    char ends[160];
    std::snprintf(ends, sizeof ends, "from %.12g,%.12g to %.12g,%.12g (degrees), both ends included,", from->latitude,
                  from->longitude, to->latitude, to->longitude);
    std::vector<std::string> header = {
        "flightline.lnc: " + std::to_string(count) + " points evenly spaced along the great circle",
        ends,
        "written by make-inputs; per line: the two words of the point's concise direction cosines",
    };
    header.insert(header.end(), notes.begin(), notes.end());
    std::string file;
    if (auto failure = format_flight_line_file(great_circle_points(a, b, static_cast<int>(count)), header, file))
        refuse(*failure);
    write_output(file);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) usage_error("no command");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "airports") return make_airports(rest);
    if (args[0] == "flightline") return make_flight_line(rest);
    usage_error("unknown command " + args[0]);
}
