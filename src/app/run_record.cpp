#include "app/run_record.h"

#include <algorithm>
#include <vector>

#include "app/run_spread.h"
#include "base/json_text.h"
#include "base/whole_file.h"
#include "pass/summary.h"

namespace spherebench {

std::string format_run_record(const RunRecord& record) {
    std::vector<std::string> runs;
    for (size_t i = 0; i < record.runs.cdc.size(); ++i)
        runs.push_back(json_object({{"cdc_ticks", std::to_string(record.runs.cdc[i])},
                                    {"latlong_ticks", std::to_string(record.runs.latlong[i])}}));
    const PassTime cdc = pass_time(median_ticks(record.runs.cdc));
    const PassTime latlong = pass_time(median_ticks(record.runs.latlong));
    const PassSearchIds ids = pass_search_ids(record.search);
    std::vector<JsonField> fields = {{"version", json_string(record.version)},
                                     {"timestamp", json_string(record.timestamp)},
                                     {"cpu", json_string(record.cpu)},
                                     {"compiler", json_string(record.compiler)},
                                     {"search", json_string(pass_search_name(record.search))},
                                     {"searches", json_object({{"cdc", json_string(search_name(ids.cdc))},
                                                               {"latlong", json_string(search_name(ids.latlong))}})}};
    if (record.runs.cdc_index_ms >= 0)
        fields.push_back({"index_build_ms", json_object({{"cdc", json_number(record.runs.cdc_index_ms)},
                                                         {"latlong", json_number(record.runs.latlong_index_ms)}})});
    fields.insert(fields.end(), {{"cdc_arrangement", json_string(record.cdc_arrangement)},
                                 {"folder", json_string(record.folder)},
                                 {"airports", std::to_string(record.airports)},
                                 {"points", std::to_string(record.points)},
                                 {"tests", std::to_string(record.tests)},
                                 {"tick_unit", json_string("ms")},
                                 {"runs", json_array_lines(runs, 4)}});
    if (record.runs.cdc_scored >= 0)
        fields.push_back({"scored", json_object({{"cdc", std::to_string(record.runs.cdc_scored)},
                                                 {"latlong", std::to_string(record.runs.latlong_scored)}})});
    const int32_t cdc_tests = tests_of(record.runs.cdc_scored, record.tests);
    const int32_t latlong_tests = tests_of(record.runs.latlong_scored, record.tests);
    fields.insert(fields.end(), {{"cdc_tests_per_second", json_number(tests_per_second(cdc_tests, cdc))},
                                 {"latlong_tests_per_second", json_number(tests_per_second(latlong_tests, latlong))}});
    return json_object_lines(fields) + "\n";
}

std::string utc_timestamp(std::time_t time) {
    std::tm parts{};
    char text[32];
    if (!gmtime_r(&time, &parts) || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts) == 0)
        return "unknown";
    return text;
}

std::string cpu_model_name(std::string_view cpuinfo) {
    constexpr std::string_view kKey = "model name";
    for (size_t at = 0; at < cpuinfo.size();) {
        const size_t end = std::min(cpuinfo.find('\n', at), cpuinfo.size());
        const std::string_view line = cpuinfo.substr(at, end - at);
        at = end + 1;
        const size_t colon = line.find(':');
        if (line.substr(0, kKey.size()) != kKey || colon == std::string_view::npos) continue;
        if (line.substr(kKey.size(), colon - kKey.size()).find_first_not_of(" \t") != std::string_view::npos) continue;
        const size_t start = line.find_first_not_of(" \t", colon + 1);
        if (start != std::string_view::npos) return std::string(line.substr(start));
    }
    return "unknown";
}

std::string this_cpu_model_name() { return cpu_model_name(read_whole_file_or_empty("/proc/cpuinfo")); }

std::string compiler_name() {
#if defined(__clang__)
    std::string name = "clang " __clang_version__;
#elif defined(__GNUC__)
    std::string name = "g++ " __VERSION__;
#else
    std::string name = "unknown";
#endif
    return name.substr(0, name.find_last_not_of(' ') + 1);
}

}  // namespace spherebench
