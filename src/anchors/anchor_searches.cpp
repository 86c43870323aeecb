#include "anchors/anchor_searches.h"

#include "anchors/anchor_parts.h"

namespace spherebench {

// One of the structures of anchor_parts.h, by the anchor's id.
struct AnchorIndex {
    SearchId id;
    void* part;
};

namespace {

// call(structure) with the index's structure as its own type; `none` where
// this build lacks the anchor.
template <typename Call, typename Result>
Result with_anchor(const AnchorIndex& index, Call call, Result none) {
    switch (index.id) {
#ifdef SPHEREBENCH_HAVE_NANOFLANN
        case SearchId::kNanoflannKdTree:
            return call(static_cast<NanoflannAnchor*>(index.part));
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
        case SearchId::kBoostRtree:
            return call(static_cast<BoostRtreeAnchor*>(index.part));
#endif
#ifdef SPHEREBENCH_HAVE_S2
        case SearchId::kS2ClosestPoint:
            return call(static_cast<S2ClosestAnchor*>(index.part));
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
        case SearchId::kFaissFlat:
            return call(static_cast<FaissAnchor*>(index.part));
#endif
        default:
            return none;
    }
}

// The structure built over the points, or null where this build lacks it.
void* build_part(SearchId id, const double* xs, const double* ys, const double* zs, int count) {
    switch (id) {
#ifdef SPHEREBENCH_HAVE_NANOFLANN
        case SearchId::kNanoflannKdTree:
            return build_nanoflann_anchor(xs, ys, zs, count);
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
        case SearchId::kBoostRtree:
            return build_boost_rtree_anchor(xs, ys, zs, count);
#endif
#ifdef SPHEREBENCH_HAVE_S2
        case SearchId::kS2ClosestPoint:
            return build_s2_closest_anchor(xs, ys, zs, count);
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
        case SearchId::kFaissFlat:
            return build_faiss_anchor(xs, ys, zs, count);
#endif
        default:
            return nullptr;
    }
}

}  // namespace

void AnchorIndexDeleter::operator()(AnchorIndex* index) const {
    with_anchor(
        *index,
        [](auto* part) {
            free_anchor(part);
            return true;
        },
        false);
    delete index;
}

bool anchor_built(SearchId id) {
    return with_anchor(
        AnchorIndex{id, nullptr}, [](auto*) { return true; }, false);
}

AnchorIndexPtr build_anchor_index(SearchId id, const double* xs, const double* ys, const double* zs, int count) {
    if (!anchor_built(id)) return nullptr;
    return AnchorIndexPtr(new AnchorIndex{id, build_part(id, xs, ys, zs, count)});
}

Nearest anchor_find_nearest(const AnchorIndex& index, UnitVector point) {
    return with_anchor(
        index, [&](auto* part) { return anchor_nearest(*part, point); }, Nearest{kNoWinner, kStartScore});
}

size_t anchor_index_bytes(const AnchorIndex& index) {
    return with_anchor(
        index, [](auto* part) { return anchor_bytes(*part); }, size_t{0});
}

}  // namespace spherebench
