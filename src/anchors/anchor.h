// The indexes people reach for when they hold many locations, set beside the
// project's own searches: nanoflann's k-d tree, Boost.Geometry's R-tree,
// s2geometry's closest-point query and FAISS's exhaustive float search. Each
// is built over the table's pairs decoded to three doubles and asked, of a
// unit vector, for the one nearest, the k nearest or every location within a
// limit, and reports the squared chord
// ((x - px)^2 + (y - py)^2) + (z - pz)^2 of each location it answers, in
// doubles. None promises the project's exact answer (its own arithmetic and
// its own tie rule): their answers are counted against the exact ones, not
// required to match. Each is compiled where its library was found
// (SPHEREBENCH_HAVE_...).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"

namespace spherebench {

// Structure is the library's own, defined in the anchor's source.
template <SearchId id, typename Structure>
class Anchor {
  public:
    using Records = const CdcPair*;
    using Query = UnitVector;

    Anchor(const CdcPair* pairs, int count);
    ~Anchor();
    Anchor(Anchor&&) noexcept;

    // {kNoWinner, kStartScore} over no points. Safe to call from several
    // threads at once, as are the two below.
    Nearest nearest(UnitVector point) const;
    // The k nearest, and every location within the squared chord `limit`,
    // as the library's own k-nearest and radius queries find them (by its
    // arithmetic, its bounds of a radius included), each with its squared
    // chord as above, ranked by that score, then index. None for k < 1 or a
    // limit below 0 (or NaN).
    std::vector<Nearest> nearest(UnitVector point, int k) const;
    std::vector<Nearest> within(UnitVector point, double limit) const;
    // All the structure holds, its copy of the points included.
    size_t bytes() const;

  private:
    std::unique_ptr<Structure> structure_;
};

struct NanoflannStructure;
struct BoostRtreeStructure;
struct S2ClosestStructure;
struct FaissStructure;
using NanoflannKdTree = Anchor<SearchId::kNanoflannKdTree, NanoflannStructure>;
using BoostRtree = Anchor<SearchId::kBoostRtree, BoostRtreeStructure>;
using S2ClosestPoint = Anchor<SearchId::kS2ClosestPoint, S2ClosestStructure>;
using FaissFlat = Anchor<SearchId::kFaissFlat, FaissStructure>;

// The anchors this build has, each compiled once in its own source.
#define SPHEREBENCH_ANCHOR_BUILT(anchor_id, structure)  \
    extern template class Anchor<anchor_id, structure>; \
    template <>                                         \
    struct SearchType<anchor_id> {                      \
        using type = Anchor<anchor_id, structure>;      \
    };
#ifdef SPHEREBENCH_HAVE_NANOFLANN
SPHEREBENCH_ANCHOR_BUILT(SearchId::kNanoflannKdTree, NanoflannStructure)
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
SPHEREBENCH_ANCHOR_BUILT(SearchId::kBoostRtree, BoostRtreeStructure)
#endif
#ifdef SPHEREBENCH_HAVE_S2
SPHEREBENCH_ANCHOR_BUILT(SearchId::kS2ClosestPoint, S2ClosestStructure)
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
SPHEREBENCH_ANCHOR_BUILT(SearchId::kFaissFlat, FaissStructure)
#endif
#undef SPHEREBENCH_ANCHOR_BUILT

}  // namespace spherebench
