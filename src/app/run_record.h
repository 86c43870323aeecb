// The record of a run that --json writes: what ran where, and every run's
// clock ticks, as JSON.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "app/passes.h"

namespace spherebench {

struct RunRecord {
    std::string version;
    std::string cpu;              // the processor's model name
    std::string compiler;         // the compiler and its version
    std::string cdc_arrangement;  // the direction-cosine pass's arrangement
    int airports;
    int points;
    int32_t tests;
    PassRuns runs;
    std::string timestamp = {};              // when the run started, utc_timestamp
    std::string folder = {};                 // the folder read, "." for the current one
    PassSearch search = PassSearch::kBrute;  // the search the passes ran
};

// The time in UTC as ISO 8601 to the second, "2026-12-07T15:40:00Z".
std::string utc_timestamp(std::time_t time);

// A JSON object with the record's fields, "tick_unit" ("ms", the clock's),
// "searches" (the catalogue's names of the two passes' searches),
// "index_build_ms" (with the indexed search, each index's build time),
// "runs" as a list of {"cdc_ticks", "latlong_ticks"} per turn, and the tests
// per second of each method's median run; one field a line, ending in a line
// feed.
std::string format_run_record(const RunRecord& record);

// The text as a JSON string, quoted: quote, backslash and control characters
// escaped, other bytes as they are.
std::string json_string(std::string_view text);

// The first "model name" of a /proc/cpuinfo text, or "unknown".
std::string cpu_model_name(std::string_view cpuinfo);

// This machine's processor model name, or "unknown".
std::string this_cpu_model_name();

// The compiler that built the program, as it names itself.
std::string compiler_name();

}  // namespace spherebench
