// Real drags from the notes palette onto bar views in a window: the grid of an empty bar, the empty
// stretches of a bar with notes, the note-head preview, harmony tones and what each drop asks of the
// controller.

#include "AllGlyphs.h"
#include "BoundEditorFixture.h"
#include "EditorInWindow.h"
#include "EditorViewLookups.h"
#include "FakeLayoutController.h"

#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/ViewHost.h"
#include "support/LayoutBuilder.h"
#include "support/RealDrag.h"
#include "support/SongBuilder.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>

using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

constexpr std::int32_t kQuarter = TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter);
constexpr std::int32_t kEighth = TOVUnitTypeOf(TOVUnitGroupNote, TOVLength8th);
constexpr std::int32_t kQuarterRest = TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthQuarter);
constexpr std::int32_t kTripletOfEighths = TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter);
constexpr std::int32_t kSextupletOfSixteenths = TOVUnitTypeOf(TOVUnitGroupSextuplet, TOVLengthQuarter);
constexpr std::int32_t kHarmonyTone = TOVNoteItemHarmonyTone;
constexpr std::int32_t kBeatSlash = TOVNoteItemBeatSlash;

// What a bar view showed right after the drag entered it: the controller hears of the drag only then.
struct Hover {
    TOVEditorBarView* bar = nullptr;
    std::vector<TOVNoteGridCell> grid;
    std::vector<TOVNoteDropAreaCell> areas;
    std::optional<TOVNoteDropAreaCell> harmonyArea;
    std::optional<std::size_t> activeGrid;
    std::optional<std::size_t> activeArea;
    bool preview = false;
    bool previewInEditor = false;
    std::int64_t previewLevel = 0;
    std::uint64_t previewX = 0;
    Rect previewFrameInBar;
    bool dropTarget = false;
    // No other bar view still shows an aid.
    bool othersClear = true;
};

class HoverRecordingController : public layouttest::FakeLayoutController {
public:
    std::vector<Hover> hovers;
    std::function<void(TOVEditorBarView*)> whenEntered;

    void layoutViewNotePaletteDragEnteredDraggingInfo(platform::View* view, std::int32_t item,
                                                      const platform::DraggingInfo& info) override {
        FakeLayoutController::layoutViewNotePaletteDragEnteredDraggingInfo(view, item, info);
        auto* bar = dynamic_cast<TOVEditorBarView*>(view);
        if (bar == nullptr) {
            return;
        }
        Hover h;
        h.bar = bar;
        h.grid = bar->gridCellArray();
        h.areas = bar->noteDropAreaCellArray();
        h.harmonyArea = bar->harmonyDropAreaCell();
        if (bar->activeGridCell() != nullptr) {
            h.activeGrid = static_cast<std::size_t>(bar->activeGridCell() - bar->gridCellArray().data());
        }
        if (bar->activeNoteDropAreaCell() != nullptr) {
            h.activeArea =
                static_cast<std::size_t>(bar->activeNoteDropAreaCell() - bar->noteDropAreaCellArray().data());
        }
        if (const auto& preview = bar->notePreview()) {
            h.preview = true;
            h.previewInEditor = preview->superview() == editor;
            h.previewLevel = preview->level();
            h.previewX = preview->x();
            h.previewFrameInBar =
                Rect(bar->convertPointFromView(preview->frame().origin, editor), preview->frame().size);
        }
        h.dropTarget = bar->dropTarget();
        for (const auto& page : editor->pageViewArray()) {
            for (const auto& line : page->lineViewArray()) {
                for (const auto& other : line->barViewArray()) {
                    if (other.get() != bar &&
                        (!other->gridCellArray().empty() || !other->noteDropAreaCellArray().empty() ||
                         other->notePreview())) {
                        h.othersClear = false;
                    }
                }
            }
        }
        hovers.push_back(h);
        if (whenEntered) {
            whenEntered(bar);
        }
    }
};

