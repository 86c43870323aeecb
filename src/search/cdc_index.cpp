#include "search/cdc_index.h"

#include <algorithm>

#include "search/face_tree_search.h"
#include "search/sphere_bound.h"

namespace spherebench {

namespace {

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

CdcIndex build_cdc_index(const CdcPair* pairs, int count) {
    std::vector<FacePlace> places(count);
    for (int k = 0; k < count; ++k) {
        const CdcCosines c = decode_cosines(pairs[k]);
        places[k] = {cdc_face(pairs[k]), c.u, c.v, c.w};
    }
    CdcIndex index;
    // The entries take 12 bytes a pair; the tree and the record itself at
    // most one more, from a few hundred pairs on.
    const size_t tree_budget = std::max<size_t>(count, sizeof(CdcIndex)) - sizeof(CdcIndex);
    const int leaf_size = leaf_size_within(places, kPairsPerLeaf, sizeof(NodeBox), tree_budget);
    // Pairs of one face at one place (their two cosines) decode and score
    // alike.
    const std::vector<int32_t> order =
        build_face_tree(index.tree, places, leaf_size, [](int32_t, int32_t) { return true; });
    store_in_order(pairs, order, index.pairs, index.indices);
    return index;
}

Nearest cdc_index_find_nearest(const CdcIndex& index, const CdcPoint& point) {
    Nearest nearest{kNoWinner, CdcMethod::initial_best};
    const CdcPoint::Partners* q = nullptr;  // the partners of the face searched
    MajorTerm major = MajorTerm::kLast;     // where the face's score sums W
    const auto limit = [&] { return nearest.score; };
    const auto scan = [&](const FaceNodes& nodes, uint32_t leaf) {
        // cdc_partial_score, with the face's partners (those of the pair's
        // flag case), and the leaf's bound on W in its place in the sum:
        // never above the pair's score (rounding is monotone).
        const BoxBounds box = nodes.bounds(leaf);
        const double major_gap = squared_gap(box.major_low, box.major_high, q->c);
        const EntryRange members = nodes.scanned(leaf);
        for (int32_t at = members.first; at < members.end; ++at) {
            const CdcPair pair = index.pairs[at];
            const double d0 = stored_cosine(pair.first) - q->a, d1 = stored_cosine(pair.second) - q->b;
            if (ordered_bound(d0 * d0, d1 * d1, major_gap, major) > nearest.score) continue;
            const double score = CdcMethod::score(pair, point);
            const int32_t airport = index.indices[at];
            if (score < nearest.score || (score == nearest.score && airport < nearest.airport))
                nearest = {airport, score};
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
        const bool on_sphere = index.tree.faces[face].on_sphere && near_unit(q->a, q->b, q->c);
        const auto bound_of = [&](const FaceNodes& nodes, uint32_t node) {
            return node_bound(nodes, node, query, sphere, on_sphere, nearest.score);
        };
        search_face_tree(index.tree, face, q->a, q->b, bound_of, limit, scan);
    }
    return nearest;
}

size_t cdc_index_bytes(const CdcIndex& index) {
    return sizeof(CdcIndex) + face_tree_bytes(index.tree) + index.pairs.capacity() * sizeof(CdcPair) +
           index.indices.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
