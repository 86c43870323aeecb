// The trees' bounds, read as the walks read them, must hold each member of
// their nodes, and stand within a float's rounding (boxes) or a step (a
// kSplitSteps-th of the face's range, splits) of them at every end, else the
// searches are still exact but walk more than they need. Bit-exact answers
// over trees are checked in search_exact_test.cpp.
#include "search/face_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "search/face_tree_search.h"

using namespace spherebench;

namespace {

struct Tree {
    FaceTree tree;
    std::vector<FacePlace> in_order;  // the places in the tree's order
};

// A tree of the places, kept as splits where `by_splits` (a byte a place
// leaves no room for float boxes), else as boxes.
Tree build(const std::vector<FacePlace>& places, int leaf_size, bool by_splits) {
    Tree built;
    const std::vector<int32_t> order = build_face_tree(
        built.tree, places, leaf_size, [](int32_t, int32_t) { return true; }, 0.0,
        by_splits ? places.size() : SIZE_MAX);
    EXPECT_EQ(built.tree.by_splits, by_splits);
    for (const int32_t k : order) built.in_order.push_back(places[k]);
    return built;
}

BoxBounds bounds_of_members(const Tree& built, EntryRange members) {
    BoxBounds b{INFINITY, -INFINITY, INFINITY, -INFINITY, INFINITY, -INFINITY};
    for (int32_t at = members.first; at < members.end; ++at) {
        const FacePlace& p = built.in_order[at];
        b = {std::min(b.a_low, p.a),  std::max(b.a_high, p.a),        std::min(b.b_low, p.b),
             std::max(b.b_high, p.b), std::min(b.major_low, p.major), std::max(b.major_high, p.major)};
    }
    return b;
}

// A NaN coordinate never scores below anything, so no bound need hold it.
bool holds(double low, double x, double high) { return std::isnan(x) || (low <= x && x <= high); }

// An end within `slack` of its members' (an empty node's bounds nothing).
bool near(double end, double member, double slack) { return std::fabs(end - member) <= slack * 1.0001 + 1e-15; }

void check_boxes(const Tree& built, const FaceSpan& face) {
    const FaceNodes nodes{built.tree, face};
    for (uint32_t node = 1; node < (uint32_t{2} << face.depth); ++node) {
        const BoxBounds box = nodes.box(node);
        const EntryRange members = node_entries(face, node);
        for (int32_t at = members.first; at < members.end; ++at) {
            const FacePlace& p = built.in_order[at];
            ASSERT_TRUE(holds(box.a_low, p.a, box.a_high) && holds(box.b_low, p.b, box.b_high) &&
                        holds(box.major_low, p.major, box.major_high))
                << "node " << node << " leaves out the member at " << at;
        }
        const BoxBounds tight = bounds_of_members(built, members);
        const auto close = [](double end, double member) { return near(end, member, std::fabs(member) * 0x1p-23); };
        EXPECT_TRUE(members.first == members.end ||
                    (close(box.a_low, tight.a_low) && close(box.a_high, tight.a_high) &&
                     close(box.b_low, tight.b_low) && close(box.b_high, tight.b_high) &&
                     close(box.major_low, tight.major_low) && close(box.major_high, tight.major_high)))
            << "node " << node << "'s box is looser than a float's rounding";
    }
}

void check_splits(const Tree& built, const FaceSpan& face) {
    const BoxBounds& box = face.box;
    const double step_a = split_step(box.a_low, box.a_high), step_b = split_step(box.b_low, box.b_high);
    for (uint32_t node = 1; node < (uint32_t{1} << face.depth); ++node) {
        const SplitRanges split = split_ranges(built.tree.splits[face.first_split + node - 1], box, step_a, step_b);
        const double step = split.along_b ? step_b : step_a;
        const auto check = [&](uint32_t child, double low, double high) {
            const EntryRange members = node_entries(face, child);
            for (int32_t at = members.first; at < members.end; ++at) {
                const FacePlace& p = built.in_order[at];
                ASSERT_TRUE(holds(low, split.along_b ? p.b : p.a, high))
                    << "node " << node << "'s split leaves out the member at " << at;
            }
            const BoxBounds tight = bounds_of_members(built, members);
            EXPECT_TRUE(members.first == members.end || (near(low, split.along_b ? tight.b_low : tight.a_low, step) &&
                                                         near(high, split.along_b ? tight.b_high : tight.a_high, step)))
                << "node " << child << "'s range is looser than a step";
        };
        check(2 * node, split.left_low, split.left_high);
        check(2 * node + 1, split.right_low, split.right_high);
    }
}

void check_tree(const Tree& built) {
    for (const FaceSpan& face : built.tree.faces) {
        if (face.count == 0) continue;
        if (built.tree.by_splits)
            check_splits(built, face);
        else
            check_boxes(built, face);
    }
}

}  // namespace

