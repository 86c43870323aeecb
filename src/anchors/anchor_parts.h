// What every anchor's source shares: the members of Anchor over its
// Structure, which each source defines for its library and then
// instantiates (template class Anchor<id, Structure>;). Private to
// src/anchors.
#pragma once

#include <vector>

#include "anchors/anchor.h"

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
    const double dx = x - p.x, dy = y - p.y, dz = z - p.z;
    return (dx * dx + dy * dy) + dz * dz;
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
size_t Anchor<id, Structure>::bytes() const {
    return structure_->bytes();
}

}  // namespace spherebench
