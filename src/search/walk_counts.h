// What the indexes' searches do, counted for the account of where their time
// goes (benchmarks/search_account.cpp): only in a build that defines
// SPHEREBENCH_COUNT_WALKS, which compiles the indexes apart for it; in every
// other build a count is no code at all.
#pragma once

#include <cstdint>

namespace spherebench {

struct WalkCounts {
    int64_t faces = 0;    // faces whose tree or grid was searched
    int64_t nodes = 0;    // internal nodes of a tree split into their children
    int64_t leaves = 0;   // leaves, runs and grid cells whose members were tested
    int64_t entries = 0;  // members tested against a bound before being scored
    int64_t scored = 0;   // locations scored and offered to the results
};

#ifdef SPHEREBENCH_COUNT_WALKS
inline thread_local WalkCounts walk_counts;
#define SPHEREBENCH_COUNT(field) (++::spherebench::walk_counts.field)
#else
#define SPHEREBENCH_COUNT(field) ((void)0)
#endif

}  // namespace spherebench
