// A table of locations in one stored form, in the layout its fastest search
// reads: the 8-byte forms as arrays of records, S2Point and the float vector
// as three arrays of components. Every search of the catalogue is built from
// one and asked queries from another of the same form.
#pragma once

#include <s2/s2cell_id.h>

#include <cstdint>
#include <vector>

#include "geo/coords.h"
#include "geo/stored_form.h"

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

}  // namespace spherebench
