// A location table laid out as the grouped direction-cosine vector search
// wants it: the pairs exactly as stored, grouped by flag case, each with its
// index in the table. Within a group every location pairs its cosines with the
// point's components in the same order and with the same signs, so a vector
// of them needs no per-lane choice; the grouping is made once per table,
// before any search, as the tables themselves are.
#pragma once

#include <vector>

#include "geo/coords.h"
#include "method/cdc_method.h"

namespace spherebench {

// Group g (cdc_case_group_of, kCdcCaseGroups of them) holds the flag cases of
// one axis and sign, the first of which is case g: its partners are
// CdcPoint::by_case[g]. The groups of axis Z, whose sum takes its terms in
// another order, come last, from kCdcFirstAxisZGroup.
inline constexpr int kCdcFirstAxisZGroup = 4;
constexpr bool axis_z_groups_come_last() {
    for (int g = 0; g < kCdcCaseGroups; ++g)
        if ((kCdcLayout[g].major == kCdcZ) != (g >= kCdcFirstAxisZGroup)) return false;
    return true;
}
static_assert(axis_z_groups_come_last());

// Each group is padded to a multiple of this many pairs (the widest x86
// vector of doubles) with copies of its last pair and that pair's index: a
// copy scores exactly as its original and names the same location, so it never
// changes a search's winner or score, and no group ends inside a vector.
inline constexpr int kCdcGroupPadding = 8;

struct CdcCaseGroups {
    std::vector<CdcPair> pairs;          // group after group, each in table order
    std::vector<double> indices;         // each pair's table index (doubles: the
                                         // search compares them in its lanes)
    int begin[kCdcCaseGroups + 1] = {};  // group g is [begin[g], begin[g + 1])
};

// Axis Z ignores the axis Y bit: its two flag cases of each sign are one group.
inline int cdc_case_group(CdcPair pair) { return cdc_case_group_of(cdc_flag_case(pair)); }

// The first `count` locations grouped, each group in table order (a stable
// partition), then padded.
CdcCaseGroups group_by_flag_case(const CdcPair* locations, int count);

// A search over the table's pairs grouped by flag case, by one function of
// the groups and the query pair. find offers every grouped pair with its
// table index (method/result_sets.h), scored by CdcMethod::score, which a
// lane's squared chord equals bit for bit; a padding copy (its index again,
// right after its original) is left out.
template <Nearest (*kSearch)(const CdcCaseGroups&, CdcPair)>
class GroupedSearch {
  public:
    using Records = const CdcPair*;
    using Query = CdcPair;
    static constexpr ScoreOrder kOrder = CdcMethod::order;

    GroupedSearch(const CdcPair* pairs, int count) : groups_(group_by_flag_case(pairs, count)) {}

    Nearest nearest(CdcPair query) const { return kSearch(groups_, query); }
    template <typename Results>
    void find(CdcPair query, Results& results) const {
        const CdcPoint point = arrange_point(decode_cdc(query));
        const std::vector<double>& indices = groups_.indices;
        for (size_t j = 0; j < indices.size(); ++j)
            if (j == 0 || indices[j] != indices[j - 1])
                results.add(static_cast<int32_t>(indices[j]), CdcMethod::score(groups_.pairs[j], point));
    }
    // The grouped copy: each pair and its index as a double.
    size_t bytes() const { return groups_.pairs.size() * (sizeof(CdcPair) + sizeof(double)); }

  private:
    CdcCaseGroups groups_;
};

}  // namespace spherebench
