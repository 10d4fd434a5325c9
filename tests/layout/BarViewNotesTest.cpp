// The bar view as its note views' delegate: staff answers, note blocks, neighbours across bars and
// lines, palette reports, the tone-drag preview and the flip preview.

#include "AllGlyphs.h"
#include "BoundEditorFixture.h"
#include "EditorViewLookups.h"
#include "FakeLayoutController.h"

#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteBlockCell.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/ViewHost.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using layouttest::FakeLayoutController;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

// A note view that records what the bar view asks it to do instead of doing it, with a stem direction
// of its own.
class StandInNoteView : public TOVNoteView {
public:
    using TOVNoteView::TOVNoteView;

    bool flip = false;
    int flips = 0;
    int updates = 0;

    bool isNoteFlip() const override { return flip != flipPreviewMode(); }
    void doFlip() override { ++flips; }
    void updateView() override { ++updates; }
};

// Records who each report names first.
class SenderRecordingController : public FakeLayoutController {
public:
    using FakeLayoutController::layoutViewRequireInsertSymbolObjectDraggingInfo;

    std::vector<std::pair<std::string, const void*>> senders;

    void layoutViewSymbolPaletteDragEnteredDraggingInfo(platform::View* v, std::int32_t item,
                                                        const platform::DraggingInfo& i) override {
        senders.emplace_back("symbol entered " + std::to_string(item), v);
    }
    void layoutViewSymbolPaletteDragExitedDraggingInfo(platform::View* v, std::int32_t item,
                                                       const platform::DraggingInfo& i) override {
        senders.emplace_back("symbol exited " + std::to_string(item), v);
    }
    void layoutViewSymbolPaletteDragPerformedDraggingInfo(platform::View* v, std::int32_t item,
                                                          const platform::DraggingInfo& i) override {
        senders.emplace_back("symbol performed " + std::to_string(item), v);
    }
    void layoutViewNotePaletteDragEnteredDraggingInfo(platform::View* v, std::int32_t item,
                                                      const platform::DraggingInfo& i) override {
        senders.emplace_back("note entered " + std::to_string(item), v);
    }
    void layoutViewNotePaletteDragExitedDraggingInfo(platform::View* v, std::int32_t item,
                                                     const platform::DraggingInfo& i) override {
        senders.emplace_back("note exited " + std::to_string(item), v);
    }
    void layoutViewNotePaletteDragPerformedDraggingInfo(platform::View* v, std::int32_t item,
                                                        const platform::DraggingInfo& i) override {
        senders.emplace_back("note performed " + std::to_string(item), v);
    }
    void layoutViewRequireInsertSymbolObjectDraggingInfo(TOVNoteToneCell* cell, std::int32_t item,
                                                         const platform::DraggingInfo&) override {
        senders.emplace_back("insert on tone " + std::to_string(item), cell);
    }
    void layoutViewRequireInsertSymbolObjectDraggingInfo(platform::View* v, std::int32_t item,
                                                         const platform::DraggingInfo&) override {
        senders.emplace_back("insert " + std::to_string(item), v);
    }
};

// Two lines of two bars each (bars 0 and 1, then 2 and 3), with the built-in note glyphs.
class BarViewNotesTest : public ::testing::Test {
protected:
    void SetUp() override {
        document = layouttest::bindEditor(*editor, controller, *context,
                                          {PageSpec{10, {LineSpec{2, 2, false}, LineSpec{2, 2, false}}}});
    }
    void TearDown() override {
        editor->setDocData(nullptr);
        TOVUtils::registerServices({});
    }

    TOVEditorBarView* barView(std::uint64_t num) const { return layouttest::barViewNumbered(*editor, num); }
    Note* melo(std::uint64_t num, std::uint64_t from, std::uint64_t length, std::int64_t level = 0) {
        return layouttest::writeMelo(*context, document, num, from, length, level);
    }
    // A stand-in view of the note, placed in the editor view as the bar view places its note views but
    // kept out of the bar's own list.
    std::shared_ptr<StandInNoteView> noteViewOf(Note* note, std::uint64_t num) {
        TOVEditorBarView* bar = barView(num);
        auto view = std::make_shared<StandInNoteView>(Rect(bar->posXFromNoteX(note->timing()), 0, 40, 60));
        view->setNote(note);
        view->setSymbol(note);
        view->setNoteViewDelegate(bar);
        view->setBarViewBelongTo(bar);
        editor->addNoteViewBarViewBelongTo(view, bar);
        return view;
    }
    std::vector<TOVNotePreview*> previewsInEditor() const {
        return layouttest::viewsInEditor<TOVNotePreview>(*editor);
    }

