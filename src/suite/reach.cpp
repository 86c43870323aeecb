#include "suite/reach.h"

#include <cstdio>

namespace spherebench {

std::string unreachable_reads(double seconds, double reads, double table_bytes) {
    const double least = reads * table_bytes / kReadBandwidthBound;
    if (!(seconds < least)) return {};
    char text[300];
    std::snprintf(text, sizeof text,
                  "refused: %.3g s a read of a %.0f-byte table (%.0f reads in %.3g s) is faster than one thread "
                  "reads at most, %.0f GB/s (suite/reach.h): the search timed was not over this table",
                  seconds / reads, table_bytes, reads, seconds, kReadBandwidthBound * 1e-9);
    return text;
}

}  // namespace spherebench
