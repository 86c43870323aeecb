// How a query walks the trees of face_tree.h. Nearest first: of a node's
// two children, go on into the one of smaller bound and keep the other,
// with its bound, on a small stack; a node whose bound exceeds the best so
// far is skipped with everything under it. The bounds are the boxes' or the
// cells' (the score's own operations on the gaps to them) and, where a box
// reaches off the sphere towards a query far from it, the sphere's
// (sphere_bound.h), so that a query far from a tight cluster reaches the
// cluster's near edge and skips the rest.
//
// A tree of float boxes is walked near the locations down to the leaf on
// its side of every split, a comparison a level, which gives a near best at
// once; then, from that leaf up, the other child of each node on the way,
// nearest first within it. A tree of splits is walked nearest first from
// the root, carrying the query's gaps to its cell, which each split
// changes in one coordinate only.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

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

// What the bound of the sphere (sphere_bound.h) needs of the query on a
// face: its coordinates there, whether it lies on the sphere, and how far
// the query the score measures from may lie from it.
struct FaceAsk {
    SphereQuery sphere;
    bool on_sphere;
    double query_error = 0.0;
};

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

// One face's tree of float boxes as a search walks it.
struct FaceNodes {
    const FaceTree& tree;
    const FaceSpan& face;

    // A node's box as stored.
    BoxBounds box(uint32_t node) const {
        return node == 1 ? face.box : bounds_of(tree.boxes[static_cast<size_t>(face.first_node) + node - 1]);
    }
    bool is_leaf(uint32_t node) const { return spherebench::is_leaf(tree, face, node); }
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

// Visits, nearest first, the nodes under `top` (of bound top_bound) whose
// bound (bound_of(box)) is at most limit(), calling scan(node, box) on
// every leaf reached, to test its members (scanned_entries). limit() is
// asked again before each node, as the scans lower it. Allocates nothing;
// the stack holds a node per level.
template <typename BoundOf, typename Limit, typename Scan>
void search_subtree(const FaceNodes& nodes, uint32_t top, double top_bound, BoundOf bound_of, Limit limit, Scan scan) {
    struct Pending {
        uint32_t node;
        double bound;
    };
    Pending pending[kMostTreeDepth + 1];
    int waiting = 0;
    uint32_t node = top;
    if (top_bound > limit()) return;
    for (;;) {
        if (nodes.is_leaf(node)) {
            scan(node, nodes.box(node));
        } else {
            SPHEREBENCH_COUNT(nodes);
            const uint32_t left = 2 * node;
            const double left_bound = bound_of(nodes.box(left)), right_bound = bound_of(nodes.box(left + 1));
            const bool right_first = right_bound < left_bound;
            const double near_bound = right_first ? right_bound : left_bound;
            const double far_bound = right_first ? left_bound : right_bound;
            // Only a bound proved beyond the limit skips a node: a NaN one
            // (an infinite query's gap to a box reaching to infinity) does not.
            if (!(far_bound > limit())) pending[waiting++] = {left + !right_first, far_bound};
            if (!(near_bound > limit())) {
                node = left + right_first;
                continue;
            }
        }
        do {
            if (waiting == 0) return;
            --waiting;
        } while (pending[waiting].bound > limit());
        node = pending[waiting].node;
    }
}

// Every member of one face of a tree of float boxes that may beat or tie
// the best, for a query at (a, b) on it: first the leaf on the query's side
// of every split down from the root, which gives the search a near best at
// the cost of a comparison a level; then, from that leaf up, the other
// child of each node on the way, nearest first within it (search_subtree).
// Each leaf lies in exactly one of these, so every node the bounds do not
// rule out is visited.
template <typename BoundOf, typename Limit, typename Scan>
void search_face_nodes(const FaceNodes& nodes, double a, double b, BoundOf bound_of, Limit limit, Scan scan) {
    const BoxBounds root = nodes.face.box;
    const double root_bound = bound_of(root);
    if (root_bound > limit()) return;
    // A query beyond the face's whole box: nearest first from the root, by
    // the bounds, which then mean more than the side of a split.
    if (far_from(root, root_bound)) return search_subtree(nodes, 1, root_bound, bound_of, limit, scan);
    uint32_t node = 1;
    while (!nodes.is_leaf(node)) {
        SPHEREBENCH_COUNT(nodes);
        node = 2 * node + toward_right(nodes.box(node), nodes.box(2 * node), nodes.box(2 * node + 1), a, b);
    }
    scan(node, nodes.box(node));
    for (; node > 1; node /= 2) search_subtree(nodes, node ^ 1u, bound_of(nodes.box(node ^ 1u)), bound_of, limit, scan);
}

// Every member of one face of a tree of splits that may beat or tie the
// best, for `query` on it (its major term kMajor), nearest first from the
// root. A node's cell is the face's box with, in each coordinate, the range
// of the nearest split above it in that coordinate; its bound, the ordered
// sum of the squared gaps to the cell in a and b and to the face's range
// in the major coordinate, and where the cell lies far off but may not be
// ruled out by that, that of the patch of the sphere over the cell, if the
// face's members and the query lie on the sphere. Going down, a split
// changes the gap in its coordinate only, so a node costs four ends, two
// gaps and two sums. scan(leaf) tests a leaf's members (scanned_entries).
// Allocates nothing; the stack holds a node per level.
template <MajorTerm kMajor, typename Limit, typename Scan>
void search_face_splits(const FaceTree& tree, const FaceSpan& face, const FacePlace& query, const FaceAsk& ask,
                        Limit limit, Scan scan) {
    const BoxBounds& box = face.box;
    const double step_a = split_step(box.a_low, box.a_high), step_b = split_step(box.b_low, box.b_high);
    const double major_gap = squared_gap(box.major_low, box.major_high, query.major);
    const bool on_sphere = ask.on_sphere && face.on_sphere;
    // A cell's ends: a_low, a_high, b_low, b_high.
    using Cell = std::array<double, 4>;
    // The sphere's bound, where the cell lies further off than it is wide
    // (only there can it pass the box's by much, see sphere_may_rule_out)
    // and the box's does not rule it out; else the box's.
    const auto with_sphere = [&](const Cell& cell, double bound) {
        if (!on_sphere || !(bound > 0.0) || bound > limit()) return bound;
        const double a = cell[1] - cell[0], b = cell[3] - cell[2];
        if (!(bound > a * a + b * b)) return bound;
        return std::max(bound, sphere_box_bound(ask.sphere, cell[0], cell[1], cell[2], cell[3], ask.query_error));
    };
    const auto beyond = [&](const Cell& cell, double bound) { return with_sphere(cell, bound) > limit(); };
    struct Pending {
        uint32_t node;
        double gap_a, gap_b, bound;
        Cell cell;
    };
    Pending pending[kMostTreeDepth + 1];
    int waiting = 0;
    uint32_t node = 1;
    Cell cell{box.a_low, box.a_high, box.b_low, box.b_high};
    double gap_a = squared_gap(box.a_low, box.a_high, query.a), gap_b = squared_gap(box.b_low, box.b_high, query.b);
    double bound = ordered_bound(gap_a, gap_b, major_gap, kMajor);
    // The sphere's bound is asked of both children of every node where the
    // query lies further from the face's box than the box is wide (a far
    // query to a tight cluster), so that it orders them; elsewhere only of
    // a node as it is taken from the stack or scanned, not on the way down
    // towards the query, where it hardly ever rules anything out.
    const bool far_face = far_from(box, bound);
    if (!beyond(cell, bound)) {
        for (;;) {
            if (is_leaf(tree, face, node)) {
                if (!beyond(cell, bound)) scan(node);
            } else {
                SPHEREBENCH_COUNT(nodes);
                const auto [along_b, left_low, left_high, right_low, right_high] =
                    split_ranges(tree.splits[static_cast<size_t>(face.first_split) + node - 1], box, step_a, step_b);
                const double x = along_b ? query.b : query.a, gap = along_b ? gap_b : gap_a;
                const double left_gap = std::max(gap, squared_gap(left_low, left_high, x));
                const double right_gap = std::max(gap, squared_gap(right_low, right_high, x));
                const int low_end = along_b ? 2 : 0, high_end = low_end + 1;
                double left_bound = along_b ? ordered_bound(gap_a, left_gap, major_gap, kMajor)
                                            : ordered_bound(left_gap, gap_b, major_gap, kMajor);
                double right_bound = along_b ? ordered_bound(gap_a, right_gap, major_gap, kMajor)
                                             : ordered_bound(right_gap, gap_b, major_gap, kMajor);
                if (far_face) {
                    Cell left = cell, right = cell;
                    left[low_end] = left_low, left[high_end] = left_high;
                    right[low_end] = right_low, right[high_end] = right_high;
                    left_bound = with_sphere(left, left_bound), right_bound = with_sphere(right, right_bound);
                }
                const bool right_first =
                    right_bound < left_bound || (right_bound == left_bound && x + x > left_high + right_low);
                const double near_bound = right_first ? right_bound : left_bound;
                const double far_bound = right_first ? left_bound : right_bound;
                const double near_gap = right_first ? right_gap : left_gap,
                             far_gap = right_first ? left_gap : right_gap;
                // Only a bound proved beyond the limit skips a node: a NaN
                // one (of a NaN query) does not.
                if (!(far_bound > limit())) {
                    Pending& far = pending[waiting++];
                    far = {2 * node + !right_first, along_b ? gap_a : far_gap, along_b ? far_gap : gap_b, far_bound,
                           cell};
                    far.cell[low_end] = right_first ? left_low : right_low;
                    far.cell[high_end] = right_first ? left_high : right_high;
                }
                if (!(near_bound > limit())) {
                    node = 2 * node + right_first;
                    (along_b ? gap_b : gap_a) = near_gap;
                    cell[low_end] = right_first ? right_low : left_low;
                    cell[high_end] = right_first ? right_high : left_high;
                    bound = near_bound;
                    continue;
                }
            }
            do {
                if (waiting == 0) return;
                --waiting;
            } while (beyond(pending[waiting].cell, pending[waiting].bound));
            const Pending& next = pending[waiting];
            node = next.node, gap_a = next.gap_a, gap_b = next.gap_b, bound = next.bound, cell = next.cell;
        }
    }
}

}  // namespace spherebench
