#include "anchors/anchor_searches.h"

#include "anchors/anchor_parts.h"

namespace spherebench {

// One of the parts of anchor_parts.h, by the anchor's id.
struct AnchorIndex {
    SearchId id;
    void* part;
};

namespace {

#ifdef SPHEREBENCH_HAVE_NANOFLANN
const NanoflannAnchor& nanoflann(const AnchorIndex& index) { return *static_cast<NanoflannAnchor*>(index.part); }
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
const BoostRtreeAnchor& rtree(const AnchorIndex& index) { return *static_cast<BoostRtreeAnchor*>(index.part); }
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
const FaissAnchor& faiss(const AnchorIndex& index) { return *static_cast<FaissAnchor*>(index.part); }
#endif
#ifdef SPHEREBENCH_HAVE_S2
const S2ClosestAnchor& s2(const AnchorIndex& index) { return *static_cast<S2ClosestAnchor*>(index.part); }
#endif

}  // namespace

void AnchorIndexDeleter::operator()(AnchorIndex* index) const {
    switch (index->id) {
#ifdef SPHEREBENCH_HAVE_NANOFLANN
        case SearchId::kNanoflannKdTree:
            free_nanoflann_anchor(static_cast<NanoflannAnchor*>(index->part));
            break;
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
        case SearchId::kBoostRtree:
            free_boost_rtree_anchor(static_cast<BoostRtreeAnchor*>(index->part));
            break;
#endif
#ifdef SPHEREBENCH_HAVE_S2
        case SearchId::kS2ClosestPoint:
            free_s2_closest_anchor(static_cast<S2ClosestAnchor*>(index->part));
            break;
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
        case SearchId::kFaissFlat:
            free_faiss_anchor(static_cast<FaissAnchor*>(index->part));
            break;
#endif
        default:
            break;
    }
    delete index;
}

bool anchor_built(SearchId id) {
    switch (id) {
#ifdef SPHEREBENCH_HAVE_NANOFLANN
        case SearchId::kNanoflannKdTree:
            return true;
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
        case SearchId::kBoostRtree:
            return true;
#endif
#ifdef SPHEREBENCH_HAVE_S2
        case SearchId::kS2ClosestPoint:
            return true;
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
        case SearchId::kFaissFlat:
            return true;
#endif
        default:
            return false;
    }
}

AnchorIndexPtr build_anchor_index(SearchId id, const double* xs, const double* ys, const double* zs, int count) {
    void* part = nullptr;
    switch (id) {
#ifdef SPHEREBENCH_HAVE_NANOFLANN
        case SearchId::kNanoflannKdTree:
            part = build_nanoflann_anchor(xs, ys, zs, count);
            break;
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
        case SearchId::kBoostRtree:
            part = build_boost_rtree_anchor(xs, ys, zs, count);
            break;
#endif
#ifdef SPHEREBENCH_HAVE_S2
        case SearchId::kS2ClosestPoint:
            part = build_s2_closest_anchor(xs, ys, zs, count);
            break;
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
        case SearchId::kFaissFlat:
            part = build_faiss_anchor(xs, ys, zs, count);
            break;
#endif
        default:
            return nullptr;
    }
    return AnchorIndexPtr(new AnchorIndex{id, part});
}

Nearest anchor_find_nearest(const AnchorIndex& index, UnitVector point) {
    switch (index.id) {
#ifdef SPHEREBENCH_HAVE_NANOFLANN
        case SearchId::kNanoflannKdTree:
            return nanoflann_anchor_nearest(nanoflann(index), point);
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
        case SearchId::kBoostRtree:
            return boost_rtree_anchor_nearest(rtree(index), point);
#endif
#ifdef SPHEREBENCH_HAVE_S2
        case SearchId::kS2ClosestPoint:
            return s2_closest_anchor_nearest(s2(index), point);
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
        case SearchId::kFaissFlat:
            return faiss_anchor_nearest(faiss(index), point);
#endif
        default:
            return {kNoWinner, kStartScore};
    }
}

size_t anchor_index_bytes(const AnchorIndex& index) {
    switch (index.id) {
#ifdef SPHEREBENCH_HAVE_NANOFLANN
        case SearchId::kNanoflannKdTree:
            return nanoflann_anchor_bytes(nanoflann(index));
#endif
#ifdef SPHEREBENCH_HAVE_BOOST_GEOMETRY
        case SearchId::kBoostRtree:
            return boost_rtree_anchor_bytes(rtree(index));
#endif
#ifdef SPHEREBENCH_HAVE_S2
        case SearchId::kS2ClosestPoint:
            return s2_closest_anchor_bytes(s2(index));
#endif
#ifdef SPHEREBENCH_HAVE_FAISS
        case SearchId::kFaissFlat:
            return faiss_anchor_bytes(faiss(index));
#endif
        default:
            return 0;
    }
}

}  // namespace spherebench
