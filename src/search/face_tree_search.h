// How a query walks the trees of face_tree.h. Near the locations: down to
// the leaf on its side of every split, a comparison a level, which gives a
// near best at once; then, from that leaf up, the other child of each node
// on the way, nearest first within it. Far from a face's locations: nearest
// first from the root. Nearest first means: of a node's two children, go on
// into the one of smaller bound and keep the other, with its bound, on a
// small stack; a node whose bound exceeds the best so far is skipped with
// everything under it. The bounds are the boxes' (the score's own
// operations on the gaps to a box) and, where a box reaches off the sphere
// towards a query far from it, the sphere's (sphere_bound.h), so that a
// query far from a tight cluster reaches the cluster's near edge and skips
// the rest.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "search/face_tree.h"
#include "search/sphere_bound.h"
#include "search/walk_counts.h"

namespace spherebench {

// The bound on the score of every member of a box: the ordered sum of the
// squared gaps to its coordinates' ranges, each at most the member's own
// squared difference.
inline double box_bound(const BoxBounds& box, const FaceQuery& query) {
    return ordered_bound(squared_gap(box.a_low, box.a_high, query.place.a),
                         squared_gap(box.b_low, box.b_high, query.place.b),
                         squared_gap(box.major_low, box.major_high, query.place.major), query.major);
}

// Whether the bound of sphere_bound.h may rule out a node that its box,
// bound `bound`, does not, below `limit`. A box's corner stands nearer than
// the sphere over it by at most about 2 sqrt(bound) times its diagonal d;
// that matters where the query lies several diagonals away (bound >
// 16 d^2), as a query far from a tight cluster does, and only where
// limit - bound falls short of it, (limit - bound)^2 < 4 bound d^2. Among
// the locations a query hardly ever meets such a node.
inline bool sphere_may_rule_out(const BoxBounds& box, double bound, double limit) {
    const double a = box.a_high - box.a_low, b = box.b_high - box.b_low, m = box.major_high - box.major_low;
    const double diagonal2 = (a * a + b * b) + m * m, short_of = limit - bound;
    return bound > 16.0 * diagonal2 && short_of * short_of < 4.0 * bound * diagonal2;
}

// Whether the query lies further from a box than the box is wide.
inline bool far_from(const BoxBounds& box, double bound) {
    const double a = box.a_high - box.a_low, b = box.b_high - box.b_low, m = box.major_high - box.major_low;
    return bound > (a * a + b * b) + m * m;
}

// The members a search scans of a node: all of a leaf's, a run's first.
inline EntryRange scanned_entries(const FaceTree& tree, const FaceSpan& face, uint32_t node) {
    const EntryRange entries = node_entries(face, node);
    return {entries.first, is_run(tree, face, node) ? entries.first + 1 : entries.end};
}

// One face's tree as a search walks it: kCoded, its boxes decoded from
// their parents' on the way down, so that the walk carries each node's
// box; else each read as stored.
template <bool kCoded>
struct FaceNodes {
    const FaceTree& tree;
    const FaceSpan& face;

