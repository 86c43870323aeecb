// The questions a search answers, as the sets that collect its answer (the
// kind of question is a parameter of one traversal, as in nanoflann's
// findNeighbors): the nearest location, the k nearest, and every location
// within a limit. Every set ranks answers the brute force's way: by score in
// the search's order, then by index, so that which locations are found and
// their order are those of testing every location.
//
// A search's find(query, results) offers it locations by results.add(index,
// score) and may skip any whose score it has proved lies beyond
// results.reach(): strictly farther in the order (a location at the reach
// itself may still win a tie by its index). A NaN score is never nearer nor
// as near as any other, as in the brute force's strict comparison: no set
// takes it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "method/nearest.h"

namespace spherebench {

// The answers put in rank order.
inline void sort_by_rank(std::vector<Nearest>& answers, ScoreOrder order) {
    std::sort(answers.begin(), answers.end(), [order](Nearest a, Nearest b) { return ranks_before(a, b, order); });
}

// The farthest score of the order: every score is at least as near.
constexpr double farthest_score(ScoreOrder order) {
    return order == ScoreOrder::kSmallerNearer ? std::numeric_limits<double>::infinity()
                                               : -std::numeric_limits<double>::infinity();
}

// The nearest score of the order: no score is nearer. The reach of a set
// that takes nothing, which rules every location out.
constexpr double nearest_score(ScoreOrder order) { return -farthest_score(order); }

// The one nearest location: the search's nearest(query), {kNoWinner, start}
// over no locations, or where none scores strictly nearer than the start
// (the brute force's start, where it has one).
class NearestOne {
  public:
    NearestOne(ScoreOrder order, double start) : order_(order), best_{kNoWinner, start} {}
    explicit NearestOne(ScoreOrder order) : NearestOne(order, farthest_score(order)) {}

    double reach() const { return best_.score; }
    void add(int32_t index, double score) {
        if (ranks_before({index, score}, best_, order_)) best_ = {index, score};
    }
    Nearest take() const { return best_; }

  private:
    ScoreOrder order_;
    Nearest best_;
};

// The nearest, as NearestOne finds it, and how many locations were offered
// to it: every location a search scored.
class CountingNearest : public NearestOne {
  public:
    explicit CountingNearest(ScoreOrder order) : NearestOne(order) {}
    void add(int32_t index, double score) {
        ++offered_;
        NearestOne::add(index, score);
    }
    int64_t offered() const { return offered_; }

  private:
    int64_t offered_ = 0;
};

// The k nearest (fewer where the table holds fewer), nearest first; none
// for k <= 0.
class NearestK {
    // Whether a ranks before b, for the heap.
    struct Ranks {
        ScoreOrder order;
        bool operator()(Nearest a, Nearest b) const { return ranks_before(a, b, order); }
    };

  public:
    NearestK(int k, ScoreOrder order) : k_(std::max(k, 0)), order_(order) { held_.reserve(k_); }

    double reach() const {
        if (k_ == 0) return nearest_score(order_);
        return full() ? held_.front().score : farthest_score(order_);
    }
    void add(int32_t index, double score) {
        const Nearest found{index, score};
        if (k_ == 0 || std::isnan(score) || (full() && !ranks_before(found, held_.front(), order_))) return;
        if (full()) {
            std::pop_heap(held_.begin(), held_.end(), ranks());
            held_.pop_back();
        }
        held_.push_back(found);
        std::push_heap(held_.begin(), held_.end(), ranks());
    }
    std::vector<Nearest> take() {
        std::sort_heap(held_.begin(), held_.end(), ranks());
        return std::move(held_);
    }

  private:
    bool full() const { return static_cast<int>(held_.size()) == k_; }
    Ranks ranks() const { return {order_}; }

    int k_;
    ScoreOrder order_;
    // A heap by rank, the last-ranked first, so that a nearer location
    // replaces it in log k steps; put in rank order when taken.
    std::vector<Nearest> held_;
};

// Every location whose score is at the limit or nearer, nearest first. No
// score is at or nearer than a NaN limit: that holds none, and rules every
// location out.
class WithinLimit {
  public:
    WithinLimit(double limit, ScoreOrder order) : limit_(limit), order_(order) {}

    double reach() const { return std::isnan(limit_) ? nearest_score(order_) : limit_; }
    void add(int32_t index, double score) {
        if (score == limit_ || nearer(score, limit_, order_)) found_.push_back({index, score});
    }
    std::vector<Nearest> take() {
        sort_by_rank(found_, order_);
        return std::move(found_);
    }

  private:
    double limit_;
    ScoreOrder order_;
    std::vector<Nearest> found_;
};

// The k nearest and everything within a limit, for any search with
// find(query, results) and its order.
template <typename Search>
std::vector<Nearest> nearest_k(const Search& search, const typename Search::Query& query, int k) {
    NearestK results(k, Search::kOrder);
    search.find(query, results);
    return results.take();
}
template <typename Search>
std::vector<Nearest> nearest_within(const Search& search, const typename Search::Query& query, double limit) {
    WithinLimit results(limit, Search::kOrder);
    search.find(query, results);
    return results.take();
}

}  // namespace spherebench
