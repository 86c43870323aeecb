// The structure the indexes share: locations sorted into six faces
// (face_place.h) and each face's entries sorted in place into an implicit
// k-d tree over its two coordinates. Node 1 holds the face's entries; node
// k at level l (2^l <= k < 2^(l + 1)) holds the j-th of 2^l equal shares,
// j = k - 2^l, split between its children 2k and 2k + 1 by the coordinate
// its members spread wider in. Leaves, at the face's depth, hold at most
// the leaf size each. Every node has a box bounding its members' three
// coordinates: the root's in doubles; every other as six floats rounded
// outward where the index's byte budget holds them (a walk reads each box
// as it stands), else as six bytes, each end whole 255ths of its parent's
// range in from the parent's same end, rounded outward (a walk decodes
// each box from its parent's on the way down), so that a tree of leaves of
// about 16 takes under a byte a location; and a bit telling whether its
// members all hold one stored value. Nothing else is stored per node (the
// shares are computed). Shares that follow the locations, not the sphere, keep
// a leaf to a handful of locations however crowded the table is.
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

// A node's box within its parent's: each end a whole number of steps, a
// 255th of the parent's range, in from the parent's same end.
struct ChildCode {
    uint8_t a_low, a_high, b_low, b_high, major_low, major_high;
};

// The length of a step in each of a box's ranges (boxes are finite: a
// face whose members reach beyond kMostBoxed is one leaf, of no codes).
struct BoxSteps {
    double a, b, major;
};

inline constexpr double kMostBoxed = 1e300;

inline BoxSteps steps_of(const BoxBounds& box) {
    constexpr double kStep = 1.0 / 255;
    return {(box.a_high - box.a_low) * kStep, (box.b_high - box.b_low) * kStep,
            (box.major_high - box.major_low) * kStep};
}

// The box a child's code stands for within its parent's box.
inline BoxBounds child_box(const BoxBounds& parent, const BoxSteps& step, const ChildCode& code) {
    return {parent.a_low + code.a_low * step.a,
            parent.a_high - code.a_high * step.a,
            parent.b_low + code.b_low * step.b,
            parent.b_high - code.b_high * step.b,
            parent.major_low + code.major_low * step.major,
            parent.major_high - code.major_high * step.major};
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
    int32_t first_node = 0;        // node k's code and run bit: first_node + k - 1
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
    bool coded = false;            // boxes as codes, else as floats
    StoredArray<NodeBox> boxes;    // node k's box, where not coded
    StoredArray<ChildCode> codes;  // node k's code, where coded (the root's unused)
    // Bit per node: all its members hold the same stored value (so score
    // alike), and the lowest table index comes first among them.
    StoredArray<uint64_t> runs;
};

// The tree's values and arrays, in the order a saved index holds them
// (search/saved_index.h); Tree is FaceTree or const FaceTree.
template <typename Io, typename Tree>
void tree_fields(Io& io, Tree& tree) {
    for (auto& face : tree.faces) {
        io.value(face.begin), io.value(face.count), io.value(face.first_node), io.value(face.depth);
        auto& box = face.box;
        io.value(box.a_low), io.value(box.a_high), io.value(box.b_low), io.value(box.b_high);
        io.value(box.major_low), io.value(box.major_high);
        io.value(face.on_sphere);
    }
    io.value(tree.coded);
    io.array(tree.boxes);
    io.array(tree.codes);
    io.array(tree.runs);
}

// The nodes of a face's tree of `count` entries whose leaves stand at
// `depth`.
inline size_t tree_nodes(int32_t count, int depth) { return count == 0 ? 0 : (size_t{2} << depth) - 1; }

// Node k's run bit of a face: whether its members all hold one stored
// value.
inline bool is_run(const FaceTree& tree, const FaceSpan& face, uint32_t node) {
    const uint32_t bit = static_cast<uint32_t>(face.first_node) + node - 1;
    return (tree.runs[bit / 64] >> (bit % 64)) & 1u;
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

// Sorts the locations into faces and each face into its tree (splits only:
// no boxes yet), choosing each face's depth so that no leaf holds more than
// leaf_size; returns the order of the locations, which the index stores its
// entries in.
std::vector<int32_t> arrange_face_trees(FaceSpan (&faces)[kFaces], const std::vector<FacePlace>& places, int leaf_size);

// About the least leaf size, leaf_size or more, at which the trees of the
// places take at most most_bytes in boxes of box_bytes and run bits.
int leaf_size_within(const std::vector<FacePlace>& places, int leaf_size, size_t box_bytes, size_t most_bytes);

// Every node's box over the places of its members (`places` in the tree's
// order; as codes where tree.coded), each range `widen` wider at both ends;
// each
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
// places; as floats where they fit most_bytes with leaves of leaf_size,
// else as codes, with leaves as large as the codes need to fit), runs (same
// as for mark_runs).
template <typename Same>
std::vector<int32_t> build_face_tree(FaceTree& tree, const std::vector<FacePlace>& places, int leaf_size, Same same,
                                     double widen = 0.0, size_t most_bytes = SIZE_MAX) {
    tree.coded = leaf_size_within(places, leaf_size, sizeof(NodeBox), most_bytes) > leaf_size;
    if (tree.coded) leaf_size = leaf_size_within(places, leaf_size, sizeof(ChildCode), most_bytes);
    std::vector<int32_t> order = arrange_face_trees(tree.faces, places, leaf_size);
    std::vector<FacePlace> in_order(order.size());
    for (size_t at = 0; at < order.size(); ++at) in_order[at] = places[order[at]];
    fill_boxes(tree, in_order, widen);
    mark_runs(tree, order, in_order, same);
    return order;
}

inline size_t face_tree_bytes(const FaceTree& tree) {
    return tree.boxes.capacity() * sizeof(NodeBox) + tree.codes.capacity() * sizeof(ChildCode) +
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
