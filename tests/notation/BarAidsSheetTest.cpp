// The bar aids as a person sees them while dragging a rhythm value: the grid over an empty 4/4 bar (one
// column per 30 ticks, taller marks on beats, the drop position as a line through the bar), the empty
// stretches of a bar with notes (the target one framed), and the head preview with ledger lines above the
// staff, painted by a window. Set TOVRIN_SHEET_OUT to a file name to keep the picture.

#include "layout/TOVEditorBarView.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteDropAreaCell.h"
#include "notation/TOVNoteGridCell.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ViewHost.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

using platform::Rect;

namespace {

// A bar view on a white staff that draws its grid or drop-area cells over it, as the bar view does while
// a drag hovers.
class AidedBar : public TOVEditorBarView {
public:
    using TOVEditorBarView::TOVEditorBarView;
    std::vector<std::unique_ptr<TOVNoteGridCell>> grid;
    std::vector<std::unique_ptr<TOVNoteDropAreaCell>> areas;

    void drawRect(const Rect& dirty, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{1, 1, 1, 1});
        ctx.fillRect(bounds());
        for (const auto& area : areas) {
            area->drawWithFrameInView(area->frame(), ctx);
        }
        ctx.setFillColor(platform::Color::black());
        for (int i = 0; i < 5; ++i) {
            ctx.fillRect(Rect(0, posY5LinesTop() + i * TOVStaffSpace, bounds().width(), 0.2));
        }
        ctx.fillRect(Rect(bounds().width() - 0.2, posY5LinesTop(), 0.2, 23.8));
        for (const auto& cell : grid) {
            cell->drawWithFrameInView(cell->frame(), ctx);
        }
        TOVEditorBarView::drawRect(dirty, ctx);
    }
};

class Backdrop : public platform::View {
public:
    using platform::View::View;
    void drawRect(const Rect& dirty, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{1, 1, 1, 1});
        ctx.fillRect(dirty);
    }
};

// Whether the pixel is close to the colour (the window blends nothing here but anti-aliasing).
bool near(const QColor& pixel, const platform::Color& colour, int tolerance = 40) {
    return std::abs(pixel.red() - int(colour.r * 255)) <= tolerance &&
           std::abs(pixel.green() - int(colour.g * 255)) <= tolerance &&
           std::abs(pixel.blue() - int(colour.b * 255)) <= tolerance;
}

TEST(BarAidsSheet, GridDropAreasAndPreviewOverBars) {
    constexpr double kZoom = 4.0;
    constexpr double kWidth = 300;
    constexpr double kHeight = 90;
    auto root = std::make_shared<Backdrop>(Rect(0, 0, kWidth * kZoom, kHeight * kZoom));
    root->setBoundsSize({kWidth, kHeight});

    // An empty 4/4 bar: 960 ticks over a notes area from x 10 to 130, the drop position at tick 300.
    auto empty = std::make_shared<AidedBar>(Rect(5, 5, 140, 80));
    root->addSubview(empty);
    const double areaX = 10, areaWidth = 120;
    for (std::uint64_t tick = 0; tick < 960; tick += 30) {
        const double x = areaX + tick * areaWidth / 960.0;
        auto cell = std::make_unique<TOVNoteGridCell>(Rect(x, 0, areaWidth / 32, 80));
        cell->setBarView(empty.get());
        cell->setX(tick);
        cell->setGridHeight(tick % 240 == 0 ? 20.0 : tick % 120 == 0 ? 15.0 : tick % 60 == 0 ? 10.0 : 8.0);
        cell->setActive(tick == 300);
        empty->grid.push_back(std::move(cell));
    }

    // A bar with notes on beats 1 and 3: empty stretches after each, the second one the target.
    auto notes = std::make_shared<AidedBar>(Rect(150, 5, 140, 80));
    root->addSubview(notes);
    for (auto [tick, length, active] :
         std::vector<std::tuple<std::uint64_t, std::uint64_t, bool>>{{240, 240, false}, {720, 240, true}}) {
        auto area = std::make_unique<TOVNoteDropAreaCell>(
            Rect(areaX + tick * areaWidth / 960.0, 0, length * areaWidth / 960.0, 80));
        area->setBarView(notes.get());
        area->setX(tick);
        area->setLength(length);
        area->setActive(active);
        notes->areas.push_back(std::move(area));
    }

    // The preview at level 7 (a space above the first ledger line) over the empty bar, as the bar view
    // places it in the editor: from the head's top down to the middle line.
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVNoteViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);
    auto preview = factory.tonePreviewForDraggingWithFontID("Default");
    ASSERT_TRUE(preview);
    const double middle = 5 + empty->posY5LinesTop() + 2 * TOVStaffSpace;
    const double centre = middle - 7 * TOVLevelPitch;
    preview->setFrame(Rect(areaX + 5 + 300 * areaWidth / 960.0, centre - TOVLevelPitch,
                           preview->frame().width(), middle - centre + TOVLevelPitch));
    preview->setLevel(7);
    preview->updateView();
    root->addSubview(preview);

    platform::ViewHost host;
    host.setRootView(root);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    if (const char* out = std::getenv("TOVRIN_SHEET_OUT")) {
        image.save(QString::fromLocal8Bit(out));
    }

    auto pixel = [&](double x, double y) { return image.pixelColor(int(x * kZoom), int(y * kZoom)); };
    const double top = 5 + empty->posY5LinesTop();
    // The active column runs through the staff in the target colour; an inactive beat mark stands above
    // the top line in grey and leaves the staff's spaces white.
    const double activeX = 5 + areaX + 300 * areaWidth / 960.0;
    EXPECT_TRUE(near(pixel(activeX, top + 8.85), TOVUtils::noteGridTargetColor()));
    EXPECT_TRUE(near(pixel(activeX, 80), TOVUtils::noteGridTargetColor()));
    const double beatX = 5 + areaX + 240 * areaWidth / 960.0;
    EXPECT_TRUE(near(pixel(beatX, top - 10), TOVUtils::noteGridNormalColor()));
    EXPECT_TRUE(near(pixel(beatX, top + 8.85), platform::Color{1, 1, 1, 1}, 8));
    EXPECT_TRUE(near(pixel(beatX, top - 21), platform::Color{1, 1, 1, 1}, 8));
    // The stretches are tinted; only the target one has the darker frame.
    const double firstAreaX = 150 + areaX + 240 * areaWidth / 960.0;
    const double secondAreaX = 150 + areaX + 720 * areaWidth / 960.0;
    EXPECT_FALSE(near(pixel(firstAreaX + 10, 30), platform::Color{1, 1, 1, 1}, 4));
    EXPECT_NE(pixel(firstAreaX + 0.3, 30), pixel(secondAreaX + 0.3, 30));
    EXPECT_EQ(pixel(firstAreaX + 10, 30), pixel(secondAreaX + 10, 30));
}

} // namespace
