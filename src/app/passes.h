// The two timed passes, run once or repeated in turn, and their blocks of the
// report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bench/cdc_method.h"
#include "input/loader.h"

namespace spherebench {

// Every run's clock ticks, per method, in the order run; and per method the
// airport each point found (the same in every run), by point index.
struct PassRuns {
    std::vector<int32_t> cdc;
    std::vector<int32_t> latlong;
    std::vector<int32_t> cdc_winners = {};
    std::vector<int32_t> latlong_winners = {};
};

// Runs the direction-cosine pass, then the latitude/longitude pass, `repeat`
// times in turn. A single run prints each pass's block as it goes: header,
// progress on standard error, list and duration. Repeated runs show the
// progress of every search, then each method's block once with the duration
// of its median run. Every run of a method must find the same airports. On
// failure returns the line to print; the header of the failing pass is then
// already written. The direction-cosine pass runs in the given arrangement.
std::optional<std::string> run_passes(const Inputs& inputs, int repeat, CdcArrangement arrangement, PassRuns& runs);

}  // namespace spherebench
