#include "compare/representations_measures.h"

#include <algorithm>
#include <iterator>

#include "base/format.h"
#include "base/json_text.h"
#include "forms/representations.h"
#include "random/random_tables.h"

namespace spherebench {

namespace {

// Times are read at the suite's largest table.
constexpr int kTimedAirports = kSuiteAirportCounts[std::size(kSuiteAirportCounts) - 1];

std::string number(long double value) { return json_number(static_cast<double>(value)); }

template <typename T, typename Write>
std::string list(const std::vector<T>& items, Write write) {
    std::vector<std::string> written;
    for (const T& item : items) written.push_back(write(item));
    return json_array_lines(written, 4);
}

std::string form_record(const BundledData& data, const FormMeasures& f) {
    std::string miss = "null";
    if (f.closest_miss >= 0) {
        const NearestAirports& t = data.truth[f.closest_miss];
        miss = json_object({{"point", std::to_string(f.closest_miss + 1)},
                            {"decided_by_metres", number(t.second_metres - t.nearest_metres)}});
    }
    return json_object({{"name", json_string(f.name)},
                        {"label", json_string(f.label)},
                        {"bytes", std::to_string(f.bytes)},
                        {"benchmark", json_string(timed_benchmark(f))},
                        {"programs_own", json_bool(f.programs_own)},
                        {"airports", error_summary_json(f.on_airports)},
                        {"random", error_summary_json(f.on_random)},
                        {"found", std::to_string(f.found)},
                        {"closest_miss", miss}});
}

std::string ellipsoid_record(const BundledData& data, const EllipsoidComparison& e) {
    const auto name = [&](int airport) { return json_string(data.sources[airport].name); };
    std::vector<int> closest(
        e.by_geodesic_margin.begin(),
        e.by_geodesic_margin.begin() + std::min<size_t>(kClosestCallsShown, e.by_geodesic_margin.size()));
    const std::string differ = list(e.differ, [&](int i) {
        const EllipsoidCall& c = e.calls[i];
        const NearestAirports& t = data.truth[i];
        const long double sphere_other = haversine_metres(data.path[i], data.positions[c.geodesic.nearest]);
        return json_object({{"point", std::to_string(i + 1)},
                            {"sphere_nearest", name(t.nearest)},
                            {"ellipsoid_nearest", name(c.geodesic.nearest)},
                            {"sphere_decided_by_metres", number(sphere_other - t.nearest_metres)},
                            {"excess_metres", number(c.excess())}});
    });
    const std::string calls = list(closest, [&](int i) {
        const NearestTwo<double>& g = e.calls[i].geodesic;
        return json_object({{"point", std::to_string(i + 1)},
                            {"nearest", name(g.nearest)},
                            {"runner_up", name(g.second)},
                            {"decided_by_metres", number(g.second_metres - g.nearest_metres)},
                            {"same_as_sphere", json_bool(g.nearest == data.truth[i].nearest)}});
    });
    return json_object({{"differ", differ},
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
    const std::string bounds = json_object({{"pair_metres", number(kPairBoundMetres)},
                                            {"fixed_truncation_metres", number(kTruncationBoundMetres)},
                                            {"cell_id_radians", number(kCellIdBound)},
                                            {"latlong_radians", number(kLatLongBound)},
                                            {"float_vector_radians", number(kFloatVectorBound)}});
    const std::string suite = json_object({{"points", std::to_string(kSuitePoints)},
                                           {"least_airports", std::to_string(kSuiteAirportCounts[0])},
                                           {"timed_airports", std::to_string(kTimedAirports)}});
    return json_object_lines({{"earth_radius_metres", number(kEarthRadiusMetres)},
                              {"bundled_airports", std::to_string(data.positions.size())},
                              {"path_points", std::to_string(data.line.count)},
                              {"random_directions", std::to_string(kRandomDirections)},
                              {"random_seed", std::to_string(kRandomSeed)},
                              {"closest_calls_shown", std::to_string(kClosestCallsShown)},
                              {"suite", suite},
                              {"bounds", bounds},
                              {"forms", list(forms, [&](const FormMeasures& f) { return form_record(data, f); })},
                              {"ellipsoid", ellipsoid_record(data, ellipsoid)}}) +
           "\n";
}

}  // namespace spherebench