// Two lines of two bars each (bars 0 and 1, then 2 and 3) in a window, with the built-in note glyphs.
class BarNotePaletteDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        document = layouttest::bindEditor(*editor, controller, *context,
                                          {PageSpec{10, {LineSpec{2, 2, false}, LineSpec{2, 2, false}}}});
        ASSERT_TRUE(layouttest::showInHost(host, editor, 600, 480));
        controller.log.clear();
    }
    void TearDown() override {
        editor->setDocData(nullptr);
        TOVUtils::registerServices({});
    }

    TOVEditorBarView* barView(std::uint64_t num) const { return layouttest::barViewNumbered(*editor, num); }
    // Notes written into the bar and shown, as the controller does after an edit.
    Note* melo(std::uint64_t num, std::uint64_t from, std::uint64_t length, std::int64_t level = 0) {
        return shown(
            num, tovtest::findBar(document, num)->createNewSingleMeloFromLengthLevel(from, length, level));
    }
    Note* rest(std::uint64_t num, std::uint64_t from, std::uint64_t length) {
        return shown(num, tovtest::findBar(document, num)->createNewSingleRestFromLength(from, length));
    }
    Note* slash(std::uint64_t num, std::uint64_t from, std::uint64_t length) {
        return shown(num, tovtest::findBar(document, num)->createNewSingleSlashFromLength(from, length));
    }
    Note* shown(std::uint64_t num, Note* note) {
        context->processPendingChanges();
        barView(num)->recreateAllNoteViews();
        return note;
    }

    // Where the pointer really is when sent to the point of the bar view: the window takes whole pixels.
    uitest::PointerAt pointerAt(const TOVEditorBarView* bar, Point inBar) {
        const Point inHost = bar->convertPointToView(inBar, nullptr);
        return {&host, QPointF(std::round(inHost.x), std::round(inHost.y))};
    }
    static Point inBar(const TOVEditorBarView* bar, const uitest::PointerAt& p) {
        return bar->convertPointFromView(Point{p.at.x(), p.at.y()}, nullptr);
    }
    // A y of the bar view at the level, whole pixels away from the level's edges.
    double yAtLevel(const TOVEditorBarView* bar, std::int64_t level) const {
        return bar->posYFromToneLevel(level) + (level > 0 ? -1.5 : level < 0 ? 1.5 : 0.0);
    }

    // Drags the palette item from a palette window beside this one along the points; the button comes up at
    // the last, or, with leave, the drag ends outside every window. Answers what the palette heard.
    platform::DragOperation dragAlong(std::int32_t item, std::vector<uitest::PointerAt> path,
                                      bool leave = false) {
        platform::DraggingInfo info;
        info.addType(TOVPaletteTypes::NoteForBarView);
        const auto bytes = platform::KeyedArchiver::archivedDataWithRootNumber(item);
        info.addType(TOVPaletteTypes::ItemType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<qsizetype>(bytes.size())));
        if (leave) {
            path.push_back({&host, QPointF(-40, 50)});
        }
        uitest::DragSourceWindow palette(info, QPoint(host.frameGeometry().right() + 20, 40));
        drag.dragAlong(palette.middle(), palette.pastDragDistance(), std::move(path));
        EXPECT_EQ(palette.view->drags, 1);
        return palette.view->result;
    }
    std::vector<TOVNotePreview*> previewsInEditor() const {
        return layouttest::viewsInEditor<TOVNotePreview>(*editor);
    }
    // The middle of the grid column at the tick, at the level.
    uitest::PointerAt atGridTick(TOVEditorBarView* bar, std::uint64_t tick, std::int64_t level) {
        const double column =
            bar->rectangleNotesArea().width() / static_cast<double>(bar->totalRhythmLength() / 30);
        return pointerAt(bar, {bar->posXFromNoteX(tick) + column / 2, yAtLevel(bar, level)});
    }
    void expectNoAidsLeft(TOVEditorBarView* bar) {
        EXPECT_TRUE(bar->gridCellArray().empty());
        EXPECT_TRUE(bar->noteDropAreaCellArray().empty());
        EXPECT_FALSE(bar->harmonyDropAreaCell());
        EXPECT_EQ(bar->harmonyDropTargetUnitCell(), nullptr);
        EXPECT_EQ(bar->notePreview(), nullptr);
        EXPECT_EQ(bar->activeGridCell(), nullptr);
        EXPECT_EQ(bar->activeNoteDropAreaCell(), nullptr);
        EXPECT_FALSE(bar->dropTarget());
        EXPECT_TRUE(previewsInEditor().empty());
    }

    layouttest::NoteGlyphs glyphs;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    HoverRecordingController controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(Rect(0, 0, 595, 900));
    Document* document = nullptr;
    platform::ViewHost host;
    uitest::RealDrag drag;
};

