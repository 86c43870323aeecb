// spherebench: nearest-airport search along a flight path, timed with concise
// direction cosines and with fixed-point latitude/longitude. Reads
// airports.ptc and flightline.lnc from the current folder or the one named;
// the report goes to standard output, all else to standard error. Run with
// no arguments it does exactly one run of each pass.
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/output_files.h"
#include "app/passes.h"
#include "app/point_results.h"
#include "app/run_record.h"
#include "app/run_spread.h"
#include "base/atomic_file.h"
#include "base/tool_cli.h"
#include "pass/cdc_arrangement.h"
#include "pass/summary.h"

using namespace spherebench;

namespace {

constexpr const char* kName = "spherebench";

// The program's own failure lines carry their line feed and no prefix.
int fail(const std::string& message) {
    std::fputs(message.c_str(), stderr);
    return kRefused;
}

// Standard output that did not reach its reader is a failure.
bool output_delivered() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

int print_and_exit(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return output_delivered() ? 0 : tool_error(kName, "can't write the output");
}

void print_verbose_start(const Options& options) {
    std::fprintf(stderr, "spherebench %s: reading from %s; %d run%s of each pass\n", SPHEREBENCH_VERSION,
                 options.folder.empty() ? "the current folder" : options.folder.c_str(), options.repeat,
                 options.repeat == 1 ? "" : "s");
}

void print_verbose_tables(const Inputs& inputs) {
    std::fprintf(stderr, "spherebench: %d airports, %d points; each point searches %zu bytes of stored airports\n",
                 inputs.airports.count, inputs.flight_line.count, inputs.airports.count * sizeof(CdcPair));
}

// The files the run writes besides its report.
struct Outputs {
    AtomicFile json;
    AtomicFile results;
};

// Makes each output's temporary file, before anything is read.
std::optional<std::string> open_outputs(const Options& options, Outputs& outputs) {
    if (options.json)
        if (auto failure = outputs.json.open(*options.json)) return failure;
    if (options.results)
        if (auto failure = outputs.results.open(*options.results)) return failure;
    return std::nullopt;
}

std::optional<std::string> commit_outputs(const Options& options, const Inputs& inputs, const RunRecord& record,
                                          Outputs& outputs) {
    if (options.json)
        if (auto failure = outputs.json.commit(format_run_record(record))) return failure;
    if (options.results)
        if (auto failure = outputs.results.commit(format_point_results(inputs, record.runs))) return failure;
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away makes a write to standard output fail, which the
    // end of the run reports, instead of killing the process silently.
    std::signal(SIGPIPE, SIG_IGN);
    Options options;
    if (auto error = parse_command_line(std::vector<std::string>(argv + 1, argv + argc), options))
        return usage_error(kName, *error);
    if (options.help) return print_and_exit(usage_text());
    if (options.version) return print_and_exit(std::string(kName) + " " + SPHEREBENCH_VERSION + "\n");
    if (auto problem = check_output_files(options)) return usage_error(kName, *problem);
    Outputs outputs;
    if (auto failure = open_outputs(options, outputs)) return tool_error(kName, *failure);
    const std::time_t started = std::time(nullptr);
    if (options.verbose) print_verbose_start(options);

    Inputs inputs;
    if (auto failure = load_inputs(options.folder, inputs)) return fail(*failure);
    if (options.verbose) print_verbose_tables(inputs);
    // Which arrangement of the direction-cosine test runs fastest depends on
    // the processor: a few milliseconds of trial, before anything is timed.
    const CdcArrangementChoice arrangement = choose_cdc_arrangement(inputs.airports, inputs.flight_line);
    if (options.verbose) std::fprintf(stderr, "spherebench: direction-cosine test arranged as %s\n", arrangement.name);
    const int32_t tests = inputs.airports.count * inputs.flight_line.count;
    std::fprintf(stderr, "Number of proximity tests: %d\n\n", tests);

    PassRuns runs;
    const PassSetup setup{options.repeat, arrangement.arrangement, options.search.value_or(PassSearch::kBrute),
                          options.verbose};
    if (auto failure = run_passes(inputs, setup, runs)) return fail(*failure);
    const PassTime cdc = pass_time(median_ticks(runs.cdc));
    const PassTime latlong = pass_time(median_ticks(runs.latlong));
    // Under a pruned or indexed search, the locations each search scored.
    const int32_t cdc_tests = tests_of(runs.cdc_scored, tests), latlong_tests = tests_of(runs.latlong_scored, tests);
    std::fputs(format_summary(cdc_tests, latlong_tests, cdc, latlong).c_str(), stdout);
    if (options.repeat > 1) std::fputs(("\n" + format_spread(runs)).c_str(), stdout);

    // A report that did not reach its reader is a failed run.
    if (!output_delivered()) return fail("Can't write the report\n");
    if (output_files(options).empty()) return 0;
    RunRecord record{SPHEREBENCH_VERSION,   this_cpu_model_name(),    compiler_name(), arrangement.name,
                     inputs.airports.count, inputs.flight_line.count, tests,           runs};
    record.timestamp = utc_timestamp(started);
    record.folder = options.folder.empty() ? "." : options.folder;
    record.search = setup.search;
    if (auto failure = commit_outputs(options, inputs, record, outputs)) return tool_error(kName, *failure);
    return 0;
}
