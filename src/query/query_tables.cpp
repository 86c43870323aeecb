#include "query/query_tables.h"

#include <vector>

namespace spherebench {

FormTable make_kind_table(Form form, TableKind kind, int count, uint64_t seed) {
    if (kind == TableKind::kUniform) return make_form_table(form, count, seed);
    return form_table_of(form, table_directions(kind, count, seed));
}

FormTable make_query_table(Form form, QueryKind kind, int count, TableKind table, uint64_t table_seed) {
    switch (kind) {
        case QueryKind::kPath:
            return form_table_of(form, flight_path_directions(count));
        case QueryKind::kUniform:
            return make_form_table(form, count, kFlightLineSeed);
        case QueryKind::kNear:
            break;
    }
    return form_table_of(form, near_query_directions(table, count, table_seed));
}

}  // namespace spherebench