TEST_F(BarNotePaletteDropTest, AnEmptyBarShowsAColumnPer30TicksMarkedByItsBeat) {
    TOVEditorBarView* sixEight = barView(3);
    sixEight->bar()->setTimeType(TOVSymbolTime6_8);
    sixEight->recreateAllSubViews();
    auto heights = [](std::size_t n, std::vector<std::size_t> at20, std::vector<std::size_t> at15,
                      std::optional<double> odd) {
        std::vector<double> h(n, 10.0);
        for (std::size_t i = 1; odd && i < n; i += 2) {
            h[i] = *odd;
        }
        for (std::size_t i : at15) {
            h[i] = 15.0;
        }
        for (std::size_t i : at20) {
            h[i] = 20.0;
        }
        return h;
    };
    struct Case {
        std::uint64_t bar;
        std::vector<double> heights;
    };
    const Case cases[] = {
        {1, heights(32, {0, 8, 16, 24}, {4, 12, 20, 28}, std::nullopt)},
        {3, heights(24, {0, 8, 16}, {4, 12, 20}, 8.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bar);
        controller.hovers.clear();
        TOVEditorBarView* bar = barView(c.bar);
        EXPECT_EQ(dragAlong(kQuarter, {atGridTick(bar, 0, 0)}, true), platform::DragOperationNone);
        ASSERT_EQ(controller.hovers.size(), 1u);
        const Hover& h = controller.hovers.front();
        ASSERT_EQ(h.grid.size(), c.heights.size());
        const Rect notes = bar->rectangleNotesArea();
        const double width = notes.width() / static_cast<double>(c.heights.size());
        for (std::size_t i = 0; i < h.grid.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_DOUBLE_EQ(h.grid[i].gridHeight(), c.heights[i]);
            EXPECT_EQ(h.grid[i].x(), 30 * i);
            EXPECT_NEAR(h.grid[i].frame().x(), notes.x() + static_cast<double>(i) * width, 1e-9);
            EXPECT_NEAR(h.grid[i].frame().width(), width, 1e-9);
            EXPECT_DOUBLE_EQ(h.grid[i].frame().y(), 0.0);
            EXPECT_DOUBLE_EQ(h.grid[i].frame().height(), bar->frame().height());
            EXPECT_EQ(h.grid[i].barView(), bar);
        }
        // The first column took the quarter; the drag then left the window and took the grid along.
        EXPECT_EQ(h.activeGrid, std::optional<std::size_t>(0));
        EXPECT_TRUE(h.grid[0].active());
        expectNoAidsLeft(bar);
    }
}

TEST_F(BarNotePaletteDropTest, ABarWithNotesOffersItsEmptyStretches) {
    melo(1, 0, 240);
    melo(1, 480, 240);
    TOVEditorBarView* bar = barView(1);
    const double pitch = bar->xPitchPerLength();
    const double midY = bar->posYLevel0();
    EXPECT_EQ(dragAlong(kQuarter, {pointerAt(bar, {bar->posXFromNoteX(840), midY})}, true),
              platform::DragOperationNone);
    ASSERT_EQ(controller.hovers.size(), 1u);
    const Hover& h = controller.hovers.front();
    EXPECT_TRUE(h.grid.empty());
    ASSERT_EQ(h.areas.size(), 2u);
    const double height = bar->frame().height();
    const std::uint64_t starts[] = {240, 720};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(h.areas[i].x(), starts[i]);
        EXPECT_EQ(h.areas[i].length(), 240u);
        EXPECT_NEAR(h.areas[i].frame().x(), bar->posXFromNoteX(starts[i]), 1e-9);
        EXPECT_NEAR(h.areas[i].frame().width(), 240 * pitch, 1e-9);
        EXPECT_DOUBLE_EQ(h.areas[i].frame().y(), 4.0);
        EXPECT_DOUBLE_EQ(h.areas[i].frame().height(), height - 8.0);
    }
    // The pointer was over the second stretch; the head stands at its start.
    EXPECT_EQ(h.activeArea, std::optional<std::size_t>(1));
    ASSERT_TRUE(h.preview);
    EXPECT_EQ(h.previewX, 720u);
    EXPECT_NEAR(h.previewFrameInBar.x(), bar->posXFromNoteX(720), 1e-9);
    expectNoAidsLeft(bar);
}

