#include "search/cdc_index.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "search/face_index.h"
#include "search/sphere_bound.h"
#include "search/walk_counts.h"

namespace spherebench {

namespace {

// Stored cosines of pairs that are not degenerate lie within 1/sqrt(2) (the
// major component is the largest); the grid spans that much, and its outer
// cells take the rest.
constexpr double kFaceReach = 0.7072;
constexpr int kPairsPerCell = 8;
constexpr int kPairsPerLeaf = 16;

// The flag case whose partners a face's pairs meet: axes X and Y by sign,
// then axis Z by sign, whose two cases of each sign differ only in the axis
// Y bit, which axis Z does not read (their partners are the same).
constexpr unsigned kFaceCase[kFaces] = {0, 1, 2, 3, 4, 5};

int cdc_face(CdcPair pair) {
    const unsigned flag_case = cdc_flag_case(pair);
    return static_cast<int>(flag_case < 4 ? flag_case : 4 + (flag_case & 1u));
}

}  // namespace

CdcIndex::CdcIndex(const CdcPair* pairs, int count, int threads) : table_(pairs) {
    const PlaceSource places{count, [pairs](int first, int end, FacePlace* out) {
                                 for (int k = first; k < end; ++k) {
                                     const CdcCosines c = decode_cosines(pairs[k]);
                                     *out++ = {cdc_face(pairs[k]), c.u, c.v, c.w};
                                 }
                             }};
    // The entries take 12 bytes a pair; the grid or the tree at most one
    // more (beside the index's own kilobyte or so).
    const size_t budget = count;
    const FaceIndexShape shape{kFaceReach, kPairsPerCell, kPairsPerLeaf, budget, 0.0};
    // Pairs of one face at one place (their two cosines) decode and score
    // alike.
    std::vector<int32_t> order = build_face_index(
        index_, places, shape, [](int32_t, int32_t) { return true; }, threads);
    store_in_order(pairs, std::move(order), pairs_, indices_, threads);
}

Nearest CdcIndex::nearest(const CdcPoint& point) const {
    NearestOne results(kOrder, CdcMethod::initial_best);
    find(point, results);
    return results.take();
}

template <typename Results>
void CdcIndex::find(const CdcPoint& point, Results& results) const {
    // The partners a face's pairs meet, and where its score sums W: (A + V)
    // + W on axis Z, else (A + W) + V.
    const auto partners = [&](int face) -> const CdcPoint::Partners& { return point.by_case[kFaceCase[face]]; };
    const auto major_of = [](int face) { return face >= 4 ? MajorTerm::kLast : MajorTerm::kSecond; };
    const auto place_of = [&](int face) {
        const CdcPoint::Partners& q = partners(face);
        return FaceQuery{{face, q.a, q.b, q.c}, major_of(face)};
    };
    // The pairs' w is never negative, on every face.
    const auto ask_of = [](const FaceQuery& query) {
        const FacePlace& q = query.place;
        return FaceAsk{sphere_query(q.a, q.b, q.major), near_unit(q.a, q.b, q.major)};
    };
    const auto limit = [&] { return results.reach(); };
    // The pairs of one face, its partners q and where its score sums W as
    // a constant, so that the loop holds no choice.
    const auto scan_with = [&]<MajorTerm kMajor>(const CdcPoint::Partners& q, int32_t first, int32_t end,
                                                 double major_gap) {
        for (int32_t at = first; at < end; ++at) {
            SPHEREBENCH_COUNT(entries);
            const CdcPair pair = pairs_[at];
            const double u = stored_cosine(pair.first), v = stored_cosine(pair.second);
            const double d0 = u - q.a, d1 = v - q.b;
            const double a = d0 * d0, b = d1 * d1;
            if (ordered_bound(a, b, major_gap, kMajor) > results.reach()) continue;
            SPHEREBENCH_COUNT(scored);
            const double s = (1.0 - u * u) - v * v;
            const double d2 = (s >= kSmallestRootArgument ? std::sqrt(s) : 0.0) - q.c;
            results.add(indices_[at], ordered_bound(a, b, d2 * d2, kMajor));
        }
    };
    // cdc_partial_score, with the face's partners (those of the pair's flag
    // case), and the group's bound on W in its place in the sum: never above
    // the pair's score (rounding is monotone). The score itself from the
    // same two differences: CdcMethod::score's operations on the partners
    // of the pair's case.
    const auto scan = [&](int face, int32_t first, int32_t end, double major_low, double major_high) {
        const CdcPoint::Partners& q = partners(face);
        const double major_gap = squared_gap(major_low, major_high, q.c);
        if (major_of(face) == MajorTerm::kLast)
            scan_with.template operator()<MajorTerm::kLast>(q, first, end, major_gap);
        else
            scan_with.template operator()<MajorTerm::kSecond>(q, first, end, major_gap);
    };
    search_faces(index_, place_of, ask_of, kScansEveryCopy<Results>, limit, scan);
}

template void CdcIndex::find(const CdcPoint&, NearestOne&) const;
template void CdcIndex::find(const CdcPoint&, CountingNearest&) const;
template void CdcIndex::find(const CdcPoint&, NearestK&) const;
template void CdcIndex::find(const CdcPoint&, WithinLimit&) const;

CdcPair CdcIndex::location(int32_t k) const {
    if (table_) return table_[k];
    return pairs_[std::find(indices_.begin(), indices_.end(), k) - indices_.begin()];
}

void CdcIndex::copy_table(CdcPair* out) const {
    // An index opened with SavedCheck::kHeader may hold any indices: none
    // leads outside `out`.
    for (size_t at = 0; at < indices_.size(); ++at)
        if (indices_[at] >= 0 && indices_[at] < size()) out[indices_[at]] = pairs_[at];
}

std::optional<std::string> CdcIndex::opened_fault(int64_t count, SavedCheck check) const {
    return saved_fault(index_, {pairs_.size()}, indices_, count, check);
}

}  // namespace spherebench
