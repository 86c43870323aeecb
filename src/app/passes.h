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
    // With a pruned or indexed search, the locations each method's search
    // scored over the whole path, counted in an untimed pass after the
    // timed ones; negative with the brute force, which scores every one.
    int64_t cdc_scored = -1;
    int64_t latlong_scored = -1;
};

// The tests a method's rate is of: the locations its search scored, or
// `all` where it tested every one.
inline int32_t tests_of(int64_t scored, int32_t all) { return scored >= 0 ? static_cast<int32_t>(scored) : all; }

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