// A damaged file may hold notes that overlap: they leave no stretch between them, and a note lying inside
// an earlier one does not open one there either.
TEST_F(BarNotePaletteDropTest, OverlappingNotesOpenNoStretch) {
    melo(1, 0, 480);
    Note* inside = melo(1, 480, 120);
    melo(1, 600, 120);
    inside->firstUnit()->setTiming(120);
    context->processPendingChanges();
    TOVEditorBarView* bar = barView(1);
    bar->recreateAllNoteViews();
    EXPECT_EQ(dragAlong(kQuarter, {pointerAt(bar, {bar->posXFromNoteX(840), yAtLevel(bar, -4)})}, true),
              platform::DragOperationNone);
    ASSERT_EQ(controller.hovers.size(), 1u);
    const Hover& h = controller.hovers.front();
    std::vector<std::pair<std::uint64_t, std::uint64_t>> stretches;
    for (const TOVNoteDropAreaCell& area : h.areas) {
        stretches.emplace_back(area.x(), area.length());
        EXPECT_GE(area.frame().x(), bar->rectangleNotesArea().x());
        EXPECT_LE(area.frame().maxX(), bar->rectangleNotesArea().maxX() + 1e-9);
    }
    EXPECT_EQ(stretches, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{480, 120}, {720, 240}}));
}

TEST_F(BarNotePaletteDropTest, AValueFitsAStretchOnlyWhenItIsNoLongerAndLandsAtItsStart) {
    // A stretch of an eighth (240 to 360) and one of a half (480 to 960).
    melo(1, 0, 240);
    melo(1, 360, 120);
    TOVEditorBarView* bar = barView(1);
    struct Case {
        std::int32_t item;
        std::uint64_t from, to;
        double where; // 0 the stretch's left edge, 1 its right edge
        std::string request;
    };
    const Case cases[] = {
        {kQuarter, 240, 360, 0.5, ""},
        {kEighth, 240, 360, 0.5, "melo at 240 length 120"},
        {kQuarter, 480, 960, 0.1, "melo at 480 length 240"},
        {kQuarter, 480, 960, 0.5, "melo at 480 length 240"},
        {kQuarter, 480, 960, 0.95, "melo at 480 length 240"},
        {kQuarterRest, 240, 360, 0.5, ""},
        {kQuarterRest, 480, 960, 0.9, "rest at 480 length 240"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.item << " " << c.from << " " << c.where);
        controller.log.clear();
        controller.hovers.clear();
        const double x = bar->posXFromNoteX(c.from) +
                         c.where * static_cast<double>(c.to - c.from) * bar->xPitchPerLength();
        const uitest::PointerAt at = pointerAt(bar, {x, yAtLevel(bar, -4)});
        const std::int64_t level = bar->toneLevelFromPosY(inBar(bar, at).y);
        const bool accepted = !c.request.empty();
        EXPECT_EQ(dragAlong(c.item, {at, at}),
                  accepted ? platform::DragOperationCopy : platform::DragOperationNone);
        ASSERT_EQ(controller.hovers.size(), 1u);
        EXPECT_EQ(controller.hovers[0].activeArea.has_value(), accepted);
        const std::string entered = "note entered " + std::to_string(c.item);
        std::vector<std::string> expected{entered, "note exited " + std::to_string(c.item)};
        if (accepted) {
            const bool melody = (c.item & TOVUnitGroupMask) == TOVUnitGroupNote;
            expected = {entered, c.request + (melody ? " level " + std::to_string(level) : ""),
                        "note performed " + std::to_string(c.item)};
        }
        EXPECT_EQ(controller.log, expected);
        expectNoAidsLeft(bar);
    }
}

