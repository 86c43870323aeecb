// What every search shares: its answer (Nearest: an index and its score),
// the order of scores and the tie rule (the lowest index wins), the
// operations a method supplies (ProximityMethod), the loop of a search that
// tests every record (best_of), and find_nearest, the brute force at the
// heart of a proximity pass.
#pragma once

#include <bit>
#include <concepts>
#include <cstdint>
#include <vector>

#include "geo/coords.h"
#include "geo/stored_form.h"

namespace spherebench {

inline constexpr int32_t kNoWinner = -1;

// What a search's best score starts from, just below the largest double: the
// direction-cosine search starts from it (every squared chord is far smaller),
// the latitude/longitude search from its negative (every cosine is far
// larger), so the first airport tested always beats it. Written here only;
// the methods' initial_best, the floors and the vector searches take it from
// here.
inline constexpr double kStartScore = 1.7976931348623e308;

// Which of two scores is nearer: of squared chords (every form's score but
// one) the smaller, of the lat/long form's cosines the larger.
enum class ScoreOrder { kSmallerNearer, kLargerNearer };

constexpr ScoreOrder score_order(Form form) {
    return form == Form::kFixedLatLong ? ScoreOrder::kLargerNearer : ScoreOrder::kSmallerNearer;
}

// Whether `score` is strictly nearer than `best`. Only a strictly nearer
// score replaces the best, so that of equal scores the first one tested,
// the lowest index, stays: the tie rule of every search.
constexpr bool nearer(double score, double best, ScoreOrder order) {
    return order == ScoreOrder::kSmallerNearer ? score < best : score > best;
}

// The operations a method supplies; the search and the pass are instantiated
// per method so that the inner loop is compiled with the method's arithmetic
// inline.
template <typename M>
concept ProximityMethod = requires(typename M::Stored stored, const typename M::Point& point, double s) {
    { M::initial_best } -> std::convertible_to<double>;
    { M::order } -> std::convertible_to<ScoreOrder>;
    { M::prepare(stored) } -> std::same_as<typename M::Point>;
    { M::score(stored, point) } -> std::same_as<double>;
    { M::beats(s, s) } -> std::same_as<bool>;
    { M::distance(s) } -> std::same_as<double>;
};

struct Nearest {
    int32_t index;  // the location's index in its table; kNoWinner when there are none
    double score;
};

// Whether two answers are one: the same index and the same score, bit for
// bit (so 0 and -0 differ), as an exact search must match its brute force.
constexpr bool same_answer(Nearest a, Nearest b) {
    return a.index == b.index && std::bit_cast<uint64_t>(a.score) == std::bit_cast<uint64_t>(b.score);
}

// The tie rule of every search: whether a ranks before b, nearer by the
// order, or as near with the lower index. A NaN score ranks before nothing.
constexpr bool ranks_before(Nearest a, Nearest b, ScoreOrder order) {
    if (a.score == b.score) return a.index < b.index;
    return nearer(a.score, b.score, order);
}

// The nearer of two answers (of two parts of one table, say) by the tie
// rule; an answer without a winner loses to any other.
constexpr Nearest nearer_of(Nearest a, Nearest b, ScoreOrder order) {
    if (b.index == kNoWinner) return a;
    if (a.index == kNoWinner) return b;
    return ranks_before(b, a, order) ? b : a;
}

// The best of any search that tests every record: its index, kNoWinner when
// there was none, and its score, in the search's own type.
template <typename Score>
struct Best {
    int32_t index;
    Score score;
};

// The record with the best score(record) by beats(score, best), starting
// from `initial`; of equal scores the lowest index wins, since only a
// strictly better score replaces the best. Every scalar search that tests
// every record is this loop with its own score inlined.
template <typename Record, typename Score, typename ScoreOf, typename Beats>
inline Best<Score> best_of(const Record* records, int count, Score initial, const ScoreOf& score_of,
                           const Beats& beats) {
    Best<Score> best{kNoWinner, initial};
    for (int j = 0; j < count; ++j) {
        const Score score = score_of(records[j]);
        if (beats(score, best.score)) best = {j, score};
    }
    return best;
}

// The airport with the best score for the point by the method's arithmetic.
template <ProximityMethod Method>
inline Nearest find_nearest(const typename Method::Stored* airports, int airport_count,
                            const typename Method::Point& point) {
    const Best<double> best = best_of(
        airports, airport_count, Method::initial_best,
        [&point](const typename Method::Stored& airport) { return Method::score(airport, point); },
        [](double score, double best) { return Method::beats(score, best); });
    return {best.index, best.score};
}

}  // namespace spherebench
