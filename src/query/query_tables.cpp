#include "query/query_tables.h"

#include <vector>

#include "geo/cdc_encoder.h"
#include "geo/great_circle.h"
#include "random/random_tables.h"

namespace spherebench {

FormTable make_query_table(Form form, QueryKind kind, int count) {
    FormTable t = empty_form_table(form, count);
    if (kind == QueryKind::kPath) {
        const UnitVector bombay = vector_from_degrees(19.0886993408, 72.8678970337);
        const UnitVector los_angeles = vector_from_degrees(33.942501, -118.407997);
        const std::vector<UnitVector> points = great_circle_points(bombay, los_angeles, count);
        for (int i = 0; i < count; ++i) set_location(t, i, points[static_cast<size_t>(i)]);
    } else {
        uint64_t state = kFlightLineSeed;
        for (int i = 0; i < count; ++i) set_location(t, i, random_direction(state));
    }
    return t;
}

}  // namespace spherebench