TEST_F(BarNotePaletteDropTest, EveryRhythmGroupAsksTheControllerAndOtherItemsAreRefused) {
    TOVEditorBarView* bar = barView(1);
    const uitest::PointerAt onBeat2 = atGridTick(bar, 240, 3);
    const std::int64_t level = bar->toneLevelFromPosY(inBar(bar, onBeat2).y);
    ASSERT_EQ(level, 3);
    const uitest::PointerAt offBeat = atGridTick(bar, 30, 3);
    struct Case {
        std::int32_t item;
        uitest::PointerAt at;
        std::string request; // empty: refused
        bool preview;
    };
    const Case cases[] = {
        {kQuarter, onBeat2, "melo at 240 length 240 level 3", true},
        {kQuarterRest, onBeat2, "rest at 240 length 240", false},
        {kTripletOfEighths, onBeat2, "triplet at 240 length 240 level 3", true},
        {kSextupletOfSixteenths, onBeat2, "sextuplet at 240 length 240 level 3", true},
        {kBeatSlash, onBeat2, "beat slash at 240", false},
        // Any value may start off the beat, a tuplet or a beat slash only on it.
        {kQuarter, offBeat, "melo at 30 length 240 level 3", true},
        {kTripletOfEighths, offBeat, "", false},
        {kBeatSlash, offBeat, "", false},
        // Groups and items the bar does not take.
        {TOVUnitTypeOf(0x40000, TOVLengthQuarter), onBeat2, "", false},
        {TOVUnitTypeOf(0x60000, TOVLengthQuarter), onBeat2, "", false},
        {TOVUnitTypeOf(0x80000, TOVLengthQuarter), onBeat2, "", false},
        {TOVNoteItemTie, onBeat2, "", false},
        {TOVNoteItemSharp, onBeat2, "", false},
        {TOVNoteItemDoubleFlat, onBeat2, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.item << std::dec << " " << c.request);
        controller.log.clear();
        controller.hovers.clear();
        const bool accepted = !c.request.empty();
        EXPECT_EQ(dragAlong(c.item, {c.at, c.at}),
                  accepted ? platform::DragOperationCopy : platform::DragOperationNone);
        const std::string item = std::to_string(c.item);
        const std::vector<std::string> expected =
            accepted ? std::vector<std::string>{"note entered " + item, c.request, "note performed " + item}
                     : std::vector<std::string>{"note entered " + item, "note exited " + item};
        EXPECT_EQ(controller.log, expected);
        ASSERT_EQ(controller.hovers.size(), 1u);
        const Hover& h = controller.hovers[0];
        EXPECT_EQ(h.preview, c.preview);
        EXPECT_EQ(h.previewInEditor, c.preview);
        if (c.preview) {
            EXPECT_EQ(h.previewLevel, 3);
            // The head (1.0 inside the preview) stands on the active column's line; the preview keeps
            // the column's index.
            ASSERT_TRUE(h.activeGrid);
            EXPECT_NEAR(h.previewFrameInBar.x() + 1.0, h.grid[*h.activeGrid].frame().x(), 1e-9);
            EXPECT_EQ(h.previewX, *h.activeGrid);
            // From above the head down to the middle line.
            EXPECT_NEAR(h.previewFrameInBar.y(), bar->posYFromToneLevel(3) - TOVLevelPitch, 1e-9);
            EXPECT_NEAR(h.previewFrameInBar.height(), 4 * TOVLevelPitch, 1e-9);
        }
        EXPECT_EQ(h.activeGrid.has_value(), accepted);
        expectNoAidsLeft(bar);
    }
}

