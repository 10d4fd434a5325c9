#include "platform/foundation/Geometry.h"

#include <gtest/gtest.h>

using platform::Rect;

TEST(RectTest, UnionIgnoresEmptyRectangles) {
    EXPECT_EQ(Rect(1, 2, 3, 4).unionWith(Rect()), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect().unionWith(Rect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect(0, 0, 1, 1).unionWith(Rect(2, 3, 1, 1)), Rect(0, 0, 3, 4));
}
