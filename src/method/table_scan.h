// A search that reads its table as it is, by one function of the records,
// their count and the query (a pruned scan, a vector brute force): it holds
// nothing of its own, so the table must outlive it.
#pragma once

#include <cstddef>
#include <type_traits>

#include "method/nearest.h"

namespace spherebench {

template <typename Record, typename QueryArgument, Nearest (*kScan)(const Record*, int, QueryArgument)>
class TableScan {
  public:
    using Records = const Record*;
    using Query = std::remove_cvref_t<QueryArgument>;

    TableScan(Records records, int count) : records_(records), count_(count) {}

    Nearest nearest(const Query& query) const { return kScan(records_, count_, query); }
    size_t bytes() const { return sizeof(Record) * static_cast<size_t>(count_); }

  private:
    Records records_;
    int count_;
};

}  // namespace spherebench
