// The structure the indexes share: locations sorted into six faces
// (face_place.h) and each face's entries sorted in place into an implicit
// k-d tree over its two coordinates. Node 1 holds the face's entries; node
// k at level l (2^l <= k < 2^(l + 1)) holds the j-th of 2^l equal shares,
// j = k - 2^l, split between its children 2k and 2k + 1. Leaves, at the
// face's depth, hold at most the leaf size each. The root has a box of its
// members' three coordinates in doubles; below it, a tree is kept in one
// of two ways:
// - boxes: every node a box of six floats rounded outward, its members'
//   bounds in all three coordinates, each split by the coordinate its
//   members spread wider in;
// - splits, where the index's byte budget does not hold the boxes: every
//   node above the leaves the ranges of its two children in the one
//   coordinate it splits, the one its cell is wider in, as four 15-bit
//   steps of the face's range rounded outward (8 bytes a node, so that a
//   tree of leaves of about 16 takes under a byte a location).
// And every node has a bit telling whether its members all hold one stored
// value. Nothing else is stored per node (the shares are computed). Shares
// that follow the locations, not the sphere, keep a leaf to a handful of
// locations however crowded the table is.
//
// face_tree_search.h walks the trees.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "base/stored_array.h"
#include "search/face_place.h"

namespace spherebench {

// A node's bounds on its members' three face coordinates.
struct BoxBounds {
    double a_low, a_high, b_low, b_high, major_low, major_high;
};

// A split node's bounds on its children along one of the two coordinates
// (its axis, 0 for a, 1 for b): every member of its left child lies in
// [left_low, left_high] there, every member of its right child in
// [right_low, right_high]. Each end is a whole number of steps (a
// kSplitSteps-th of the face's range in that coordinate) in from the
// face's same end, rounded outward, so a walk reads it with a
// multiplication and an addition, whatever its depth.
struct NodeSplit {
    uint16_t axis_and_left_low;  // the axis in the top bit, then steps up to left_low
    uint16_t left_high;          // steps down to left_high
    uint16_t right_low;          // steps up to right_low
    uint16_t right_high;         // steps down to right_high
};

inline constexpr int kSplitSteps = 0x7fff;

// Faces whose members reach beyond kMostBoxed are one leaf (no splits), so
// that the steps stay finite.
inline constexpr double kMostBoxed = 1e300;

// The length of a step in a face's range [low, high].
inline double split_step(double low, double high) { return (high - low) * (1.0 / kSplitSteps); }

// A split's two ranges as a walk reads them, on a face of box `face` and
// steps step_a and step_b (split_step) in a and b. Always inlined: the walk
// reads one a node, and as a call its five results went through memory.
struct SplitRanges {
    bool along_b;
    double left_low, left_high, right_low, right_high;
};

[[gnu::always_inline]] inline SplitRanges split_ranges(const NodeSplit& split, const BoxBounds& face, double step_a,
                                                       double step_b) {
    const bool along_b = split.axis_and_left_low >> 15;
    const double low = along_b ? face.b_low : face.a_low, high = along_b ? face.b_high : face.a_high;
    const double step = along_b ? step_b : step_a;
    return {along_b, low + (split.axis_and_left_low & kSplitSteps) * step, high - split.left_high * step,
            low + split.right_low * step, high - split.right_high * step};
}

// A node's box as six floats, each rounded outward from its members'
// bounds.
struct NodeBox {
    float a_low, a_high, b_low, b_high, major_low, major_high;
};

inline BoxBounds bounds_of(const NodeBox& box) {
    return {box.a_low, box.a_high, box.b_low, box.b_high, box.major_low, box.major_high};
}

// One face's tree.
struct FaceSpan {
    int32_t begin = 0, count = 0;  // its entries [begin, begin + count) in the index
    int32_t first_node = 0;        // node k's box and run bit: first_node + k - 1
    int32_t first_split = 0;       // node k's split, k below the leaves: first_split + k - 1
    int32_t depth = 0;             // the leaves' level
    BoxBounds box{};               // the root's
    // Whether every member lies within kUnitSlack of unit length, so that
    // the bound of sphere_bound.h holds for its nodes.
    bool on_sphere = true;
};

// A face's depth never passes this (a leaf holds at least one of fewer
// than 2^31 entries), nor does the stack of nodes a query keeps.
inline constexpr int kMostTreeDepth = 31;

struct FaceTree {
    FaceSpan faces[kFaces];
    bool by_splits = false;         // splits, else boxes as floats
    StoredArray<NodeBox> boxes;     // node k's box, where by boxes
    StoredArray<NodeSplit> splits;  // node k's split, where by splits
    // Bit per node: all its members hold the same stored value (so score
    // alike), and the lowest table index comes first among them.
    StoredArray<uint64_t> runs;
};

// The tree's values and arrays, in the order a saved index holds them
// (search/saved_index.h); Tree is FaceTree or const FaceTree.
template <typename Io, typename Tree>
void tree_fields(Io& io, Tree& tree) {
    for (auto& face : tree.faces) {
        io.value(face.begin), io.value(face.count), io.value(face.first_node), io.value(face.first_split);
        io.value(face.depth);
        auto& box = face.box;
        io.value(box.a_low), io.value(box.a_high), io.value(box.b_low), io.value(box.b_high);
        io.value(box.major_low), io.value(box.major_high);
        io.value(face.on_sphere);
    }
    io.value(tree.by_splits);
    io.array(tree.boxes);
    io.array(tree.splits);
    io.array(tree.runs);
}

// The nodes of a face's tree of `count` entries whose leaves stand at
// `depth`.
inline size_t tree_nodes(int32_t count, int depth) { return count == 0 ? 0 : (size_t{2} << depth) - 1; }
// Its nodes above the leaves, which split.
inline size_t tree_splits(int32_t count, int depth) { return count == 0 ? 0 : (size_t{1} << depth) - 1; }

// Node k's run bit of a face: whether its members all hold one stored
// value.
inline bool is_run(const FaceTree& tree, const FaceSpan& face, uint32_t node) {
    const uint32_t bit = static_cast<uint32_t>(face.first_node) + node - 1;
    return (tree.runs[bit / 64] >> (bit % 64)) & 1u;
}

// A node whose members a search scans rather than descends into: a leaf
// or a run.
inline bool is_leaf(const FaceTree& tree, const FaceSpan& face, uint32_t node) {
    return node >= (uint32_t{1} << face.depth) || is_run(tree, face, node);
}

inline void set_run(FaceTree& tree, const FaceSpan& face, uint32_t node, bool run) {
    const uint32_t bit = static_cast<uint32_t>(face.first_node) + node - 1;
    const uint64_t mask = uint64_t{1} << (bit % 64);
    tree.runs[bit / 64] = run ? tree.runs[bit / 64] | mask : tree.runs[bit / 64] & ~mask;
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

// Sorts the locations into faces and each face into its tree (the shares
// only, and where tree.by_splits the coordinate of each split: no bounds
// yet), choosing each face's depth so that no leaf holds more than
// leaf_size; returns the order of the locations, which the index stores its
// entries in.
std::vector<int32_t> arrange_face_trees(FaceTree& tree, const std::vector<FacePlace>& places, int leaf_size);

// About the least leaf size, leaf_size or more, at which the trees of the
// places take at most most_bytes in boxes (or splits) and run bits.
int leaf_size_within(const std::vector<FacePlace>& places, int leaf_size, bool by_splits, size_t most_bytes);

// Every node's box over the places of its members (`places` in the tree's
// order), each range `widen` wider at both ends, kept as floats, or where
// tree.by_splits as the splits of the nodes above the leaves; each face's
// box in doubles and whether its members lie on the sphere; and the run bit
// of every leaf whose members share one place.
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

// The tree over the places: faces, shares, boxes (`widen` wider than the
// places; as floats where they fit most_bytes with leaves of leaf_size,
// else as splits, with leaves as large as the splits need to fit), runs
// (same as for mark_runs).
template <typename Same>
std::vector<int32_t> build_face_tree(FaceTree& tree, const std::vector<FacePlace>& places, int leaf_size, Same same,
                                     double widen = 0.0, size_t most_bytes = SIZE_MAX) {
    tree.by_splits = leaf_size_within(places, leaf_size, false, most_bytes) > leaf_size;
    if (tree.by_splits) leaf_size = leaf_size_within(places, leaf_size, true, most_bytes);
    std::vector<int32_t> order = arrange_face_trees(tree, places, leaf_size);
    std::vector<FacePlace> in_order(order.size());
    for (size_t at = 0; at < order.size(); ++at) in_order[at] = places[order[at]];
    fill_boxes(tree, in_order, widen);
    mark_runs(tree, order, in_order, same);
    return order;
}

inline size_t face_tree_bytes(const FaceTree& tree) {
    return tree.boxes.capacity() * sizeof(NodeBox) + tree.splits.capacity() * sizeof(NodeSplit) +
           tree.runs.capacity() * sizeof(uint64_t);
}

template <typename Same>
void mark_runs(FaceTree& tree, std::vector<int32_t>& order, const std::vector<FacePlace>& places, Same same) {
    for (const FaceSpan& face : tree.faces) {
        if (face.count == 0) continue;
        const uint32_t nodes = static_cast<uint32_t>(tree_nodes(face.count, face.depth)),
                       first_leaf = uint32_t{1} << face.depth;
        // Leaves by their members, the others by their children's firsts.
        for (uint32_t node = nodes; node >= 1; --node) {
            const EntryRange entries = node_entries(face, node);
            const int32_t first = order[entries.first];
            bool run = is_run(tree, face, node);
            if (node >= first_leaf)
                for (int32_t at = entries.first + 1; at < entries.end && run; ++at) run = same(first, order[at]);
            else {
                const int32_t second = node_entries(face, 2 * node + 1).first;
                run = is_run(tree, face, 2 * node) && is_run(tree, face, 2 * node + 1) &&
                      same_place(places[entries.first], places[second]) && same(first, order[second]);
            }
            set_run(tree, face, node, run);
        }
        // The lowest table index first in each run not within a larger one.
        for (uint32_t node = 1; node <= nodes; ++node) {
            if (!is_run(tree, face, node) || (node > 1 && is_run(tree, face, node / 2))) continue;
            const EntryRange entries = node_entries(face, node);
            std::iter_swap(order.begin() + entries.first,
                           std::min_element(order.begin() + entries.first, order.begin() + entries.end));
        }
    }
}

}  // namespace spherebench
