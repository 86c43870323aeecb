// The checks an opened index's fields pass before a search reads them: a
// file whose checksum matches may still have been made on purpose, and
// must not lead a search outside its arrays.
#include <vector>

#include "search/saved_index.h"

namespace spherebench {

namespace {

std::optional<std::string> grid_fault(const FaceGrid& grid, int64_t count, SavedCheck check) {
    // A side of 2^14 already takes 6 * 2^28 cells, past any table's grid.
    if (grid.side < 1 || grid.side > (1 << 14)) return "its grid's side is " + std::to_string(grid.side);
    const size_t n = static_cast<size_t>(grid.side);
    if (grid.begin.size() != kFaces * n * n + 1 || grid.low.size() != kFaces * 2 * n ||
        grid.high.size() != kFaces * 2 * n)
        return "its grid's arrays do not fit its side of " + std::to_string(n);
    if (grid.begin[0] != 0 || grid.begin[kFaces * n * n] != count)
        return "its grid's cells do not hold its " + std::to_string(count) + " entries";
    if (check == SavedCheck::kHeader) return std::nullopt;
    for (size_t c = 0; c < kFaces * n * n; ++c)
        if (grid.begin[c + 1] < grid.begin[c]) return "its grid's cell " + std::to_string(c) + " ends before it begins";
    return std::nullopt;
}

std::optional<std::string> tree_fault(const FaceTree& tree, int64_t count, SavedCheck check) {
    int64_t begin = 0;
    for (int f = 0; f < kFaces; ++f) {
        const FaceSpan& face = tree.faces[f];
        const std::string which = "its tree's face " + std::to_string(f);
        if (face.begin != begin || face.count < 0 || face.count > count - begin)
            return which + " does not follow the one before it";
        begin += face.count;
        if (face.count == 0) continue;
        // Every node's box or split, and its run bit, within the arrays.
        if (face.depth < 0 || face.depth >= kMostTreeDepth)
            return which + " is " + std::to_string(face.depth) + " deep";
        const int64_t nodes = static_cast<int64_t>(tree_nodes(face.count, face.depth));
        const int64_t splits = static_cast<int64_t>(tree_splits(face.count, face.depth));
        if (face.first_node < 0 || static_cast<int64_t>(tree.runs.size()) * 64 < face.first_node + nodes ||
            (!tree.by_splits && face.first_node + nodes > static_cast<int64_t>(tree.boxes.size())) ||
            (tree.by_splits &&
             (face.first_split < 0 || face.first_split + splits > static_cast<int64_t>(tree.splits.size()))))
            return which + " has nodes past its boxes";
        // A run is scanned from its first member, which it must have.
        for (uint32_t node = 1; check == SavedCheck::kWhole && node <= nodes; ++node) {
            const uint32_t bit = static_cast<uint32_t>(face.first_node) + node - 1;
            const EntryRange entries = node_entries(face, node);
            if ((tree.runs[bit / 64] >> (bit % 64)) & 1u && entries.first == entries.end)
                return which + " marks an empty node as a run";
        }
    }
    if (begin != count) return "its tree's faces do not hold its " + std::to_string(count) + " entries";
    return std::nullopt;
}

std::optional<std::string> entries_fault(const std::vector<size_t>& sizes, const StoredArray<int32_t>& indices,
                                         int64_t count, SavedCheck check) {
    for (const size_t size : sizes)
        if (static_cast<int64_t>(size) != count)
            return "it holds " + std::to_string(size) + " entries where its header gives " + std::to_string(count);
    if (static_cast<int64_t>(indices.size()) != count)
        return "it holds " + std::to_string(indices.size()) + " table indices where its header gives " +
               std::to_string(count);
    if (check == SavedCheck::kHeader) return std::nullopt;
    std::vector<bool> seen(static_cast<size_t>(count));
    for (const int32_t k : indices) {
        if (k < 0 || k >= count || seen[k]) return "its table indices are not each location's once";
        seen[k] = true;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> saved_fault(const FaceIndex& index, const std::vector<size_t>& entry_sizes,
                                       const StoredArray<int32_t>& indices, int64_t count, SavedCheck check) {
    if (auto fault = index.by_grid ? grid_fault(index.grid, count, check) : tree_fault(index.tree, count, check))
        return fault;
    return entries_fault(entry_sizes, indices, count, check);
}

}  // namespace spherebench