    layouttest::NoteGlyphs glyphs;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    SenderRecordingController controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(Rect(0, 0, 595, 900));
    Document* document = nullptr;
};

TEST_F(BarViewNotesTest, StaffAnswersAreTheBarViewsOwn) {
    TOVEditorBarView* bar = barView(1);
    ASSERT_NE(bar, nullptr);
    TOVNoteViewDelegate& delegate = *bar;
    const Rect notes = delegate.noteViewInquireRectangleNotesArea(nullptr);
    EXPECT_EQ(notes, bar->rectangleNotesArea());
    // The notes area starts 4.0 right of the left barline's 2.0 and ends 4.0 before the right one's 2.0.
    EXPECT_DOUBLE_EQ(notes.x(), 6.0);
    EXPECT_DOUBLE_EQ(notes.width(), bar->bounds().width() - 12.0);
    EXPECT_DOUBLE_EQ(delegate.noteViewInquirePosYLevel0(nullptr), (bar->bounds().height() - 23.6) / 2 + 11.8);
    EXPECT_DOUBLE_EQ(delegate.noteViewInquire5LinesPitch(nullptr), TOVStaffSpace);
    EXPECT_EQ(delegate.noteViewInquireBarView(nullptr), bar);
}

TEST_F(BarViewNotesTest, NoteBlocksSpaceRunsOfNotesInTheirGridSpan) {
    // Two eighths and a half from tick 0, then a gap of an eighth, then a last eighth.
    Note* first = melo(1, 0, 120);
    Note* second = melo(1, 120, 120);
    Note* half = melo(1, 240, 480);
    Note* last = melo(1, 840, 120);
    TOVEditorBarView* bar = barView(1);
    bar->updateNoteBlocks();
    ASSERT_EQ(bar->totalRhythmLength(), 960u);

    const auto& blocks = bar->noteBlockCellArray();
    ASSERT_EQ(blocks.size(), 2u);
    const double pitch = bar->xPitchPerLength();
    EXPECT_EQ(blocks[0].notesArray(), (std::vector<Note*>{first, second, half}));
    EXPECT_EQ(blocks[1].notesArray(), (std::vector<Note*>{last}));
    EXPECT_DOUBLE_EQ(blocks[0].frame().x(), bar->posXFromNoteX(0));
    EXPECT_DOUBLE_EQ(blocks[0].frame().width(), 720 * pitch);
    EXPECT_DOUBLE_EQ(blocks[1].frame().x(), bar->posXFromNoteX(840));
    EXPECT_DOUBLE_EQ(blocks[1].frame().width(), 120 * pitch);
    EXPECT_DOUBLE_EQ(blocks[1].frame().height(), bar->frame().height());

    // Inside the run the eighths get more room than their ticks and the half less: the half starts
    // right of its grid position, and the shares follow the spacing scores.
    const double c8 = TOVNoteBlockCell::coefficientXForUnitLength(120);
    const double c2 = TOVNoteBlockCell::coefficientXForUnitLength(480);
    const double width = 720 * pitch;
    const double x0 = bar->posXFromNoteX(0);
    auto x = [&](Note* note) { return *bar->noteViewInquirexPosForUnit(nullptr, note->firstUnit()); };
    EXPECT_NEAR(x(first), blocks[0].xPosForUnit(first->firstUnit()), 1e-9);
    EXPECT_NEAR(x(second) - x(first), width * c8 / (2 * c8 + c2), 1e-9);
    // The half's share starts after the eighths'; a long single value stands padded into its share.
    const double pad2 = TOVNoteBlockCell::paddingRatioForNoteForUnitLength(480);
    EXPECT_NEAR(x(half), x0 + width * (2 * c8 + c2 * pad2) / (2 * c8 + c2), 1e-9);
    EXPECT_GT(x(half), bar->posXFromNoteX(240) + 1.0);
    // A lone note is laid out in its own span, whatever stands before it.
    EXPECT_NEAR(x(last), blocks[1].xPosForUnit(last->firstUnit()), 1e-9);
    EXPECT_GE(x(last), bar->posXFromNoteX(840));
}

