// A sheet of beamed groups drawn with the real "Default" glyphs by a window's paint cycle: eighths and
// sixteenths, mixed values with partial beams, single flags, triplets and a sextuplet with their digits
// and brackets, stems up and down. Set TOVRIN_LAYOUT_SHEET_OUT to a file name to keep the picture.

#include "LayoutFixture.h"
#include "StaffPage.h"
#include "support/ImageInk.h"

#include "glyphs/TOVFlippedView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ViewHost.h"

#include <QImage>
#include <QTest>

#include <cstdlib>

using namespace notationtest;
using platform::Point;
using platform::Rect;

namespace {

constexpr double kZoom = 3.0;
constexpr double kPitch = 0.4; // points per tick: a bar of 960 ticks is 384 wide
constexpr double kLeft = 20;
constexpr double kPageWidth = kLeft * 2 + 960 * kPitch;
constexpr double kRowHeight = 90;
constexpr double kMiddle = 45; // the middle line's y in a row

// One row is one bar: its notes area spans the row at kPitch per tick, its middle line at kMiddle.
class RowDelegate : public FakeNoteViewDelegate {
public:
    platform::Rect noteViewInquireRectangleNotesArea(TOVNoteView*) override {
        return {kLeft, 0, 960 * kPitch, kRowHeight};
    }
};

int inkIn(const QImage& image, const QRect& area) {
    return tovtest::inkIn(image, area, 160);
}

class LayoutSheet : public ::testing::Test {
protected:
    void SetUp() override {
        TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
        notes = std::make_unique<TOVNoteViewFactory>();
        notes->installPluginFontID("Default");
        objects = std::make_unique<TOVObjectViewFactory>();
        objects->installPluginFontID("Default");
        TOVUtils::overrideResourceDirectory(std::nullopt);
        TOVUtils::Services services;
        services.noteViewFactory = [this] { return notes.get(); };
        services.objectViewFactory = [this] { return objects.get(); };
        TOVUtils::registerServices(services);
        page = std::make_shared<StaffPage>(Rect{0, 0, kPageWidth, 100});
        page->rowHeight = kRowHeight;
        page->middle = kMiddle;
        page->staffLeft = kLeft - 8;
        page->staffWidth = kPageWidth - 2 * kLeft + 16;
        page->barlineX = kPageWidth - kLeft + 8;
    }
    void TearDown() override { TOVUtils::registerServices({}); }

    Bar* barOfRow(int row) {
        Bar* bar = tovtest::findBar(song.document, static_cast<std::uint64_t>(row) + 1);
        EXPECT_NE(bar, nullptr);
        return bar;
    }
    Note* beamed(int row, std::uint64_t from, const std::vector<std::uint64_t>& lengths,
                 const std::vector<std::int64_t>& levels) {
        std::vector<Note*> singles;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            singles.push_back(barOfRow(row)->createNewSingleMeloFromLengthLevel(from, lengths[i], levels[i]));
            from += lengths[i];
        }
        context.processPendingChanges();
        Note* note = lengths.size() > 1 ? barOfRow(row)->makeBeamOn(singles) : singles.front();
        context.processPendingChanges();
        EXPECT_NE(note, nullptr);
        return note;
    }
    void place(Note* note, int row, bool stemDown) {
        ASSERT_NE(note, nullptr);
        note->setFlip(stemDown);
        while (static_cast<int>(rowViews.size()) <= row) {
            auto slot = std::make_shared<TOVFlippedView>(
                Rect{0, static_cast<double>(rowViews.size()) * kRowHeight, kPageWidth, kRowHeight});
            page->addSubview(slot);
            rowViews.push_back(slot);
        }
        delegates.push_back(std::make_unique<RowDelegate>());
        delegates.back()->barView = rowViews[static_cast<std::size_t>(row)].get();
        delegates.back()->level0 = kMiddle;
        auto view = std::make_shared<TOVNoteView>(Rect{0, 0, 10, 10}, note);
        view->setNoteViewDelegate(delegates.back().get());
        page->addSubview(view);
        view->updateView();
        views.push_back(view);
    }

    std::unique_ptr<TOVNoteViewFactory> notes;
    std::unique_ptr<TOVObjectViewFactory> objects;
    tovtest::TestSong song{false};
    platform::ManagedObjectContext& context = *song.context;
    std::shared_ptr<StaffPage> page;
    std::vector<std::shared_ptr<TOVFlippedView>> rowViews;
    std::vector<std::unique_ptr<RowDelegate>> delegates;
    std::vector<std::shared_ptr<TOVNoteView>> views;
};

