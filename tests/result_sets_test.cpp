// The result sets rank as testing every location does: by score in the
// order, then by index, whatever order the locations are offered in.
#include "method/result_sets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace spherebench;

namespace {

// Offered out of index order, with ties: scores 3, 1, 2, 1, 3 at 4, 3, 2, 1, 0.
template <typename Results>
void offer(Results& results) {
    const double scores[] = {3, 1, 2, 1, 3};
    for (int i = 4; i >= 0; --i) results.add(i, scores[i]);
}

std::vector<int> indices(const std::vector<Nearest>& found) {
    std::vector<int> out;
    for (const Nearest& n : found) out.push_back(n.index);
    return out;
}

TEST(ResultSets, RankByScoreThenIndexInEitherOrder) {
    NearestOne one(ScoreOrder::kSmallerNearer);
    offer(one);
    EXPECT_EQ(one.take().index, 1);
    NearestK three(3, ScoreOrder::kSmallerNearer);
    offer(three);
    EXPECT_EQ(indices(three.take()), (std::vector<int>{1, 3, 2}));
    NearestK largest(2, ScoreOrder::kLargerNearer);
    offer(largest);
    EXPECT_EQ(indices(largest.take()), (std::vector<int>{0, 4}));
    WithinLimit within(2, ScoreOrder::kSmallerNearer);
    offer(within);
    EXPECT_EQ(indices(within.take()), (std::vector<int>{1, 3, 2}));  // the limit itself is within
}

TEST(ResultSets, KBeyondTheTableAndNone) {
    NearestK all(10, ScoreOrder::kSmallerNearer);
    EXPECT_EQ(all.reach(), farthest_score(ScoreOrder::kSmallerNearer));
    offer(all);
    EXPECT_EQ(indices(all.take()), (std::vector<int>{1, 3, 2, 0, 4}));
    // None for k <= 0, and a reach that rules every location out.
    for (const int k : {0, -1}) {
        NearestK none(k, ScoreOrder::kSmallerNearer);
        EXPECT_EQ(none.reach(), -INFINITY);
        offer(none);
        EXPECT_TRUE(none.take().empty());
    }
    NearestOne empty(ScoreOrder::kLargerNearer);
    EXPECT_EQ(empty.take().index, kNoWinner);
    // No score is at or nearer than NaN, in either order.
    for (const ScoreOrder order : {ScoreOrder::kSmallerNearer, ScoreOrder::kLargerNearer}) {
        WithinLimit nan(std::nan(""), order);
        offer(nan);
        EXPECT_TRUE(nan.take().empty());
    }
}

// Once k are held, the reach is the k-th score: a location there may still
// enter by a lower index, one beyond it may not.
TEST(ResultSets, ReachIsTheKthScore) {
    NearestK two(2, ScoreOrder::kSmallerNearer);
    two.add(5, 1.0), two.add(6, 2.0);
    EXPECT_EQ(two.reach(), 2.0);
    two.add(4, 2.0);
    EXPECT_EQ(indices(two.take()), (std::vector<int>{5, 4}));
}

// A NaN score is never nearer nor as near as another (the brute force's
// strict comparison): no set takes it, first offered or not.
TEST(ResultSets, NeverTakeANaNScore) {
    const double nan = std::nan("");
    for (const ScoreOrder order : {ScoreOrder::kSmallerNearer, ScoreOrder::kLargerNearer}) {
        NearestOne one(order);
        one.add(0, nan), one.add(1, 2.0), one.add(2, nan);
        EXPECT_EQ(one.take().index, 1);
        NearestOne none(order);
        none.add(0, nan);
        EXPECT_EQ(none.take().index, kNoWinner);
        NearestK two(2, order);
        two.add(0, nan), two.add(1, 2.0), two.add(2, nan);
        EXPECT_EQ(indices(two.take()), std::vector<int>{1});
    }
}

// The counting set finds what NearestOne finds and counts every location
// offered, NaN and ties included.
TEST(ResultSets, CountingNearestCountsEveryOffer) {
    CountingNearest counting(ScoreOrder::kSmallerNearer);
    NearestOne one(ScoreOrder::kSmallerNearer);
    offer(counting), offer(one);
    counting.add(5, std::nan(""));
    EXPECT_TRUE(same_answer(counting.take(), one.take()));
    EXPECT_EQ(counting.offered(), 6);
}

}  // namespace
