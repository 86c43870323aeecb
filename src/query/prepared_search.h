// Every search of the catalogue behind one dispatch: prepare_search builds
// once per table what the search needs (the pairs grouped by flag case, an
// index, the decoded points of an anchor), timing the build and counting its
// bytes; answer_query then answers one query at a time, from any number of
// threads at once. The query benchmarks, the search fuzzer and the tests
// ask every search through here. A search whose code this build lacks (its
// library not found, or not written yet) is not built: search_built says so.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "anchors/anchor_searches.h"
#include "catalogue/search_catalogue.h"
#include "method/cdc_method.h"
#include "method/nearest.h"
#include "query/query_tables.h"
#include "scale/scale_tables.h"
#include "search/cdc_index.h"
#include "search/latlong_index.h"
#include "search/point_index.h"
#include "vector/cdc_case_groups.h"

namespace spherebench {

struct PreparedSearch {
    SearchId id = SearchId::kCdcBrute;
    const FormTable* table = nullptr;                            // in table_form(id); must outlive this
    CdcArrangement arrangement = CdcArrangement::kTwoSlotArray;  // of CdcBrute
    double build_seconds = 0;                                    // building what follows, once per table
    size_t bytes = 0;                                            // what the search reads per table, all of it
    CdcCaseGroups groups;                                        // the grouped vector searches
    AnchorIndexPtr anchor;
    std::optional<CdcIndex> cdc_index;
    std::optional<LatLongIndex> latlong_index;
    std::optional<PointIndex> point_index;
};

// Whether this build can run the search.
bool search_built(SearchId id);

// The exact search a search must agree with, winner and score bits: the
// scalar brute force of its form, but the vector one for the lat/long vector
// searches (whose sines come from SLEEF) and for S2Point (whose scalar search
// gives no score); itself where there is no other; CdcBrute over the same
// pairs for an anchor, which is only counted against it.
SearchId reference_search(SearchId id);

// What the search needs over the table (in table_form(id)), built and timed.
// The search must be built.
std::unique_ptr<PreparedSearch> prepare_search(SearchId id, const FormTable& table);

// The search's nearest location to query q of `queries` (a table in the same
// form): its index in the table and its score.
Nearest answer_query(const PreparedSearch& prepared, const FormTable& queries, int q);

}  // namespace spherebench
