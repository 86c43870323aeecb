#include "search/cdc_index.h"

#include <algorithm>

namespace spherebench {

namespace {

// Stored cosines of pairs that are not degenerate lie within 1/sqrt(2) (the
// major component is the largest); the grid spans that much, and its outer
// cells take the rest.
constexpr double kFaceReach = 0.7072;
constexpr int kPairsPerCell = 8;

// The flag case whose partners a face's pairs meet: axes X and Y by sign,
// then axis Z by sign, whose two cases of each sign differ only in the axis
// Y bit, which axis Z does not read (their partners are the same).
constexpr unsigned kFaceCase[kGridFaces] = {0, 1, 2, 3, 4, 5};

int cdc_face(CdcPair pair) {
    const unsigned flag_case = cdc_flag_case(pair);
    return static_cast<int>(flag_case < 4 ? flag_case : 4 + (flag_case & 1u));
}

}  // namespace

CdcIndex::CdcIndex(const CdcPair* pairs, int count) {
    std::vector<FacePlace> places(count);
    for (int k = 0; k < count; ++k) {
        const CdcCosines c = decode_cosines(pairs[k]);
        places[k] = {cdc_face(pairs[k]), c.u, c.v, c.w};
    }
    // The entries take 12 bytes a pair; the grid and the record itself at
    // most one more, from a few hundred pairs on.
    const size_t grid_budget = std::max<size_t>(count, sizeof(CdcIndex)) - sizeof(CdcIndex);
    const std::vector<int32_t> order = build_face_grid(grid_, places, kFaceReach, kPairsPerCell, grid_budget);
    store_in_order(pairs, order, pairs_, indices_);
}

Nearest CdcIndex::nearest(const CdcPoint& point) const {
    Nearest nearest{kNoWinner, CdcMethod::initial_best};
    const CdcPoint::Partners* q = nullptr;  // the partners of the face searched
    const auto limit = [&] { return nearest.score; };
    const auto scan = [&](int32_t first, int32_t end) {
        for (int32_t at = first; at < end; ++at) {
            const CdcPair pair = pairs_[at];
            // cdc_partial_score, with the face's partners (those of the
            // pair's flag case).
            const double d0 = stored_cosine(pair.first) - q->a, d1 = stored_cosine(pair.second) - q->b;
            if (d0 * d0 + d1 * d1 > nearest.score) continue;
            const double score = CdcMethod::score(pair, point);
            const int32_t airport = indices_[at];
            if (score < nearest.score || (score == nearest.score && airport < nearest.airport))
                nearest = {airport, score};
        }
    };
    // The point's own face first (its partner c is its major component),
    // which finds a near airport early; then the others.
    int own = 0;
    for (int face = 1; face < kGridFaces; ++face)
        if (point.by_case[kFaceCase[face]].c > point.by_case[kFaceCase[own]].c) own = face;
    for (int step = 0; step < kGridFaces; ++step) {
        const int face = face_in_visit_order(own, step);
        q = &point.by_case[kFaceCase[face]];
        // The score sums (A + V) + W on axis Z, else (A + W) + V.
        const MajorTerm major = face >= 4 ? MajorTerm::kLast : MajorTerm::kSecond;
        search_face(grid_, {{face, q->a, q->b, q->c}, major, 0.0}, limit, scan);
    }
    return nearest;
}

size_t CdcIndex::bytes() const {
    return sizeof(CdcIndex) + face_grid_bytes(grid_) + pairs_.capacity() * sizeof(CdcPair) +
           indices_.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
