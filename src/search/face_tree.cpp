#include "search/face_tree.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

#include "search/sphere_bound.h"

namespace spherebench {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr float kFloatInfinity = std::numeric_limits<float>::infinity();

// A location's coordinates as the splits compare them: any order of the
// locations makes a correct tree, so rounding does no harm; NaN is put at 0
// so that the comparisons stay a strict order.
struct Key {
    float c[2];  // a, b
    int32_t k;
};

float key_of(double x) { return x == x ? static_cast<float>(std::clamp(x, -double{FLT_MAX}, double{FLT_MAX})) : 0.0f; }

int depth_for(int count, int leaf_size) {
    int depth = 0;
    while (depth < kMostTreeDepth && ((int64_t{count} + (int64_t{1} << depth) - 1) >> depth) > leaf_size) ++depth;
    return depth;
}

// The keys for which below(key) holds moved before the others, in one pass
// that moves every key whether or not it holds (so the processor has no
// branch to mispredict); returns where the others begin.
template <typename Below>
Key* partition_below(Key* first, Key* end, Below below) {
    Key* store = first;
    for (Key* at = first; at < end; ++at) {
        const Key key = *at;
        const bool is_below = below(key);
        *at = *store;
        *store = key;
        store += is_below;
    }
    return store;
}

// The key of middle's rank by coordinate `axis` put at middle, the lesser
// before it and the greater after: a selection around the median of three.
// Where the pivot is the least key left, which many equal keys make likely,
// a second partition sets the keys equal to it apart, so that the range
// still shrinks. After many rounds (an order made to defeat the pivots) the
// library's selection finishes.
void select_middle(Key* first, Key* middle, Key* end, int axis) {
    const auto less = [axis](const Key& x, const Key& y) { return x.c[axis] < y.c[axis]; };
    for (int round = 0; end - first > 16; ++round) {
        if (round == 64) return std::nth_element(first, middle, end, less);
        const float x = first->c[axis], y = first[(end - first) / 2].c[axis], z = end[-1].c[axis];
        const float pivot = std::max(std::min(x, y), std::min(std::max(x, y), z));
        Key* const split = partition_below(first, end, [&](const Key& key) { return key.c[axis] < pivot; });
        if (middle < split) {
            end = split;
        } else if (split > first) {
            first = split;
        } else {
            first = partition_below(first, end, [&](const Key& key) { return !(pivot < key.c[axis]); });
            if (middle < first) return;  // middle holds a key equal to the pivot
        }
    }
    std::sort(first, end, less);
}

// The coordinate a node's keys spread wider in, judged from at most 64 of
// them evenly spaced (any choice makes a correct tree; this one keeps the
// boxes small at the cost of a few loads).
int wider_axis(const Key* first, const Key* end) {
    const ptrdiff_t step = std::max<ptrdiff_t>(1, (end - first) / 64);
    float a_low = kFloatInfinity, a_high = -kFloatInfinity, b_low = kFloatInfinity, b_high = -kFloatInfinity;
    for (const Key* key = first; key < end; key += step) {
        a_low = std::min(a_low, key->c[0]), a_high = std::max(a_high, key->c[0]);
        b_low = std::min(b_low, key->c[1]), b_high = std::max(b_high, key->c[1]);
    }
    return a_high - a_low >= b_high - b_low ? 0 : 1;
}

// Each node's share split at its children's boundary, top down; keys are
// the face's entries. By the coordinate its members spread wider in, or
// where `by_cells`, by the one its cell is wider in: the box of the face's
// keys cut, at each split above it, to the range of its side's keys. A walk
// of splits bounds a node by its cell, and cutting the wider side keeps
// cells near square, so that they close in on their members even where
// those spread evenly in both coordinates (along a diagonal, say), where
// the members' spread would choose one coordinate at every level. Returns
// the coordinate of each node's split (by node, from 1).
std::vector<uint8_t> split_face(Key* keys, const FaceSpan& face, bool by_cells) {
    const uint32_t first_leaf = uint32_t{1} << face.depth;
    std::vector<uint8_t> axes(first_leaf);
    std::vector<std::array<float, 4>> cells(by_cells ? 2 * first_leaf : 0);  // a_low, a_high, b_low, b_high
    // The keys' range in one coordinate, into cell[2 * axis] and cell[2 * axis + 1].
    const auto take_range = [](const Key* first, const Key* end, int axis, std::array<float, 4>& cell) {
        float low = kFloatInfinity, high = -kFloatInfinity;
        for (const Key* key = first; key < end; ++key)
            low = std::min(low, key->c[axis]), high = std::max(high, key->c[axis]);
        cell[2 * axis] = low, cell[2 * axis + 1] = high;
    };
    if (by_cells) take_range(keys, keys + face.count, 0, cells[1]), take_range(keys, keys + face.count, 1, cells[1]);
    for (uint32_t node = 1; node < first_leaf; ++node) {
        const EntryRange share = node_entries(face, node);
        Key* first = keys + (share.first - face.begin);
        Key* end = keys + (share.end - face.begin);
        Key* middle = keys + (node_entries(face, 2 * node).end - face.begin);
        const std::array<float, 4>* cell = by_cells ? &cells[node] : nullptr;
        const int axis = cell ? ((*cell)[1] - (*cell)[0] >= (*cell)[3] - (*cell)[2] ? 0 : 1) : wider_axis(first, end);
        axes[node] = static_cast<uint8_t>(axis);
        select_middle(first, middle, end, axis);
        if (!cell) continue;
        cells[2 * node] = cells[2 * node + 1] = *cell;
        take_range(first, middle, axis, cells[2 * node]);
        take_range(middle, end, axis, cells[2 * node + 1]);
    }
    return axes;
}

// The exact bounds of a leaf's members, before rounding to floats.
struct Bounds {
    double a_low = kInfinity, a_high = -kInfinity, b_low = kInfinity, b_high = -kInfinity;
    double major_low = kInfinity, major_high = -kInfinity;
    bool any_nan = false;  // min and max pass a NaN by
    void add(const FacePlace& p) {
        a_low = std::min(a_low, p.a), a_high = std::max(a_high, p.a);
        b_low = std::min(b_low, p.b), b_high = std::max(b_high, p.b);
        major_low = std::min(major_low, p.major), major_high = std::max(major_high, p.major);
        any_nan = any_nan || std::isnan(p.a) || std::isnan(p.b) || std::isnan(p.major);
    }
    // Whether every member added has one place: a NaN member scores unlike
    // its neighbours, so it is never a copy of them.
    bool is_point() const { return !any_nan && a_low == a_high && b_low == b_high && major_low == major_high; }
    // Whether boxes within these bounds code and decode in finite steps.
    bool boxable() const {
        const double ends[] = {a_low, a_high, b_low, b_high, major_low, major_high};
        return std::all_of(std::begin(ends), std::end(ends), [](double x) { return std::fabs(x) <= kMostBoxed; });
    }
};

// The greatest float at most x, and the least at least x (NaN stays NaN; a
// NaN location never scores below or equal to anything, so no box need
// bound it).
float float_below(double x) {
    if (x > FLT_MAX) return FLT_MAX;
    if (x < -FLT_MAX) return -kFloatInfinity;
    const float f = static_cast<float>(x);
    return f > x ? std::nextafter(f, -kFloatInfinity) : f;
}

float float_above(double x) {
    if (x > FLT_MAX) return kFloatInfinity;
    if (x < -FLT_MAX) return -FLT_MAX;
    const float f = static_cast<float>(x);
    return f < x ? std::nextafter(f, kFloatInfinity) : f;
}

NodeBox outward(const BoxBounds& b) {
    return {float_below(b.a_low),  float_above(b.a_high),    float_below(b.b_low),
            float_above(b.b_high), float_below(b.major_low), float_above(b.major_high)};
}

BoxBounds widened(const Bounds& b, double widen) {
    return {b.a_low - widen,  b.a_high + widen,    b.b_low - widen,
            b.b_high + widen, b.major_low - widen, b.major_high + widen};
}

BoxBounds joined(const BoxBounds& x, const BoxBounds& y) {
    return {std::min(x.a_low, y.a_low),   std::max(x.a_high, y.a_high),       std::min(x.b_low, y.b_low),
            std::max(x.b_high, y.b_high), std::min(x.major_low, y.major_low), std::max(x.major_high, y.major_high)};
}

// The most steps, up to kSplitSteps, in from `end` towards x that do not
// pass x: an end x in steps within the face's range; the walk's own
// arithmetic (search_face_splits) decides.
uint16_t steps_in(double end, double step, double x, bool from_low) {
    const auto at = [&](int steps) { return from_low ? end + steps * step : end - steps * step; };
    const auto within = [&](int steps) { return from_low ? at(steps) <= x : at(steps) >= x; };
    const double guess = step > 0.0 ? (from_low ? x - end : end - x) / step : 0.0;
    int steps = guess >= 0.0 ? static_cast<int>(std::min(guess, double{kSplitSteps})) : 0;
    while (steps > 0 && !within(steps)) --steps;
    while (steps < kSplitSteps && within(steps + 1)) ++steps;
    return static_cast<uint16_t>(steps);
}

// A node's split between its children's exact boxes along `axis`, within
// the face's box.
NodeSplit split_between(const BoxBounds& face, const BoxBounds& left, const BoxBounds& right, int axis) {
    const double low = axis ? face.b_low : face.a_low, high = axis ? face.b_high : face.a_high;
    const double step = split_step(low, high);
    const auto up = [&](double x) { return steps_in(low, step, x, true); };
    const auto down = [&](double x) { return steps_in(high, step, x, false); };
    return axis ? NodeSplit{static_cast<uint16_t>(1u << 15 | up(left.b_low)), down(left.b_high), up(right.b_low),
                            down(right.b_high)}
                : NodeSplit{up(left.a_low), down(left.a_high), up(right.a_low), down(right.a_high)};
}

}  // namespace

