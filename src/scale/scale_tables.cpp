#include "scale/scale_tables.h"

#include <fstream>
#include <sstream>

#include "forms/representations.h"
#include "geo/cdc_encoder.h"
#include "measure/random_tables.h"

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

FormTable make_form_table(Form form, int count, uint64_t seed) {
    FormTable t = empty_form_table(form, count);
    uint64_t state = seed;
    for (int i = 0; i < count; ++i) set_location(t, i, random_direction(state));
    return t;
}

long long mem_available_bytes(const std::string& meminfo) {
    std::istringstream lines(meminfo);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key, unit;
        long long value = -1;
        if (fields >> key >> value && key == "MemAvailable:") {
            fields >> unit;
            return value >= 0 && unit == "kB" ? value * 1024 : -1;
        }
    }
    return -1;
}

long long machine_mem_available() {
    std::ifstream file("/proc/meminfo");
    if (!file) return -1;
    std::ostringstream text;
    text << file.rdbuf();
    return mem_available_bytes(text.str());
}

std::string table_refusal(Form form, int count, long long available) {
    const long long needed = static_cast<long long>(count) * bytes_per_location(form);
    if (available < 0 || needed <= available) return "";
    return "refused: a table of " + std::to_string(count) + " " + form_name(form) + " locations needs " +
           std::to_string((needed + (1 << 20) - 1) >> 20) + " MiB and the machine has " +
           std::to_string(available >> 20) + " MiB available (MemAvailable)";
}

}  // namespace spherebench
