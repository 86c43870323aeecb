#include "vector/cdc_case_groups.h"

namespace spherebench {

CdcCaseGroups group_by_flag_case(const CdcPair* locations, int count) {
    CdcCaseGroups groups;
    for (int g = 0; g < kCdcCaseGroups; ++g) {
        groups.begin[g] = static_cast<int>(groups.pairs.size());
        for (int j = 0; j < count; ++j) {
            if (cdc_case_group(locations[j]) != g) continue;
            groups.pairs.push_back(locations[j]);
            groups.indices.push_back(j);
        }
        while ((groups.pairs.size() - groups.begin[g]) % kCdcGroupPadding != 0) {
            groups.pairs.push_back(groups.pairs.back());
            groups.indices.push_back(groups.indices.back());
        }
    }
    groups.begin[kCdcCaseGroups] = static_cast<int>(groups.pairs.size());
    return groups;
}

}  // namespace spherebench