// Exact boxes from the leaves' members up, then each node's floats, or its
// split between its children's.
void fill_boxes(FaceTree& tree, const std::vector<FacePlace>& places, double widen) {
    size_t nodes = 0;
    for (const FaceSpan& face : tree.faces) nodes += tree_nodes(face.count, face.depth);
    tree.boxes.assign(tree.by_splits ? 0 : nodes, NodeBox{});
    tree.runs.assign((nodes + 63) / 64, 0);
    std::vector<BoxBounds> exact;
    for (FaceSpan& face : tree.faces) {
        if (face.count == 0) continue;
        exact.assign(tree_nodes(face.count, face.depth) + 1, BoxBounds{});
        const uint32_t first_leaf = uint32_t{1} << face.depth;
        for (int32_t at = face.begin; at < face.begin + face.count; ++at)
            face.on_sphere = face.on_sphere && near_unit(places[at].a, places[at].b, places[at].major);
        for (uint32_t leaf = first_leaf; leaf < 2 * first_leaf; ++leaf) {
            const EntryRange entries = node_entries(face, leaf);
            Bounds bounds;
            for (int32_t at = entries.first; at < entries.end; ++at) bounds.add(places[at]);
            exact[leaf] = widened(bounds, widen);
            set_run(tree, face, leaf, bounds.is_point());
        }
        for (uint32_t node = first_leaf - 1; node >= 1; --node)
            exact[node] = joined(exact[2 * node], exact[2 * node + 1]);
        face.box = exact[1];
        if (!tree.by_splits) {
            for (uint32_t node = 1; node < 2 * first_leaf; ++node)
                tree.boxes[face.first_node + node - 1] = outward(exact[node]);
            continue;
        }
        for (uint32_t node = 1; node < first_leaf; ++node) {
            NodeSplit& split = tree.splits[face.first_split + node - 1];
            split = split_between(face.box, exact[2 * node], exact[2 * node + 1], split.axis_and_left_low >> 15);
        }
    }
}

