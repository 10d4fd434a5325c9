#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <limits>

using platform::Image;
using platform::Size;

TEST(Image, PixelSizeIsCappedWhateverSizeIsAskedFor) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        Size size;
        int width;
        int height;
    } cases[] = {
        {Size{10.2, 3}, 11, 3},
        {Size{0, -4}, 1, 1},
        {Size{inf, 5}, 1, 5},
        // Far beyond what an int holds: capped like any other oversized request, not wrapped around.
        {Size{1e10, 1e300}, 8192, 8192},
        {Size{3e9, 20}, 8192, 20},
    };
    for (const auto& c : cases) {
        const Image image(c.size);
        EXPECT_EQ(image.qImage().width(), c.width) << c.size.width;
        EXPECT_EQ(image.qImage().height(), c.height) << c.size.height;
    }
}
