#include "AllGlyphs.h"
#include "BoundEditorFixture.h"
#include "EditorInWindow.h"
#include "EditorViewLookups.h"
#include "FakeLayoutController.h"

#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/TOVCoreDataController.h"
#include "model/TOVCoreDataControllerRefresher.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "model/Tie.h"
#include "notation/TOVNoteRestCell.h"
#include "notation/TOVNoteSlashCell.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/ui/ViewHost.h"
#include "support/LayoutBuilder.h"
#include "support/RealDrag.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <typeinfo>

using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

constexpr const char* kSymbolsForNote = "TOVSymbolPaletteForNoteViewData";
constexpr const char* kSymbolsForBar = "TOVSymbolPaletteForBarViewData";
constexpr const char* kNotesForNote = "TOVNotePaletteForNoteViewData";
constexpr const char* kNotesForBar = "TOVNotePaletteForBarViewData";
constexpr int kTie = TOVNoteItemTie;
constexpr int kSharp = TOVNoteItemSharp;
constexpr int kFlat = TOVNoteItemFlat;
constexpr int kQuarter = TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter);

// The controller, also noting at every hover report of a note view what that view marks: the target tone
// and the view a drop would replace, and which tone cells of the view carry a replacement mark at all.
class DropController : public layouttest::FakeLayoutController {
public:
    struct Hover {
        TOVNoteView* view = nullptr;
        int item = 0;
        TOVNoteToneCell* target = nullptr;
        TOVObjectView* replaced = nullptr;
        int marked = 0;
    };
    std::vector<Hover> hovers;
    struct ToneInsert {
        TOVNoteToneCell* cell;
        int item;
    };
    std::vector<ToneInsert> toneInserts;
    std::vector<std::pair<std::string, platform::View*>> senders;

    using FakeLayoutController::layoutViewRequireInsertSymbolObjectDraggingInfo;
    void layoutViewSymbolPaletteDragEnteredDraggingInfo(platform::View* v, std::int32_t item,
                                                        const platform::DraggingInfo& info) override {
        FakeLayoutController::layoutViewSymbolPaletteDragEnteredDraggingInfo(v, item, info);
        senders.emplace_back("symbol entered", v);
        noteHover(v, item);
    }
    void layoutViewNotePaletteDragEnteredDraggingInfo(platform::View* v, std::int32_t item,
                                                      const platform::DraggingInfo& info) override {
        FakeLayoutController::layoutViewNotePaletteDragEnteredDraggingInfo(v, item, info);
        senders.emplace_back("note entered", v);
        noteHover(v, item);
    }
    void layoutViewRequireInsertSymbolObjectDraggingInfo(platform::View* v, std::int32_t item,
                                                         const platform::DraggingInfo& info) override {
        FakeLayoutController::layoutViewRequireInsertSymbolObjectDraggingInfo(v, item, info);
        senders.emplace_back("insert", v);
    }
    // An accidental is put on the tone as the editor's controller does: the old one goes, the new one is
    // made and selected alone.
    void layoutViewRequireInsertSymbolObjectDraggingInfo(TOVNoteToneCell* cell, std::int32_t item,
                                                         const platform::DraggingInfo&) override {
        toneInserts.push_back({cell, item});
        if ((item & TOVSymbolCategoryMask) != TOVSymbolCategoryAccidental || cell->tone() == nullptr) {
            return;
        }
        if (const std::shared_ptr<TOVObjectView> old = cell->accidentalView()) {
            old->makeSelfTargetOff();
            editor->clearSelection();
            cell->deleteObjectViewAndData(old.get());
        }
        SymbolAccidental* accidental = cell->tone()->createNewAccidentalWithTypeFrame(
            item, Rect(cell->defaultPosOfAccidentalView(item), platform::Size()));
        cell->createAccidentalViewOfDataSelect(item, accidental, true);
    }

private:
    void noteHover(platform::View* v, int item) {
        auto* view = dynamic_cast<TOVNoteView*>(v);
        if (view == nullptr) {
            return;
        }
        Hover hover{view, item, view->dropTargetToneCell(), nullptr, 0};
        if (hover.target != nullptr) {
            hover.replaced = hover.target->replaceTargetView();
        }
        for (const auto& unit : view->unitCellArray()) {
            for (const auto& tone : unit->toneCellArray()) {
                hover.marked += tone->replaceTargetView() != nullptr ? 1 : 0;
            }
        }
        hovers.push_back(hover);
    }
};

