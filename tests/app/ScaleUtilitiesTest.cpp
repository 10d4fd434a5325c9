#include "app/ScaleUtilities.h"

#include "platform/ui/View.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ScaleUtilities, SettingAScaleReplacesTheEarlierOneAndResizesTheFrame) {
    auto root = std::make_shared<platform::View>(platform::Rect(0, 0, 1000, 1000));
    auto view = std::make_shared<platform::View>(platform::Rect(10, 20, 200, 100));
    root->addSubview(view);

    ScaleUtilities::setScale(*view, platform::Size{2.0, 2.0});
    EXPECT_EQ(ScaleUtilities::scale(*view), (platform::Size{2.0, 2.0}));
    EXPECT_EQ(view->frame().size, (platform::Size{400.0, 200.0}));
    EXPECT_EQ(view->bounds().size, (platform::Size{200.0, 100.0}));
    EXPECT_TRUE(view->needsDisplay());

    // A second zoom starts from the unscaled view, not from the first zoom.
    ScaleUtilities::setScale(*view, platform::Size{0.5, 0.5});
    EXPECT_EQ(ScaleUtilities::scale(*view), (platform::Size{0.5, 0.5}));
    EXPECT_EQ(view->frame().size, (platform::Size{100.0, 50.0}));
    EXPECT_EQ(view->bounds().size, (platform::Size{200.0, 100.0}));

    ScaleUtilities::resetScaling(*view);
    EXPECT_EQ(ScaleUtilities::scale(*view), (platform::Size{1.0, 1.0}));
    EXPECT_EQ(view->frame(), platform::Rect(10, 20, 200, 100));
}

TEST(ScaleUtilities, ScaleCountsTheZoomOfTheEnclosingViews) {
    auto root = std::make_shared<platform::View>(platform::Rect(0, 0, 1000, 1000));
    auto outer = std::make_shared<platform::View>(platform::Rect(0, 0, 500, 500));
    auto inner = std::make_shared<platform::View>(platform::Rect(0, 0, 100, 100));
    root->addSubview(outer);
    outer->addSubview(inner);
    outer->scaleUnitSquareToSize(platform::Size{2.0, 2.0});
    EXPECT_EQ(ScaleUtilities::scale(*inner), (platform::Size{2.0, 2.0}));
    // The zoom is set in window terms: the inner view takes a factor of its own that cancels the outer one.
    ScaleUtilities::setScale(*inner, platform::Size{1.5, 1.5});
    EXPECT_EQ(ScaleUtilities::scale(*inner), (platform::Size{1.5, 1.5}));
    EXPECT_EQ(inner->boundsScale(), (platform::Size{0.75, 0.75}));
}

} // namespace
