// nanoflann's k-d tree over the points as three doubles, searched by squared
// Euclidean distance (its L2_Simple_Adaptor): the one nearest neighbour, the
// k nearest (knnSearch) and those within a radius (radiusSearch).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
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
    std::vector<Nearest> nearest(UnitVector point, int k) const;
    std::vector<Nearest> within(UnitVector point, double limit) const;
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
    return scored_at(cloud.xyz, index, point);
}

std::vector<Nearest> NanoflannStructure::nearest(UnitVector point, int k) const {
    const size_t wanted = std::min(static_cast<size_t>(k), cloud.kdtree_get_point_count());
    if (wanted == 0) return {};
    const double query[3] = {point.x, point.y, point.z};
    std::vector<uint32_t> indices(wanted);
    std::vector<double> distances(wanted);
    indices.resize(tree.knnSearch(query, wanted, indices.data(), distances.data()));
    std::vector<Nearest> found;
    for (const uint32_t index : indices) found.push_back(scored_at(cloud.xyz, index, point));
    return found;
}

std::vector<Nearest> NanoflannStructure::within(UnitVector point, double limit) const {
    if (cloud.xyz.empty()) return {};
    const double query[3] = {point.x, point.y, point.z};
    // Its radius excludes a distance equal to it: the next double up makes
    // the limit itself within.
    std::vector<std::pair<uint32_t, double>> pairs;
    tree.radiusSearch(query, std::nextafter(limit, std::numeric_limits<double>::infinity()), pairs,
                      nanoflann::SearchParams(32, 0, false));
    std::vector<Nearest> found;
    for (const auto& [index, distance] : pairs) found.push_back(scored_at(cloud.xyz, index, point));
    return found;
}

size_t NanoflannStructure::bytes() const {
    auto& mutable_tree = const_cast<Tree&>(tree);  // usedMemory is not const
    return mutable_tree.usedMemory(mutable_tree) + cloud.xyz.size() * sizeof(double);
}

template class Anchor<SearchId::kNanoflannKdTree, NanoflannStructure>;

}  // namespace spherebench
