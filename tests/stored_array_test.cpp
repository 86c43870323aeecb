// StoredArray: a view of shared bytes keeps them alive and is never
// written through; a write makes the values the array's own first.
#include "base/stored_array.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace spherebench;

TEST(StoredArray, SharedValuesStayAliveAndAreCopiedBeforeAWrite) {
    auto buffer = std::make_shared<std::vector<int>>(std::vector<int>{1, 2, 3});
    const std::weak_ptr<std::vector<int>> watch = buffer;
    StoredArray<int> shared = StoredArray<int>::shared(buffer->data(), 3, buffer);
    buffer.reset();
    ASSERT_FALSE(watch.expired());  // the view keeps its bytes
    const StoredArray<int> copy = shared;
    EXPECT_TRUE(copy.is_shared());
    EXPECT_EQ(copy.data(), std::as_const(shared).data());
    shared[1] = 20;  // copies, then writes its own
    EXPECT_FALSE(shared.is_shared());
    EXPECT_EQ(std::vector<int>(shared.begin(), shared.end()), (std::vector<int>{1, 20, 3}));
    EXPECT_EQ(std::vector<int>(copy.begin(), copy.end()), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ((*watch.lock())[1], 2);
    StoredArray<int> moved = std::move(shared);
    EXPECT_EQ(moved[1], 20);
    EXPECT_TRUE(shared.empty());
    EXPECT_EQ(moved.capacity(), 3u);
}

TEST(StoredArray, OwnValuesAreCopiedWithTheArray) {
    StoredArray<double> own(std::vector<double>{0.5, 1.5});
    StoredArray<double> copy = own;
    copy.resize(3);
    copy[2] = 2.5;
    EXPECT_EQ(own.size(), 2u);
    EXPECT_NE(copy.data(), own.data());
    own = copy;
    EXPECT_EQ(own.size(), 3u);
    EXPECT_EQ(own[2], 2.5);
    EXPECT_NE(own.data(), copy.data());
}
