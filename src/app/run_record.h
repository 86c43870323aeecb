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

// The record as one JSON object, one field a line, ending in a line feed:
// the fields, their order and their meaning as README.md's `--json` row
// describes them (the one description, which a test holds the record to).
std::string format_run_record(const RunRecord& record);

// The first "model name" of a /proc/cpuinfo text, or "unknown".
std::string cpu_model_name(std::string_view cpuinfo);

// This machine's processor model name, or "unknown".
std::string this_cpu_model_name();

// The compiler that built the program, as it names itself.
std::string compiler_name();

}  // namespace spherebench
