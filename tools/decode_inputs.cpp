// decode-inputs: prints what an input file holds, one record a line, as the
// benchmark decodes it: latitude and longitude in degrees (from the decoded
// concise direction cosines), then the name for an airport file.
//
//   decode-inputs airports.ptc
//   decode-inputs flightline.lnc
//
// The kind of file is told by its name's ending, .ptc or .lnc. Exit status:
// 0 printed, 1 the file can't be read or is refused or the output can't be
// written (one line on standard error), 2 a wrong command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/tool_cli.h"
#include "base/whole_file.h"
#include "input/loader.h"

using namespace spherebench;

namespace {

constexpr const char* kTool = "decode-inputs";

constexpr const char* kUsage =
    "usage: decode-inputs FILE.ptc | FILE.lnc\n"
    "\n"
    "Prints what an input file holds, one record a line, as the benchmark decodes\n"
    "it: latitude and longitude in degrees, then the name for an airport file. The\n"
    "kind of file is told by its name's ending: .ptc airports, .lnc a flight line.\n"
    "\n"
    "-h, --help  prints this help\n"
    "\n"
    "Exit status: 0 printed, 1 the file can't be read or is refused or the output\n"
    "can't be written (one line on standard error), 2 a wrong command line.\n";

void print_position(CdcPair pair, const char* name) {
    const LatLong position = vector_to_latlong(decode_cdc(pair));
    std::printf("%.9f %.9f%s%s\n", position.lat * kDegreesPerRadian, position.lon * kDegreesPerRadian, name ? " " : "",
                name ? name : "");
}

bool ends_with(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(kUsage, stdout);
        return std::fflush(stdout) == 0 ? 0 : tool_error(kTool, "can't write the help");
    }
    if (args.size() != 1) return usage_error(kTool, args.empty() ? "no file given" : "one file only");
    const std::string& path = args[0];
    if (!ends_with(path, ".ptc") && !ends_with(path, ".lnc"))
        return usage_error(kTool, "the file's name must end in .ptc (airports) or .lnc (a flight line): " + path);
    std::string bytes;
    if (auto failure = read_whole_file(path, bytes)) return tool_error(kTool, *failure);
    if (ends_with(path, ".ptc")) {
        AirportTable airports;
        if (auto failure = parse_airports(bytes, path.c_str(), airports, nullptr)) return tool_error(kTool, *failure);
        for (int i = 0; i < airports.count; ++i) print_position(airports.cdc[i], airports.names[i].c_str());
    } else {
        FlightLine points;
        if (auto failure = parse_flight_line(bytes, path.c_str(), points)) return tool_error(kTool, *failure);
        for (int i = 0; i < points.count; ++i) print_position(points.cdc[i], nullptr);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return tool_error(kTool, std::string("can't write the output: ") + std::strerror(errno));
    return 0;
}
