#include "pass/report.h"

#include <cmath>

namespace spherebench {

DurationParts split_duration(double seconds) {
    return {static_cast<int>(seconds * 0.0002777777777777778),
            static_cast<int>(std::fmod(seconds, 3600.0) * 0.016666666666666666), std::fmod(seconds, 60.0)};
}

std::string format_duration(double seconds) {
    const DurationParts parts = split_duration(seconds);
    return printf_string("[Duration %d:%02d:%06.3f]\n\n", parts.hours, parts.minutes, parts.seconds);
}

}  // namespace spherebench
