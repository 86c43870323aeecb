// nanoflann's k-d tree over the points as three doubles, searched for the one
// nearest neighbour by squared Euclidean distance (its L2_Simple_Adaptor).
#include <cstdint>
#include <nanoflann.hpp>
#include <vector>

#include "anchors/anchor_parts.h"

namespace spherebench {

namespace {

// The adaptor nanoflann reads the points through: they are kept here as one
// array of x, y, z per point, the layout the tree's leaves scan fastest.
struct PointCloud {
    std::vector<double> xyz;
    size_t kdtree_get_point_count() const { return xyz.size() / 3; }
    double kdtree_get_pt(size_t i, size_t dim) const { return xyz[3 * i + dim]; }
    template <typename Box>
    bool kdtree_get_bbox(Box&) const {
        return false;  // the tree computes its own
    }
};

using Tree =
    nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, PointCloud>, PointCloud, 3, uint32_t>;
// Points per leaf: nanoflann's default.
constexpr size_t kLeafSize = 10;

}  // namespace

struct NanoflannAnchor {
    PointCloud cloud;
    Tree tree;  // reads `cloud`, which is declared first and so built first

    explicit NanoflannAnchor(PointCloud points)
        : cloud(std::move(points)), tree(3, cloud, nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize)) {}
};

NanoflannAnchor* build_nanoflann_anchor(const double* xs, const double* ys, const double* zs, int count) {
    PointCloud cloud;
    cloud.xyz.resize(3 * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        cloud.xyz[3 * i] = xs[i], cloud.xyz[3 * i + 1] = ys[i], cloud.xyz[3 * i + 2] = zs[i];
    }
    auto* anchor = new NanoflannAnchor(std::move(cloud));
    if (count > 0) anchor->tree.buildIndex();
    return anchor;
}

Nearest anchor_nearest(const NanoflannAnchor& anchor, UnitVector point) {
    if (anchor.cloud.xyz.empty()) return {kNoWinner, kStartScore};
    const double query[3] = {point.x, point.y, point.z};
    uint32_t index = 0;
    double distance = 0;
    nanoflann::KNNResultSet<double, uint32_t> result(1);
    result.init(&index, &distance);
    anchor.tree.findNeighbors(result, query, nanoflann::SearchParams());
    const double* p = &anchor.cloud.xyz[3 * static_cast<size_t>(index)];
    return {static_cast<int32_t>(index), anchor_chord2(p[0], p[1], p[2], point)};
}

size_t anchor_bytes(const NanoflannAnchor& anchor) {
    auto& tree = const_cast<Tree&>(anchor.tree);  // usedMemory is not const
    return tree.usedMemory(tree) + anchor.cloud.xyz.size() * sizeof(double);
}

void free_anchor(NanoflannAnchor* anchor) { delete anchor; }

}  // namespace spherebench
