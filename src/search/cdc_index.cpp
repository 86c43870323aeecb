#include "search/cdc_index.h"

#include <algorithm>

#include "search/face_index.h"
#include "search/sphere_bound.h"

namespace spherebench {

namespace {

// Stored cosines of pairs that are not degenerate lie within 1/sqrt(2) (the
// major component is the largest); the grid spans that much, and its outer
// cells take the rest.
constexpr double kFaceReach = 0.7072;
constexpr int kPairsPerCell = 8;
constexpr int kPairsPerLeaf = 32;

// The flag case whose partners a face's pairs meet: axes X and Y by sign,
// then axis Z by sign, whose two cases of each sign differ only in the axis
// Y bit, which axis Z does not read (their partners are the same).
constexpr unsigned kFaceCase[kFaces] = {0, 1, 2, 3, 4, 5};

int cdc_face(CdcPair pair) {
    const unsigned flag_case = cdc_flag_case(pair);
    return static_cast<int>(flag_case < 4 ? flag_case : 4 + (flag_case & 1u));
}

}  // namespace

CdcIndex::CdcIndex(const CdcPair* pairs, int count) : table_(pairs) {
    std::vector<FacePlace> places(count);
    for (int k = 0; k < count; ++k) {
        const CdcCosines c = decode_cosines(pairs[k]);
        places[k] = {cdc_face(pairs[k]), c.u, c.v, c.w};
    }
    // The entries take 12 bytes a pair; the grid or the tree and the record
    // itself at most one more, from a few hundred pairs on.
    const size_t budget = std::max<size_t>(count, sizeof(CdcIndex)) - sizeof(CdcIndex);
    const FaceIndexShape shape{kFaceReach, kPairsPerCell, kPairsPerLeaf, budget, 0.0};
    // Pairs of one face at one place (their two cosines) decode and score
    // alike.
    const std::vector<int32_t> order = build_face_index(index_, places, shape, [](int32_t, int32_t) { return true; });
    store_in_order(pairs, order, pairs_, indices_);
}

Nearest CdcIndex::nearest(const CdcPoint& point) const {
    NearestOne results(kOrder, CdcMethod::initial_best);
    find(point, results);
    return results.take();
}

template <typename Results>
void CdcIndex::find(const CdcPoint& point, Results& results) const {
    const CdcPoint::Partners* q = nullptr;  // the partners of the face searched
    MajorTerm major = MajorTerm::kLast;     // where the face's score sums W
    const auto limit = [&] { return results.reach(); };
    const auto scan = [&](int32_t first, int32_t end, double major_low, double major_high) {
        // cdc_partial_score, with the face's partners (those of the pair's
        // flag case), and the group's bound on W in its place in the sum:
        // never above the pair's score (rounding is monotone).
        const double major_gap = squared_gap(major_low, major_high, q->c);
        for (int32_t at = first; at < end; ++at) {
            const CdcPair pair = pairs_[at];
            const double d0 = stored_cosine(pair.first) - q->a, d1 = stored_cosine(pair.second) - q->b;
            if (ordered_bound(d0 * d0, d1 * d1, major_gap, major) > results.reach()) continue;
            results.add(indices_[at], CdcMethod::score(pair, point));
        }
    };
    // The point's own face first (its partner c is its major component),
    // which finds a near airport early; then the others.
    int own = 0;
    for (int face = 1; face < kFaces; ++face)
        if (point.by_case[kFaceCase[face]].c > point.by_case[kFaceCase[own]].c) own = face;
    for (int step = 0; step < kFaces; ++step) {
        const int face = face_in_visit_order(own, step);
        q = &point.by_case[kFaceCase[face]];
        // The score sums (A + V) + W on axis Z, else (A + W) + V.
        major = face >= 4 ? MajorTerm::kLast : MajorTerm::kSecond;
        const FaceQuery query{{face, q->a, q->b, q->c}, major};
        // The pairs' w is never negative, on every face.
        const SphereQuery sphere = sphere_query(q->a, q->b, q->c);
        search_face_index(index_, query, sphere, near_unit(q->a, q->b, q->c), kScansEveryCopy<Results>, limit, scan);
    }
}

template void CdcIndex::find(const CdcPoint&, NearestOne&) const;
template void CdcIndex::find(const CdcPoint&, NearestK&) const;
template void CdcIndex::find(const CdcPoint&, WithinLimit&) const;

size_t CdcIndex::bytes() const {
    return sizeof(CdcIndex) + face_index_bytes(index_) + pairs_.capacity() * sizeof(CdcPair) +
           indices_.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