// Uniform, crowded (a hundred thousand places within a metre, where a step
// is a few ulps) and copied places, over several faces.
TEST(FaceTree, BoundsHoldTheirMembersWithinAStep) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-0.7, 0.7), tiny(-1e-7, 1e-7);
    std::vector<FacePlace> places;
    for (int k = 0; k < 5000; ++k) places.push_back({k % 6, spread(random), spread(random), 0.7 + spread(random) / 4});
    for (int k = 0; k < 100000; ++k) places.push_back({2, 0.3 + tiny(random), -0.2 + tiny(random), 0.93});
    for (int k = 0; k < 300; ++k) places.push_back({4, 0.1, 0.1, 0.98});
    for (const bool by_splits : {true, false}) {
        check_tree(build(places, 16, by_splits));
        check_tree(build(places, 1, by_splits));
    }
}

// A face whose members reach past kMostBoxed, or hold nothing but NaN in a
// coordinate, cannot be coded in finite steps: it is one leaf of its exact
// bounds, and the other faces keep their trees.
TEST(FaceTree, FacesBeyondFiniteStepsAreOneLeaf) {
    std::vector<FacePlace> places;
    for (int k = 0; k < 200; ++k) {
        places.push_back({0, k * 1e-3, 0.1, 0.9});
        places.push_back({1, k * 1e-3, 0.1, k == 7 ? 1e301 : 0.9});
        places.push_back({2, k * 1e-3, NAN, 0.9});
        places.push_back({3, k * 1e-3, 0.1, k == 9 ? -INFINITY : 0.9});
    }
    const Tree built = build(places, 4, true);
    EXPECT_GT(built.tree.faces[0].depth, 0);
    EXPECT_EQ(built.tree.faces[1].depth, 0);
    EXPECT_EQ(built.tree.faces[2].depth, 0);
    EXPECT_EQ(built.tree.faces[3].depth, 0);
    EXPECT_EQ(built.tree.faces[1].box.major_high, 1e301);
    EXPECT_EQ(built.tree.faces[3].box.major_low, -INFINITY);
    check_tree(built);
}

// The leaf size grows until the splits and run bits fit the budget: a byte
// a location leaves about 8 a leaf at least, the splits taking 8 bytes a
// node above the leaves, one such node a leaf; float boxes, 24 bytes a
// node, two nodes a leaf, would need leaves of 48 or more, so the tree
// takes splits.
TEST(FaceTree, LeafSizeWithinBudget) {
    std::vector<FacePlace> places;
    for (int k = 0; k < 60000; ++k) places.push_back({k % 6, k * 1e-5, k * 2e-5, 0.5});
    EXPECT_EQ(leaf_size_within(places, 8, true, SIZE_MAX), 8);
    const int leaf_size = leaf_size_within(places, 8, true, places.size());
    EXPECT_GE(leaf_size, 9);
    EXPECT_LE(leaf_size, 16);
    EXPECT_GE(leaf_size_within(places, 8, false, places.size()), 48);
    FaceTree tree;
    build_face_tree(
        tree, places, 8, [](int32_t, int32_t) { return true; }, 0.0, places.size());
    EXPECT_TRUE(tree.by_splits);
    EXPECT_LE(face_tree_bytes(tree), places.size());
}

// Splits cut each node's cell where it is wider, so that the cells close in
// on places along a diagonal, which spread as wide in a as in b at every
// level: by the members' spread every split would cut a, and leave every
// cell the face's whole range in b. A leaf's cell, its box cut by the last
// split in each coordinate above it, stands within a few of its members'
// spans of them.
TEST(FaceTree, SplitCellsCloseInAlongADiagonal) {
    std::vector<FacePlace> places;
    for (int k = 0; k < 4096; ++k) places.push_back({4, -0.5 + k * 2e-4, -0.5 + k * 2e-4, 0.7});
    const Tree built = build(places, 8, true);
    const FaceSpan& face = built.tree.faces[4];
    const BoxBounds& box = face.box;
    const double step_a = split_step(box.a_low, box.a_high), step_b = split_step(box.b_low, box.b_high);
    const uint32_t first_leaf = uint32_t{1} << face.depth;
    for (uint32_t leaf = first_leaf; leaf < 2 * first_leaf; ++leaf) {
        double cell[4] = {box.a_low, box.a_high, box.b_low, box.b_high};
        for (int level = face.depth - 1; level >= 0; --level) {
            const uint32_t node = leaf >> (level + 1), child = leaf >> level;
            const SplitRanges split = split_ranges(built.tree.splits[face.first_split + node - 1], box, step_a, step_b);
            cell[2 * split.along_b] = child & 1 ? split.right_low : split.left_low;
            cell[2 * split.along_b + 1] = child & 1 ? split.right_high : split.left_high;
        }
        const BoxBounds tight = bounds_of_members(built, node_entries(face, leaf));
        EXPECT_LT(cell[3] - cell[2], 4 * (tight.b_high - tight.b_low) + 4 * step_b) << "leaf " << leaf;
        EXPECT_LT(cell[1] - cell[0], 4 * (tight.a_high - tight.a_low) + 4 * step_a) << "leaf " << leaf;
    }
}
