// The searches the Python module offers over a table of stored pairs: the
// direction-cosine searches of the program's three pass searches ("brute",
// "pruned", "indexed"), all exact: the same winner and squared chord as the
// brute force, the lowest index on ties.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "search/pass_searches.h"

namespace spherebench {

// The names of the searches, in the program's order.
std::vector<std::string> python_search_names();
// The best search for repeated queries: the index.
inline constexpr PassSearch kRepeatedSearch = PassSearch::kIndexed;

// A table of pairs with its search built once over them.
class SearchTable {
  public:
    SearchTable(std::vector<CdcPair> pairs, PassSearch search);

    PassSearch search() const { return search_; }
    size_t size() const { return pairs_.size(); }

    // For each query pair, decoded as the program decodes a point, the index
    // of the nearest pair of the table and its squared chord to the query.
    void find_all_nearest(const CdcPair* queries, size_t count, int64_t* indices, double* chords) const;

  private:
    std::vector<CdcPair> pairs_;  // what the search reads; its buffer never moves
    PassSearch search_;
    std::variant<CdcPassSearch<PassSearch::kBrute>, CdcPassSearch<PassSearch::kPruned>,
                 CdcPassSearch<PassSearch::kIndexed>>
        built_;
};

}  // namespace spherebench
