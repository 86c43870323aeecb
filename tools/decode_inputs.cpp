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
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "input/loader.h"

using namespace spherebench;

namespace {

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
    if (argc != 2 || !(ends_with(argv[1], ".ptc") || ends_with(argv[1], ".lnc"))) {
        std::fprintf(stderr, "usage: decode-inputs FILE.ptc | FILE.lnc\n");
        return 2;
    }
    const std::string path = argv[1];
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        std::fprintf(stderr, "decode-inputs: can't read %s: it is a directory\n", path.c_str());
        return 1;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "decode-inputs: can't open %s for reading\n", path.c_str());
        return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        std::fprintf(stderr, "decode-inputs: can't read %s\n", path.c_str());
        return 1;
    }
    if (ends_with(path, ".ptc")) {
        AirportTable airports;
        if (auto failure = parse_airports(bytes.str(), path.c_str(), airports, nullptr)) {
            std::fprintf(stderr, "decode-inputs: %s", failure->c_str());
            return 1;
        }
        for (int i = 0; i < airports.count; ++i) print_position(airports.cdc[i], airports.names[i].c_str());
    } else {
        FlightLine points;
        if (auto failure = parse_flight_line(bytes.str(), path.c_str(), points)) {
            std::fprintf(stderr, "decode-inputs: %s", failure->c_str());
            return 1;
        }
        for (int i = 0; i < points.count; ++i) print_position(points.cdc[i], nullptr);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "decode-inputs: can't write the output: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