// Stands in for the editor view controller's refresh of a note's view: the bar view that shows the note
// rebuilds it.
class ForwardingRefresher : public TOVCoreDataControllerRefresher {
public:
    TOVEditorView* editor = nullptr;
    std::vector<TOVManagedObject*> refreshed;
    void coreDataControllerDrainBuffer(TOVCoreDataController&) override {}
    void objectShouldUpdateView(TOVManagedObject* object) override {
        refreshed.push_back(object);
        auto* note = dynamic_cast<Note*>(object);
        if (note != nullptr && note->bar() != nullptr) {
            if (TOVEditorBarView* bar = editor->barViewFromNumberInLower(note->bar()->num(), false)) {
                bar->objectShouldUpdateView(note);
            }
        }
    }
};

// One line of two bars shown in a window, notes entered bar by bar, and palette items dragged onto them
// from a palette window beside it through Qt's own drag loop.
class NoteViewDropsTest : public ::testing::Test {
protected:
    void SetUp() override {
        controller.editor = editor.get();
        editor->setDelegate(&controller);
        document =
            tovtest::makeLayout(*context, {PageSpec{10, {LineSpec{0, 0, false}, LineSpec{2, 2, false}}}});
        refreshBuffer->setEditorViewController(&refresher);
        refresher.editor = editor.get();
        document->setCoreDataController(refreshBuffer);
        editor->setDocData(document);
        ASSERT_TRUE(layouttest::showInHost(host, editor, 595, 400));
    }
    void TearDown() override {
        editor->setDocData(nullptr);
        refreshBuffer->setEditorViewController(nullptr);
    }

    TOVEditorBarView* barView(std::uint64_t num) const {
        return editor->barViewFromNumberInLower(num, false);
    }
    Bar* bar(std::uint64_t num) const { return tovtest::findBar(document, num); }
    Note* melo(std::uint64_t num, std::uint64_t from, std::int64_t level, std::uint64_t length = 240) {
        return layouttest::writeMelo(*context, document, num, from, length, level);
    }
    static NoteTone* toneOf(Note* note, std::size_t i = 0) { return note->firstUnit()->toneArray()[i]; }
    // The bar's note views made anew from the model.
    void showNotes(std::uint64_t num) { barView(num)->recreateAllSubViews(); }
    TOVNoteView* viewOf(const Note* note) const {
        return barView(note->bar()->num())->noteViewFromData(note).get();
    }
    TOVNoteToneCell* cellOf(NoteTone* tone) const { return viewOf(tone->note())->toneCellOfData(tone); }
    // The middle of the head of the tone, and of the rest of a note, in the window.
    uitest::PointerAt at(TOVNoteCellBase* cell) {
        const Rect f = cell->frame();
        const Point p = cell->noteView()->convertPointToView({f.midX(), f.midY()}, nullptr);
        return {&host, QPointF(p.x, p.y)};
    }
    uitest::PointerAt atTone(NoteTone* tone) { return at(cellOf(tone)); }
    uitest::PointerAt outside() { return {&host, QPointF(-40, 50)}; }

