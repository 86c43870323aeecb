// An exact index over unit vectors held as three doubles, as s2geometry's
// S2Point holds them: sorted by face (the largest component and its sign)
// and, on each face, into a k-d tree by the other two components, each node
// bounding all three (face_tree.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"
#include "method/result_sets.h"
#include "search/face_index.h"
#include "search/saved_index.h"

namespace spherebench {

class S2PointIndex : public SavedIndex<S2PointIndex, SearchId::kS2PointIndex> {
  public:
    using Records = ComponentArrays<double>;
    using Query = UnitVector;
    static constexpr ScoreOrder kOrder = ScoreOrder::kSmallerNearer;

    // The table must outlive the index only for score_at.
    S2PointIndex(ComponentArrays<double> points, int count);

    // The smallest squared chord ((ax - px)^2 + (ay - py)^2) + (az - pz)^2,
    // each operation rounded as written, and its index, the lowest among
    // equal scores; {kNoWinner, infinity} when the table is empty:
    // S2PointBruteVector's answer, bit for bit. A node is skipped when its
    // bound on the score, the same ordered sum of the squared gaps to its box
    // in each component, or the bound of the sphere over the box
    // (sphere_bound.h), lies beyond the results' reach.
    Nearest nearest(UnitVector point) const;
    template <typename Results>
    void find(UnitVector point, Results& results) const;
    double score_at(UnitVector point, int32_t index) const;

    int size() const { return static_cast<int>(indices_.size()); }
    // The vector of table index k.
    UnitVector location(int32_t k) const;

    // The index's values and arrays, in the order a saved index holds them.
    template <typename Io, typename Index>
    static void fields(Io& io, Index& index) {
        face_index_fields(io, index.index_);
        io.array(index.xs_);
        io.array(index.ys_);
        io.array(index.zs_);
        io.array(index.indices_);
    }

  private:
    friend class SavedIndex<S2PointIndex, SearchId::kS2PointIndex>;
    S2PointIndex() = default;
    // Why an opened index's arrays can't be searched, if they can't.
    std::optional<std::string> opened_fault(int64_t count, SavedCheck check) const;

    ComponentArrays<double> table_{nullptr, nullptr, nullptr};  // none when opened
    FaceIndex index_;
    StoredArray<double> xs_, ys_, zs_;  // leaf after leaf
    StoredArray<int32_t> indices_;      // each vector's index in the table
};

SPHEREBENCH_SEARCH_TYPE(kS2PointIndex, S2PointIndex);

}  // namespace spherebench
