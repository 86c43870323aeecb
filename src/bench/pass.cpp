#include "bench/pass.h"

#include <cmath>

std::string format_duration(double seconds) {
    // Reciprocal multiplications, not divisions: they agree with exact
    // integer division for every whole millisecond up to ten hours.
    const int hours = static_cast<int>(seconds * 0.0002777777777777778);
    const int minutes = static_cast<int>(std::fmod(seconds, 3600.0) * 0.016666666666666666);
    const double rest = std::fmod(seconds, 60.0);
    return printf_string("[Duration %d:%02d:%06.3f]\n\n", hours, minutes, rest);
}
