// Per-test cost of the two proximity passes' search loops, of their building
// blocks, and of each method's floor (see floors.h), on random directions:
// 1000 points against the first 1000 to 14000 airports of a table.
// Every figure is reported as the counter per_test: CPU seconds per proximity
// test (the console shows it with its prefix, e.g. 7.7ns).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/json_text.h"
#include "catalogue/search_catalogue.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "pass/cdc_arrangement.h"
#include "pass/pass_method.h"
#include "suite/floors.h"
#include "suite/suite.h"

using namespace spherebench;

namespace {

// decode_cosines: the per-test part of decoding a pair (the two stored
// cosines and the major component), as CdcMethod::score runs it.
void BM_DecodeCosines(benchmark::State& state) {
    const AirportTable& airports = suite_tables().airports;
    time_per_airport(state, [&airports](int j) { return decode_cosines(airports.cdc[j]); });
}
BENCHMARK(BM_DecodeCosines)->Apply(with_minimum);

// decode_cdc: the whole decoding, the flag cases placing and signing the
// components by branches. Not on the search's hot path (the program runs it
// once per point and for printing); timed on random pairs, where its branches
// are unpredictable.
void BM_DecodeCdc(benchmark::State& state) {
    const AirportTable& airports = suite_tables().airports;
    time_per_airport(state, [&airports](int j) { return decode_cdc(airports.cdc[j]); });
}
BENCHMARK(BM_DecodeCdc)->Apply(with_minimum);

// from_fixed of the airport and latlong_cosine, through the method's score,
// which also keeps the point's sine and cosine in every test.
void BM_FromFixedLatLongCosine(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    const LatLong point = pass_point<LatLongMethod>(t.flight_line, 0);
    time_per_airport(state, [&t, point](int j) { return LatLongMethod::score(t.airports.fixed[j], point); });
}
BENCHMARK(BM_FromFixedLatLongCosine)->Apply(with_minimum);

// The pass's timed loop less its progress output: prepare each point and
// search all airports with the program's own find_nearest.
template <typename Method>
void BM_Pass(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    const typename Method::Stored* stored = stored_airports<Method>(t.airports);
    time_searches(state, [&t, stored](int airports, int i) {
        return find_nearest<Method>(stored, airports, pass_point<Method>(t.flight_line, i));
    });
}

// A search function of floors.h over every point, in the stored form it reads.
template <auto search, auto stored, auto point_form>
void BM_Search(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    time_searches(state, [&t](int airports, int i) {
        return search((t.airports.*stored).data(), airports, (t.flight_line.*point_form)[i]);
    });
}

// The program's direction-cosine pass in the arrangement its trial picks on
// the suite's tables (the same choice for every airport count).
const CdcArrangementChoice& suite_arrangement() {
    static const CdcArrangementChoice chosen = [] {
        const CdcArrangementChoice c = choose_cdc_arrangement(suite_tables().airports, suite_tables().flight_line);
        benchmark::AddCustomContext("cdc_arrangement", c.name);
        return c;
    }();
    return chosen;
}
// Chosen before anything is timed, so that the choice is in the run's context.
const bool arrangement_chosen = register_check([] { return suite_arrangement().name != nullptr; });

void BM_CdcBrute(benchmark::State& state) {
    with_cdc_method(suite_arrangement().arrangement, [&state](auto method) { BM_Pass<decltype(method)>(state); });
}

// The floors and the port as the suite names them: one direction-cosine
// floor per arrangement of the sum (by CdcArrangement), the fastest on the
// machine at hand the pass's floor there. The run's context lists them
// (describe_floors) for the documents.
constexpr const char* kCdcFloorNames[kCdcArrangementCount] = {"BM_CdcFloor", "BM_CdcFloorSelect",
                                                              "BM_CdcFloorConditional"};
constexpr const char* kCdcPortName = "BM_CdcPort";
constexpr const char* kLatLongFloorName = "BM_LatLongFloor";

BENCHMARK(BM_CdcBrute)->Name(benchmark_name(SearchId::kCdcBrute))->Apply(airport_counts);
BENCHMARK(BM_Search<cdc_floor_search, &AirportTable::cdc, &FlightLine::cdc>)
    ->Name(kCdcFloorNames[static_cast<int>(CdcArrangement::kTwoSlotArray)])
    ->Apply(airport_counts);
BENCHMARK(BM_Search<cdc_floor_select_search, &AirportTable::cdc, &FlightLine::cdc>)
    ->Name(kCdcFloorNames[static_cast<int>(CdcArrangement::kSelectBits)])
    ->Apply(airport_counts);
BENCHMARK(BM_Search<cdc_floor_conditional_search, &AirportTable::cdc, &FlightLine::cdc>)
    ->Name(kCdcFloorNames[static_cast<int>(CdcArrangement::kConditional)])
    ->Apply(airport_counts);
BENCHMARK(BM_Search<cdc_port_search, &AirportTable::cdc, &FlightLine::cdc>)->Name(kCdcPortName)->Apply(airport_counts);
BENCHMARK(BM_Pass<LatLongMethod>)->Name(benchmark_name(SearchId::kLatLongBrute))->Apply(airport_counts);
BENCHMARK(BM_Search<latlong_floor_search, &AirportTable::fixed, &FlightLine::fixed>)
    ->Name(kLatLongFloorName)
    ->Apply(airport_counts);

// "floors": {form: [{"benchmark", "arrangement"}...]}, "ports": {form: benchmark}.
void describe_floors() {
    std::vector<std::string> cdc;
    for (int a = 0; a < kCdcArrangementCount; ++a)
        cdc.push_back(
            json_object({{"benchmark", json_string(kCdcFloorNames[a])},
                         {"arrangement", json_string(cdc_arrangement_name(static_cast<CdcArrangement>(a)))}}));
    const std::string latlong = json_object({{"benchmark", json_string(kLatLongFloorName)}});
    benchmark::AddCustomContext("floors", json_object({{form_name(Form::kCdcPair), json_array(cdc)},
                                                       {form_name(Form::kFixedLatLong), json_array({latlong})}}));
    benchmark::AddCustomContext("ports", json_object({{form_name(Form::kCdcPair), json_string(kCdcPortName)}}));
}

// A floor is only a floor if it finds what the pass finds: the same winner
// for every point at every airport count.
bool floors_agree() {
    const SuiteTables& t = suite_tables();
    bool agree = true;
    for (int n : kSuiteAirportCounts) {
        for (int i = 0; i < kSuitePoints; ++i) {
            const int32_t cdc =
                find_nearest<CdcMethod>(t.airports.cdc.data(), n, pass_point<CdcMethod>(t.flight_line, i)).index;
            const int32_t latlong =
                find_nearest<LatLongMethod>(t.airports.fixed.data(), n, pass_point<LatLongMethod>(t.flight_line, i))
                    .index;
            const CdcPair point = t.flight_line.cdc[i];
            const int32_t cdc_floors[] = {cdc_floor_search(t.airports.cdc.data(), n, point),
                                          cdc_floor_select_search(t.airports.cdc.data(), n, point),
                                          cdc_floor_conditional_search(t.airports.cdc.data(), n, point),
                                          cdc_port_search(t.airports.cdc.data(), n, point)};
            const int32_t latlong_floor = latlong_floor_search(t.airports.fixed.data(), n, t.flight_line.fixed[i]);
            for (int32_t cdc_floor : cdc_floors) agree = agree && cdc_floor == cdc;
            if (!agree || latlong != latlong_floor) {
                std::fprintf(stderr, "floor disagrees at %d airports, point %d: cdc %d/%d/%d/%d/%d, latlong %d/%d\n", n,
                             i, cdc, cdc_floors[0], cdc_floors[1], cdc_floors[2], cdc_floors[3], latlong,
                             latlong_floor);
                return false;
            }
        }
    }
    return agree;
}
const bool floors_checked = register_check(floors_agree);

// Whether the command line asks for the list of benchmarks, which times
// nothing: the checks that guard the timings are then skipped.
bool listing_only(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--benchmark_list_tests" || arg == "--benchmark_list_tests=true") return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const bool listing = listing_only(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    describe_suite();
    describe_floors();
    if (!listing && !run_checks()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
