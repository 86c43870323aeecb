// Boost.Geometry's R-tree of 3-D Cartesian points, bulk-loaded (its packing
// algorithm, used when the tree is constructed from a range), searched for
// the one nearest point. Its bytes are counted by the allocator it is given.
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "anchors/anchor_parts.h"

namespace spherebench {

namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

using Point = bg::model::point<double, 3, bg::cs::cartesian>;
using Entry = std::pair<Point, int32_t>;

// std::allocator that adds what it hands out to a shared count.
template <typename T>
struct CountingAllocator {
    using value_type = T;
    std::shared_ptr<size_t> bytes = std::make_shared<size_t>(0);

    CountingAllocator() = default;
    template <typename U>
    CountingAllocator(const CountingAllocator<U>& other) : bytes(other.bytes) {}
    T* allocate(size_t n) {
        *bytes += n * sizeof(T);
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, size_t n) {
        *bytes -= n * sizeof(T);
        std::allocator<T>().deallocate(p, n);
    }
    template <typename U>
    bool operator==(const CountingAllocator<U>& other) const {
        return bytes == other.bytes;
    }
};

// 16 entries a node at most, the R*-tree's choice of split (unused by the
// bulk load, which packs the nodes itself).
using Tree = bgi::rtree<Entry, bgi::rstar<16>, bgi::indexable<Entry>, bgi::equal_to<Entry>, CountingAllocator<Entry>>;

std::vector<Entry> entries_of(const DecodedPoints& points) {
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(points.count()));
    for (int i = 0; i < points.count(); ++i) entries.emplace_back(Point(points.xs[i], points.ys[i], points.zs[i]), i);
    return entries;
}

}  // namespace

struct BoostRtreeStructure {
    CountingAllocator<Entry> allocator;
    Tree tree;

    explicit BoostRtreeStructure(const DecodedPoints& points)
        : tree(entries_of(points), bgi::rstar<16>(), bgi::indexable<Entry>(), bgi::equal_to<Entry>(), allocator) {}
    Nearest nearest(UnitVector point) const;
    size_t bytes() const { return *allocator.bytes; }
};

Nearest BoostRtreeStructure::nearest(UnitVector point) const {
    const Point p(point.x, point.y, point.z);
    for (auto it = tree.qbegin(bgi::nearest(p, 1)); it != tree.qend(); ++it) {
        const Point& q = it->first;
        return {it->second, anchor_chord2(bg::get<0>(q), bg::get<1>(q), bg::get<2>(q), point)};
    }
    return {kNoWinner, kStartScore};
}

template class Anchor<SearchId::kBoostRtree, BoostRtreeStructure>;

}  // namespace spherebench
