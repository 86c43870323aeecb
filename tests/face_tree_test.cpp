// The tree's boxes, as floats or coded a node within its parent: read as
// the walk reads them, from the root down, every node's box must hold each
// of its members, and stand within a float's rounding or a step (a 255th of
// its parent's range) of them at every end, else the searches are still
// exact but walk more than they need. Bit-exact answers
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

// A tree of the places, its boxes as codes where `coded` (a byte a place
// leaves no room for floats), else as floats.
Tree build(const std::vector<FacePlace>& places, int leaf_size, bool coded) {
    Tree built;
    const std::vector<int32_t> order = build_face_tree(
        built.tree, places, leaf_size, [](int32_t, int32_t) { return true; }, 0.0, coded ? places.size() : SIZE_MAX);
    EXPECT_EQ(built.tree.coded, coded);
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

// Checks every node of a face whose box, as the walk reads it, is `box`,
// and its children's.
void check_node(const Tree& built, const FaceSpan& face, uint32_t node, const BoxBounds& box) {
    const EntryRange members = node_entries(face, node);
    for (int32_t at = members.first; at < members.end; ++at) {
        const FacePlace& p = built.in_order[at];
        // A NaN coordinate never scores below anything, so no box need hold it.
        const auto holds = [](double low, double x, double high) { return std::isnan(x) || (low <= x && x <= high); };
        ASSERT_TRUE(holds(box.a_low, p.a, box.a_high) && holds(box.b_low, p.b, box.b_high) &&
                    holds(box.major_low, p.major, box.major_high))
            << "node " << node << " leaves out the member at " << at;
    }
    if (node >= (uint32_t{1} << face.depth)) return;
    BoxBounds boxes[2];
    if (built.tree.coded)
        FaceNodes<true>{built.tree, face}.children(box, node, boxes[0], boxes[1]);
    else
        FaceNodes<false>{built.tree, face}.children(box, node, boxes[0], boxes[1]);
    const BoxSteps step = steps_of(box);
    for (const uint32_t child : {2 * node, 2 * node + 1}) {
        const BoxBounds& decoded = boxes[child - 2 * node];
        const EntryRange in_child = node_entries(face, child);
        const BoxBounds tight = bounds_of_members(built, in_child);
        // Within a step (codes) or a float's rounding of the members at
        // every end; an empty leaf's box bounds nothing.
        const auto near = [&](double end, double member, double coded_step) {
            const double slack = built.tree.coded ? coded_step * 1.0001 : std::fabs(member) * 0x1p-23;
            return std::fabs(end - member) <= slack + 1e-15;
        };
        const bool empty = in_child.first == in_child.end;
        EXPECT_TRUE(empty || (near(decoded.a_low, tight.a_low, step.a) && near(decoded.a_high, tight.a_high, step.a) &&
                              near(decoded.b_low, tight.b_low, step.b) && near(decoded.b_high, tight.b_high, step.b) &&
                              near(decoded.major_low, tight.major_low, step.major) &&
                              near(decoded.major_high, tight.major_high, step.major)))
            << "node " << child << "'s box is looser than its coding allows";
        check_node(built, face, child, decoded);
    }
}

void check_tree(const Tree& built) {
    for (const FaceSpan& face : built.tree.faces)
        if (face.count > 0) check_node(built, face, 1, face.box);
}

}  // namespace

// Uniform, crowded (a hundred thousand places within a metre, where a step
// is a few ulps) and copied places, over several faces.
TEST(FaceTree, DecodedBoxesHoldTheirMembersWithinAStep) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-0.7, 0.7), tiny(-1e-7, 1e-7);
    std::vector<FacePlace> places;
    for (int k = 0; k < 5000; ++k) places.push_back({k % 6, spread(random), spread(random), 0.7 + spread(random) / 4});
    for (int k = 0; k < 100000; ++k) places.push_back({2, 0.3 + tiny(random), -0.2 + tiny(random), 0.93});
    for (int k = 0; k < 300; ++k) places.push_back({4, 0.1, 0.1, 0.98});
    for (const bool coded : {true, false}) {
        check_tree(build(places, 16, coded));
        check_tree(build(places, 1, coded));
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

// The leaf size grows until the codes and run bits fit the budget: a byte
// a location leaves about 12 a leaf at least, the codes taking 6 bytes a
// node, two nodes a leaf; floats, four times that, would need leaves of 48
// or more, so the tree takes codes.
TEST(FaceTree, LeafSizeWithinBudget) {
    std::vector<FacePlace> places;
    for (int k = 0; k < 60000; ++k) places.push_back({k % 6, k * 1e-5, k * 2e-5, 0.5});
    EXPECT_EQ(leaf_size_within(places, 8, sizeof(ChildCode), SIZE_MAX), 8);
    const int leaf_size = leaf_size_within(places, 8, sizeof(ChildCode), places.size());
    EXPECT_GE(leaf_size, 12);
    EXPECT_LE(leaf_size, 24);
    FaceTree tree;
    build_face_tree(
        tree, places, 8, [](int32_t, int32_t) { return true; }, 0.0, places.size());
    EXPECT_TRUE(tree.coded);
    EXPECT_LE(face_tree_bytes(tree), places.size());
}
