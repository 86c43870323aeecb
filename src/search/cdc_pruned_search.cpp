#include "search/cdc_pruned_search.h"

namespace spherebench {

Nearest cdc_pruned_find_nearest(const CdcPair* airports, int count, const CdcPoint& point) {
    Nearest nearest{kNoWinner, CdcMethod::initial_best};
    for (int j = 0; j < count; ++j) {
        if (cdc_partial_score(airports[j], point) >= nearest.score) continue;
        const double score = CdcMethod::score(airports[j], point);
        if (CdcMethod::beats(score, nearest.score)) nearest = {j, score};
    }
    return nearest;
}

}  // namespace spherebench
