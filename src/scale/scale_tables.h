// Tables of random locations far larger than the suite's 14000 airports, each
// stored form in the layout its fastest search reads: the 8-byte forms as
// arrays of records, S2Point and the float vector as three arrays of
// components. Built on demand, one form at a time, since the largest (2^24
// S2Points) takes 384 MiB.
#pragma once

#include <s2/s2cell_id.h>

#include <cstdint>
#include <string>
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

// The same random directions for every form with the same seed (the suite's
// generator, so a table's first 14000 are the suite's airports and the
// first 1000 of a query table its points).
FormTable make_form_table(Form form, int count, uint64_t seed);

// MemAvailable of a /proc/meminfo text, in bytes; -1 when it has none.
long long mem_available_bytes(const std::string& meminfo);
// The machine's, read now; -1 when it cannot be read.
long long machine_mem_available();

}  // namespace spherebench