    // Drags the item from a palette window along the path; the button comes up at its last point.
    platform::DragOperation drag(std::initializer_list<const char*> types, int item,
                                 std::vector<uitest::PointerAt> path) {
        platform::DraggingInfo items;
        for (const char* type : types) {
            items.addType(type);
        }
        const std::vector<std::uint8_t> code = platform::KeyedArchiver::archivedDataWithRootNumber(item);
        items.addType("itemType", QByteArray(reinterpret_cast<const char*>(code.data()), int(code.size())));
        uitest::DragSourceWindow palette(items, QPoint(host.frameGeometry().right() + 20, 40));
        realDrag.dragAlong(palette.middle(), palette.pastDragDistance(), std::move(path));
        EXPECT_EQ(palette.view->drags, 1);
        return palette.view->result;
    }
    std::vector<DropController::Hover> hoversOf(const TOVNoteView* view) const {
        std::vector<DropController::Hover> found;
        for (const auto& hover : controller.hovers) {
            if (hover.view == view) {
                found.push_back(hover);
            }
        }
        return found;
    }
    // No trace of the drag is left on the view: no target, no marks, the bar not marked either.
    void expectCleared(TOVNoteView* view) {
        EXPECT_FALSE(view->dropTarget());
        EXPECT_EQ(view->dropTargetToneCell(), nullptr);
        for (const auto& unit : view->unitCellArray()) {
            for (const auto& tone : unit->toneCellArray()) {
                EXPECT_FALSE(tone->dropTarget());
                EXPECT_EQ(tone->replaceTargetView(), nullptr);
            }
        }
        ASSERT_FALSE(controller.targets.empty());
        EXPECT_EQ(controller.targets.back(), nullptr);
        EXPECT_FALSE(barView(view->note()->bar()->num())->dropTarget());
    }

    layouttest::AllGlyphs glyphs;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    DropController controller;
    ForwardingRefresher refresher;
    std::shared_ptr<TOVCoreDataController> refreshBuffer = std::make_shared<TOVCoreDataController>();
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(Rect(0, 0, 595, 900));
    Document* document = nullptr;
    platform::ViewHost host;
    uitest::RealDrag realDrag;
};

// A tie is offered only where it could reach a tone and is not there yet: not from a tone already tied,
// not from a tone with nothing of its pitch after it.
TEST_F(NoteViewDropsTest, TieFindsNoTargetWhereNoTieCanGo) {
    Note* tied = melo(0, 0, 0);
    Note* end = melo(0, 240, 0);
    melo(0, 480, 4); // another pitch: the tone before it has no continuation
    ASSERT_NE(toneOf(tied)->createNewTie(), nullptr);
    context->processPendingChanges();
    showNotes(0);

    const auto operation =
        drag({kNotesForNote}, kTie, {atTone(toneOf(tied)), atTone(toneOf(end)), atTone(toneOf(end))});
    EXPECT_EQ(operation, platform::DragOperationNone);
    for (Note* note : {tied, end}) {
        SCOPED_TRACE(note->timing());
        const auto hovers = hoversOf(viewOf(note));
        ASSERT_FALSE(hovers.empty());
        for (const auto& hover : hovers) {
            EXPECT_EQ(hover.item, kTie);
            EXPECT_EQ(hover.target, nullptr);
        }
        expectCleared(viewOf(note));
    }
    EXPECT_EQ(toneOf(end)->tieRight(), nullptr);
    EXPECT_EQ(toneOf(tied)->tieRight()->toneRight(), toneOf(end));
}

// Dropped on a tone whose continuation lies in the next note, the tie is made, it alone is selected, and
// the next note's view is refreshed so that the tie's end shows there as well.
TEST_F(NoteViewDropsTest, TieDroppedIntoTheNextNoteIsTheOnlySelection) {
    Note* left = melo(0, 0, 0);
    Note* right = melo(0, 240, 0);
    Note* other = melo(0, 480, 3);
    showNotes(0);
    editor->selectAnObjectViewClearOthers(viewOf(other), true);
    ASSERT_EQ(editor->selectedObjectViewSet().size(), 1u);
    TOVNoteToneCell* hovered = cellOf(toneOf(left));

    EXPECT_EQ(drag({kNotesForNote}, kTie, {atTone(toneOf(left)), atTone(toneOf(left))}),
              platform::DragOperationCopy);
    const auto hovers = hoversOf(viewOf(left));
    ASSERT_FALSE(hovers.empty());
    EXPECT_EQ(hovers.front().target, hovered);

    Tie* tie = toneOf(left)->tieRight();
    ASSERT_NE(tie, nullptr);
    EXPECT_EQ(tie->toneRight(), toneOf(right));
    TOVNoteToneCell* cell = cellOf(toneOf(left));
    ASSERT_NE(cell, nullptr);
    ASSERT_NE(cell->tieView(), nullptr);
    ASSERT_EQ(editor->selectedObjectViewSet().size(), 1u);
    EXPECT_EQ(editor->selectedObjectViewSet().front(), cell->tieView());
    EXPECT_EQ(cell->tieView()->state(), 1);
    EXPECT_EQ(viewOf(other)->state(), 0);
    EXPECT_EQ(refresher.refreshed, std::vector<TOVManagedObject*>{right});
    expectCleared(viewOf(left));
}