TEST_F(BarNotePaletteDropTest, AHarmonyToneJoinsOnlyAUnitWithTones) {
    Note* melody = melo(1, 0, 240, 2);
    rest(1, 240, 240);
    slash(1, 480, 240);
    TOVEditorBarView* bar = barView(1);
    ASSERT_EQ(bar->noteViewArray().size(), 3u);
    // A point of the bar below every note view (the note views hand a drag on only in later work) at the
    // x of the unit starting at the tick.
    auto belowUnit = [&](std::uint64_t tick) -> std::optional<uitest::PointerAt> {
        for (const auto& view : bar->noteViewArray()) {
            if (view->note()->timing() != tick) {
                continue;
            }
            const TOVNoteUnitCell* cell = view->unitCellArray().front().get();
            const Rect inBarFrame(bar->convertPointFromView(view->frame().origin, view->superview()),
                                  view->frame().size);
            const double x =
                view->convertPointToView(cell->frame().origin, bar).x + cell->frame().width() / 2;
            const double y = std::ceil(inBarFrame.maxY()) + 2;
            if (y >= bar->bounds().height() - 1) {
                return std::nullopt;
            }
            return pointerAt(bar, {x, y});
        }
        return std::nullopt;
    };
    struct Case {
        std::uint64_t tick;
        bool accepted;
    };
    for (const Case& c : {Case{240, false}, Case{480, false}, Case{0, true}}) {
        SCOPED_TRACE(c.tick);
        controller.log.clear();
        controller.hovers.clear();
        const std::optional<uitest::PointerAt> at = belowUnit(c.tick);
        ASSERT_TRUE(at) << "no room below the note view";
        const std::size_t tonesBefore = melody->firstUnit()->tones().size();
        EXPECT_EQ(dragAlong(kHarmonyTone, {*at, *at}),
                  c.accepted ? platform::DragOperationCopy : platform::DragOperationNone);
        ASSERT_EQ(controller.hovers.size(), 1u);
        const Hover& h = controller.hovers[0];
        EXPECT_EQ(h.preview, c.accepted);
        EXPECT_EQ(h.dropTarget, c.accepted);
        EXPECT_EQ(h.harmonyArea.has_value(), c.accepted);
        EXPECT_TRUE(h.grid.empty());
        EXPECT_TRUE(h.areas.empty());
        const std::string item = std::to_string(kHarmonyTone);
        if (!c.accepted) {
            EXPECT_EQ(melody->firstUnit()->tones().size(), tonesBefore);
            EXPECT_EQ(controller.log,
                      (std::vector<std::string>{"note entered " + item, "note exited " + item}));
            expectNoAidsLeft(bar);
            continue;
        }
        // The stretch over the unit, and the head at its left edge at the pointer's level.
        const std::shared_ptr<TOVNoteView> view = bar->noteViewFromData(melody);
        const std::int64_t level = bar->toneLevelFromPosY(inBar(bar, *at).y);
        EXPECT_EQ(h.previewLevel, level);
        EXPECT_LT(level, -2);
        EXPECT_EQ(controller.log,
                  (std::vector<std::string>{"note entered " + item, "note performed " + item}));
        std::vector<std::int64_t> levels;
        for (const NoteTone* tone : melody->firstUnit()->toneArray()) {
            levels.push_back(tone->level());
        }
        EXPECT_EQ(levels, (std::vector<std::int64_t>{2, level}));
        // The note view shows both heads now.
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->unitCellArray().size(), 1u);
        EXPECT_EQ(view->unitCellArray().front()->toneCellArray().size(), 2u);
        const double cellLeft =
            view->convertPointToView(view->unitCellArray().front()->frame().origin, bar).x;
        ASSERT_TRUE(h.harmonyArea);
        EXPECT_NEAR(h.harmonyArea->frame().x(), cellLeft, 1e-9);
        EXPECT_DOUBLE_EQ(h.harmonyArea->frame().y(), 4.0);
        EXPECT_DOUBLE_EQ(h.harmonyArea->frame().height(), bar->frame().height() - 8.0);
        EXPECT_TRUE(h.harmonyArea->active());
        EXPECT_NEAR(h.previewFrameInBar.x(), cellLeft, 1e-9);
        expectNoAidsLeft(bar);
    }
}

