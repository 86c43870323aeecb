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

PointCloud interleaved(const DecodedPoints& points) {
    PointCloud cloud;
    for (int i = 0; i < points.count(); ++i)
        cloud.xyz.insert(cloud.xyz.end(), {points.xs[i], points.ys[i], points.zs[i]});
    return cloud;
}

}  // namespace

struct NanoflannStructure {
    PointCloud cloud;
    Tree tree;  // reads `cloud`, which is declared first and so built first

    explicit NanoflannStructure(const DecodedPoints& points)
        : cloud(interleaved(points)), tree(3, cloud, nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize)) {
        if (points.count() > 0) tree.buildIndex();
    }
    Nearest nearest(UnitVector point) const;
    size_t bytes() const;
};

Nearest NanoflannStructure::nearest(UnitVector point) const {
    if (cloud.xyz.empty()) return {kNoWinner, kStartScore};
    const double query[3] = {point.x, point.y, point.z};
    uint32_t index = 0;
    double distance = 0;
    nanoflann::KNNResultSet<double, uint32_t> result(1);
    result.init(&index, &distance);
    tree.findNeighbors(result, query, nanoflann::SearchParams());
    const double* p = &cloud.xyz[3 * static_cast<size_t>(index)];
    return {static_cast<int32_t>(index), anchor_chord2(p[0], p[1], p[2], point)};
}

size_t NanoflannStructure::bytes() const {
    auto& mutable_tree = const_cast<Tree&>(tree);  // usedMemory is not const
    return mutable_tree.usedMemory(mutable_tree) + cloud.xyz.size() * sizeof(double);
}

template class Anchor<SearchId::kNanoflannKdTree, NanoflannStructure>;

}  // namespace spherebench