TEST_F(BarViewNotesTest, BlocksFollowTheModelAtEachRelayout) {
    TOVEditorBarView* bar = barView(2);
    Note* note = melo(2, 0, 240);
    // Added after the last layout: no block holds it yet, and the answer is 0 rather than nothing.
    const std::optional<double> before = bar->noteViewInquirexPosForUnit(nullptr, note->firstUnit());
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(*before, 0.0);
    bar->updateAllSubviews();
    ASSERT_EQ(bar->noteBlockCellArray().size(), 1u);
    EXPECT_GE(bar->xPosForUnit(note->firstUnit()), bar->rectangleNotesArea().x());
}

// A note that lost its last unit (a damaged song, or one being edited) takes no room: the bar lays out its
// other notes and never asks the empty note for a first unit.
TEST_F(BarViewNotesTest, ANoteWithoutUnitsTakesNoRoomInTheBlocks) {
    Note* empty = melo(1, 0, 240);
    Note* kept = melo(1, 240, 240);
    context->deleteObject(empty->firstUnit());
    context->processPendingChanges();
    ASSERT_EQ(empty->firstUnit(), nullptr);
    TOVEditorBarView* bar = barView(1);
    bar->updateAllSubviews();
    const auto& blocks = bar->noteBlockCellArray();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].notesArray(), (std::vector<Note*>{kept}));
    EXPECT_DOUBLE_EQ(bar->xPosForUnit(kept->firstUnit()), blocks[0].xPosForUnit(kept->firstUnit()));
}

// Many notes in one bar, each found in its own block by its time: the answer is the block's own.
TEST_F(BarViewNotesTest, EachUnitIsPlacedByTheBlockThatHoldsIt) {
    std::vector<Note*> notes;
    for (std::uint64_t tick = 0; tick < 960; tick += 60) {
        notes.push_back(melo(1, tick, 30));
    }
    TOVEditorBarView* bar = barView(1);
    bar->updateNoteBlocks();
    const auto& blocks = bar->noteBlockCellArray();
    ASSERT_EQ(blocks.size(), notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_DOUBLE_EQ(bar->xPosForUnit(notes[i]->firstUnit()),
                         blocks[i].xPosForUnit(notes[i]->firstUnit()));
        EXPECT_DOUBLE_EQ(bar->xPosForUnit(notes[i]->firstUnit()), bar->posXFromNoteX(notes[i]->timing()));
    }
}

TEST_F(BarViewNotesTest, PaletteReportsNameTheNoteViewAndDropsTheToneCell) {
    Note* note = melo(1, 0, 240);
    auto view = noteViewOf(note, 1);
    TOVNoteUnitCell unitCell(note->firstUnit(), view.get());
    ASSERT_FALSE(unitCell.toneCellArray().empty());
    TOVNoteToneCell* tone = unitCell.toneCellArray().front().get();
    TOVNoteViewDelegate* delegate = view->noteViewDelegate();
    const platform::DraggingInfo info;

    delegate->noteViewSymbolPaletteDragEnteredDraggingInfo(view.get(), TOVSymbolStaccato, info);
    delegate->noteViewSymbolPaletteDragExitedDraggingInfo(view.get(), TOVSymbolStaccato, info);
    delegate->noteViewSymbolPaletteDragPerformedDraggingInfo(view.get(), TOVSymbolStaccato, info);
    delegate->noteViewNotePaletteDragEnteredDraggingInfo(view.get(), TOVNoteItemSharp, info);
    delegate->noteViewNotePaletteDragExitedDraggingInfo(view.get(), TOVNoteItemSharp, info);
    delegate->noteViewNotePaletteDragPerformedDraggingInfo(view.get(), TOVNoteItemSharp, info);
    EXPECT_TRUE(delegate->noteViewToneCellRequireInsertSymbolObjectDraggingInfo(view.get(), tone,
                                                                                TOVSymbolSharp, info));

    const std::vector<std::pair<std::string, const void*>> expected{
        {"symbol entered " + std::to_string(TOVSymbolStaccato), view.get()},
        {"symbol exited " + std::to_string(TOVSymbolStaccato), view.get()},
        {"symbol performed " + std::to_string(TOVSymbolStaccato), view.get()},
        {"note entered " + std::to_string(TOVNoteItemSharp), view.get()},
        {"note exited " + std::to_string(TOVNoteItemSharp), view.get()},
        {"note performed " + std::to_string(TOVNoteItemSharp), view.get()},
        {"insert on tone " + std::to_string(TOVSymbolSharp), tone},
    };
    EXPECT_EQ(controller.senders, expected);
}