TEST_F(BarNotePaletteDropTest, AHarmonyToneOnALevelTheUnitHoldsIsRefused) {
    Note* melody = melo(1, 0, 480, 2);
    melody->firstUnit()->createNewToneWithLevel(-4);
    TOVEditorBarView* bar = barView(1);
    bar->recreateAllSubViews();
    const std::shared_ptr<TOVNoteView> view = bar->noteViewFromData(melody);
    ASSERT_NE(view, nullptr);
    const TOVNoteUnitCell* cell = view->unitCellArray().front().get();
    const double x = view->convertPointToView(cell->frame().origin, bar).x + cell->frame().width() / 2;
    const uitest::PointerAt at = pointerAt(bar, {x, yAtLevel(bar, -4)});
    ASSERT_EQ(bar->toneLevelFromPosY(inBar(bar, at).y), -4);
    dragAlong(kHarmonyTone, {at, at});
    ASSERT_EQ(controller.hovers.size(), 1u);
    ASSERT_EQ(controller.hovers[0].previewLevel, -4);
    std::vector<std::int64_t> levels;
    for (const NoteTone* tone : melody->firstUnit()->toneArray()) {
        levels.push_back(tone->level());
    }
    EXPECT_EQ(levels, (std::vector<std::int64_t>{2, -4}));
    EXPECT_EQ(bar->noteViewFromData(melody)->unitCellArray().front()->toneCellArray().size(), 2u);
    expectNoAidsLeft(bar);
}

TEST_F(BarNotePaletteDropTest, LeavingABarTakesItsAidsAlong) {
    melo(2, 0, 480);
    TOVEditorBarView* empty = barView(1);
    TOVEditorBarView* withNotes = barView(2);
    // Over the empty bar, on to the bar with notes, then out of the window.
    EXPECT_EQ(dragAlong(kQuarter,
                        {atGridTick(empty, 480, 1),
                         pointerAt(withNotes, {withNotes->posXFromNoteX(720), withNotes->posYLevel0()})},
                        true),
              platform::DragOperationNone);
    ASSERT_EQ(controller.hovers.size(), 2u);
    EXPECT_EQ(controller.hovers[0].bar, empty);
    EXPECT_EQ(controller.hovers[0].grid.size(), 32u);
    EXPECT_TRUE(controller.hovers[0].preview);
    EXPECT_EQ(controller.hovers[1].bar, withNotes);
    EXPECT_EQ(controller.hovers[1].areas.size(), 1u);
    EXPECT_TRUE(controller.hovers[1].preview);
    // The first bar had let go of everything before the second took the drag.
    EXPECT_TRUE(controller.hovers[1].othersClear);
    EXPECT_EQ(controller.log, (std::vector<std::string>{"note entered " + std::to_string(kQuarter),
                                                        "note exited " + std::to_string(kQuarter),
                                                        "note entered " + std::to_string(kQuarter),
                                                        "note exited " + std::to_string(kQuarter)}));
    expectNoAidsLeft(empty);
    expectNoAidsLeft(withNotes);
}

