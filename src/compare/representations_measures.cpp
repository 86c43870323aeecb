#include "compare/representations_measures.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "base/format.h"
#include "forms/representations.h"
#include "random/random_tables.h"

namespace spherebench {

namespace {

// Times are read at the suite's largest table.
constexpr int kTimedAirports = kSuiteAirportCounts[std::size(kSuiteAirportCounts) - 1];

// The shortest decimal that reads back as the same double.
std::string number(long double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, static_cast<double>(value)).ptr);
}

// A JSON string: quote, backslash and control characters escaped.
std::string text(const std::string& value) {
    std::string quoted = "\"";
    for (const char c : value) {
        if (static_cast<unsigned char>(c) < 0x20)
            quoted += printf_string("\\u%04x", static_cast<unsigned>(c));
        else
            quoted += (c == '"' || c == '\\') ? std::string{'\\', c} : std::string{c};
    }
    return quoted + "\"";
}

// {"a": 1, "b": 2} from pairs of a name and an already written value.
std::string object(std::initializer_list<std::pair<const char*, std::string>> fields) {
    std::string out;
    for (const auto& [name, value] : fields) out += (out.empty() ? "{" : ", ") + text(name) + ": " + value;
    return out + "}";
}

template <typename T, typename Write>
std::string list(const std::vector<T>& items, Write write) {
    std::string out;
    for (const T& item : items) out += (out.empty() ? "[\n    " : ",\n    ") + write(item);
    return out.empty() ? "[]" : out + "\n  ]";
}

std::string errors(const ErrorSummary& e) {
    return object({{"worst_metres", number(e.worst)}, {"mean_metres", number(e.mean())}});
}

std::string form_record(const BundledData& data, const FormMeasures& f) {
    std::string miss = "null";
    if (f.closest_miss >= 0) {
        const NearestAirports& t = data.truth[f.closest_miss];
        miss = object({{"point", std::to_string(f.closest_miss + 1)},
                       {"decided_by_metres", number(t.second_metres - t.nearest_metres)}});
    }
    return object({{"name", text(f.name)},
                   {"label", text(f.label)},
                   {"bytes", std::to_string(f.bytes)},
                   {"benchmark", text(timed_benchmark(f))},
                   {"programs_own", f.programs_own ? "true" : "false"},
                   {"airports", errors(f.on_airports)},
                   {"random", errors(f.on_random)},
                   {"found", std::to_string(f.found)},
                   {"closest_miss", miss}});
}

std::string ellipsoid_record(const BundledData& data, const EllipsoidComparison& e) {
    const auto name = [&](int airport) { return text(data.sources[airport].name); };
    std::vector<int> closest(
        e.by_geodesic_margin.begin(),
        e.by_geodesic_margin.begin() + std::min<size_t>(kClosestCallsShown, e.by_geodesic_margin.size()));
    const std::string differ = list(e.differ, [&](int i) {
        const EllipsoidCall& c = e.calls[i];
        const NearestAirports& t = data.truth[i];
        const long double sphere_other = haversine_metres(data.path[i], data.positions[c.geodesic.nearest]);
        return object({{"point", std::to_string(i + 1)},
                       {"sphere_nearest", name(t.nearest)},
                       {"ellipsoid_nearest", name(c.geodesic.nearest)},
                       {"sphere_decided_by_metres", number(sphere_other - t.nearest_metres)},
                       {"excess_metres", number(c.excess())}});
    });
    const std::string calls = list(closest, [&](int i) {
        const NearestTwo<double>& g = e.calls[i].geodesic;
        return object({{"point", std::to_string(i + 1)},
                       {"nearest", name(g.nearest)},
                       {"runner_up", name(g.second)},
                       {"decided_by_metres", number(g.second_metres - g.nearest_metres)},
                       {"same_as_sphere", g.nearest == data.truth[i].nearest ? "true" : "false"}});
    });
    return object({{"differ", differ},
                   {"closest_calls", calls},
                   {"worst_excess_metres", number(e.worst_excess)},
                   {"worst_excess_share", number(e.worst_excess_share)},
                   {"least_curvature_radius_metres", number(least_curvature_radius())},
                   {"greatest_curvature_radius_metres", number(greatest_curvature_radius())},
                   {"worst_shift_metres", number(e.worst_shift)},
                   {"median_shift_metres", number(e.median_shift)},
                   {"points_off_airports", std::to_string(e.shifts.size())}});
}

}  // namespace

std::string timed_benchmark(const FormMeasures& form) {
    return printf_string("%s/airports:%d", form.benchmark.c_str(), kTimedAirports);
}

std::string representations_json(const BundledData& data, const std::vector<FormMeasures>& forms,
                                 const EllipsoidComparison& ellipsoid) {
    const std::string bounds = object({{"pair_metres", number(kPairBoundMetres)},
                                       {"fixed_truncation_metres", number(kTruncationBoundMetres)},
                                       {"cell_id_radians", number(kCellIdBound)},
                                       {"latlong_radians", number(kLatLongBound)},
                                       {"float_vector_radians", number(kFloatVectorBound)}});
    const std::string suite = object({{"points", std::to_string(kSuitePoints)},
                                      {"least_airports", std::to_string(kSuiteAirportCounts[0])},
                                      {"timed_airports", std::to_string(kTimedAirports)}});
    return "{\n  \"earth_radius_metres\": " + number(kEarthRadiusMetres) +
           ",\n  \"bundled_airports\": " + std::to_string(data.positions.size()) +
           ",\n  \"path_points\": " + std::to_string(data.line.count) +
           ",\n  \"random_directions\": " + std::to_string(kRandomDirections) +
           ",\n  \"random_seed\": " + std::to_string(kRandomSeed) +
           ",\n  \"closest_calls_shown\": " + std::to_string(kClosestCallsShown) + ",\n  \"suite\": " + suite +
           ",\n  \"bounds\": " + bounds +
           ",\n  \"forms\": " + list(forms, [&](const FormMeasures& f) { return form_record(data, f); }) +
           ",\n  \"ellipsoid\": " + ellipsoid_record(data, ellipsoid) + "\n}\n";
}

}  // namespace spherebench
