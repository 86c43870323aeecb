#include "compare/form_measures.h"

#include "catalogue/search_catalogue.h"
#include "forms/representations.h"
#include "geo/cdc_encoder.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "pass/pass_method.h"

namespace spherebench {

namespace {

// The direction each source position is stored from: the same double unit
// vector the bundled pairs were encoded from.
UnitVector source_vector(PreciseLatLong p) {
    return vector_from_degrees(static_cast<double>(p.latitude), static_cast<double>(p.longitude));
}

long double cell_id_error(PreciseLatLong p) {
    return error_metres(precise_vector(direction_of(cell_id_of(source_vector(p)))), p);
}
long double s2_point_error(PreciseLatLong p) {
    return error_metres(precise_vector(direction_of(s2_point_of(source_vector(p)))), p);
}
long double latlong_error(PreciseLatLong p) { return error_metres(precise_vector(latlong_of(source_vector(p))), p); }
long double float_vector_error(PreciseLatLong p) {
    return error_metres(precise_vector(direction_of(float_vector_of(source_vector(p)))), p);
}

// A form's search at every point of the path, both made from the sources.
template <typename Form, typename Make, typename Search>
std::vector<int> form_winners(const BundledData& data, Make make, Search search) {
    std::vector<Form> airports;
    for (const PreciseLatLong& p : data.positions) airports.push_back(make(source_vector(p)));
    std::vector<int> winners;
    for (const PreciseLatLong& p : data.path)
        winners.push_back(search(airports.data(), static_cast<int>(airports.size()), make(source_vector(p))));
    return winners;
}

int32_t search_cell_ids(const S2CellId* airports, int count, S2CellId point) {
    return nearest_by_cell_ids(airports, count, point.ToPoint());
}

// The errors and the answers along the path, from the form's error and
// winners.
void measure(FormMeasures& form, const BundledData& data, const std::vector<PreciseLatLong>& random) {
    for (const PreciseLatLong& p : data.positions) form.on_airports.add(form.error(p));
    for (const PreciseLatLong& p : random) form.on_random.add(form.error(p));
    // From the widest margin to the closest, so the last miss is the closest.
    for (int k = data.line.count - 1; k >= 0; --k) {
        const int i = data.by_margin[k];
        if (form.winners[i] == data.truth[i].nearest)
            ++form.found;
        else
            form.closest_miss = i;
    }
}

}  // namespace

std::vector<FormMeasures> measure_forms(const BundledData& data, const std::vector<PreciseLatLong>& random) {
    // The forms of geo/stored_form.h by their names there, their searches by
    // the catalogue's; the haversine and the scalar S2Point and float searches
    // are timed by the suite alone.
    const auto code = [](Form form) { return std::string("`") + form_name(form) + "`"; };
    std::vector<FormMeasures> forms = {
        {"concise direction-cosine pair (" + code(Form::kCdcPair) + ", the program's)", "direction cosines",
         bytes_per_location(Form::kCdcPair), benchmark_name(SearchId::kCdcBrute), true, pair_error_metres,
         nearest_by_method<CdcMethod>(data.airports, data.line)},
        {"fixed-point latitude/longitude (" + code(Form::kFixedLatLong) + ", the program's, derived from the pair)",
         "fixed lat/long", bytes_per_location(Form::kFixedLatLong), benchmark_name(SearchId::kLatLongBrute), true,
         derived_fixed_error_metres, nearest_by_method<LatLongMethod>(data.airports, data.line)},
        {"s2geometry leaf cell id (" + code(Form::kS2CellId) + "), decoded by `ToPoint()`", form_name(Form::kS2CellId),
         bytes_per_location(Form::kS2CellId), benchmark_name(SearchId::kS2CellIdBrute), false, cell_id_error,
         form_winners<S2CellId>(data, cell_id_of, search_cell_ids)},
        {"s2geometry point (" + code(Form::kS2Point) + ", three doubles)", form_name(Form::kS2Point),
         bytes_per_location(Form::kS2Point), "BM_S2PointPass", false, s2_point_error,
         form_winners<S2Point>(data, s2_point_of, nearest_by_s2_points)},
        {"latitude/longitude in double radians, haversine", "haversine", 16, "BM_HaversinePass", false, latlong_error,
         form_winners<LatLong>(data, latlong_of, nearest_by_haversine)},
        {"unit vector in three floats, squared chord in float", "float vector", bytes_per_location(Form::kFloatVector),
         "BM_FloatVectorPass", false, float_vector_error,
         form_winners<FloatVector>(data, float_vector_of, nearest_by_float_vectors)},
    };
    for (FormMeasures& form : forms) measure(form, data, random);
    return forms;
}

}  // namespace spherebench
