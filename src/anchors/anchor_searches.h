// The indexes people reach for when they hold many locations, set beside the
// project's own searches: nanoflann's k-d tree, Boost.Geometry's R-tree,
// s2geometry's closest-point query and FAISS's exhaustive float search, each
// built over the same locations as
// three doubles (the decoded directions) and asked for the one nearest to a
// unit vector. Each is compiled where its library was found; none promises
// the project's exact answer (its own arithmetic and its own tie rule), so
// their answers are counted against the exact ones, not required to match.
#pragma once

#include <cstddef>
#include <memory>

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"

namespace spherebench {

struct AnchorIndex;  // one anchor's structure over its own copy of the points
struct AnchorIndexDeleter {
    void operator()(AnchorIndex* index) const;
};
using AnchorIndexPtr = std::unique_ptr<AnchorIndex, AnchorIndexDeleter>;

// Whether this build has the anchor (false for a search that is no anchor).
bool anchor_built(SearchId id);

// The anchor over `count` points given by their components; null where it
// is not built.
AnchorIndexPtr build_anchor_index(SearchId id, const double* xs, const double* ys, const double* zs, int count);

// The point nearest to `point` as the anchor finds it, and its squared chord
// ((x - px)^2 + (y - py)^2) + (z - pz)^2 in doubles; {kNoWinner, kStartScore}
// over no points. Safe to call from several threads at once.
Nearest anchor_find_nearest(const AnchorIndex& index, UnitVector point);

// Bytes the structure holds, its copy of the points included.
size_t anchor_index_bytes(const AnchorIndex& index);

}  // namespace spherebench
