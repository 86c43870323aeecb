// FAISS's IndexFlatL2 over the points rounded to floats: an exhaustive search
// in float arithmetic (search for the nearest and the k nearest,
// range_search for a radius), asked one query at a time on one OpenMP thread (a
// team started for a single query costs more than its search). Its squared
// distances are floats, so close locations can swap places: the anchor's
// answers are counted against the exact ones like every other anchor's.
#include <faiss/IndexFlat.h>
#include <faiss/impl/AuxIndexStructures.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "anchors/anchor_parts.h"

namespace spherebench {

namespace {

// OpenMP's thread count is set per calling thread: each thread that asks
// sets its own, once.
void one_openmp_thread() {
    thread_local const bool set = [] {
        omp_set_num_threads(1);
        return true;
    }();
    (void)set;
}

struct FloatQuery {
    float xyz[3];
};
FloatQuery float_query(UnitVector p) {
    return {{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)}};
}

}  // namespace

struct FaissStructure {
    faiss::IndexFlatL2 index{3};
    std::vector<double> xyz;  // the points as given, for the reported score

    explicit FaissStructure(const DecodedPoints& points);
    Nearest nearest(UnitVector point) const;
    std::vector<Nearest> nearest(UnitVector point, int k) const;
    std::vector<Nearest> within(UnitVector point, double limit) const;
    size_t bytes() const { return index.codes.size(); }
};

FaissStructure::FaissStructure(const DecodedPoints& decoded) {
    one_openmp_thread();
    const int count = decoded.count();
    std::vector<float> points(3 * static_cast<size_t>(count));
    xyz.resize(points.size());
    for (int i = 0; i < count; ++i) {
        const double p[3] = {decoded.xs[i], decoded.ys[i], decoded.zs[i]};
        for (int k = 0; k < 3; ++k) points[3 * i + k] = static_cast<float>(p[k]), xyz[3 * i + k] = p[k];
    }
    if (count > 0) index.add(count, points.data());
}

Nearest FaissStructure::nearest(UnitVector point) const {
    if (index.ntotal == 0) return {kNoWinner, kStartScore};
    one_openmp_thread();
    const FloatQuery query = float_query(point);
    float distance = 0;
    faiss::Index::idx_t label = -1;
    index.search(1, query.xyz, 1, &distance, &label);
    if (label < 0) return {kNoWinner, kStartScore};
    return scored_at(xyz, static_cast<size_t>(label), point);
}

std::vector<Nearest> FaissStructure::nearest(UnitVector point, int k) const {
    const faiss::Index::idx_t wanted = std::min<faiss::Index::idx_t>(k, index.ntotal);
    if (wanted == 0) return {};
    one_openmp_thread();
    const FloatQuery query = float_query(point);
    std::vector<float> distances(static_cast<size_t>(wanted));
    std::vector<faiss::Index::idx_t> labels(static_cast<size_t>(wanted));
    index.search(1, query.xyz, wanted, distances.data(), labels.data());
    std::vector<Nearest> found;
    for (const faiss::Index::idx_t label : labels)
        if (label >= 0) found.push_back(scored_at(xyz, static_cast<size_t>(label), point));
    return found;
}

std::vector<Nearest> FaissStructure::within(UnitVector point, double limit) const {
    if (index.ntotal == 0) return {};
    one_openmp_thread();
    const FloatQuery query = float_query(point);
    // Its radius, a float, excludes a distance equal to it: the next float
    // up makes the limit (as a float) itself within. Every squared chord is
    // at most 4, so a larger limit is 5, within the floats.
    const float radius =
        std::nextafter(static_cast<float>(std::min(limit, 5.0)), std::numeric_limits<float>::infinity());
    faiss::RangeSearchResult result(1);
    index.range_search(1, query.xyz, radius, &result);
    std::vector<Nearest> found;
    for (size_t i = result.lims[0]; i < result.lims[1]; ++i)
        found.push_back(scored_at(xyz, static_cast<size_t>(result.labels[i]), point));
    return found;
}

template class Anchor<SearchId::kFaissFlat, FaissStructure>;

}  // namespace spherebench
