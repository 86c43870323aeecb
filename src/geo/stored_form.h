// The stored forms of a location that the project searches, by name and by
// the bytes one location takes: the program's own two (the pair and the
// fixed-point latitude/longitude) and the three set beside them (s2geometry's
// leaf cell id and point, and a unit vector in three floats).
#pragma once

#include "base/enum_names.h"

namespace spherebench {

enum class Form { kCdcPair, kFixedLatLong, kS2CellId, kS2Point, kFloatVector };
inline constexpr Form kForms[] = {Form::kCdcPair, Form::kFixedLatLong, Form::kS2CellId, Form::kS2Point,
                                  Form::kFloatVector};

// Bytes one location takes in the form, as stored.
constexpr int bytes_per_location(Form form) {
    switch (form) {
        case Form::kS2Point:
            return 3 * 8;
        case Form::kFloatVector:
            return 3 * 4;
        default:
            return 8;
    }
}

// The form's name, by its place in Form.
inline constexpr const char* kFormNames[] = {"CdcPair", "FixedLatLong", "S2CellId", "S2Point", "FloatVector"};
static_assert(sizeof(kFormNames) / sizeof(kFormNames[0]) == sizeof(kForms) / sizeof(kForms[0]));

constexpr const char* form_name(Form form) { return name_in(kFormNames, form); }

// Whether the program itself stores and searches the form (its two passes).
constexpr bool programs_own(Form form) { return form == Form::kCdcPair || form == Form::kFixedLatLong; }

}  // namespace spherebench
