// Figures no search can reach: a search that reads every location of its
// table for each query cannot answer a query faster than one thread reads the
// table once. The bound is above what one core reads from any of its caches
// (two 64-byte loads a cycle at 5 GHz are 640 GB/s) and ten times what the
// suite's fastest scans read (about 100 GB/s: CdcPrunedVector over 2^16
// locations, S2PointBruteVector over 2^10, on an AVX-512 core), so a figure
// beyond it is a fault of the benchmark (a search of another, smaller table
// timed), not a fast search.
#pragma once

#include <string>

namespace spherebench {

// Bytes one thread reads a second, at most, from memory or any cache.
inline constexpr double kReadBandwidthBound = 1e12;

// Empty where `seconds` is enough time for one thread to read a table of
// `table_bytes` `reads` times at the bound; else the message that refuses
// the figure.
std::string unreachable_reads(double seconds, double reads, double table_bytes);

}  // namespace spherebench