TEST_F(LayoutSheet, AMusicianReadsEveryGroup) {
    // Row 0, stems up: rising eighths, sixteenths, sixteenth-eighth-sixteenth.
    place(beamed(0, 0, {120, 120, 120, 120}, {-4, -2, 0, 1}), 0, false);
    place(beamed(0, 480, {60, 60, 60, 60}, {-1, 0, 1, 0}), 0, false);
    place(beamed(0, 720, {60, 120, 60}, {-2, -1, -2}), 0, false);
    // Row 1, stems down: falling eighths, eighth-sixteenth-eighth, sixteenth-32nd-eighth.
    place(beamed(1, 0, {120, 120, 120, 120}, {6, 4, 5, 3}), 1, true);
    place(beamed(1, 480, {120, 60, 120}, {2, 3, 4}), 1, true);
    place(beamed(1, 720, {60, 30, 120}, {3, 2, 1}), 1, true);
    // Row 2, stems up: beamed triplet eighths, triplet quarters with their bracket, dotted eighth and
    // sixteenth, single flags.
    place(barOfRow(2)->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, -1, 0), 2, false);
    place(barOfRow(2)->createNewTripletFromLengthUnitsLevelKind(240, {160, 160, 160}, -2, 0), 2, false);
    place(beamed(2, 720, {180, 60}, {-3, -1}), 2, false);
    // Row 3, stems down: a triplet and a sextuplet, triplet quarters with their bracket, single flags.
    place(barOfRow(3)->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, 4, 0), 3, true);
    place(barOfRow(3)->createNewSextupletFromLengthUnitsLevelKind(240, {40, 40, 40, 40, 40, 40}, 2, 0), 3,
          true);
    place(barOfRow(3)->createNewTripletFromLengthUnitsLevelKind(480, {160, 160, 160}, 3, 0), 3, true);
    // Row 4: single values with flags, both ways.
    place(beamed(4, 0, {120}, {-2}), 4, false);
    place(beamed(4, 120, {60}, {-1}), 4, false);
    place(beamed(4, 180, {30}, {0}), 4, false);
    place(beamed(4, 240, {120}, {4}), 4, true);
    place(beamed(4, 360, {60}, {3}), 4, true);
    place(beamed(4, 420, {30}, {2}), 4, true);
    place(beamed(4, 480, {180}, {-1}), 4, false);
    place(beamed(4, 720, {240}, {1}), 4, true);
    page->rows = 5;

    const double height = page->rows * kRowHeight;
    page->setFrame(Rect{0, 0, kPageWidth * kZoom, height * kZoom});
    page->setBoundsSize({kPageWidth, height});
    platform::ViewHost host;
    host.setRootView(page);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    if (const char* out = std::getenv("TOVRIN_LAYOUT_SHEET_OUT")) {
        image.save(QString::fromLocal8Bit(out));
    }
    // Between the first two stems of every beamed group the beam is ink, half a beam in from the stem
    // ends; every flag is ink where its outline lies.
    for (const auto& view : views) {
        const Rect f = view->frame();
        const auto& cells = view->unitCellArray();
        if (view->beamPath() && !view->note()->isTuplet()) {
            const Point a = cells[0]->posPoleEdge();
            const Point b = cells[1]->posPoleEdge();
            const Point mid{f.x() + (a.x + b.x) / 2,
                            f.y() + (a.y + b.y) / 2 + (view->isNoteFlip() ? -1.0 : 1.0)};
            const QRect spot(static_cast<int>(mid.x * kZoom) - 1, static_cast<int>(mid.y * kZoom) - 1, 3, 3);
            EXPECT_GT(inkIn(image, spot), 4) << "no beam at " << mid.x << ", " << mid.y;
        }
        if (view->flagPath()) {
            const Rect b = view->flagPath()->bounds().offsetBy(f.x(), f.y());
            const QRect area(static_cast<int>(b.x() * kZoom), static_cast<int>(b.y() * kZoom),
                             static_cast<int>(b.width() * kZoom), static_cast<int>(b.height() * kZoom));
            EXPECT_GT(inkIn(image, area), area.width() * area.height() / 8) << "no flag at " << b.x();
        }
    }
    EXPECT_EQ(views.size(), 20u);
}

} // namespace
