#include "platform/foundation/Geometry.h"

#include "GermanLocale.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace {

using platform::Point;
using platform::Rect;
using platform::Size;

TEST(RectTest, UnionIgnoresEmptyRectangles) {
    EXPECT_EQ(Rect(1, 2, 3, 4).unionWith(Rect()), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect().unionWith(Rect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect(0, 0, 1, 1).unionWith(Rect(2, 3, 1, 1)), Rect(0, 0, 3, 4));
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void expectRoundTrips() {
    const double values[] = {0.0,
                             -0.0,
                             0.1,
                             1e-7,
                             -3.25,
                             1e20,
                             123456.789,
                             2.0 / 3.0,
                             130.0,
                             double(16.8f),
                             5e-324,
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::min()};
    for (const double a : values) {
        for (const double b : {0.1, -1e300}) {
            const Rect r(a, b, -a, a);
            const std::string text = platform::stringFromRect(r);
            SCOPED_TRACE(text);
            const Rect back = platform::rectFromString(text);
            EXPECT_TRUE(sameBits(back.origin.x, r.origin.x) && sameBits(back.origin.y, r.origin.y) &&
                        sameBits(back.size.width, r.size.width) && sameBits(back.size.height, r.size.height));
            EXPECT_EQ(platform::pointFromString(platform::stringFromPoint(r.origin)), r.origin);
            EXPECT_EQ(platform::sizeFromString(platform::stringFromSize(r.size)), r.size);
        }
    }
}

TEST(RectTextTest, WritesTheBraceFormWithShortestNumbers) {
    EXPECT_EQ(platform::stringFromRect(Rect(1, 2.5, 100, 0.1)), "{{1, 2.5}, {100, 0.1}}");
    EXPECT_EQ(platform::stringFromRect(Rect(-3.25, 1e-7, 1e20, 0)), "{{-3.25, 1e-07}, {1e+20, 0}}");
    EXPECT_EQ(platform::stringFromPoint(Point{0.5, -2}), "{0.5, -2}");
    EXPECT_EQ(platform::stringFromSize(Size{12, 0.25}), "{12, 0.25}");
}

TEST(RectTextTest, ReadsBackExactly) {
    expectRoundTrips();
}

TEST(RectTextTest, ReadsLeniently) {
    struct Case {
        const char* text;
        Rect expected;
    };
    const Case cases[] = {
        {"{{1, 2}, {3, 4}}", Rect(1, 2, 3, 4)},
        {"{{1,2},{3,4}}", Rect(1, 2, 3, 4)},
        {"  {{ -1.5 , 2e1 } , { .5 , 4. }} trailing 9", Rect(-1.5, 20, 0.5, 4)},
        {"{{1, 2}, {3}}", Rect(1, 2, 3, 0)},
        {"{{7, 8}}", Rect(7, 8, 0, 0)},
        {"1 2 3 4", Rect(1, 2, 3, 4)},
        {"{{1, x}, {3, 4}}", Rect(1, 3, 4, 0)}, // numbers are taken in order, wherever they stand
        {"{{--5, 6}, {7, 8}}", Rect(-5, 6, 7, 8)},
        {"garbage", Rect()},
        {"", Rect()},
        {"{{}, {}}", Rect()},
        {"{{nan, inf}, {-, e}}", Rect()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::rectFromString(c.text), c.expected) << c.text;
    }
    EXPECT_EQ(platform::pointFromString("{3}"), (Point{3, 0}));
    EXPECT_EQ(platform::sizeFromString("no size"), (Size{0, 0}));
}

TEST_F(GermanLocaleTest, RectTextIgnoresTheUsersDecimalComma) {
    EXPECT_EQ(platform::stringFromRect(Rect(1.5, 0.1, 2, 3)), "{{1.5, 0.1}, {2, 3}}");
    EXPECT_EQ(platform::rectFromString("{{1.5, 0.1}, {2, 3}}"), Rect(1.5, 0.1, 2, 3));
    expectRoundTrips();
}

} // namespace
