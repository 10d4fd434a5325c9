#include "platform/foundation/Color.h"

#include <gtest/gtest.h>

namespace {

using platform::Color;

TEST(ColorTest, NamedColoursHaveTheirFixedValues) {
    const std::pair<Color, Color> table[] = {
        {Color::black(), Color{0, 0, 0, 1}},
        {Color::white(), Color{1, 1, 1, 1}},
        {Color::gray(), Color{0.5, 0.5, 0.5, 1}},
        {Color::darkGray(), Color{1.0 / 3, 1.0 / 3, 1.0 / 3, 1}},
        {Color::lightGray(), Color{2.0 / 3, 2.0 / 3, 2.0 / 3, 1}},
        {Color::red(), Color{1, 0, 0, 1}},
        {Color::blue(), Color{0, 0, 1, 1}},
        {Color::orange(), Color{1, 0.5, 0, 1}},
        {Color::clear(), Color{0, 0, 0, 0}},
        {Color::highlight(), Color{1, 1, 1, 1}},
        {Color::controlShadow(), Color{0.5, 0.5, 0.5, 1}},
        {Color::controlBackground(), Color{1, 1, 1, 1}},
        {Color::barViewEditTarget(), Color{0.99, 0.52, 0.05, 0.3}},
        {Color::barViewSelectedFrame(), Color{0.19921875, 0.3984375, 0.59765625, 1}},
        {Color::barViewDropTargetFrame(), Color{0.99609375, 0.19921875, 0, 1}},
        {Color::noteDropAreaFill(), Color{0.87, 0.96, 0.75, 0.7}},
        {Color::noteDropAreaFrame(), Color{0.47, 0.66, 0.45, 0.7}},
        {Color::multiSelectAreaFill(), Color{0.87, 0.96, 0.75, 0.4}},
        {Color::multiSelectAreaFrame(), Color{0.47, 0.66, 0.45, 0.7}},
    };
    for (std::size_t i = 0; i < std::size(table); ++i) {
        EXPECT_EQ(table[i].first, table[i].second) << "row " << i;
    }
    EXPECT_EQ(Color{}, Color::black());
    EXPECT_EQ(Color::fromWhite(0.255), (Color{0.255, 0.255, 0.255, 1}));
    EXPECT_NE(Color::noteDropAreaFill(), Color::multiSelectAreaFill()); // they differ in alpha only
}

} // namespace
