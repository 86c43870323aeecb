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
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "geo/cdc_encoder.h"
#include "geo/great_circle.h"
#include "input/input_files.h"

using namespace spherebench;

namespace {

// Formatted with the limits: airports, points (twice), note length.
constexpr const char* kUsageFormat =
    "usage: make-inputs airports LIST.csv [--note TEXT]... [-o FILE]\n"
    "       make-inputs flightline --from LAT,LON --to LAT,LON [--points N] [--note TEXT]... [-o FILE]\n"
    "\n"
    "airports    LIST.csv (\"-\" for standard input): a header line naming the columns\n"
    "            latitude (or latitude_deg, lat), longitude (or longitude_deg, lon) and\n"
    "            name, in any order and case (other columns are ignored), then one airport\n"
    "            a line, decimal degrees; at most %d airports\n"
    "flightline  N points (--points, 2 to %d, default %d) evenly spaced along the\n"
    "            great circle from --from to --to, both ends included\n"
    "--note TEXT adds a comment line to the file's header (at most %zu characters)\n"
    "-o, --output FILE\n"
    "            writes FILE (else standard output) through a temporary file beside it,\n"
    "            so that FILE is replaced only when everything succeeded\n"
    "-h, --help  prints this help\n"
    "\n"
    "Exit status: 0 written, 1 refused or not written (one line on standard error),\n"
    "2 a wrong command line.\n";

[[noreturn]] void usage_error(const std::string& message) {
    std::fprintf(stderr, "make-inputs: %s (make-inputs --help shows the usage)\n", message.c_str());
    std::exit(2);
}

[[noreturn]] void refuse(const std::string& message) {
    std::fprintf(stderr, "make-inputs: %s\n", message.c_str());
    std::exit(1);
}

// The options that take a value, and --help anywhere among the others.
bool takes_value(const std::string& arg) {
    return arg == "--note" || arg == "--from" || arg == "--to" || arg == "--points" || arg == "-o" || arg == "--output";
}

bool asks_for_help(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") return true;
        if (takes_value(args[i])) ++i;
    }
    return false;
}

// A single-valued option given twice is a wrong command line.
template <typename T>
void set_once(std::optional<T>& option, T value, const std::string& name) {
    if (option) usage_error(name + " given twice");
    option = std::move(value);
}

std::string error_text(int error) { return std::strerror(error); }

// Writes the whole file to an open stream; false on any error.
bool write_all(std::FILE* out, const std::string& file) {
    return std::fwrite(file.data(), 1, file.size(), out) == file.size() && std::fflush(out) == 0;
}

// Writes the file to `path` through a temporary file in the same directory,
// renamed over `path` only once it is complete, so that a failure leaves an
// existing file as it was and no temporary file behind. A path that is not a
// regular file (a device such as /dev/null, a pipe) is written directly.
void write_file(const std::string& file, const std::string& path) {
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::status(path, ignored);
    if (std::filesystem::is_directory(status)) refuse("can't write " + path + ": it is a directory");
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out) refuse("can't write " + path + ": " + error_text(errno));
        const bool written = write_all(out, file);
        const int error = errno;
        if (std::fclose(out) != 0 || !written)
            refuse("can't write " + path + ": " + error_text(written ? errno : error));
        return;
    }
    // Through a symbolic link, the file it points to is replaced, not the link.
    std::string target = path;
    if (std::filesystem::is_symlink(path, ignored)) target = std::filesystem::weakly_canonical(path, ignored).string();
    std::string temporary = target + ".tmp-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) refuse("can't write " + path + ": " + error_text(errno));
    const mode_t mask = umask(0);
    umask(mask);
    std::FILE* out = fchmod(fd, 0666 & ~mask) == 0 ? fdopen(fd, "wb") : nullptr;
    bool written = out && write_all(out, file) && fsync(fileno(out)) == 0;
    int error = errno;
    if (out) {
        if (std::fclose(out) != 0 && written) {
            written = false;
            error = errno;
        }
    } else {
        close(fd);
    }
    if (written && std::rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        std::remove(temporary.c_str());
        refuse("can't write " + path + ": " + error_text(error));
    }
}

void write_output(const std::string& file, const std::optional<std::string>& path) {
    if (path) return write_file(file, *path);
    if (!write_all(stdout, file)) refuse("can't write the output: " + error_text(errno));
}

std::string read_text(const std::string& path) {
    std::ostringstream text;
    if (path == "-") {
        text << std::cin.rdbuf();
    } else {
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) refuse("can't read " + path + ": it is a directory");
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

// A --note: one comment line of the file's header.
std::string checked_note(const std::string& note) {
    if (note.size() > kLongestHeaderLine)
        refuse("--note: a note may hold at most " + std::to_string(kLongestHeaderLine) + " characters");
    if (note.find_first_of("\n\r\x1a") != std::string::npos) refuse("--note: a note may not hold a line break");
    return note;
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
    std::optional<std::string> list_path, output;
    std::vector<std::string> notes;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-" || arg.rfind("-", 0) != 0) {
            if (list_path) usage_error("unexpected argument " + arg + ": airports takes one list");
            list_path = arg;
            continue;
        }
        if (arg != "--note" && arg != "-o" && arg != "--output") usage_error("unexpected argument " + arg);
        if (i + 1 == args.size()) usage_error(arg + " needs a value");
        const std::string& value = args[++i];
        if (arg == "--note")
            notes.push_back(checked_note(value));
        else
            set_once(output, value, arg);
    }
    if (!list_path) usage_error("airports needs a list of airports");

    std::vector<AirportSource> airports;
    if (auto failure = read_airport_list(read_text(*list_path), airports))
        refuse(base_name(*list_path) + ": " + *failure);
    std::vector<std::string> header = {
        "airports.ptc: " + std::to_string(airports.size()) + " airports from " + base_name(*list_path) +
            ", written by make-inputs",
        "per line: the two words of the airport's concise direction cosines, then its name",
    };
    header.insert(header.end(), notes.begin(), notes.end());
    std::string file;
    if (auto failure = format_airports_file(airports, header, file)) refuse(*failure);
    write_output(file, output);
    return 0;
}

int make_flight_line(const std::vector<std::string>& args) {
    std::optional<Position> from, to;
    std::optional<long> points;
    std::optional<std::string> output;
    std::vector<std::string> notes;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (!takes_value(option)) usage_error("unexpected argument " + option);
        if (i + 1 == args.size()) usage_error(option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--from") {
            set_once(from, parse_position(value, "--from"), option);
        } else if (option == "--to") {
            set_once(to, parse_position(value, "--to"), option);
        } else if (option == "--points") {
            char* end = nullptr;
            errno = 0;
            const long count = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || errno == ERANGE) usage_error("--points takes a whole number");
            set_once(points, count, option);
        } else if (option == "--note") {
            notes.push_back(checked_note(value));
        } else {
            set_once(output, value, option);
        }
    }
    if (!from || !to) usage_error("flightline needs --from and --to");
    const long count = points.value_or(kFlightLineCapacity);
    if (count < 2) refuse("--points: a flight line needs at least 2 points");
    if (count > kFlightLineCapacity) refuse("--points: " + over_capacity(kFlightLineCapacity, "points"));
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
    write_output(file, output);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (asks_for_help(args)) {
        std::printf(kUsageFormat, kAirportCapacity, kFlightLineCapacity, kFlightLineCapacity, kLongestHeaderLine);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (args.empty()) usage_error("no command: airports or flightline");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "airports") return make_airports(rest);
    if (args[0] == "flightline") return make_flight_line(rest);
    usage_error("unknown command " + args[0]);
}
