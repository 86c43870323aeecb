#include "search/cdc_pruned_search.h"

namespace spherebench {

Nearest CdcPruned::nearest(const CdcPoint& point) const {
    const CdcPair* locations = records_;
    const int count = count_;
    Nearest nearest{kNoWinner, CdcMethod::initial_best};
    for (int j = 0; j < count; ++j) {
        if (cdc_partial_score(locations[j], point) >= nearest.score) continue;
        const double score = CdcMethod::score(locations[j], point);
        if (CdcMethod::beats(score, nearest.score)) nearest = {j, score};
    }
    return nearest;
}

}  // namespace spherebench
