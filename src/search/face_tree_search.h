// How a query walks the trees of face_tree.h: nearest first from the root.
// At each internal node the two children's cells (the node's cell cut at
// its split) are bounded; the walk goes on into the child of smaller bound,
// the query's own side of the split on a tie, and keeps the other, with its
// bound and cell, on a small stack; a node whose bound exceeds the limit is
// skipped with everything under it. A query among the locations so reaches
// its own leaf first, at the cost of two bounds a level, which gives a near
// best at once; a query far from them meets the nearest nodes first. The
// bounds are the cells' (the score's own operations on the gaps to a cell)
// and, where a cell reaches off the sphere towards a query far from it, the
// sphere's (sphere_bound.h), so that a query far from a tight cluster
// reaches the cluster's near edge and skips the rest.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "search/face_tree.h"
#include "search/sphere_bound.h"
#include "search/walk_counts.h"

namespace spherebench {

// Whether the bound of sphere_bound.h may rule out a cell that its box,
// bound `bound`, does not. A cell's corner stands nearer than the sphere
// over it by at most about 2 sqrt(bound) times its diagonal d (in a and b;
// on the sphere the third coordinate follows them): that matters where the
// query lies several diagonals away (bound > 16 d^2), as a query far from a
// tight cluster does, and there it rules out most of the cluster. Which
// cells try it changes the work, never the answer.
inline bool sphere_may_rule_out(const Cell& cell, double bound) {
    const double a = cell.a_high - cell.a_low, b = cell.b_high - cell.b_low;
    return bound > 16.0 * (a * a + b * b);
}

// The members a search scans in a node it does not descend into: all of a
// leaf's; of a run, its first (the lowest index of one stored value) unless
// every_copy.
inline EntryRange scanned_entries(const FaceTree& tree, const FaceSpan& face, uint32_t node, bool every_copy) {
    const EntryRange entries = node_entries(face, node);
    const bool first_only = !every_copy && bit_of(tree.runs, face.first_node + node - 1);
    return {entries.first, first_only ? entries.first + 1 : entries.end};
}

// What the bound of the sphere (sphere_bound.h) needs of the query on a
// face: its coordinates there, whether it lies on the sphere, and how far
// the query the score measures from may lie from it.
struct FaceAsk {
    SphereQuery sphere;
    bool on_sphere;
    double query_error = 0.0;
};

// A node as the walk holds it: its cell and the squared gaps from the query
// to the cell's two ranges. A child's cell is its parent's cut at one end
// along the split's axis, so only that gap changes: the gap to a range is
// the greater of the gaps to its two half-lines.
struct WalkCell {
    double a_low, a_high, b_low, b_high;
    double a_gap, b_gap;
};

// The two children of a node of cell `cell` split by a (by_b false) or b:
// the left's cell with its high end along the axis cut to left_high, the
// right's with its low end cut to right_low, and their gaps to the query's
// coordinate x along it.
inline void split_cell(const WalkCell& cell, bool by_b, NodeSplit split, double x, WalkCell& left, WalkCell& right) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    left = cell, right = cell;
    const double left_gap = squared_gap(-kInfinity, split.left_high, x);
    const double right_gap = squared_gap(split.right_low, kInfinity, x);
    if (by_b) {
        left.b_high = std::min<double>(cell.b_high, split.left_high), left.b_gap = std::max(cell.b_gap, left_gap);
        right.b_low = std::max<double>(cell.b_low, split.right_low), right.b_gap = std::max(cell.b_gap, right_gap);
    } else {
        left.a_high = std::min<double>(cell.a_high, split.left_high), left.a_gap = std::max(cell.a_gap, left_gap);
        right.a_low = std::max<double>(cell.a_low, split.right_low), right.a_gap = std::max(cell.a_gap, right_gap);
    }
}

