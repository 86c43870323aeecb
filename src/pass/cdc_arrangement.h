// The choice, before the timed passes, of the direction-cosine pass's
// arrangement (cdc_method.h): every arrangement computes the same scores bit
// for bit, but which runs fastest depends on the processor and on the data,
// so each is timed briefly on the loaded tables and the fastest is used.
#pragma once

#include "input/tables.h"
#include "method/cdc_method.h"

namespace spherebench {

struct CdcArrangementChoice {
    CdcArrangement arrangement;
    const char* name;  // e.g. "two-slot array"
};

// The arrangement used without a trial: the fastest on the processor the
// benchmark was first timed on.
inline constexpr CdcArrangement kDefaultCdcArrangement = CdcArrangement::kTwoSlotArray;

const char* cdc_arrangement_name(CdcArrangement arrangement);

// The trial: rounds in which every arrangement searches the same few points
// in turn, each keeping its least time. Tables too small to time take the
// default. A few milliseconds at most; prints nothing.
CdcArrangementChoice choose_cdc_arrangement(const AirportTable& airports, const FlightLine& flight_line);

// Of the arrangements' least times (seconds, indexed by CdcArrangement), the
// fastest; the default unless another is faster by more than the margin the
// trial's noise allows.
CdcArrangement fastest_cdc_arrangement(const double (&least_seconds)[kCdcArrangementCount]);

// How many points of the flight line one timed search of the trial covers,
// so that it runs enough tests to time; 0 when the tables are too small.
int cdc_trial_points(int airport_count, int point_count);

}  // namespace spherebench
