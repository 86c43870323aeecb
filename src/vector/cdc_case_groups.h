// An airport table laid out as the grouped direction-cosine vector search
// wants it: the pairs exactly as stored, grouped by flag case, each with its
// index in the table. Within a group every airport pairs its cosines with the
// point's components in the same order and with the same signs, so a vector
// of them needs no per-lane choice; the grouping is made once per table,
// before any search, as the tables themselves are.
#pragma once

#include <vector>

#include "bench/cdc_method.h"
#include "geo/coords.h"

namespace spherebench {

// Axis X, Y, Z, each with its major component positive or negative: group
// 2 * axis + negative, the index of the point's partners in CdcPoint::by_case.
inline constexpr int kCdcCaseGroups = 6;

// Each group is padded to a multiple of this many pairs (the widest x86
// vector of doubles) with copies of its last pair and that pair's index: a
// copy scores exactly as its original and names the same airport, so it never
// changes a search's winner or score, and no group ends inside a vector.
inline constexpr int kCdcGroupPadding = 8;

struct CdcCaseGroups {
    std::vector<CdcPair> pairs;          // group after group, each in table order
    std::vector<double> indices;         // each pair's table index (doubles: the
                                         // search compares them in its lanes)
    int begin[kCdcCaseGroups + 1] = {};  // group g is [begin[g], begin[g + 1])
};

// Axis Z ignores the axis Y bit: its two flag cases of each sign are one group.
inline int cdc_case_group(CdcPair pair) {
    const unsigned flag_case = cdc_flag_case(pair);
    return flag_case < 4 ? static_cast<int>(flag_case) : static_cast<int>(4 + (flag_case & 1u));
}

// The first `count` airports grouped, each group in table order (a stable
// partition), then padded.
CdcCaseGroups group_by_flag_case(const CdcPair* airports, int count);

}  // namespace spherebench
