// The nearest tool's command line and run (tools/nearest_csv.cpp): build an
// index from a CSV of locations and save it, or ask an index (saved, or
// built from a CSV at once) the nearest locations to each fix of a CSV.
#pragma once

namespace spherebench {

// Runs the tool; returns its exit status (base/tool_cli.h): 0 done, 1 a
// failure (one line on standard error), 2 a wrong command line.
int run_nearest_csv(int argc, const char* const* argv);

}  // namespace spherebench
