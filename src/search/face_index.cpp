#include "search/face_index.h"

namespace spherebench {

namespace {

// A cell is crowded past kCrowded times the mean of all cells; the grid is
// kept while at most 1/kCrowdedShare of the places lie in such cells. On an
// even spread over the sphere a cell holds up to about twice the mean (the
// face's corners are denser), and a crowded cell is all but impossible.
constexpr int64_t kCrowded = 8;
constexpr int64_t kCrowdedShare = 8;

}  // namespace

bool spread_evenly(const FaceGrid& grid) {
    const size_t cells = grid.begin.size() - 1;
    const int64_t count = grid.begin[cells];
    int64_t crowded = 0;
    for (size_t c = 0; c < cells; ++c) {
        const int64_t members = grid.begin[c + 1] - grid.begin[c];
        // members > kCrowded * count / cells, without rounding
        if (members * static_cast<int64_t>(cells) > kCrowded * count) crowded += members;
    }
    return crowded * kCrowdedShare <= count;
}

}  // namespace spherebench