// What a musician sees during the drag: the grid over an empty bar with the active column and the head,
// and the empty stretches of a bar with notes. Pictures go where TOVRIN_SHEET_OUT says (a path prefix).
TEST_F(BarNotePaletteDropTest, TheAidsAreDrawnInTheWindowDuringTheDrag) {
    melo(3, 0, 240, 1);
    melo(3, 480, 240, -1);
    constexpr double kZoom = 2.0;
    editor->setFrame(Rect(0, 0, 595 * kZoom, 900 * kZoom));
    editor->scaleUnitSquareToSize({kZoom, kZoom});
    struct Seen {
        QImage image;
        Rect barInHost;
    };
    std::vector<Seen> seen;
    controller.whenEntered = [&](TOVEditorBarView* bar) {
        seen.push_back({host.grab().toImage().convertToFormat(QImage::Format_ARGB32),
                        bar->convertRectToView(bar->bounds(), nullptr)});
    };
    TOVEditorBarView* empty = barView(2);
    TOVEditorBarView* withNotes = barView(3);
    ASSERT_LT(withNotes->convertRectToView(withNotes->bounds(), nullptr).maxX(), host.width());
    dragAlong(kQuarter,
              {atGridTick(empty, 240, 6),
               pointerAt(withNotes, {withNotes->posXFromNoteX(300), yAtLevel(withNotes, 3)})},
              true);
    ASSERT_EQ(seen.size(), 2u);
    if (const char* out = std::getenv("TOVRIN_SHEET_OUT")) {
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const Rect& r = seen[i].barInHost;
            seen[i]
                .image.copy(int(r.x()) - 10, int(r.y()) - 10, int(r.width()) + 20, int(r.height()) + 20)
                .save(QString::fromLocal8Bit(out) + QString::number(i) + ".png");
        }
        // The head over the empty bar, magnified.
        const Rect& r = seen[0].barInHost;
        seen[0]
            .image.copy(int(r.x()) + 40, int(r.y()), 80, int(r.height()))
            .scaled(320, int(r.height()) * 4)
            .save(QString::fromLocal8Bit(out) + "0-head.png");
    }
    auto colourAt = [](const QImage& image, Point p) { return image.pixelColor(int(p.x), int(p.y)); };
    // The active column of the empty bar: a blue line through the whole bar, down below the staff.
    {
        const Hover& h = controller.hovers[0];
        ASSERT_TRUE(h.activeGrid);
        const Rect column = h.grid[*h.activeGrid].frame();
        const Point below = empty->convertPointToView({column.x(), empty->posY5LinesBottom() + 6}, nullptr);
        const QColor line = colourAt(seen[0].image, below);
        EXPECT_GT(line.blue(), line.red() + 60) << line.name().toStdString();
        // An inactive column only marks its place above the staff: nothing below it.
        const Rect other = h.grid[(*h.activeGrid + 2) % h.grid.size()].frame();
        const Point otherBelow =
            empty->convertPointToView({other.x(), empty->posY5LinesBottom() + 6}, nullptr);
        EXPECT_GT(colourAt(seen[0].image, otherBelow).lightness(), 200);
        // Its head, with the ledger line level 6 needs, is painted.
        const Point head = empty->convertPointToView(
            {h.previewFrameInBar.x() + 1.0 + 3.0, h.previewFrameInBar.y() + TOVLevelPitch}, nullptr);
        EXPECT_LT(colourAt(seen[0].image, head).lightness(), 200);
    }
    // The stretch after the first note of the other bar: a pale green fill.
    {
        const Hover& h = controller.hovers[1];
        ASSERT_EQ(h.areas.size(), 2u);
        const Rect area = h.areas[0].frame();
        const Point inside = withNotes->convertPointToView({area.midX(), area.y() + 2}, nullptr);
        const QColor fill = colourAt(seen[1].image, inside);
        EXPECT_GT(fill.green(), fill.red()) << fill.name().toStdString();
        EXPECT_GT(fill.green(), fill.blue()) << fill.name().toStdString();
    }
}

} // namespace