TEST_F(BarViewNotesTest, ANoteViewMarksItsBarAsTheDropTarget) {
    Note* note = melo(1, 0, 240);
    auto view = noteViewOf(note, 1);
    TOVEditorBarView* bar = barView(1);
    ASSERT_TRUE(editor->selectAnObjectViewClearOthers(view.get(), true));
    auto frameStrokes = [&] {
        platform::RecordingGraphicsContext ctx(true);
        bar->drawRect(bar->bounds(), ctx);
        return std::count_if(ctx.calls().begin(), ctx.calls().end(), [](const platform::DrawingCall& call) {
            return call.kind == platform::DrawingCall::Kind::StrokePath;
        });
    };
    ASSERT_EQ(frameStrokes(), 0);

    view->noteViewDelegate()->noteViewWillBeDropTargetOn(view.get(), true);
    EXPECT_TRUE(bar->dropTarget());
    EXPECT_EQ(frameStrokes(), 1);
    // The hovered bar drops the object selection.
    EXPECT_TRUE(editor->selectedObjectViewSet().empty());

    view->noteViewDelegate()->noteViewWillBeDropTargetOn(view.get(), false);
    EXPECT_FALSE(bar->dropTarget());
    EXPECT_EQ(frameStrokes(), 0);
}

// A tone at level 0 of a quarter on the second beat of bar 1, between two neighbours, dragged up.
class ToneDragTest : public BarViewNotesTest {
protected:
    void SetUp() override {
        BarViewNotesTest::SetUp();
        bar = barView(1);
        Note* first = melo(1, 0, 240);
        note = melo(1, 240, 240, 0);
        Note* third = melo(1, 480, 240);
        // Spaced as a rebuild of the bar's note views spaces them.
        bar->updateNoteBlocks();
        before = bar->createNoteViewOfSelect(first, false);
        view = noteViewOf(note, 1);
        after = bar->createNoteViewOfSelect(third, false);
        unitCell = std::make_unique<TOVNoteUnitCell>(note->firstUnit(), view.get());
        tone = unitCell->toneCellArray().front().get();
        delegate = view->noteViewDelegate();
    }
    // A pointer y in the note view at the level's place in the bar, a little inside it.
    double pointerYForLevel(std::int64_t level) const {
        return bar->convertPointToView({0, bar->posYFromToneLevel(level) - 0.5}, view.get()).y;
    }

    TOVEditorBarView* bar = nullptr;
    Note* note = nullptr;
    std::shared_ptr<TOVNoteView> before, after;
    std::shared_ptr<StandInNoteView> view;
    std::unique_ptr<TOVNoteUnitCell> unitCell;
    TOVNoteToneCell* tone = nullptr;
    TOVNoteViewDelegate* delegate = nullptr;
};

