// The indexes people reach for when they hold many locations, set beside the
// project's own searches: nanoflann's k-d tree, Boost.Geometry's R-tree,
// s2geometry's closest-point query and FAISS's exhaustive float search. Each
// is built over the table's pairs decoded to three doubles and asked for the
// one nearest to a unit vector, and reports the squared chord
// ((x - px)^2 + (y - py)^2) + (z - pz)^2 of its answer in doubles. None
// promises the project's exact answer (its own arithmetic and its own tie
// rule): their answers are counted against the exact ones, not required to
// match. Each is compiled where its library was found (SPHEREBENCH_HAVE_...).
#pragma once

#include <cstddef>
#include <memory>

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"

namespace spherebench {

template <SearchId id>
class Anchor {
  public:
    using Records = const CdcPair*;
    using Query = UnitVector;

    Anchor(const CdcPair* pairs, int count);
    ~Anchor();
    Anchor(Anchor&&) noexcept;

    // {kNoWinner, kStartScore} over no points. Safe to call from several
    // threads at once.
    Nearest nearest(UnitVector point) const;
    // All the structure holds, its copy of the points included.
    size_t bytes() const;

  private:
    struct Structure;  // the library's own, in the anchor's source
    std::unique_ptr<Structure> structure_;
};

using NanoflannKdTree = Anchor<SearchId::kNanoflannKdTree>;
using BoostRtree = Anchor<SearchId::kBoostRtree>;
using S2ClosestPoint = Anchor<SearchId::kS2ClosestPoint>;
using FaissFlat = Anchor<SearchId::kFaissFlat>;

// The anchors this build has, each compiled once in its own source.
#define SPHEREBENCH_ANCHOR_BUILT(anchor_id, anchor_type) \
    extern template class Anchor<anchor_id>;             \
    template <>                                          \
    struct SearchType<anchor_id> {                       \
        using type = anchor_type;                        \
    };
#ifdef SPHEREBENCH_HAVE_NANOFLANN
SPHEREBENCH_ANCHOR_BUILT(SearchId::kNanoflannKdTree, NanoflannKdTree)
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
SPHEREBENCH_ANCHOR_BUILT(SearchId::kBoostRtree, BoostRtree)
#endif
#ifdef SPHEREBENCH_HAVE_S2
SPHEREBENCH_ANCHOR_BUILT(SearchId::kS2ClosestPoint, S2ClosestPoint)
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
SPHEREBENCH_ANCHOR_BUILT(SearchId::kFaissFlat, FaissFlat)
#endif
#undef SPHEREBENCH_ANCHOR_BUILT

}  // namespace spherebench
