// The structure the indexes share: locations sorted into six faces
// (face_place.h) and each face's entries sorted in place into an implicit
// k-d tree over its two coordinates. Node 1 holds the face's entries; node
// k at level l (2^l <= k < 2^(l + 1)) holds the j-th of 2^l equal shares,
// j = k - 2^l, split between its children 2k and 2k + 1 by the coordinate
// its members spread wider in. Leaves, at the face's depth, hold at most
// the leaf size each. Every node keeps a box bounding its members' three
// coordinates, as floats rounded outward, so that it still bounds them, and
// a bit telling whether its members all hold one stored value; nothing else
// is stored per node (the shares are computed), so the tree takes a byte or
// two a location. Shares that follow the locations, not the sphere, keep a
// leaf to a handful of locations however crowded the table is.
//
// face_tree_search.h walks the trees.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/stored_array.h"
#include "search/face_place.h"

namespace spherebench {

// A node's bounds on its members' three face coordinates, as floats rounded
// outward.
struct NodeBox {
    float a_low, a_high, b_low, b_high, major_low, major_high;
};

// One face's tree.
struct FaceSpan {
    int32_t begin = 0, count = 0;  // its entries [begin, begin + count) in the index
    int32_t first_box = 0;         // node k's box and run bit: first_box + k - 1
    int32_t depth = 0;             // the leaves' level
    // Whether every member lies within kUnitSlack of unit length, so that
    // the bound of sphere_bound.h holds for its nodes.
    bool on_sphere = true;
};

// A node's bounds as a search reads them.
struct BoxBounds {
    double a_low, a_high, b_low, b_high, major_low, major_high;
};

inline BoxBounds bounds_of(const NodeBox& box) {
    return {box.a_low, box.a_high, box.b_low, box.b_high, box.major_low, box.major_high};
}

// A face's depth never passes this (a leaf holds at least one of fewer
// than 2^31 entries), nor does the stack of nodes a query keeps.
inline constexpr int kMostTreeDepth = 31;

struct FaceTree {
    FaceSpan faces[kFaces];
    StoredArray<NodeBox> boxes;
    // Bit per node: all its members hold the same stored value (so score
    // alike), and the lowest table index comes first among them.
    StoredArray<uint64_t> runs;
};

// The tree's values and arrays, in the order a saved index holds them
// (search/saved_index.h); Tree is FaceTree or const FaceTree.
template <typename Io, typename Tree>
void tree_fields(Io& io, Tree& tree) {
    for (auto& face : tree.faces) {
        io.value(face.begin), io.value(face.count), io.value(face.first_box), io.value(face.depth);
        io.value(face.on_sphere);
    }
    io.array(tree.boxes);
    io.array(tree.runs);
}

struct EntryRange {
    int32_t first, end;
};

// The entries of node k of a face: the j-th share of 2^l.
inline EntryRange node_entries(const FaceSpan& face, uint32_t node) {
    const int level = std::bit_width(node) - 1;
    const uint64_t j = node - (uint32_t{1} << level), count = static_cast<uint64_t>(face.count);
    return {face.begin + static_cast<int32_t>((j * count) >> level),
            face.begin + static_cast<int32_t>(((j + 1) * count) >> level)};
}

// Sorts the locations into faces and each face into its tree (splits only:
// no boxes yet), choosing each face's depth so that no leaf holds more than
// leaf_size; returns the order of the locations, which the index stores its
// entries in.
std::vector<int32_t> arrange_face_trees(FaceSpan (&faces)[kFaces], const std::vector<FacePlace>& places, int leaf_size);

// The least leaf size, leaf_size or a power of two times it, at which the
// trees of the places take at most most_bytes in boxes of box_bytes and run
// bits.
int leaf_size_within(const std::vector<FacePlace>& places, int leaf_size, size_t box_bytes, size_t most_bytes);

// Every node's box over the places of its members (`places` in the tree's
// order), each range `widen` wider at both ends (rounded outward too); each
// face's range of third coordinates and whether its members lie on the
// sphere; and the run bit of every leaf whose members share one place.
void fill_boxes(FaceTree& tree, const std::vector<FacePlace>& places, double widen);

// The nodes whose members all hold one stored value: their bits set, and
// the lowest table index moved first among their members (which moves only
// equal values). A leaf is one where fill_boxes found its members at one
// place (`places` in the tree's order) and same(k, k'), on table indices,
// holds for them all: the form's test of one stored value where one place
// does not imply it. A node above is one where both children are, at one
// place, and same holds for their firsts.
template <typename Same>
void mark_runs(FaceTree& tree, std::vector<int32_t>& order, const std::vector<FacePlace>& places, Same same);

// The tree over the places: faces, splits, boxes (`widen` wider than the
// places), runs (same as for mark_runs).
template <typename Same>
std::vector<int32_t> build_face_tree(FaceTree& tree, const std::vector<FacePlace>& places, int leaf_size, Same same,
                                     double widen = 0.0) {
    std::vector<int32_t> order = arrange_face_trees(tree.faces, places, leaf_size);
    std::vector<FacePlace> in_order(order.size());
    for (size_t at = 0; at < order.size(); ++at) in_order[at] = places[order[at]];
    fill_boxes(tree, in_order, widen);
    mark_runs(tree, order, in_order, same);
    return order;
}

// The table's locations in the tree's `order`, each beside its index in the
// table (which the tie rule compares).
template <typename Location>
void store_in_order(const Location* table, const std::vector<int32_t>& order, StoredArray<Location>& entries,
                    StoredArray<int32_t>& indices) {
    entries.resize(order.size());
    indices.resize(order.size());
    Location* entry = entries.data();
    int32_t* index = indices.data();
    for (size_t at = 0; at < order.size(); ++at) {
        entry[at] = table[order[at]];
        index[at] = order[at];
    }
}

inline size_t face_tree_bytes(const FaceTree& tree) {
    return tree.boxes.capacity() * sizeof(NodeBox) + tree.runs.capacity() * sizeof(uint64_t);
}

template <typename Same>
void mark_runs(FaceTree& tree, std::vector<int32_t>& order, const std::vector<FacePlace>& places, Same same) {
    const auto bit = [&](const FaceSpan& face, uint32_t node) { return face.first_box + node - 1; };
    const auto is_run = [&](const FaceSpan& face, uint32_t node) {
        return (tree.runs[bit(face, node) / 64] >> (bit(face, node) % 64)) & 1u;
    };
    const auto set = [&](const FaceSpan& face, uint32_t node, bool run) {
        const uint64_t mask = uint64_t{1} << (bit(face, node) % 64);
        tree.runs[bit(face, node) / 64] =
            run ? tree.runs[bit(face, node) / 64] | mask : tree.runs[bit(face, node) / 64] & ~mask;
    };
    for (const FaceSpan& face : tree.faces) {
        if (face.count == 0) continue;
        const uint32_t nodes = (uint32_t{2} << face.depth) - 1, first_leaf = uint32_t{1} << face.depth;
        // Leaves by their members, the others by their children's firsts.
        for (uint32_t node = nodes; node >= 1; --node) {
            const EntryRange entries = node_entries(face, node);
            const int32_t first = order[entries.first];
            bool run = is_run(face, node);
            if (node >= first_leaf)
                for (int32_t at = entries.first + 1; at < entries.end && run; ++at) run = same(first, order[at]);
            else {
                const int32_t second = node_entries(face, 2 * node + 1).first;
                run = is_run(face, 2 * node) && is_run(face, 2 * node + 1) &&
                      same_place(places[entries.first], places[second]) && same(first, order[second]);
            }
            set(face, node, run);
        }
        // The lowest table index first in each run not within a larger one.
        for (uint32_t node = 1; node <= nodes; ++node) {
            if (!is_run(face, node) || (node > 1 && is_run(face, node / 2))) continue;
            const EntryRange entries = node_entries(face, node);
            std::iter_swap(order.begin() + entries.first,
                           std::min_element(order.begin() + entries.first, order.begin() + entries.end));
        }
    }
}

}  // namespace spherebench
