// The searches the Python module offers over a table of stored pairs: the
// direction-cosine searches of the program's three pass searches ("brute",
// "pruned", "indexed"), all exact: the same answers and squared chords as the
// brute force, ranked by squared chord, then index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "method/nearest.h"
#include "search/pass_searches.h"

namespace spherebench {

// The names of the searches, in the program's order.
std::vector<std::string> python_search_names();
// The best search for repeated queries: the index.
inline constexpr PassSearch kRepeatedSearch = PassSearch::kIndexed;

// A table of pairs with its search built once over them. Each query pair is
// decoded as the program decodes a point; its squared chord to a pair of the
// table is the program's score. The index holds its own copy of the pairs,
// so the table keeps them only for the searches that read them as they are;
// no query here starts from a location (search/batch.h's seeding), the one
// use the index has for them.
class SearchTable {
  public:
    SearchTable(std::vector<CdcPair> pairs, PassSearch search);
    // A saved index opened (the "indexed" search).
    explicit SearchTable(CdcIndex index);

    // The index's saved form (search/saved_index.h), to a file whole or not
    // at all, or as bytes; only the "indexed" search has one.
    std::optional<std::string> save(const std::string& path) const;
    std::string saved_bytes() const;
    // The pairs in table order.
    std::vector<CdcPair> pairs() const;

    PassSearch search() const { return search_; }
    size_t size() const { return size_; }
    // All the memory the table and its search hold.
    size_t bytes() const;

    // The queries asked on `threads` threads (search/batch.h): for each, the
    // index of the nearest pair and its squared chord.
    void find_all_nearest(const CdcPair* queries, size_t count, int threads, int64_t* indices, double* chords) const;
    // For each query, a row of k: the k nearest pairs, nearest first; where
    // the table holds fewer than k, the row ends with size() and infinity.
    void find_all_k(const CdcPair* queries, size_t count, int k, int threads, int64_t* indices, double* chords) const;
    // For each query, every pair whose squared chord is at most its limit
    // (limits[i] for queries[i]), nearest first.
    void find_all_within(const CdcPair* queries, size_t count, const double* limits, int threads,
                         std::vector<Nearest>* found) const;

  private:
    // question(search, query_of, batch) with the search built, the one place
    // it is opened; query_of(i) is queries[i] as the search takes it, and
    // the question asks through search/batch.h.
    template <typename Question>
    void ask(const CdcPair* queries, int threads, const Question& question) const;

    std::vector<CdcPair> pairs_;  // what the search reads, where it reads them; the buffer never moves
    size_t size_;
    PassSearch search_;
    std::variant<CdcPassSearch<PassSearch::kBrute>, CdcPassSearch<PassSearch::kPruned>,
                 CdcPassSearch<PassSearch::kIndexed>>
        built_;
};

}  // namespace spherebench
