// An exact index over direction-cosine pairs: the pairs as stored (8 bytes)
// and their table indices (4 bytes, for the tie rule), sorted by flag case
// (a face of the cube) and, on each face, into a k-d tree by the two stored
// cosines (face_tree.h), which together take under 13 bytes a location
// (beside the kilobyte or so of the index itself).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "method/cdc_method.h"
#include "method/nearest.h"
#include "method/result_sets.h"
#include "search/face_index.h"
#include "search/saved_index.h"

namespace spherebench {

class CdcIndex : public SavedIndex<CdcIndex, SearchId::kCdcIndex> {
  public:
    using Records = const CdcPair*;
    using Query = CdcPoint;
    static constexpr ScoreOrder kOrder = CdcMethod::order;

    // The table must outlive the index only for score_at. Built on
    // `threads` threads (0: the machine's cores), the same index on any
    // number.
    CdcIndex(const CdcPair* pairs, int count, int threads = 0);

    // find_nearest<CdcMethod>'s answer, winner and score bits: every node
    // whose bound on the score (the ordered sum of the squared gaps to its
    // box in u, v and w, or the bound of the sphere over it) lies beyond the
    // results' reach is skipped, every pair whose partial sum
    // (cdc_partial_score with its leaf's bound on W, never above the score)
    // does too; the others are scored by CdcMethod::score and offered to the
    // results, which rank by score, then index. The point is
    // arrange_point's, whose two axis-Z cases of a sign have the same
    // partners (a face holds both).
    Nearest nearest(const CdcPoint& point) const;
    template <typename Results>
    void find(const CdcPoint& point, Results& results) const;
    double score_at(const CdcPoint& point, int32_t index) const { return CdcMethod::score(location(index), point); }

    int size() const { return static_cast<int>(indices_.size()); }
    // The location of table index k.
    CdcPair location(int32_t k) const;
    // The table's size() pairs, in table order, to `out`.
    void copy_table(CdcPair* out) const;

    // The index's values and arrays, in the order a saved index holds them.
    template <typename Io, typename Index>
    static void fields(Io& io, Index& index) {
        face_index_fields(io, index.index_);
        io.array(index.pairs_);
        io.array(index.indices_);
    }

  private:
    friend class SavedIndex<CdcIndex, SearchId::kCdcIndex>;
    CdcIndex() = default;
    // Why an opened index's arrays can't be searched, if they can't.
    std::optional<std::string> opened_fault(int64_t count, SavedCheck check) const;

    const CdcPair* table_ = nullptr;  // none when opened
    FaceIndex index_;                 // faces by cdc_case_group, split by (u, v)
    StoredArray<CdcPair> pairs_;      // leaf after leaf
    StoredArray<int32_t> indices_;    // each pair's index in the table
};

SPHEREBENCH_SEARCH_TYPE(kCdcIndex, CdcIndex);

}  // namespace spherebench