// An accidental needs a pitched tone: a slash or a rest is no target. An articulation may go onto a slash.
TEST_F(NoteViewDropsTest, AccidentalsSkipSlashesAndRestsArticulationsTakeSlashes) {
    Note* slash = bar(0)->createNewSingleSlashFromLength(0, 240);
    Note* rest = bar(0)->createNewSingleRestFromLength(240, 240);
    context->processPendingChanges();
    showNotes(0);
    TOVNoteUnitCell* restUnit = viewOf(rest)->unitCellArray().front().get();
    ASSERT_NE(restUnit->restCell(), nullptr);

    EXPECT_EQ(drag({kNotesForNote}, kSharp,
                   {atTone(toneOf(slash)), at(restUnit->restCell()), at(restUnit->restCell())}),
              platform::DragOperationNone);
    EXPECT_TRUE(controller.toneInserts.empty());
    for (Note* note : {slash, rest}) {
        for (const auto& hover : hoversOf(viewOf(note))) {
            EXPECT_EQ(hover.target, nullptr);
        }
        expectCleared(viewOf(note));
    }
    EXPECT_FALSE(hoversOf(viewOf(slash)).empty());

    TOVNoteToneCell* slashCell = cellOf(toneOf(slash));
    ASSERT_EQ(typeid(*slashCell), typeid(TOVNoteSlashCell));
    EXPECT_EQ(drag({kSymbolsForNote}, TOVSymbolStaccato, {atTone(toneOf(slash)), atTone(toneOf(slash))}),
              platform::DragOperationCopy);
    ASSERT_EQ(controller.toneInserts.size(), 1u);
    EXPECT_EQ(controller.toneInserts[0].cell, slashCell);
    EXPECT_EQ(controller.toneInserts[0].item, TOVSymbolStaccato);
    expectCleared(viewOf(slash));
}