TEST_F(ToneDragTest, PreviewFollowsThePointerLevelAndTheReleaseMovesTheTone) {
    delegate->noteViewDidUpdateDragToneAt(view.get(), tone, {0, pointerYForLevel(3)});
    const auto previews = previewsInEditor();
    ASSERT_EQ(previews.size(), 1u);
    ASSERT_EQ(previews.front(), bar->notePreview().get());
    TOVNotePreview* preview = previews.front();
    EXPECT_EQ(preview->barViewBelongTo(), bar);
    EXPECT_EQ(preview->level(), 3);
    // The frame reaches from above the head at level 3 down to the middle line, at the tone's x.
    const Point top = bar->convertPointToView({0, bar->posYFromToneLevel(3) - TOVLevelPitch}, editor.get());
    EXPECT_NEAR(preview->frame().y(), top.y, 1e-9);
    EXPECT_NEAR(preview->frame().height(), 4 * TOVLevelPitch, 1e-9);
    const Point cellX = view->convertPointToView({tone->frame().x() - preview->offsetX(), 0}, editor.get());
    EXPECT_NEAR(preview->frame().x(), cellX.x, 1e-9);

    // Below the middle line the frame runs from the middle line down past the head.
    delegate->noteViewDidUpdateDragToneAt(view.get(), tone, {0, pointerYForLevel(-2) + 1.0});
    EXPECT_EQ(preview->level(), -2);
    EXPECT_NEAR(preview->frame().y(), bar->convertPointToView({0, bar->posYLevel0()}, editor.get()).y, 1e-9);
    EXPECT_NEAR(preview->frame().height(), 3 * TOVLevelPitch, 1e-9);

    delegate->noteViewDidUpdateDragToneAt(view.get(), tone, {0, pointerYForLevel(3)});
    const int updatesBefore = view->updates;
    delegate->noteViewDidFinishDragToneAt(view.get(), tone, {0, pointerYForLevel(3)});
    EXPECT_EQ(tone->tone()->level(), 3);
    EXPECT_EQ(view->updates, updatesBefore + 1);
    // The neighbours whose ties follow the tone are the bar's views before and after the note.
    EXPECT_EQ(delegate->noteViewInquirePreviousNoteView(view.get()), before.get());
    EXPECT_EQ(delegate->noteViewInquireNextNoteView(view.get()), after.get());
    EXPECT_EQ(bar->notePreview(), nullptr);
    EXPECT_TRUE(previewsInEditor().empty());
}

TEST_F(ToneDragTest, ReleaseAtTheSameLevelLeavesTheToneAlone) {
    delegate->noteViewDidUpdateDragToneAt(view.get(), tone, {0, pointerYForLevel(0) + 0.5});
    ASSERT_NE(bar->notePreview(), nullptr);
    ASSERT_EQ(bar->notePreview()->level(), 0);
    const int updatesBefore = view->updates;
    delegate->noteViewDidFinishDragToneAt(view.get(), tone, {});
    EXPECT_EQ(tone->tone()->level(), 0);
    EXPECT_EQ(view->updates, updatesBefore);
    EXPECT_TRUE(previewsInEditor().empty());
}

TEST_F(ToneDragTest, DraggingAboveThePageStopsAtItsTopEdge) {
    TOVEditorPageView* page = controller.layoutViewInquirePageView(bar);
    ASSERT_NE(page, nullptr);
    const double pageTopInView = page->convertPointToView({0, page->bounds().minY()}, view.get()).y;
    delegate->noteViewDidUpdateDragToneAt(view.get(), tone, {0, pageTopInView - 300});
    ASSERT_NE(bar->notePreview(), nullptr);
    const double pageTopInBar = page->convertPointToView({0, page->bounds().minY()}, bar).y;
    EXPECT_EQ(bar->notePreview()->level(), bar->toneLevelFromPosY(pageTopInBar));
    EXPECT_GT(bar->notePreview()->level(), 10);
}

// A quarter at the start of bar 3 whose flip drag started at y 20, its stems up (or down).
class FlipPreviewTest : public BarViewNotesTest {
protected:
    void SetUp() override {
        BarViewNotesTest::SetUp();
        bar = barView(3);
        note = melo(3, 0, 240);
        view = noteViewOf(note, 3);
        view->setFlipStartPos({10, 20});
    }

    TOVEditorBarView* bar = nullptr;
    Note* note = nullptr;
    std::shared_ptr<StandInNoteView> view;
};

TEST_F(FlipPreviewTest, MovingPastFourPointsTowardsTheOtherSideArmsThePreview) {
    struct Case {
        bool flipped;
        double y;
        bool armed;
    };
    for (const Case& c : {Case{false, 24.0, false}, Case{false, 24.5, true}, Case{false, 10.0, false},
                          Case{true, 16.0, false}, Case{true, 15.5, true}, Case{true, 30.0, false}}) {
        view->flip = c.flipped;
        bar->noteViewDidUpdateFlippingAt(view.get(), {10, c.y});
        EXPECT_EQ(bar->noteFlipPreview() != nullptr, c.armed) << c.flipped << " " << c.y;
        bar->noteViewDidUpdateFlippingAt(view.get(), {10, 20});
        ASSERT_EQ(bar->noteFlipPreview(), nullptr);
    }
}

