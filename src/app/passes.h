// The two timed passes, run once or repeated in turn, and their blocks of the
// report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/pass_search.h"
#include "input/loader.h"
#include "method/cdc_method.h"

namespace spherebench {

// Every run's clock ticks, per method, in the order run; and per method the
// airport each point found (the same in every run), by point index.
struct PassRuns {
    std::vector<int32_t> cdc;
    std::vector<int32_t> latlong;
    std::vector<int32_t> cdc_winners = {};
    std::vector<int32_t> latlong_winners = {};
    // With the indexed search, each index's build time in milliseconds
    // (built once, before the passes); negative when there was none.
    double cdc_index_ms = -1;
    double latlong_index_ms = -1;
};

// How the passes run: how often, in which arrangement of the
// direction-cosine test, by which search, and whether an index's build is
// reported on standard error.
struct PassSetup {
    int repeat = 1;
    CdcArrangement arrangement = CdcArrangement::kTwoSlotArray;
    PassSearch search = PassSearch::kBrute;
    bool verbose = false;
};

// Runs the direction-cosine pass, then the latitude/longitude pass, `repeat`
// times in turn. A single run prints each pass's block as it goes: header,
// progress on standard error, list and duration. Repeated runs show the
// progress of every search, then each method's block once with the duration
// of its median run. Every run of a method must find the same airports. On
// failure returns the line to print; the header of the failing pass is then
// already written. With the indexed search both indexes are built first,
// untimed.
std::optional<std::string> run_passes(const Inputs& inputs, const PassSetup& setup, PassRuns& runs);

}  // namespace spherebench
