// The partial sum the direction-cosine pruned scan skips pairs by is never
// above the pair's score, in any arrangement of the score's sum, so it never
// skips a pair that could tie or win.
#include "search/cdc_pruned_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "geo/cdc_encoder.h"
#include "method/cdc_method.h"

using namespace spherebench;

namespace {

CdcPair random_pair(std::mt19937_64& random) {
    const uint64_t bits = random();
    return {static_cast<int32_t>(bits), static_cast<int32_t>(bits >> 32)};
}

// A pair whose two words lie within 2^spread of base's (wrapping; the flag
// bits may change with them, into every flag case).
CdcPair nudged(CdcPair base, int spread, std::mt19937_64& random) {
    const auto word = [&](int32_t w) {
        const uint64_t step = random() % (uint64_t{2} << spread) - (uint64_t{1} << spread);
        return static_cast<int32_t>(static_cast<uint32_t>(w) + static_cast<uint32_t>(step));
    };
    return {word(base.first), word(base.second)};
}

// The point of case i: a pair's decoded direction, or a direction in a
// coordinate plane with a zero of either sign (whose partner of a major
// component of 0 is 0 too, so the third square is 0 and the partial sum is
// the whole score), or an axis.
UnitVector point_of_case(int i, std::mt19937_64& random) {
    if (i % 3) return decode_cdc(random_pair(random));
    const double angle = static_cast<double>(random() % 100000) * 1e-4;
    const double zero = i % 2 ? -0.0 : 0.0, c = std::cos(angle), s = std::sin(angle);
    const UnitVector planes[] = {{c, s, zero}, {zero, c, s}, {s, zero, c}, {1, zero, zero}, {zero, zero, -1}};
    return planes[i / 3 % 5];
}

// Pairs anywhere in the words (most of them with a major component of 0),
// beside the point's own pair at every scale, and the point's pair itself.
TEST(CdcPartialScore, NeverAboveTheScoreInAnyArrangement) {
    std::mt19937_64 random(41);
    int equal = 0;
    for (int i = 0; i < 300000; ++i) {
        const UnitVector p = point_of_case(i, random);
        const CdcPoint point = arrange_point(p);
        const CdcPair own = encode_cdc(p);
        const CdcPair pair = i % 4 == 0 ? own : i % 4 == 1 ? nudged(own, i % 31, random) : random_pair(random);
        const double partial = cdc_partial_score(pair, point);
        for (const CdcArrangement arrangement :
             {CdcArrangement::kTwoSlotArray, CdcArrangement::kSelectBits, CdcArrangement::kConditional}) {
            const double score =
                with_cdc_method(arrangement, [&](auto method) { return decltype(method)::score(pair, point); });
            ASSERT_LE(partial, score) << i << ": " << pair.first << " " << pair.second;
            equal += partial == score;
        }
    }
    // Not vacuous: the partial sum is often the whole score.
    EXPECT_GT(equal, 30000);
}

}  // namespace
