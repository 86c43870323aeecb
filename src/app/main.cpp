// spherebench: nearest-airport search along a flight path, timed once with
// concise direction cosines and once with fixed-point latitude/longitude.
// Takes no arguments; reads airports.ptc and flightline.lnc from the current
// directory; the report goes to standard output, all else to standard error.
#include <csignal>
#include <cstdio>

#include "bench/cdc_arrangement.h"
#include "bench/latlong_method.h"
#include "bench/pass.h"
#include "bench/summary.h"
#include "input/loader.h"

using namespace spherebench;

int main() {
    // A reader that goes away makes a write to standard output fail, which the
    // end of the run reports, instead of killing the process silently.
    std::signal(SIGPIPE, SIG_IGN);
    const Inputs inputs = load_inputs();
    const int32_t tests = inputs.airports.count * inputs.flight_line.count;
    std::fprintf(stderr, "Number of proximity tests: %d\n\n", tests);

    WinnerTable winners;
    DistanceTable distances;
    const CdcArrangementChoice arrangement = choose_cdc_arrangement(inputs.airports, inputs.flight_line);
    const PassTime cdc = run_cdc_pass(arrangement.arrangement, inputs.airports, inputs.flight_line, winners, distances);
    const PassTime latlong = run_pass(LatLongMethod{}, inputs.airports, inputs.flight_line, winners, distances);
    std::fputs(format_summary(tests, cdc, latlong).c_str(), stdout);

    // A report that did not reach its reader is a failed run.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) fail_with("Can't write the report\n");
    return 0;
}
