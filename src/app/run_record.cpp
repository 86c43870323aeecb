#include "app/run_record.h"

#include "app/run_spread.h"
#include "base/format.h"
#include "base/whole_file.h"
#include "pass/summary.h"

namespace spherebench {

namespace {

std::string field(const char* name, const std::string& value, bool last = false) {
    return printf_string("  \"%s\": %s%s\n", name, value.c_str(), last ? "" : ",");
}

}  // namespace

std::string json_string(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += std::string("\\") + c;
        else if (static_cast<unsigned char>(c) < 0x20)
            quoted += printf_string("\\u%04x", static_cast<unsigned>(c));
        else
            quoted += c;
    }
    return quoted + "\"";
}

std::string format_run_record(const RunRecord& record) {
    std::string runs = "[";
    for (size_t i = 0; i < record.runs.cdc.size(); ++i)
        runs += printf_string("%s\n    {\"cdc_ticks\": %d, \"latlong_ticks\": %d}", i ? "," : "", record.runs.cdc[i],
                              record.runs.latlong[i]);
    runs += "\n  ]";
    const PassTime cdc = pass_time(median_ticks(record.runs.cdc));
    const PassTime latlong = pass_time(median_ticks(record.runs.latlong));
    const PassSearchIds ids = pass_search_ids(record.search);
    const std::string searches =
        printf_string("{\"cdc\": %s, \"latlong\": %s}", json_string(search_name(ids.cdc)).c_str(),
                      json_string(search_name(ids.latlong)).c_str());
    const std::string index_build =
        record.runs.cdc_index_ms < 0
            ? ""
            : field("index_build_ms", "{\"cdc\": " + shortest_decimal(record.runs.cdc_index_ms) +
                                          ", \"latlong\": " + shortest_decimal(record.runs.latlong_index_ms) + "}");
    return "{\n" + field("version", json_string(record.version)) + field("timestamp", json_string(record.timestamp)) +
           field("cpu", json_string(record.cpu)) + field("compiler", json_string(record.compiler)) +
           field("search", json_string(pass_search_name(record.search))) + field("searches", searches) + index_build +
           field("cdc_arrangement", json_string(record.cdc_arrangement)) + field("folder", json_string(record.folder)) +
           field("airports", std::to_string(record.airports)) + field("points", std::to_string(record.points)) +
           field("tests", std::to_string(record.tests)) + field("tick_unit", json_string("ms")) + field("runs", runs) +
           field("cdc_tests_per_second", shortest_decimal(tests_per_second(record.tests, cdc))) +
           field("latlong_tests_per_second", shortest_decimal(tests_per_second(record.tests, latlong)), true) + "}\n";
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
