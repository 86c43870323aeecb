// The structure each index keeps over its locations' faces, chosen per
// table to fit their spread: a grid (face_grid.h), whose cells a query
// reaches by arithmetic, where the locations lie evenly enough over its
// cells; else a k-d tree per face (face_tree.h), whose leaves follow the
// locations however crowded they are. Both are searched through
// search_face_index, which hands the index the entries that may beat or tie
// its results, so an index is written once for both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "method/result_sets.h"
#include "search/face_grid.h"
#include "search/face_tree.h"
#include "search/face_tree_search.h"

namespace spherebench {

struct FaceIndex {
    bool by_grid = false;  // the grid is kept, else the tree
    FaceGrid grid;
    FaceTree tree;
};

// How an index would lay out its locations in either structure.
struct FaceIndexShape {
    double reach;       // the grid's span on each face, [-reach, reach]^2
    int per_cell;       // the grid's locations a cell, on average
    int leaf_size;      // the tree's most locations a leaf
    size_t most_bytes;  // for the grid or the tree, beside the entries
    double widen;       // how much wider every bound stands than the places
};

// Whether the places lie evenly enough over the grid's cells for its search
// to do well: few of them in cells crowded far beyond the mean, where a
// query near them would scan the whole cell.
bool spread_evenly(const FaceGrid& grid);

// The grid over the places if they spread evenly over it, else the tree
// (`same` as for mark_runs); returns the order the index stores its entries
// in.
template <typename Same>
std::vector<int32_t> build_face_index(FaceIndex& index, const std::vector<FacePlace>& places,
                                      const FaceIndexShape& shape, Same same) {
    std::vector<int32_t> order =
        build_face_grid(index.grid, places, shape.reach, shape.per_cell, shape.most_bytes, shape.widen);
    index.by_grid = spread_evenly(index.grid);
    if (index.by_grid) return order;
    index.grid = FaceGrid{};
    const int leaf_size = leaf_size_within(places, shape.leaf_size, sizeof(NodeBox), shape.most_bytes);
    return build_face_tree(index.tree, places, leaf_size, same, shape.widen);
}

inline size_t face_index_bytes(const FaceIndex& index) {
    return face_grid_bytes(index.grid) + face_tree_bytes(index.tree);
}

// Whether a search for these results must scan every member of a tree's
// run (a node of one stored value): each copy is as much one of the k
// nearest, or within the limit, as the first; for the one nearest the
// run's first, its lowest index, is the only one that may win.
template <typename Results>
inline constexpr bool kScansEveryCopy = !std::is_same_v<Results, NearestOne>;

// Calls scan(first, end, major_low, major_high) on every group of entries
// [first, end) of one face (query.place.face) that the bounds do not rule
// out at limit(), the group's major coordinates within [major_low,
// major_high]; limit() is asked again as the scans lower it. Of a run of
// the tree, the group is its first alone unless every_copy. The tree's
// nodes are also bounded by the sphere over their boxes (sphere_bound.h)
// where the query (query_on_sphere, `sphere` its coordinates) and the face's
// members lie on it. Allocates nothing.
template <typename Limit, typename Scan>
void search_face_index(const FaceIndex& index, const FaceQuery& query, const SphereQuery& sphere, bool query_on_sphere,
                       bool every_copy, Limit limit, Scan scan) {
    const int face = query.place.face;
    if (index.by_grid) {
        const double major_low = index.grid.major_low[face], major_high = index.grid.major_high[face];
        return search_face(index.grid, query, limit,
                           [&](int32_t first, int32_t end) { scan(first, end, major_low, major_high); });
    }
    const bool on_sphere = query_on_sphere && index.tree.faces[face].on_sphere;
    const auto bound_of = [&](const FaceNodes& nodes, uint32_t node) {
        return node_bound(nodes, node, query, sphere, on_sphere, limit());
    };
    const auto scan_leaf = [&](const FaceNodes& nodes, uint32_t leaf) {
        const BoxBounds box = nodes.bounds(leaf);
        const EntryRange members = every_copy ? node_entries(nodes.face, leaf) : nodes.scanned(leaf);
        scan(members.first, members.end, box.major_low, box.major_high);
    };
    search_face_tree(index.tree, face, query.place.a, query.place.b, bound_of, limit, scan_leaf);
}

}  // namespace spherebench
