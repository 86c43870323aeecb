// An enumerator's name, from a table of names in the enumeration's order:
// the one way the code names its enumerations.
#pragma once

#include <cstddef>

namespace spherebench {

template <typename Enum, size_t count>
constexpr const char* name_in(const char* const (&names)[count], Enum value) {
    return names[static_cast<size_t>(value)];
}

}  // namespace spherebench
