#include "compare/form_measures.h"

#include "bench/cdc_method.h"
#include "bench/latlong_method.h"
#include "bench/method_search.h"
#include "forms/representations.h"
#include "geo/cdc_encoder.h"

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
    std::vector<FormMeasures> forms = {
        {"concise direction-cosine pair (`CdcPair`, the program's)", "direction cosines", 8, "BM_CdcPass", true,
         pair_error_metres, nearest_by_method<CdcMethod>(data.airports, data.line)},
        {"fixed-point latitude/longitude (`FixedLatLong`, the program's, derived from the pair)", "fixed lat/long", 8,
         "BM_LatLongPass", true, derived_fixed_error_metres,
         nearest_by_method<LatLongMethod>(data.airports, data.line)},
        {"s2geometry leaf cell id (`S2CellId`), decoded by `ToPoint()`", "S2CellId", 8, "BM_S2CellIdPass", false,
         cell_id_error, form_winners<S2CellId>(data, cell_id_of, search_cell_ids)},
        {"s2geometry point (`S2Point`, three doubles)", "S2Point", 24, "BM_S2PointPass", false, s2_point_error,
         form_winners<S2Point>(data, s2_point_of, nearest_by_s2_points)},
        {"latitude/longitude in double radians, haversine", "haversine", 16, "BM_HaversinePass", false, latlong_error,
         form_winners<LatLong>(data, latlong_of, nearest_by_haversine)},
        {"unit vector in three floats, squared chord in float", "float vector", 12, "BM_FloatVectorPass", false,
         float_vector_error, form_winners<FloatVector>(data, float_vector_of, nearest_by_float_vectors)},
    };
    for (FormMeasures& form : forms) measure(form, data, random);
    return forms;
}

}  // namespace spherebench