// search_face_tree's walk, compiled per place of the major term in the sum
// (the face's), so that no bound chooses its order.
template <MajorTerm kMajor, typename Limit, typename Scan>
void walk_face_tree(const FaceTree& tree, const FaceSpan& face, const FaceQuery& query, const FaceAsk& ask, Limit limit,
                    Scan scan) {
    const bool on_sphere = ask.on_sphere && face.on_sphere;
    const double major_gap = squared_gap(face.major_low, face.major_high, query.place.major);
    const auto bound_of = [&](const WalkCell& cell) {
        const double bound = ordered_bound(cell.a_gap, cell.b_gap, major_gap, kMajor);
        // A cell the query lies over or beside is never ruled out by the
        // sphere either.
        if (!on_sphere || !(bound > 0.0)) return bound;
        const double reach = limit();
        const Cell box{cell.a_low, cell.a_high, cell.b_low, cell.b_high};
        if (bound > reach || !sphere_may_rule_out(box, bound)) return bound;
        return std::max(bound,
                        sphere_box_bound(ask.sphere, box.a_low, box.a_high, box.b_low, box.b_high, ask.query_error));
    };
    struct Pending {
        uint32_t node;
        double bound;
        WalkCell cell;
    };
    Pending pending[kMostTreeDepth + 1];
    int waiting = 0;
    uint32_t node = 1;
    const double a = query.place.a, b = query.place.b;
    WalkCell cell{face.box.a_low,
                  face.box.a_high,
                  face.box.b_low,
                  face.box.b_high,
                  squared_gap(face.box.a_low, face.box.a_high, a),
                  squared_gap(face.box.b_low, face.box.b_high, b)};
    if (bound_of(cell) > limit()) return;
    const uint32_t first_leaf = uint32_t{1} << face.depth;
    for (;;) {
        if (node >= first_leaf || bit_of(tree.runs, face.first_node + node - 1)) {
            SPHEREBENCH_COUNT(leaves);
            scan(node);
        } else {
            SPHEREBENCH_COUNT(nodes);
            const uint32_t at = face.first_split + node - 1;
            const NodeSplit split = tree.splits[at];
            const bool by_b = bit_of(tree.along_b, at);
            const double x = by_b ? b : a;
            WalkCell left, right;
            split_cell(cell, by_b, split, x, left, right);
            const double left_bound = bound_of(left), right_bound = bound_of(right);
            const bool right_first = right_bound < left_bound ||
                                     (right_bound == left_bound && x + x > double{split.left_high} + split.right_low);
            // A NaN bound (of an infinite query) rules nothing out.
            const double reach = limit();
            if (right_first) {
                if (!(left_bound > reach)) pending[waiting++] = {2 * node, left_bound, left};
                if (!(right_bound > reach)) {
                    node = 2 * node + 1, cell = right;
                    continue;
                }
            } else {
                if (!(right_bound > reach)) pending[waiting++] = {2 * node + 1, right_bound, right};
                if (!(left_bound > reach)) {
                    node = 2 * node, cell = left;
                    continue;
                }
            }
        }
        do {
            if (waiting == 0) return;
            --waiting;
        } while (pending[waiting].bound > limit());
        node = pending[waiting].node;
        cell = pending[waiting].cell;
    }
}

// Visits, nearest first, the nodes of one face whose bound is at most
// limit(), calling scan(node) on every leaf or run reached, to test its
// members; limit() is asked again before each node, as the scans lower it.
// The sphere's bound is taken where `ask` and the face's members lie on the
// sphere. Allocates nothing; the stack holds a node per level.
template <typename Limit, typename Scan>
void search_face_tree(const FaceTree& tree, int face_number, const FaceQuery& query, const FaceAsk& ask, Limit limit,
                      Scan scan) {
    const FaceSpan& face = tree.faces[face_number];
    if (face.count == 0) return;
    switch (query.major) {
        case MajorTerm::kFirst:
            return walk_face_tree<MajorTerm::kFirst>(tree, face, query, ask, limit, scan);
        case MajorTerm::kSecond:
            return walk_face_tree<MajorTerm::kSecond>(tree, face, query, ask, limit, scan);
        case MajorTerm::kLast:
            break;
    }
    walk_face_tree<MajorTerm::kLast>(tree, face, query, ask, limit, scan);
}

}  // namespace spherebench