// What a drop would replace is marked while the drag hovers: the tone's accidental for any accidental, its
// articulation of the same type only. Moving on to a tone with nothing to replace takes the mark away.
TEST_F(NoteViewDropsTest, ExistingAccidentalAndSameArticulationAreMarkedForReplacement) {
    Note* chord = melo(0, 0, 0);
    NoteTone* low = toneOf(chord);
    NoteTone* high = chord->firstUnit()->createNewToneWithLevel(6);
    context->processPendingChanges();
    low->createNewAccidentalWithTypeFrame(TOVSymbolSharp, Rect(-4.8, -6.2, 0, 0));
    low->createNewArticulationWithTypeFrame(TOVSymbolStaccato, Rect(0, TOVStaffSpace, 0, 0));
    context->processPendingChanges();
    showNotes(0);
    TOVNoteView* view = viewOf(chord);
    TOVNoteToneCell* lowCell = cellOf(low);
    TOVNoteToneCell* highCell = cellOf(high);
    ASSERT_NE(lowCell->accidentalView(), nullptr);
    TOVObjectView* sharpView = lowCell->accidentalView().get();
    TOVObjectView* staccatoView = lowCell->symbolViewOfType(TOVSymbolStaccato);
    ASSERT_NE(staccatoView, nullptr);

    // A flat over the sharp, then over the tone without accidental; dropped there.
    EXPECT_EQ(drag({kNotesForNote}, kFlat, {atTone(low), atTone(high), atTone(high)}),
              platform::DragOperationCopy);
    auto hovers = hoversOf(view);
    ASSERT_GE(hovers.size(), 2u);
    EXPECT_EQ(hovers.front().target, lowCell);
    EXPECT_EQ(hovers.front().replaced, sharpView);
    EXPECT_EQ(hovers.back().target, highCell);
    EXPECT_EQ(hovers.back().replaced, nullptr);
    EXPECT_EQ(hovers.back().marked, 0);
    EXPECT_NE(std::find(controller.targets.begin(), controller.targets.end(), sharpView),
              controller.targets.end());
    ASSERT_EQ(controller.toneInserts.size(), 1u);
    EXPECT_EQ(controller.toneInserts[0].cell, highCell);
    EXPECT_EQ(controller.toneInserts[0].item, TOVSymbolFlat);
    expectCleared(view);
    // The new flat stays selected, alone; the sharp of the other tone is still there.
    ASSERT_NE(highCell->accidentalView(), nullptr);
    EXPECT_EQ(high->thisAccidentalType(), 4);
    ASSERT_EQ(editor->selectedObjectViewSet().size(), 1u);
    EXPECT_EQ(editor->selectedObjectViewSet().front(), highCell->accidentalView());
    EXPECT_EQ(lowCell->accidentalView().get(), sharpView);

    // The same articulation is marked; another one is not.
    controller.hovers.clear();
    EXPECT_EQ(drag({kSymbolsForNote}, TOVSymbolStaccato, {atTone(low), atTone(low)}),
              platform::DragOperationCopy);
    ASSERT_FALSE(hoversOf(view).empty());
    EXPECT_EQ(hoversOf(view).front().replaced, staccatoView);
    controller.hovers.clear();
    EXPECT_EQ(drag({kSymbolsForNote}, TOVSymbolTenuto, {atTone(low), atTone(low)}),
              platform::DragOperationCopy);
    ASSERT_FALSE(hoversOf(view).empty());
    EXPECT_EQ(hoversOf(view).front().target, lowCell);
    EXPECT_EQ(hoversOf(view).front().replaced, nullptr);
    ASSERT_EQ(controller.toneInserts.size(), 3u);
    EXPECT_EQ(controller.toneInserts[2].item, TOVSymbolTenuto);
    expectCleared(view);
}

// Items that are not for a tone go on to the bar beneath the note, which answers and takes them as over
// any other place of its own.
TEST_F(NoteViewDropsTest, OtherItemsAreHandedToTheBarBeneath) {
    Note* note = melo(0, 0, 0);
    showNotes(0);
    TOVNoteView* view = viewOf(note);

    // A drawing tool: the bar takes none, over the note as over the bar.
    EXPECT_EQ(drag({kSymbolsForNote}, TOVToolFreeText, {atTone(toneOf(note)), atTone(toneOf(note))}),
              platform::DragOperationNone);
    EXPECT_FALSE(hoversOf(view).empty());
    EXPECT_TRUE(controller.toneInserts.empty());
    expectCleared(view);

    // A bar symbol offered under both types: the note passes it to the bar, which takes it.
    controller.senders.clear();
    EXPECT_EQ(drag({kSymbolsForNote, kSymbolsForBar}, TOVSymbolDynamicsFFF,
                   {atTone(toneOf(note)), atTone(toneOf(note))}),
              platform::DragOperationCopy);
    EXPECT_NE(std::find(controller.senders.begin(), controller.senders.end(),
                        std::pair<std::string, platform::View*>("insert", barView(0))),
              controller.senders.end());
    EXPECT_TRUE(controller.toneInserts.empty());
    expectCleared(view);

    // A rhythm value is the bar's own item: the note view never hears of it.
    controller.senders.clear();
    controller.hovers.clear();
    drag({kNotesForBar}, kQuarter, {atTone(toneOf(note)), atTone(toneOf(note))});
    EXPECT_TRUE(hoversOf(view).empty());
    EXPECT_FALSE(view->dropTarget());
}

