// An exact index over fixed-point latitude/longitude: the positions as
// stored and their table indices, sorted by face and into a k-d tree over
// the unit vector each position names (face_tree.h). A node is skipped when
// its bound on the chord between the vectors shows that no position in it
// can score as much as the results' reach, with the margin of
// latlong_bound.h for the sines and cosines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "method/result_sets.h"
#include "search/face_index.h"
#include "search/saved_index.h"

namespace spherebench {

class LatLongIndex : public SavedIndex<LatLongIndex, SearchId::kLatLongIndex> {
  public:
    using Records = const FixedLatLong*;
    using Query = FixedLatLong;
    static constexpr ScoreOrder kOrder = LatLongMethod::order;

    // The table must outlive the index only for score_at.
    LatLongIndex(const FixedLatLong* locations, int count, int threads = 0);

    // find_nearest<LatLongMethod>'s answer for the point from_fixed(fixed),
    // as the method prepares it, winner and score bits. The point is taken as
    // its words because the margins of latlong_bound.h hold only for angles
    // that from_fixed gives: a longitude of 2^48 radians, say, got another
    // winner. The table may hold any words.
    Nearest nearest(FixedLatLong fixed) const;
    template <typename Results>
    void find(FixedLatLong fixed, Results& results) const;
    double score_at(FixedLatLong fixed, int32_t index) const {
        return LatLongMethod::score(location(index), from_fixed(fixed));
    }

    int size() const { return static_cast<int>(indices_.size()); }
    // The location of table index k.
    FixedLatLong location(int32_t k) const;

    // The index's values and arrays, in the order a saved index holds them.
    template <typename Io, typename Index>
    static void fields(Io& io, Index& index) {
        face_index_fields(io, index.index_);
        io.array(index.locations_);
        io.array(index.indices_);
    }

  private:
    friend class SavedIndex<LatLongIndex, SearchId::kLatLongIndex>;
    LatLongIndex() = default;
    // Why an opened index's arrays can't be searched, if they can't.
    std::optional<std::string> opened_fault(int64_t count, SavedCheck check) const;

    const FixedLatLong* table_ = nullptr;  // none when opened
    FaceIndex index_;                      // boxes of the vectors' coordinates
    StoredArray<FixedLatLong> locations_;  // leaf after leaf
    StoredArray<int32_t> indices_;         // each location's index in the table
};

SPHEREBENCH_SEARCH_TYPE(kLatLongIndex, LatLongIndex);

}  // namespace spherebench
