// FAISS's IndexFlatL2 over the points rounded to floats: an exhaustive search
// in float arithmetic, asked one query at a time on one OpenMP thread (a
// team started for a single query costs more than its search). Its squared
// distances are floats, so close locations can swap places: the anchor's
// answers are counted against the exact ones like every other anchor's.
#include <faiss/IndexFlat.h>
#include <omp.h>

#include <cstdint>
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

}  // namespace

struct FaissStructure {
    faiss::IndexFlatL2 index{3};
    std::vector<double> xyz;  // the points as given, for the reported score

    explicit FaissStructure(const DecodedPoints& points);
    Nearest nearest(UnitVector point) const;
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
    const float query[3] = {static_cast<float>(point.x), static_cast<float>(point.y), static_cast<float>(point.z)};
    float distance = 0;
    faiss::Index::idx_t label = -1;
    index.search(1, query, 1, &distance, &label);
    if (label < 0) return {kNoWinner, kStartScore};
    const double* p = &xyz[3 * static_cast<size_t>(label)];
    return {static_cast<int32_t>(label), anchor_chord2(p[0], p[1], p[2], point)};
}

template class Anchor<SearchId::kFaissFlat, FaissStructure>;

}  // namespace spherebench
