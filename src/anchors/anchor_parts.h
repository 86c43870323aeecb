// What every anchor's source shares: the members of Anchor over its
// Structure, which each source defines for its library and then
// instantiates (template class Anchor<id, Structure>;). Private to
// src/anchors.
#pragma once

#include <vector>

#include "anchors/anchor.h"
#include "geo/vectors.h"
#include "method/result_sets.h"

namespace spherebench {

// The table's pairs decoded, as three arrays of components.
struct DecodedPoints {
    std::vector<double> xs, ys, zs;
    int count() const { return static_cast<int>(xs.size()); }
};
DecodedPoints decode_points(const CdcPair* pairs, int count);

// The squared chord every anchor reports for its answer, so that the scores
// of all of them are comparable.
inline double anchor_chord2(double x, double y, double z, UnitVector p) {
    return squared_chord(UnitVector{x, y, z}, p);
}

// Point `index` of points kept as x, y, z one after another, with its score.
inline Nearest scored_at(const std::vector<double>& xyz, size_t index, UnitVector p) {
    const double* at = &xyz[3 * index];
    return {static_cast<int32_t>(index), anchor_chord2(at[0], at[1], at[2], p)};
}

// The library's answers in the exact searches' ranking: by score, then index.
inline std::vector<Nearest> ranked(std::vector<Nearest> found) {
    sort_by_rank(found, ScoreOrder::kSmallerNearer);
    return found;
}

template <SearchId id, typename Structure>
Anchor<id, Structure>::Anchor(const CdcPair* pairs, int count)
    : structure_(std::make_unique<Structure>(decode_points(pairs, count))) {}
template <SearchId id, typename Structure>
Anchor<id, Structure>::~Anchor() = default;
template <SearchId id, typename Structure>
Anchor<id, Structure>::Anchor(Anchor&&) noexcept = default;
template <SearchId id, typename Structure>
Nearest Anchor<id, Structure>::nearest(UnitVector point) const {
    return structure_->nearest(point);
}
template <SearchId id, typename Structure>
std::vector<Nearest> Anchor<id, Structure>::nearest(UnitVector point, int k) const {
    if (k < 1) return {};
    return ranked(structure_->nearest(point, k));
}
template <SearchId id, typename Structure>
std::vector<Nearest> Anchor<id, Structure>::within(UnitVector point, double limit) const {
    if (!(limit >= 0)) return {};
    return ranked(structure_->within(point, limit));
}
template <SearchId id, typename Structure>
size_t Anchor<id, Structure>::bytes() const {
    return structure_->bytes();
}

}  // namespace spherebench
