// The searches of the scale benchmarks over a FormTable, by the catalogue's
// names, and the two ways of running many queries on any number of threads:
// one query at a time with the table split among the threads, and a batch
// blocked by tiles of the table with the queries split among them. Both
// find, for every query, the winner and score of the search over the whole
// table: the parts are merged by nearer_of (method/nearest.h) in the order
// of the search's form, the lowest index winning among equal scores.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "method/nearest.h"
#include "query/search.h"
#include "scale/scale_tables.h"

namespace spherebench {

// The searches the study runs: every brute force of the catalogue, whose
// time past the caches is the memory's.
inline std::vector<SearchId> scale_searches() {
    std::vector<SearchId> searches;
    for (const SearchFacts& facts : kSearchCatalogue)
        if (facts.kind == SearchKind::kBrute) searches.push_back(facts.id);
    return searches;
}

// A table cut into parts for one search: part k is locations [begin[k],
// begin[k + 1]), with the search built over it once, before any query (a
// search that reads its table grouped by flag case has each part grouped, as
// the suite groups its table).
struct TableParts {
    std::vector<int> begin;
    std::vector<std::unique_ptr<Search>> searches;
    int count() const { return static_cast<int>(begin.size()) - 1; }
};

// `parts` parts as equal as they come (fewer than one is taken as one).
TableParts split_table(SearchId search, const FormTable& table, int parts);
// Parts of `tile` locations, the last perhaps shorter (a tile of fewer than
// one location is taken as one).
TableParts tile_table(SearchId search, const FormTable& table, int tile);

// Bytes a table of the search's form takes per location, with its grouped
// copy where the search reads one.
int search_bytes_per_location(SearchId search);

// Empty when a table of `count` locations for the search fits in `available`
// bytes; else the message that refuses it.
std::string table_refusal(SearchId search, int count, long long available);
// The same for a table of `bytes_per_location` bytes a location in the form.
std::string table_refusal(Form form, int bytes_per_location, int count, long long available);

// The search of part k of the table for query q of `queries` (a table of the
// same form); the index is the table's. The parts must have been made for the
// same search and table (split_table, tile_table).
Nearest search_part(SearchId search, const FormTable& table, const TableParts& parts, int k, const FormTable& queries,
                    int q);
// The search of the whole table.
Nearest search_whole(SearchId search, const FormTable& table, const FormTable& queries, int q);

// Queries 0 to query_count - 1 one at a time over the whole table, its parts
// searched at once, a thread each. The threads are started once for all the
// queries, each taking its part of the table for every query in turn;
// answers[q] is query q's merged result.
void search_each(SearchId search, const FormTable& table, const TableParts& parts, const FormTable& queries,
                 int query_count, Nearest* answers);

// The same answers by tiles: every query of a thread's share searches a tile
// before the next tile is read, so a tile that fits in a cache is read from
// memory once per share, not once per query.
void search_blocked(SearchId search, const FormTable& table, const TableParts& tiles, const FormTable& queries,
                    int query_count, int threads, Nearest* answers);

// The sum of `count` doubles read `passes` times over by `threads` threads,
// a part each (several passes per start of the threads, so that a part in
// cache is read long enough to measure).
double sum_on_threads(const double* values, long long count, int passes, int threads);

}  // namespace spherebench
