#include "geo/coords.h"
#include <gtest/gtest.h>
TEST(Loader, Placeholder) { EXPECT_EQ(decode_cdc({0, 0}).x, 1.0); }
