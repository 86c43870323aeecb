// The six stored forms of a location side by side, the program's two and the
// four of forms/representations.h, measured as representations-report
// reports them: each form's position error on the bundled airports and on the
// random positions, and its search's answers along the bundled path.
#pragma once

#include <string>
#include <vector>

#include "measure/bundled_measures.h"

namespace spherebench {

struct FormMeasures {
    std::string name;                             // in the table
    std::string label;                            // in the plot and the sentences
    int bytes;                                    // per stored location
    std::string benchmark;                        // the suite's benchmark family that times its search
    bool programs_own;                            // the program's pair and fixed point
    long double (*error)(PreciseLatLong source);  // metres between the form and its source
    std::vector<int> winners;                     // per point of the path
    ErrorSummary on_airports = {}, on_random = {};
    int found = 0;          // points where the search finds the true nearest airport
    int closest_miss = -1;  // the missed point with the closest true call, -1 if none

    long double worst() const { return on_airports.worst > on_random.worst ? on_airports.worst : on_random.worst; }
};

// The six forms, the program's two first and the floats, the coarsest, last;
// measured on the data and on `random` (random_positions()).
std::vector<FormMeasures> measure_forms(const BundledData& data, const std::vector<PreciseLatLong>& random);

}  // namespace spherebench