TEST_F(FlipPreviewTest, PreviewShowsTheNoteTurnedAndGoesWhenDisarmed) {
    bar->noteViewDidUpdateFlippingAt(view.get(), {10, 30});
    const std::shared_ptr<TOVNoteView> shown = bar->noteFlipPreview();
    ASSERT_NE(shown, nullptr);
    TOVNoteView* p = shown.get();
    EXPECT_TRUE(p->flipPreviewMode());
    // The same note with its stems the other way.
    EXPECT_NE(p->isNoteFlip(), note->flip());
    EXPECT_EQ(p->note(), note);
    EXPECT_EQ(p->symbol(), note);
    EXPECT_EQ(p->noteViewDelegate(), bar);
    EXPECT_EQ(p->barViewBelongTo(), bar);
    EXPECT_EQ(p->superview(), editor.get());
    // Laid out: a cell for the quarter's unit.
    EXPECT_EQ(p->unitCellArray().size(), 1u);
    // Further moves on the armed side keep the one preview.
    bar->noteViewDidUpdateFlippingAt(view.get(), {10, 40});
    EXPECT_EQ(bar->noteFlipPreview(), shown);

    bar->noteViewDidUpdateFlippingAt(view.get(), {10, 22});
    EXPECT_EQ(bar->noteFlipPreview(), nullptr);
    EXPECT_EQ(shown->superview(), nullptr);
    EXPECT_EQ(shown->symbol(), nullptr);
    bar->noteViewDidFinishFlippingAt(view.get(), {10, 22});
    EXPECT_EQ(view->flips, 0);
}

TEST_F(FlipPreviewTest, ReleaseWhileArmedFlipsAndClearsThePreview) {
    bar->noteViewDidUpdateFlippingAt(view.get(), {10, 30});
    const std::shared_ptr<TOVNoteView> shown = bar->noteFlipPreview();
    ASSERT_NE(shown, nullptr);
    bar->noteViewDidFinishFlippingAt(view.get(), {10, 30});
    EXPECT_EQ(view->flips, 1);
    EXPECT_EQ(bar->noteFlipPreview(), nullptr);
    EXPECT_EQ(shown->superview(), nullptr);
}

// The tone-drag preview as a window shows it: the head at the level of the pointer, with ledger lines
// above the staff. The picture is written where TOVRIN_SHEET_OUT says.
TEST_F(ToneDragTest, PreviewDrawnInAWindow) {
    delegate->noteViewDidUpdateDragToneAt(view.get(), tone, {0, pointerYForLevel(8)});
    ASSERT_NE(bar->notePreview(), nullptr);
    ASSERT_EQ(bar->notePreview()->level(), 8);
    // The stand-in note views draw nothing; only the page, its staves and the preview are painted, at four
    // times the size.
    constexpr double kZoom = 4.0;
    editor->setFrame(Rect(0, 0, 595 * kZoom, 900 * kZoom));
    editor->scaleUnitSquareToSize({kZoom, kZoom});
    platform::ViewHost host;
    host.setRootView(editor);
    host.resize(int(595 * kZoom), int(300 * kZoom));
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QImage image = host.grab().toImage();
    const Rect frame = bar->notePreview()->frame();
    if (const char* out = std::getenv("TOVRIN_SHEET_OUT")) {
        // The bar around the preview.
        const Rect around = bar->convertRectToView(bar->bounds(), editor.get());
        image
            .copy(int(around.x() * kZoom), int((frame.y() - 10) * kZoom), int(around.width() * kZoom),
                  int((around.maxY() - frame.y() + 20) * kZoom))
            .save(QString::fromLocal8Bit(out));
    }
    // The head's centre, one level step below the frame's top, is painted dark.
    const double cx = frame.x() + bar->notePreview()->offsetX() + 3.0;
    const double cy = frame.y() + TOVLevelPitch;
    const QColor pixel = image.pixelColor(int(cx * kZoom), int(cy * kZoom));
    EXPECT_LT(pixel.lightness(), 160) << cx << " " << cy;
}

} // namespace