    // The boxes of a node's two children, from its own where coded.
    void children(const BoxBounds& box, uint32_t node, BoxBounds& left, BoxBounds& right) const {
        const size_t first = static_cast<size_t>(face.first_node) + 2 * node - 1;
        if constexpr (kCoded) {
            const BoxSteps step = steps_of(box);
            left = child_box(box, step, tree.codes[first]);
            right = child_box(box, step, tree.codes[first + 1]);
        } else {
            left = bounds_of(tree.boxes[first]);
            right = bounds_of(tree.boxes[first + 1]);
        }
    }
    // A node's box as stored, where not coded.
    BoxBounds stored(uint32_t node) const {
        return node == 1 ? face.box : bounds_of(tree.boxes[static_cast<size_t>(face.first_node) + node - 1]);
    }
    // A node whose members a search scans rather than descends into.
    bool is_leaf(uint32_t node) const { return node >= (uint32_t{1} << face.depth) || is_run(tree, face, node); }
};

// Whether a query at (a, b) lies on the right child's side of a node's
// split, judged along the wider side of the node's box: where a near
// location most likely is.
inline bool toward_right(const BoxBounds& whole, const BoxBounds& left, const BoxBounds& right, double a, double b) {
    const bool along_a = whole.a_high - whole.a_low >= whole.b_high - whole.b_low;
    const double x = along_a ? a : b;
    const double middle = along_a ? left.a_high + right.a_low : left.b_high + right.b_low;
    return x + x > middle;
}

// A node's bound: its box's, and where that does not rule it out but may
// fall short by the box's corners, that of the patch of the sphere over the
// box (sphere_bound.h), if the face's members and the query lie on the
// sphere (on_sphere).
inline double node_bound(const BoxBounds& box, const FaceQuery& query, const SphereQuery& sphere, bool on_sphere,
                         double limit, double query_error = 0.0) {
    const double bound = box_bound(box, query);
    if (bound > limit || !on_sphere || !sphere_may_rule_out(box, bound, limit)) return bound;
    return std::max(bound, sphere_box_bound(sphere, box.a_low, box.a_high, box.b_low, box.b_high, query_error));
}

// Visits, nearest first, the nodes under `top` (of box top_box and bound
// top_bound) whose bound (bound_of(box)) is at most limit(), calling
// scan(node, box) on every leaf reached, to test its members
// (scanned_entries). limit() is asked again before each node, as the scans
// lower it. Allocates nothing; the stack holds a node per level (and its
// box where the boxes are coded).
template <bool kCoded, typename BoundOf, typename Limit, typename Scan>
void search_subtree(const FaceNodes<kCoded>& nodes, uint32_t top, const BoxBounds& top_box, double top_bound,
                    BoundOf bound_of, Limit limit, Scan scan) {
    struct Unused {};
    struct Pending {
        uint32_t node;
        double bound;
        [[no_unique_address]] std::conditional_t<kCoded, BoxBounds, Unused> box;
    };
    Pending pending[kMostTreeDepth + 1];
    int waiting = 0;
    uint32_t node = top;
    BoxBounds box = top_box;  // the node's, where coded
    if (top_bound > limit()) return;
    for (;;) {
        if (nodes.is_leaf(node)) {
            if constexpr (kCoded)
                scan(node, box);
            else
                scan(node, nodes.stored(node));
        } else {
            SPHEREBENCH_COUNT(nodes);
            const uint32_t left = 2 * node;
            BoxBounds left_box, right_box;
            nodes.children(box, node, left_box, right_box);
            const double left_bound = bound_of(left_box), right_bound = bound_of(right_box);
            const bool right_first = right_bound < left_bound;
            const double near_bound = right_first ? right_bound : left_bound;
            const double far_bound = right_first ? left_bound : right_bound;
            // Only a bound proved beyond the limit skips a node: a NaN one
            // (an infinite query's gap to a box reaching to infinity) does not.
            if (!(far_bound > limit())) {
                pending[waiting] = {left + !right_first, far_bound, {}};
                if constexpr (kCoded) pending[waiting].box = right_first ? left_box : right_box;
                ++waiting;
            }
            if (!(near_bound > limit())) {
                node = left + right_first;
                if constexpr (kCoded) box = right_first ? right_box : left_box;
                continue;
            }
        }
        do {
            if (waiting == 0) return;
            --waiting;
        } while (pending[waiting].bound > limit());
        node = pending[waiting].node;
        if constexpr (kCoded) box = pending[waiting].box;
    }
}

// Every member of one face that may beat or tie the best, for a query at
// (a, b) on it: first the leaf on the query's side of every split down from
// the root, which gives the search a near best at the cost of a comparison
// a level; then, from that leaf up, the other child of each node on the
// way, nearest first within it (search_subtree). Each leaf lies in exactly
// one of these, so every node the bounds do not rule out is visited.
template <bool kCoded, typename BoundOf, typename Limit, typename Scan>
void search_face_nodes(const FaceNodes<kCoded>& nodes, double a, double b, BoundOf bound_of, Limit limit, Scan scan) {
    BoxBounds box = nodes.face.box;
    const double root_bound = bound_of(box);
    if (root_bound > limit()) return;
    // A query beyond the face's whole box: nearest first from the root, by
    // the bounds, which then mean more than the side of a split.
    if (far_from(box, root_bound)) return search_subtree(nodes, 1, box, root_bound, bound_of, limit, scan);
    BoxBounds other_side[kMostTreeDepth + 1];  // by level, the box of the child not taken, where coded
    uint32_t node = 1;
    int level = 0;
    while (!nodes.is_leaf(node)) {
        SPHEREBENCH_COUNT(nodes);
        BoxBounds left, right;
        nodes.children(box, node, left, right);
        const bool go_right = toward_right(box, left, right, a, b);
        node = 2 * node + go_right;
        if constexpr (kCoded) other_side[level + 1] = go_right ? left : right;
        ++level;
        box = go_right ? right : left;
    }
    scan(node, box);
    for (; node > 1; node /= 2, --level) {
        const BoxBounds other = kCoded ? other_side[level] : nodes.stored(node ^ 1u);
        search_subtree(nodes, node ^ 1u, other, bound_of(other), bound_of, limit, scan);
    }
}

// search_face_nodes over a face of the tree, its boxes read as they are
// stored.
template <typename BoundOf, typename Limit, typename Scan>
void search_face_tree(const FaceTree& tree, int face_number, double a, double b, BoundOf bound_of, Limit limit,
                      Scan scan) {
    const FaceSpan& face = tree.faces[face_number];
    if (face.count == 0) return;
    if (tree.coded)
        search_face_nodes(FaceNodes<true>{tree, face}, a, b, bound_of, limit, scan);
    else
        search_face_nodes(FaceNodes<false>{tree, face}, a, b, bound_of, limit, scan);
}

}  // namespace spherebench
