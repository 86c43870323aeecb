#include "forms/form_table.h"

#include "forms/representations.h"
#include "geo/cdc_encoder.h"
#include "random/random_tables.h"

namespace spherebench {

FormTable empty_form_table(Form form, int count) {
    FormTable t;
    t.form = form;
    t.count = count;
    const size_t n = static_cast<size_t>(count);
    switch (form) {
        case Form::kCdcPair:
            t.cdc.resize(n);
            break;
        case Form::kFixedLatLong:
            t.fixed.resize(n);
            break;
        case Form::kS2CellId:
            t.cells.resize(n);
            break;
        case Form::kS2Point:
            t.xs.resize(n), t.ys.resize(n), t.zs.resize(n);
            break;
        case Form::kFloatVector:
            t.fxs.resize(n), t.fys.resize(n), t.fzs.resize(n);
            break;
    }
    return t;
}

void set_location(FormTable& t, int i, UnitVector v) {
    const size_t k = static_cast<size_t>(i);
    switch (t.form) {
        case Form::kCdcPair:
            t.cdc[k] = encode_cdc(v);
            break;
        case Form::kFixedLatLong:
            t.fixed[k] = cdc_to_fixed(encode_cdc(v));
            break;
        case Form::kS2CellId:
            t.cells[k] = cell_id_of(v);
            break;
        case Form::kS2Point:
            t.xs[k] = v.x, t.ys[k] = v.y, t.zs[k] = v.z;
            break;
        case Form::kFloatVector: {
            const FloatVector f = float_vector_of(v);
            t.fxs[k] = f.x, t.fys[k] = f.y, t.fzs[k] = f.z;
            break;
        }
    }
}

FormTable form_table_of(Form form, const std::vector<UnitVector>& directions) {
    FormTable t = empty_form_table(form, static_cast<int>(directions.size()));
    for (int i = 0; i < t.count; ++i) set_location(t, i, directions[static_cast<size_t>(i)]);
    return t;
}

FormTable make_form_table(Form form, int count, uint64_t seed) {
    FormTable t = empty_form_table(form, count);
    uint64_t state = seed;
    for (int i = 0; i < count; ++i) set_location(t, i, random_direction(state));
    return t;
}

FormView view_of(const FormTable& t) {
    return {t.form,
            t.count,
            t.cdc.data(),
            t.fixed.data(),
            t.cells.data(),
            {t.xs.data(), t.ys.data(), t.zs.data()},
            {t.fxs.data(), t.fys.data(), t.fzs.data()}};
}

FormView part_of(const FormView& v, int first, int count) {
    // Only the view's own form has arrays; the others stay null.
    const auto from = [first](const auto* p) { return p == nullptr ? p : p + first; };
    return {v.form,
            count,
            from(v.cdc),
            from(v.fixed),
            from(v.cells),
            {from(v.points.xs), from(v.points.ys), from(v.points.zs)},
            {from(v.floats.xs), from(v.floats.ys), from(v.floats.zs)}};
}

}  // namespace spherebench
