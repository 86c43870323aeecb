// A search that reads its table as it is, by one function of the records,
// their count and the query (a vector brute force, a pruned vector scan),
// and answers the question's sets (method/result_sets.h) from a second one
// that writes each record's score as the first computes it: it holds nothing
// of its own, so the table must outlive it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "method/nearest.h"

namespace spherebench {

template <typename Record, typename QueryArgument, Nearest (*kScan)(const Record*, int, QueryArgument),
          void (*kScores)(const Record*, int, QueryArgument, double*), ScoreOrder kScoreOrder>
class TableScan {
  public:
    using Records = const Record*;
    using Query = std::remove_cvref_t<QueryArgument>;
    static constexpr ScoreOrder kOrder = kScoreOrder;

    TableScan(Records records, int count) : records_(records), count_(count) {}

    Nearest nearest(const Query& query) const { return kScan(records_, count_, query); }
    // Every record offered with its score, the scores written a block at a
    // time into a buffer on the stack.
    template <typename Results>
    void find(const Query& query, Results& results) const {
        constexpr int kBlock = 256;
        double scores[kBlock];
        for (int first = 0; first < count_; first += kBlock) {
            const int n = std::min(kBlock, count_ - first);
            kScores(records_ + first, n, query, scores);
            for (int i = 0; i < n; ++i) results.add(first + i, scores[i]);
        }
    }
    size_t bytes() const { return sizeof(Record) * static_cast<size_t>(count_); }

  private:
    Records records_;
    int count_;
};

}  // namespace spherebench
