// The searches of the scale benchmarks over a FormTable, and the two ways of
// running many queries on any number of threads: one query at a time with
// the table split among the threads, and a batch blocked by tiles of the
// table with the queries split among them. Both find, for every query, the
// winner and score of the search over the whole table: the parts are merged
// by the search's own comparison, the lowest index winning among equal
// scores.
#pragma once

#include "bench/search.h"
#include "scale/scale_tables.h"

namespace spherebench {

enum class Search { kCdcPass, kCdcVector, kLatLongPass, kLatLongVector, kS2CellIdPass, kS2PointVector, kFloatVector };
inline constexpr Search kSearches[] = {Search::kCdcPass,       Search::kCdcVector,    Search::kLatLongPass,
                                       Search::kLatLongVector, Search::kS2CellIdPass, Search::kS2PointVector,
                                       Search::kFloatVector};

struct SearchInfo {
    const char* name;
    Form form;
    bool smaller_wins;  // squared chords; else cosines, the largest wins
};
SearchInfo search_info(Search search);

// The search of locations [begin, end) of the table for query q of
// `queries` (a table of the same form); the index is the table's.
Nearest search_part(Search search, const FormTable& table, int begin, int end, const FormTable& queries, int q);

// The better of two results, by the search's comparison; the lower index
// among equal scores; a result without a winner loses to any other.
Nearest better_of(Nearest a, Nearest b, bool smaller_wins);

// Queries 0 to query_count - 1 one at a time over the whole table, each
// table split into `threads` parts searched at once. The threads are started
// once for all the queries, each taking its part of the table for every
// query in turn; answers[q] is query q's merged result.
void search_each(Search search, const FormTable& table, const FormTable& queries, int query_count, int threads,
                 Nearest* answers);

// The same answers by tiles of `tile` locations: every query of a thread's
// share searches a tile before the next tile is read, so a tile that fits in
// a cache is read from memory once per share, not once per query.
void search_blocked(Search search, const FormTable& table, const FormTable& queries, int query_count, int tile,
                    int threads, Nearest* answers);

// The sum of `count` doubles read `passes` times over by `threads` threads,
// a part each (several passes per start of the threads, so that a part in
// cache is read long enough to measure).
double sum_on_threads(const double* values, long long count, int passes, int threads);

}  // namespace spherebench
