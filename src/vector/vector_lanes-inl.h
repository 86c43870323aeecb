// What the vector searches share, compiled once per Highway target (included
// from each search's per-target code): reading two int32 words of a record
// as doubles, and the loop that scores every record and keeps, per lane, the
// best score and the lowest index that has it.

// Per-target include guard, as Highway's foreach_target requires.
#if defined(SPHEREBENCH_VECTOR_LANES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef SPHEREBENCH_VECTOR_LANES_INL_H_
#undef SPHEREBENCH_VECTOR_LANES_INL_H_
#else
#define SPHEREBENCH_VECTOR_LANES_INL_H_
#endif

#include <hwy/highway.h>

#include <cstdint>
#include <cstring>

#include "method/nearest.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::vector_lanes {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET != HWY_SCALAR
using D = hn::ScalableTag<double>;
using DU = hn::RebindToUnsigned<D>;         // a record of two words as one lane
using DU32 = hn::Repartition<uint32_t, D>;  // the record's two words
using V = hn::Vec<D>;
using VU = hn::Vec<DU>;
using VU32 = hn::Vec<DU32>;

// The records in one vector, as 64-bit lanes: the record's first word in the
// low half, its second in the high half.
template <typename Record>
HWY_INLINE VU load_records(const Record* p) {
    static_assert(sizeof(Record) == sizeof(uint64_t));
    return hn::LoadU(DU(), reinterpret_cast<const uint64_t*>(p));
}

// The first `left` records from p, fewer than a vector, through a
// zero-padded copy: nothing is read past them.
template <typename Record>
HWY_INLINE VU load_part(const Record* p, int left) {
    HWY_ALIGN Record part[hn::MaxLanes(DU())] = {};
    std::memcpy(part, p, sizeof(Record) * static_cast<size_t>(left));
    return load_records(part);
}

// The two words of each record converted to double, given each word as an
// int32 x stored biased, as the uint32 x + 2^31. With 0x43300000 over the
// biased word the lane is the double 2^52 + (x + 2^31); minus 2^52 + 2^31
// that is x, exactly: the same double as converting x directly.
struct WordsAsDoubles {
    V first, second;
};
HWY_INLINE WordsAsDoubles words_as_doubles(VU32 biased) {
    const D d;
    const DU du;
    const DU32 d32;
    const VU high = hn::Set(du, 0x4330000000000000ull);
    const VU first = hn::BitCast(du, hn::OddEven(hn::BitCast(d32, high), biased));
    const VU second = hn::Or(hn::ShiftRight<32>(hn::BitCast(du, biased)), high);
    const V offset = hn::Set(d, 4503601774854144.0);  // 2^52 + 2^31
    return {hn::Sub(hn::BitCast(d, first), offset), hn::Sub(hn::BitCast(d, second), offset)};
}

// Per lane, the best score met so far and where: `start` is the index of the
// first record of the step that set it. A lane meets its records in index
// order and only a strictly better score replaces its best, so each lane
// keeps the earliest of its equal scores.
struct LaneBests {
    // Declared, so that it is compiled for this target as the rest is: GCC
    // compiles an implicit one without the target's options, which fails
    // where the vector's own constructor needs them (NEON).
    LaneBests() {}
    LaneBests(V score_, V start_) : score(score_), start(start_) {}
    V score, start;
};

template <bool kSmallerWins>
HWY_INLINE void keep_better(LaneBests& best, V score, V start) {
    const auto better = kSmallerWins ? hn::Lt(score, best.score) : hn::Gt(score, best.score);
#if HWY_TARGET <= HWY_AVX3
    best.score = hn::IfThenElse(better, score, best.score);
#else
    // One selection fewer (they cost more than a minimum here); the scores
    // are never NaN, and equal ones are the same double.
    best.score = kSmallerWins ? hn::Min(score, best.score) : hn::Max(score, best.score);
#endif
    best.start = hn::IfThenElse(better, start, best.start);
}

// Folds the lanes of `best`, each lane's `start` the index of the record it
// holds, into `nearest` as find_nearest decides: the better score, the lower
// index among equal ones. Lanes still at initial_best never held a record.
template <bool kSmallerWins>
HWY_INLINE void fold_lanes(Nearest& nearest, const LaneBests& best, double initial_best) {
    const D d;
    HWY_ALIGN double scores[hn::MaxLanes(d)];
    HWY_ALIGN double indices[hn::MaxLanes(d)];
    hn::Store(best.score, d, scores);
    hn::Store(best.start, d, indices);
    const auto beats = [](double a, double b) { return kSmallerWins ? a < b : a > b; };
    for (size_t i = 0; i < hn::Lanes(d); ++i) {
        if (!beats(scores[i], initial_best)) continue;
        const int32_t index = static_cast<int32_t>(indices[i]);
        if (beats(scores[i], nearest.score) || (scores[i] == nearest.score && index < nearest.index))
            nearest = {index, scores[i]};
    }
}

// The record with the best score(records) lane, the lowest index on ties,
// as find_nearest decides; {kNoWinner, initial_best} when count is 0. Each
// unrolled vector keeps its own bests.
template <bool kSmallerWins, int kUnroll, typename Record, class Score>
HWY_INLINE Nearest search_lanes(const Record* records, int count, double initial_best, const Score& score) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    LaneBests best[kUnroll];
    for (LaneBests& b : best) b.score = hn::Set(d, initial_best), b.start = hn::Set(d, -1.0);
    V start = hn::Zero(d);
    const V step = hn::Set(d, static_cast<double>(kUnroll * lanes));
    int j = 0;
    for (; j + kUnroll * lanes <= count; j += kUnroll * lanes) {
        // Unrolled, so that the bests stay in registers.
#pragma GCC unroll 8
        for (int k = 0; k < kUnroll; ++k)
            keep_better<kSmallerWins>(best[k], score(load_records(records + j + k * lanes)), start);
        start = hn::Add(start, step);
    }
    // The rest, one vector at a time into the first vector's bests, whose
    // records all come before these; the last part vector from a copy, its
    // missing lanes scoring a value that never beats.
    for (; j < count; j += lanes) {
        const int left = count - j;
        V scores;
        if (left >= lanes) {
            scores = score(load_records(records + j));
        } else {
            const V never = kSmallerWins ? hn::Inf(d) : hn::Neg(hn::Inf(d));
            scores =
                hn::IfThenElse(hn::FirstN(d, static_cast<size_t>(left)), score(load_part(records + j, left)), never);
        }
        keep_better<kSmallerWins>(best[0], scores, hn::Set(d, static_cast<double>(j)));
    }

    // Lane i of best[k] stands for record start + k * lanes + i.
    Nearest nearest{kNoWinner, initial_best};
    for (int k = 0; k < kUnroll; ++k)
        fold_lanes<kSmallerWins>(nearest, {best[k].score, hn::Add(best[k].start, hn::Iota(d, k * lanes))},
                                 initial_best);
    return nearest;
}
#else
// The one-lane target (CPUs without SSSE3): the plain loop, the score taking
// one record.
template <bool kSmallerWins, int kUnroll, typename Record, class Score>
HWY_INLINE Nearest search_lanes(const Record* records, int count, double initial_best, const Score& score) {
    const Best<double> best =
        best_of(records, count, initial_best, score, [](double s, double b) { return kSmallerWins ? s < b : s > b; });
    return {best.index, best.score};
}
#endif  // HWY_TARGET != HWY_SCALAR

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::vector_lanes
HWY_AFTER_NAMESPACE();

#endif  // per-target include guard
