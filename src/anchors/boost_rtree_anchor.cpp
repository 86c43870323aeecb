// Boost.Geometry's R-tree of 3-D Cartesian points, bulk-loaded (its packing
// algorithm, used when the tree is constructed from a range), searched for
// the nearest point and the k nearest (bgi::nearest), and for those within a
// distance: the box round it, then its comparable (squared) distance. Its
// bytes are counted by the allocator it is given.
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <cmath>
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

Nearest scored(const Entry& entry, UnitVector point) {
    const Point& q = entry.first;
    return {entry.second, anchor_chord2(bg::get<0>(q), bg::get<1>(q), bg::get<2>(q), point)};
}

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
    std::vector<Nearest> nearest(UnitVector point, int k) const;
    std::vector<Nearest> within(UnitVector point, double limit) const;
    size_t bytes() const { return *allocator.bytes; }
};

Nearest BoostRtreeStructure::nearest(UnitVector point) const {
    const Point p(point.x, point.y, point.z);
    for (auto it = tree.qbegin(bgi::nearest(p, 1)); it != tree.qend(); ++it) return scored(*it, point);
    return {kNoWinner, kStartScore};
}

std::vector<Nearest> BoostRtreeStructure::nearest(UnitVector point, int k) const {
    std::vector<Nearest> found;
    const Point p(point.x, point.y, point.z);
    for (auto it = tree.qbegin(bgi::nearest(p, static_cast<unsigned>(k))); it != tree.qend(); ++it)
        found.push_back(scored(*it, point));
    return found;
}

std::vector<Nearest> BoostRtreeStructure::within(UnitVector point, double limit) const {
    const double r = std::sqrt(limit);
    const bg::model::box<Point> box(Point(point.x - r, point.y - r, point.z - r),
                                    Point(point.x + r, point.y + r, point.z + r));
    const Point p(point.x, point.y, point.z);
    const auto near_enough = [&p, limit](const Entry& e) { return bg::comparable_distance(p, e.first) <= limit; };
    std::vector<Nearest> found;
    for (auto it = tree.qbegin(bgi::intersects(box) && bgi::satisfies(near_enough)); it != tree.qend(); ++it)
        found.push_back(scored(*it, point));
    return found;
}

template class Anchor<SearchId::kBoostRtree, BoostRtreeStructure>;

}  // namespace spherebench
