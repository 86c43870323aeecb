// A table of locations in one stored form, in the layout its fastest search
// reads: the 8-byte forms as arrays of records, S2Point and the float vector
// as three arrays of components. Every search of the catalogue is built from
// one and asked queries from another of the same form.
#pragma once

#include <s2/s2cell_id.h>
#include <s2/s2point.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "geo/coords.h"
#include "geo/stored_form.h"
#include "method/cdc_method.h"

namespace spherebench {

// `count` locations in one form; only that form's arrays are filled.
struct FormTable {
    Form form = Form::kCdcPair;
    int count = 0;
    std::vector<CdcPair> cdc;
    std::vector<FixedLatLong> fixed;  // derived from the pair, as the loader does
    std::vector<S2CellId> cells;
    std::vector<double> xs, ys, zs;  // S2Point components
    std::vector<float> fxs, fys, fzs;
};

// A table of `count` locations in the form, every one zero until set.
FormTable empty_form_table(Form form, int count);
// Location i of the table made from the direction v, as the loader makes a
// pair and its fixed-point angles, and as s2geometry makes its forms.
void set_location(FormTable& table, int i, UnitVector v);

// The table of the directions given, in order.
FormTable form_table_of(Form form, const std::vector<UnitVector>& directions);

// The same random directions for every form with the same seed (the suite's
// generator, so a table's first 14000 are the suite's airports and the
// first 1000 of a query table its points).
FormTable make_form_table(Form form, int count, uint64_t seed);

// A table's arrays seen from location `first` on, `count` of them: what a
// search is built over (a whole table, or one part of it).
struct FormView {
    Form form = Form::kCdcPair;
    int count = 0;
    const CdcPair* cdc = nullptr;
    const FixedLatLong* fixed = nullptr;
    const S2CellId* cells = nullptr;
    ComponentArrays<double> points{};
    ComponentArrays<float> floats{};
};

FormView view_of(const FormTable& table);
// Locations [first, first + count) of the view.
FormView part_of(const FormView& view, int first, int count);

// What a search of each Records type is built from, out of a view of its form.
inline const CdcPair* records_of(const FormView& v, std::type_identity<const CdcPair*>) { return v.cdc; }
inline const FixedLatLong* records_of(const FormView& v, std::type_identity<const FixedLatLong*>) { return v.fixed; }
inline const S2CellId* records_of(const FormView& v, std::type_identity<const S2CellId*>) { return v.cells; }
inline ComponentArrays<double> records_of(const FormView& v, std::type_identity<ComponentArrays<double>>) {
    return v.points;
}
inline ComponentArrays<float> records_of(const FormView& v, std::type_identity<ComponentArrays<float>>) {
    return v.floats;
}

// Query q of a table, as a search of each Query type is asked it: the pair
// decoded and arranged as the program prepares a point, the fixed-point
// angles in radians, and so on; a unit vector from the pair decoded, or from
// the components of an S2Point table.
inline CdcPair query_of(const FormTable& t, int q, std::type_identity<CdcPair>) { return t.cdc[q]; }
inline CdcPoint query_of(const FormTable& t, int q, std::type_identity<CdcPoint>) {
    return arrange_point(decode_cdc(t.cdc[q]));
}
inline FixedLatLong query_of(const FormTable& t, int q, std::type_identity<FixedLatLong>) { return t.fixed[q]; }
inline LatLong query_of(const FormTable& t, int q, std::type_identity<LatLong>) { return from_fixed(t.fixed[q]); }
inline S2Point query_of(const FormTable& t, int q, std::type_identity<S2Point>) { return t.cells[q].ToPoint(); }
inline FloatVector query_of(const FormTable& t, int q, std::type_identity<FloatVector>) {
    return {t.fxs[q], t.fys[q], t.fzs[q]};
}
inline UnitVector query_of(const FormTable& t, int q, std::type_identity<UnitVector>) {
    if (t.form == Form::kCdcPair) return decode_cdc(t.cdc[q]);
    return {t.xs[q], t.ys[q], t.zs[q]};
}

}  // namespace spherebench
