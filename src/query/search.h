// Every search of the catalogue built by its entry and asked the same way:
// make_search builds the search's type (SearchType, catalogue/) over a table
// of its form, timing the build, and the Search it returns answers queries
// given as a table of the same form and a row, from any number of threads at
// once. The query benchmarks, the scale study, the search fuzzer and the
// tests ask every search through here; nothing else chooses among them.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "forms/form_table.h"
#include "method/nearest.h"
#include "search/batch.h"

namespace spherebench {

class Search {
  public:
    virtual ~Search() = default;

    // The nearest location of the table to query q of `queries` (a table in
    // table_form(id())): its index in the table and its score.
    virtual Nearest nearest(const FormTable& queries, int q) const = 0;
    // Its k nearest locations to the query, nearest first (fewer where the
    // table holds fewer), and every location whose score is at the limit or
    // nearer, nearest first: by score in the search's order, then by index,
    // as testing every location ranks them (method/result_sets.h). An
    // anchor answers by its library's own calls (anchors/anchor.h), ranked
    // the same way.
    virtual std::vector<Nearest> nearest(const FormTable& queries, int q, int k) const = 0;
    virtual std::vector<Nearest> within(const FormTable& queries, int q, double limit) const = 0;
    // answers[i] = the nearest to query first + i, for i < count, as a batch
    // (search/batch.h): on threads, along a path each seeded with the
    // previous answer; the same answers as asking one at a time.
    virtual void nearest_all(const FormTable& queries, int first, int count, Nearest* answers, Batch batch) const = 0;
    // All the search reads over its table: the table itself where it reads
    // it as it is, else what it built (an index, a grouped copy) with it.
    virtual size_t bytes() const = 0;

    SearchId id() const { return id_; }
    int count() const { return count_; }
    // Processor seconds the build took (0 for a search that builds nothing).
    double build_seconds() const { return build_seconds_; }

  protected:
    Search(SearchId id, int count) : id_(id), count_(count) {}
    void set_build_seconds(double seconds) { build_seconds_ = seconds; }

  private:
    SearchId id_;
    int count_;
    double build_seconds_ = 0;
};

// Whether this build has the search's type.
bool search_built(SearchId id);

// The form of the table a search is built over, and of its queries: the
// search's own, but the pairs for an anchor, which decodes them.
constexpr Form table_form(SearchId id) {
    return search_facts(id).kind == SearchKind::kAnchor ? Form::kCdcPair : search_facts(id).form;
}

// The search built over the view (in table_form(id)), which must outlive it;
// null where this build lacks it.
std::unique_ptr<Search> make_search(SearchId id, const FormView& table);
inline std::unique_ptr<Search> make_search(SearchId id, const FormTable& table) {
    return make_search(id, view_of(table));
}

}  // namespace spherebench
