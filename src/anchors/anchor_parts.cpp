#include "anchors/anchor_parts.h"

namespace spherebench {

DecodedPoints decode_points(const CdcPair* pairs, int count) {
    DecodedPoints points;
    for (int i = 0; i < count; ++i) {
        const UnitVector v = decode_cdc(pairs[i]);
        points.xs.push_back(v.x), points.ys.push_back(v.y), points.zs.push_back(v.z);
    }
    return points;
}

}  // namespace spherebench
