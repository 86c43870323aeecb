// The nearest tool's answers as CSV rows: for each fix, its nearest
// locations in a CdcIndex, one row each, "fix,rank,location,km" (rows of
// the fixes' and the locations' files, numbered from 0; rank from 1,
// nearest first; km on the 6371 km sphere between the positions as stored,
// written to the millimetre).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "search/cdc_index.h"

namespace spherebench {

struct NearestQuestion {
    std::optional<int> k;             // the most answers a fix
    std::optional<double> within_km;  // every location within (with k, the k nearest of them)
    std::optional<double> max_km;     // the nearest (or k nearest), none beyond
};

// How a question is asked of the index: the k nearest (k = 0: every one
// within the limit), those with a score beyond `limit` left out.
struct NearestAsk {
    int k;
    double limit;  // a squared chord (within_chord2), +inf for none
};
NearestAsk ask_of(const NearestQuestion& question);

inline constexpr const char* kNearestRowsHeader = "fix,rank,location,km\n";

// Appends the rows of fix number `fix` (its pair as the file gave it) to
// `out`; a fix with nothing within the limit has no row.
void append_nearest_rows(const CdcIndex& index, const NearestAsk& ask, int64_t fix, CdcPair pair, std::string& out);

}  // namespace spherebench
