// Per-test cost of a nearest-airport search with each of the other stored
// forms of forms/representations.h, on the directions of the suite's tables:
// the same 1000 points against the first 1000 to 14000 airports, as
// the direction-cosine pass. The forms are made from the random unit vectors the suite's
// pairs were encoded from (drawn again from the same seeds), so each carries
// its own rounding only, not the pair's as well.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "forms/representations.h"
#include "geo/stored_form.h"
#include "method/cdc_method.h"
#include "method/nearest.h"
#include "pass/pass_method.h"
#include "random/random_tables.h"
#include "suite/suite.h"

using namespace spherebench;

namespace {

template <typename Stored>
struct FormTables {
    std::vector<Stored> airports;
    std::vector<Stored> points;
};

template <typename Stored, typename Make>
FormTables<Stored> make_tables(Make make) {
    static const std::vector<UnitVector> airports = random_directions(kAirportSeed, kAirportCapacity);
    static const std::vector<UnitVector> points = random_directions(kFlightLineSeed, kSuitePoints);
    FormTables<Stored> t;
    for (UnitVector v : airports) t.airports.push_back(make(v));
    for (UnitVector v : points) t.points.push_back(make(v));
    return t;
}

// The tables each function makes, on first use: one per function, not per
// type of its result.
template <auto make>
const auto& tables_of() {
    using Stored = decltype(make(UnitVector{}));
    static const FormTables<Stored> t = make_tables<Stored>(make);
    return t;
}

// One search per point, each point prepared as the search takes it.
int32_t cell_id_search(int i, int n) {
    const FormTables<S2CellId>& t = tables_of<cell_id_of>();
    return nearest_by_cell_ids(t.airports.data(), n, t.points[i].ToPoint());
}
int32_t s2_point_search(int i, int n) {
    const FormTables<S2Point>& t = tables_of<s2_point_of>();
    return nearest_by_s2_points(t.airports.data(), n, t.points[i]);
}
int32_t haversine_search(int i, int n) {
    const FormTables<LatLong>& t = tables_of<latlong_of>();
    return nearest_by_haversine(t.airports.data(), n, t.points[i]);
}
int32_t float_vector_search(int i, int n) {
    const FormTables<FloatVector>& t = tables_of<float_vector_of>();
    return nearest_by_float_vectors(t.airports.data(), n, t.points[i]);
}

template <int32_t (*Search)(int, int)>
void BM_FormPass(benchmark::State& state) {
    time_searches(state, [](int airports, int i) { return Search(i, airports); });
}

BENCHMARK(BM_FormPass<cell_id_search>)->Name(benchmark_name(SearchId::kS2CellIdBrute))->Apply(airport_counts);
BENCHMARK(BM_FormPass<s2_point_search>)->Name("BM_S2PointPass")->Apply(airport_counts);
BENCHMARK(BM_FormPass<haversine_search>)->Name("BM_HaversinePass")->Apply(airport_counts);
BENCHMARK(BM_FormPass<float_vector_search>)->Name("BM_FloatVectorPass")->Apply(airport_counts);

double angle(UnitVector a, UnitVector b) {
    const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return std::sqrt((dx * dx + dy * dy) + dz * dz);  // the chord, as good as the angle this close
}

// Far above any form's rounding (at most 0.33 m) and the pair's, far below
// the distance between two random directions.
constexpr double kSameDirection = 1e-6;

template <typename Stored>
bool same_directions(const char* form, const FormTables<Stored>& t) {
    const SuiteTables& suite = suite_tables();
    for (int j = 0; j < kAirportCapacity; ++j) {
        if (angle(direction_of(t.airports[j]), decode_cdc(suite.airports.cdc[j])) > kSameDirection) {
            std::fprintf(stderr, "%s: airport %d is not the suite's\n", form, j);
            return false;
        }
    }
    for (int i = 0; i < kSuitePoints; ++i) {
        if (angle(direction_of(t.points[i]), decode_cdc(suite.flight_line.cdc[i])) > kSameDirection) {
            std::fprintf(stderr, "%s: point %d is not the suite's\n", form, i);
            return false;
        }
    }
    return true;
}

bool representations_agree() {
    // The stored forms by their names in geo/stored_form.h; the haversine
    // reads latitude/longitude in double radians, which is none of them.
    const char* s2_cell_id = form_name(Form::kS2CellId);
    const char* s2_point = form_name(Form::kS2Point);
    const char* float_vector = form_name(Form::kFloatVector);
    if (!same_directions(s2_cell_id, tables_of<cell_id_of>()) || !same_directions(s2_point, tables_of<s2_point_of>()) ||
        !same_directions("haversine", tables_of<latlong_of>()) ||
        !same_directions(float_vector, tables_of<float_vector_of>()))
        return false;
    const SuiteTables& t = suite_tables();
    struct FormSearch {
        const char* name;
        int32_t (*search)(int, int);
        int agree = 0;
    };
    FormSearch forms[] = {{s2_cell_id, cell_id_search},
                          {s2_point, s2_point_search},
                          {"haversine", haversine_search},
                          {float_vector, float_vector_search}};
    int searches = 0;
    for (int n : kSuiteAirportCounts) {
        for (int i = 0; i < kSuitePoints; ++i) {
            const int32_t cdc =
                find_nearest<CdcMethod>(t.airports.cdc.data(), n, pass_point<CdcMethod>(t.flight_line, i)).index;
            for (FormSearch& f : forms) f.agree += f.search(i, n) == cdc;
            ++searches;
        }
    }
    bool agree = true;
    std::string figure;
    for (const FormSearch& f : forms) {
        figure += std::string(figure.empty() ? "" : ", ") + f.name + " " + std::to_string(f.agree);
        if (f.agree < 0.99 * searches) agree = false;
    }
    figure += " of " + std::to_string(searches);
    report_check_figure("same winner as the direction-cosine pass", "same_winner_as_cdc_pass", figure);
    if (!agree) std::fprintf(stderr, "a form's search agrees with the direction-cosine pass at under 99 %%\n");
    return agree;
}
const bool checked = register_check(representations_agree);

}  // namespace
