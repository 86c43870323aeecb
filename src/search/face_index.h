// The structure each index keeps over its locations' faces, chosen per
// table to fit their spread: a grid (face_grid.h), whose cells a query
// reaches by arithmetic, where the locations lie evenly enough over its
// cells; else a k-d tree per face (face_tree.h), whose leaves follow the
// locations however crowded they are. Both are searched through
// search_face_index, which hands the index the entries that may beat or tie
// its results, so an index is written once for both.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/threads.h"
#include "method/result_sets.h"
#include "search/face_grid.h"
#include "search/face_tree.h"
#include "search/face_tree_search.h"
#include "search/walk_counts.h"

namespace spherebench {

struct FaceIndex {
    bool by_grid = false;  // the grid is kept, else the tree
    FaceGrid grid;
    FaceTree tree;
};

// The structure's values and arrays, in the order a saved index holds them
// (search/saved_index.h): the one kept, the grid or the tree.
template <typename Io, typename Index>
void face_index_fields(Io& io, Index& index) {
    io.value(index.by_grid);
    if (index.by_grid)
        grid_fields(io, index.grid);
    else
        tree_fields(io, index.tree);
}

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
// (`same` as for mark_runs), built on `threads` threads (build_threads);
// returns the order the index stores its entries in.
template <typename Same>
std::vector<int32_t> build_face_index(FaceIndex& index, const PlaceSource& places, const FaceIndexShape& shape,
                                      Same same, int threads = 0) {
    std::vector<int32_t> order =
        build_face_grid(index.grid, places, shape.reach, shape.per_cell, shape.most_bytes, shape.widen, threads);
    index.by_grid = spread_evenly(index.grid);
    if (index.by_grid) return order;
    index.grid = FaceGrid{};
    order = {};
    return build_face_tree(index.tree, all_places(places, threads), shape.leaf_size, same, shape.widen,
                           shape.most_bytes);
}

// The table's locations in the index's `order` (which becomes the table
// index beside each, for the tie rule), gathered on `threads` threads
// (build_threads).
template <typename Location>
void store_in_order(const Location* table, std::vector<int32_t> order, StoredArray<Location>& entries,
                    StoredArray<int32_t>& indices, int threads = 0) {
    const int count = static_cast<int>(order.size());
    indices = std::move(order);
    entries.resize(count);
    Location* entry = entries.data();
    const int32_t* index = std::as_const(indices).data();
    const int parts = build_threads(count, threads);
    run_on_threads(parts, [&](int part) {
        for (int at = part_start(count, part, parts); at < part_start(count, part + 1, parts); ++at)
            entry[at] = table[index[at]];
    });
}

// Whether a search for these results must scan every member of a tree's
// run (a node of one stored value): each copy is as much one of the k
// nearest, or within the limit, as the first; for the one nearest the
// run's first, its lowest index, is the only one that may win.
template <typename Results>
inline constexpr bool kScansEveryCopy = !std::is_base_of_v<NearestOne, Results>;
// A count of what the one nearest scores walks as the search for it does.
static_assert(!kScansEveryCopy<CountingNearest>);

// The bound on the score of every member of a face: the ordered sum of the
// squared gaps to the ranges of its members' coordinates (+inf for an empty
// face).
inline double face_bound(const FaceIndex& index, const FaceQuery& query) {
    const int face = query.place.face;
    if (index.by_grid) {
        const FaceGrid& grid = index.grid;
        const int n = grid.side;
        const double* low = grid.low.data() + face * 2 * n;
        const double* high = grid.high.data() + face * 2 * n;
        return ordered_bound(squared_gap(low[0], high[n - 1], query.place.a),
                             squared_gap(low[n], high[2 * n - 1], query.place.b),
                             squared_gap(grid.major_low[face], grid.major_high[face], query.place.major), query.major);
    }
    const FaceSpan& span = index.tree.faces[face];
    if (span.count == 0) return std::numeric_limits<double>::infinity();
    return box_bound(span.box, query);
}

// A bound on the score of every member of a face from its major
// coordinate alone (+inf for an empty face): no greater than face_bound,
// as the ordered sum's other two terms are never negative.
inline double face_major_bound(const FaceIndex& index, const FaceQuery& query) {
    const int face = query.place.face;
    if (index.by_grid) return squared_gap(index.grid.major_low[face], index.grid.major_high[face], query.place.major);
    const FaceSpan& span = index.tree.faces[face];
    if (span.count == 0) return std::numeric_limits<double>::infinity();
    return squared_gap(span.box.major_low, span.box.major_high, query.place.major);
}

// Calls scan(face, first, end, major_low, major_high) on every group of
// entries [first, end) of a face that the bounds do not rule out at
// limit(), the group's major coordinates within [major_low, major_high];
// limit() is asked again as the scans lower it. The face of least bound
// (of its members' ranges) is searched first, place_of(face) the query's
// FaceQuery on each; ask_of(query) the rest of what a face's search needs,
// asked only of the faces searched. Of a run of the tree, the group is its
// first alone unless every_copy. Allocates nothing.
template <typename PlaceOf, typename AskOf, typename Limit, typename Scan>
void search_faces(const FaceIndex& index, PlaceOf place_of, AskOf ask_of, bool every_copy, Limit limit, Scan scan) {
    const auto search = [&](const FaceQuery& query) {
        SPHEREBENCH_COUNT(faces);
        const int face = query.place.face;
        if (index.by_grid) {
            const double major_low = index.grid.major_low[face], major_high = index.grid.major_high[face];
            return search_face(index.grid, query, limit, [&](int32_t first, int32_t end) {
                SPHEREBENCH_COUNT(leaves);
                scan(face, first, end, major_low, major_high);
            });
        }
        const FaceSpan& span = index.tree.faces[face];
        const auto scan_leaf = [&](uint32_t leaf, double major_low, double major_high) {
            SPHEREBENCH_COUNT(leaves);
            const EntryRange members = every_copy ? node_entries(span, leaf) : scanned_entries(index.tree, span, leaf);
            scan(face, members.first, members.end, major_low, major_high);
        };
        if (span.count == 0) return;
        const FaceAsk ask = ask_of(query);
        if (index.tree.by_splits) {
            const auto scan_split = [&](uint32_t leaf) { scan_leaf(leaf, span.box.major_low, span.box.major_high); };
            return with_major_term(query.major, [&]<MajorTerm kMajor> {
                search_face_splits<kMajor>(index.tree, span, query.place, ask, limit, scan_split);
            });
        }
        const bool on_sphere = ask.on_sphere && span.on_sphere;
        const auto bound_of = [&](const BoxBounds& box) {
            return node_bound(box, query, ask.sphere, on_sphere, limit(), ask.query_error);
        };
        search_face_nodes(FaceNodes{index.tree, span}, query.place.a, query.place.b, bound_of, limit,
                          [&](uint32_t leaf, const BoxBounds& box) { scan_leaf(leaf, box.major_low, box.major_high); });
    };
    // First the face of least bound by its members' major coordinates alone
    // (a third of the full bound's cost), where a near location is most
    // likely found; of faces whose bounds tie (near an edge of its face a
    // query lies within the range of its neighbours too), the one it lies
    // on, its major coordinate there the greatest, as a neighbour's first
    // scans may lie far off and leave the reach wide. Then every other face
    // whose bounds, the major coordinate's and the full one, the results'
    // reach has not passed (a NaN bound, of a NaN query, rules nothing out).
    FaceQuery queries[kFaces];
    double major_bounds[kFaces];
    int first = 0;
    for (int face = 0; face < kFaces; ++face) {
        queries[face] = place_of(face);
        major_bounds[face] = face_major_bound(index, queries[face]);
        if (major_bounds[face] < major_bounds[first] ||
            (major_bounds[face] == major_bounds[first] &&
             std::fabs(queries[face].place.major) > std::fabs(queries[first].place.major)))
            first = face;
    }
    if (!(face_bound(index, queries[first]) > limit())) search(queries[first]);
    for (int face = 0; face < kFaces; ++face)
        if (face != first && !(major_bounds[face] > limit()) && !(face_bound(index, queries[face]) > limit()))
            search(queries[face]);
}

}  // namespace spherebench