// Flipping a note turns the tie out of it and redraws the tie coming into it: with a second in the chord,
// the head the tie ends on moves to the other side of the stem.
TEST_F(NoteViewDropsTest, FlipRedrawsTheTiesIntoAndOutOfTheNote) {
    Note* first = melo(0, 0, 0);
    Note* middle = melo(0, 240, 0);
    NoteTone* tiedTone = toneOf(middle);
    middle->firstUnit()->createNewToneWithLevel(1);
    melo(0, 480, 0);
    context->processPendingChanges();
    toneOf(first)->createNewTie();
    tiedTone->createNewTie();
    context->processPendingChanges();
    showNotes(0);
    TOVNoteView* view = viewOf(middle);
    ASSERT_TRUE(view->canEnableFlipMenu());
    const bool flipBefore = middle->flip();
    const bool tieFlipBefore = cellOf(tiedTone)->tieView()->flip();
    const Rect incomingBefore = cellOf(toneOf(first))->tieView()->frame();

    view->doFlip();
    EXPECT_NE(middle->flip(), flipBefore);
    EXPECT_NE(cellOf(tiedTone)->tieView()->flip(), tieFlipBefore);
    const Rect incoming = cellOf(toneOf(first))->tieView()->frame();
    EXPECT_NE(incoming, incomingBefore);
    // As a fresh drawing of the incoming tie would place it.
    viewOf(first)->updateTie();
    EXPECT_EQ(cellOf(toneOf(first))->tieView()->frame(), incoming);
}

// What a tie dropped onto a note with an accidental looks like: the new tie selected (orange) from the
// sharp-marked note to the next. The picture is written where TOVRIN_SHEET_OUT says.
TEST_F(NoteViewDropsTest, DroppedTieDrawnSelectedBesideAnAccidental) {
    Note* left = melo(0, 0, -1);
    melo(0, 240, -1);
    toneOf(left)->createNewAccidentalWithTypeFrame(TOVSymbolSharp, Rect(-4.8, -6.2, 0, 0));
    context->processPendingChanges();
    showNotes(0);
    ASSERT_EQ(drag({kNotesForNote}, kTie, {atTone(toneOf(left)), atTone(toneOf(left))}),
              platform::DragOperationCopy);
    TOVNoteToneCell* cell = cellOf(toneOf(left));
    ASSERT_NE(cell->tieView(), nullptr);
    ASSERT_NE(cell->accidentalView(), nullptr);

    constexpr double kZoom = 4.0;
    host.resize(int(595 * kZoom), int(400 * kZoom));
    editor->setFrame(Rect(0, 0, 595 * kZoom, 900 * kZoom));
    editor->scaleUnitSquareToSize({kZoom, kZoom});
    QApplication::processEvents();
    const QImage image = host.grab().toImage();
    const Rect bar = barView(0)->convertRectToView(barView(0)->bounds(), editor.get());
    if (const char* out = std::getenv("TOVRIN_SHEET_OUT")) {
        image
            .copy(int(bar.x() * kZoom), int(bar.y() * kZoom), int(bar.width() * kZoom),
                  int(bar.height() * kZoom))
            .save(QString::fromLocal8Bit(out));
    }
    // Under the middle of the tie's curve some pixel is orange; the sharp is drawn dark, not orange.
    auto anyIn = [&](const Rect& r, auto&& test) {
        for (int y = int(r.y() * kZoom); y < int(r.maxY() * kZoom); ++y) {
            for (int x = int(r.x() * kZoom); x < int(r.maxX() * kZoom); ++x) {
                if (test(image.pixelColor(x, y))) {
                    return true;
                }
            }
        }
        return false;
    };
    auto orange = [](const QColor& c) {
        return c.red() > 200 && c.green() > 80 && c.green() < 200 && c.blue() < 80;
    };
    auto dark = [](const QColor& c) { return c.lightness() < 80; };
    const Rect tie = cell->tieView()->frame();
    EXPECT_TRUE(anyIn(Rect(tie.midX() - 2, tie.y(), 4, tie.height()), orange));
    const Rect sharp = cell->accidentalView()->frame();
    EXPECT_FALSE(anyIn(sharp, orange));
    EXPECT_TRUE(anyIn(sharp, dark));
}

} // namespace
