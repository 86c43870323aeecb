#include "vector/component_vector_search.h"

#include <limits>
#include <type_traits>

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vector/component_vector_search.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace spherebench::component_vector {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The squared chords of the locations at j.. to the point q, one per lane.
template <class D, class V = hn::Vec<D>, typename T = hn::TFromD<D>>
HWY_INLINE V squared_chords(D d, const T* xs, const T* ys, const T* zs, int j, V qx, V qy, V qz) {
    const V dx = hn::Sub(hn::LoadU(d, xs + j), qx);
    const V dy = hn::Sub(hn::LoadU(d, ys + j), qy);
    const V dz = hn::Sub(hn::LoadU(d, zs + j), qz);
    return hn::Add(hn::Add(hn::Mul(dx, dx), hn::Mul(dy, dy)), hn::Mul(dz, dz));
}

// Each lane keeps its smallest score and the index that first had it; the
// lanes are then compared, the lowest index winning among equal scores; the
// last part vector is done one location at a time with the same operations.
template <typename T>
Nearest SmallestSquaredChord(const T* xs, const T* ys, const T* zs, int count, T px, T py, T pz) {
    const hn::ScalableTag<T> d;
    const hn::RebindToSigned<decltype(d)> di;
    using V = hn::Vec<decltype(d)>;
    using VI = hn::Vec<decltype(di)>;
    constexpr int kUnroll = 2;  // vectors per step, each with its own bests
    const int lanes = static_cast<int>(hn::Lanes(d));
    const V qx = hn::Set(d, px), qy = hn::Set(d, py), qz = hn::Set(d, pz);
    V best[kUnroll];
    VI where[kUnroll];
    for (int k = 0; k < kUnroll; ++k) best[k] = hn::Inf(d), where[k] = hn::Set(di, -1);
    VI index = hn::Iota(di, 0);
    const VI step = hn::Set(di, lanes);
    int j = 0;
    for (; j + kUnroll * lanes <= count; j += kUnroll * lanes) {
#pragma GCC unroll 8
        for (int k = 0; k < kUnroll; ++k) {
            const V score = squared_chords(d, xs, ys, zs, j + k * lanes, qx, qy, qz);
            const auto better = hn::Lt(score, best[k]);
            best[k] = hn::IfThenElse(better, score, best[k]);
            where[k] = hn::IfThenElse(hn::RebindMask(di, better), index, where[k]);
            index = hn::Add(index, step);
        }
    }

    Nearest nearest{kNoWinner, std::numeric_limits<double>::infinity()};
    HWY_ALIGN T scores[hn::MaxLanes(d)];
    HWY_ALIGN hn::TFromD<decltype(di)> indices[hn::MaxLanes(d)];
    for (int k = 0; k < kUnroll; ++k) {
        hn::Store(best[k], d, scores);
        hn::Store(where[k], di, indices);
        for (int i = 0; i < lanes; ++i) {
            const auto at = static_cast<int32_t>(indices[i]);
            if (at == kNoWinner) continue;
            if (scores[i] < nearest.score || (scores[i] == nearest.score && at < nearest.index))
                nearest = {at, scores[i]};
        }
    }
    for (; j < count; ++j) {
        using Xyz = std::conditional_t<std::is_same_v<T, float>, FloatVector, UnitVector>;
        const T score = squared_chord(Xyz{xs[j], ys[j], zs[j]}, Xyz{px, py, pz});
        if (score < nearest.score) nearest = {j, score};
    }
    return nearest;
}

Nearest DoubleComponentsSearch(const double* xs, const double* ys, const double* zs, int count, UnitVector p) {
    return SmallestSquaredChord(xs, ys, zs, count, p.x, p.y, p.z);
}

Nearest FloatComponentsSearch(const float* xs, const float* ys, const float* zs, int count, float px, float py,
                              float pz) {
    return SmallestSquaredChord(xs, ys, zs, count, px, py, pz);
}

// Four named sums (an array of them is kept in memory by g++ at -O2, which
// makes each addition wait for a store).
double SumOfDoubles(const double* values, long long count) {
    const hn::ScalableTag<double> d;
    using V = hn::Vec<decltype(d)>;
    const long long lanes = static_cast<long long>(hn::Lanes(d));
    V s0 = hn::Zero(d), s1 = hn::Zero(d), s2 = hn::Zero(d), s3 = hn::Zero(d);
    long long j = 0;
    for (; j + 4 * lanes <= count; j += 4 * lanes) {
        s0 = hn::Add(s0, hn::LoadU(d, values + j));
        s1 = hn::Add(s1, hn::LoadU(d, values + j + lanes));
        s2 = hn::Add(s2, hn::LoadU(d, values + j + 2 * lanes));
        s3 = hn::Add(s3, hn::LoadU(d, values + j + 3 * lanes));
    }
    double total = hn::GetLane(hn::SumOfLanes(d, hn::Add(hn::Add(s0, s1), hn::Add(s2, s3))));
    for (; j < count; ++j) total += values[j];
    return total;
}

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::component_vector
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace spherebench::component_vector {
HWY_EXPORT(DoubleComponentsSearch);
HWY_EXPORT(FloatComponentsSearch);
HWY_EXPORT(SumOfDoubles);
}  // namespace spherebench::component_vector

namespace spherebench {

Nearest double_components_find_nearest(const double* xs, const double* ys, const double* zs, int count,
                                       UnitVector point) {
    return HWY_DYNAMIC_DISPATCH(component_vector::DoubleComponentsSearch)(xs, ys, zs, count, point);
}

Nearest float_components_find_nearest(const float* xs, const float* ys, const float* zs, int count, float px, float py,
                                      float pz) {
    return HWY_DYNAMIC_DISPATCH(component_vector::FloatComponentsSearch)(xs, ys, zs, count, px, py, pz);
}

double vector_sum_of_doubles(const double* values, long long count) {
    return HWY_DYNAMIC_DISPATCH(component_vector::SumOfDoubles)(values, count);
}

}  // namespace spherebench
#endif