std::vector<int32_t> arrange_face_trees(FaceTree& tree, const std::vector<FacePlace>& places, int leaf_size) {
    FaceSpan(&faces)[kFaces] = tree.faces;
    int32_t counts[kFaces] = {};
    Bounds bounds[kFaces];
    for (const FacePlace& place : places) ++counts[place.face], bounds[place.face].add(place);
    int32_t begin = 0, first_node = 0, first_split = 0;
    for (int f = 0; f < kFaces; ++f) {
        FaceSpan& face = faces[f];
        face = FaceSpan{};
        face.begin = begin, face.count = counts[f], face.first_node = first_node;
        face.first_split = first_split;
        face.depth = bounds[f].boxable() ? depth_for(counts[f], leaf_size) : 0;
        begin += counts[f];
        first_node += static_cast<int32_t>(tree_nodes(face.count, face.depth));
        first_split += static_cast<int32_t>(tree_splits(face.count, face.depth));
    }
    tree.splits.assign(tree.by_splits ? first_split : 0, NodeSplit{});
    // Into faces in table order, then each face into its tree.
    std::vector<Key> keys(places.size());
    int32_t next[kFaces];
    for (int f = 0; f < kFaces; ++f) next[f] = faces[f].begin;
    for (size_t k = 0; k < places.size(); ++k)
        keys[next[places[k].face]++] = {{key_of(places[k].a), key_of(places[k].b)}, static_cast<int32_t>(k)};
    for (const FaceSpan& face : faces) {
        if (face.count == 0) continue;
        const std::vector<uint8_t> axes = split_face(keys.data() + face.begin, face, tree.by_splits);
        if (tree.by_splits)
            for (uint32_t node = 1; node < axes.size(); ++node)
                tree.splits[face.first_split + node - 1].axis_and_left_low = static_cast<uint16_t>(axes[node] << 15);
    }
    std::vector<int32_t> order(places.size());
    for (size_t at = 0; at < keys.size(); ++at) order[at] = keys[at].k;
    return order;
}

int leaf_size_within(const std::vector<FacePlace>& places, int leaf_size, bool by_splits, size_t most_bytes) {
    int32_t counts[kFaces] = {};
    for (const FacePlace& place : places) ++counts[place.face];
    for (;; leaf_size += std::max(1, leaf_size / 8)) {
        size_t nodes = 0, splits = 0;
        for (const int32_t count : counts) {
            const int depth = depth_for(count, leaf_size);
            nodes += tree_nodes(count, depth), splits += tree_splits(count, depth);
        }
        const size_t bytes =
            (by_splits ? splits * sizeof(NodeSplit) : nodes * sizeof(NodeBox)) + (nodes + 63) / 64 * sizeof(uint64_t);
        if (bytes <= most_bytes || nodes <= kFaces) return leaf_size;
    }
}

}  // namespace spherebench
