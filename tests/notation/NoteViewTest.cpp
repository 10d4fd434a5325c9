#include "CellFixture.h"

#include "model/SymbolAccidental.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteRestCell.h"

#include <algorithm>

using notationtest::CellTest;
using platform::Rect;

namespace {

// The host as the rhythm matrix's bar is: the staff questions only, and what it is told of drop targets.
class RecordingDelegate : public notationtest::FakeNoteViewDelegate {
public:
    std::vector<bool> dropTargetReports;
    void noteViewWillBeDropTargetOn(TOVNoteView*, bool on) override { dropTargetReports.push_back(on); }
};

class NoteViewTest : public CellTest {
protected:
    // A real note view of the note in the editor view, hosted by the delegate, built as the bar view
    // builds it.
    std::shared_ptr<TOVNoteView> viewOf(Note* note, bool flipPreview = false) {
        host.barView = barView.get();
        auto view = std::make_shared<TOVNoteView>(Rect(), note);
        view->setNoteViewDelegate(&host);
        view->setBarViewBelongTo(barView.get());
        view->setFlipPreviewMode(flipPreview);
        editor->addSubview(view);
        view->updateView();
        return view;
    }
    Note* triplet() {
        Note* note = bar()->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, 0, 0);
        context.processPendingChanges();
        return note;
    }
    static std::vector<TOVManagedObject*> selectedData(const TOVNoteView& view) {
        std::vector<TOVManagedObject*> data;
        for (TOVNoteCellBase* cell : view.selectedCells()) {
            data.push_back(cell->coreData());
        }
        return data;
    }

    RecordingDelegate host;
};

TEST_F(NoteViewTest, OneUnitCellPerUnitInTimeOrder) {
    Note* chord = melo({0, 2, 4});
    auto single = viewOf(chord);
    ASSERT_EQ(single->unitCellArray().size(), 1u);
    EXPECT_EQ(single->unitCellArray()[0]->unit(), chord->firstUnit());
    EXPECT_EQ(single->unitCellArray()[0]->toneCellArray().size(), 3u);

    Note* group = triplet();
    auto view = viewOf(group);
    const std::vector<NoteUnit*> units = group->unitArray();
    ASSERT_EQ(view->unitCellArray().size(), 3u);
    for (std::size_t i = 0; i < units.size(); ++i) {
        EXPECT_EQ(view->unitCellArray()[i]->unit(), units[i]);
        EXPECT_EQ(view->unitCellOfData(units[i]), view->unitCellArray()[i].get());
        EXPECT_EQ(view->unitCellArray()[i]->noteView(), view.get());
    }
    // Later units stand further right.
    EXPECT_LT(view->unitCellArray()[0]->frame().x(), view->unitCellArray()[1]->frame().x());
    EXPECT_LT(view->unitCellArray()[1]->frame().x(), view->unitCellArray()[2]->frame().x());
    EXPECT_EQ(view->unitCellOfData(chord->firstUnit()), nullptr);
}

TEST_F(NoteViewTest, TheCellSelectionSurvivesARebuildByModelObject) {
    Note* chord = melo({0, 2, 4});
    NoteUnit* unit = chord->firstUnit();
    const std::vector<NoteTone*> tones = unit->toneArray(); // highest first
    auto view = viewOf(chord);
    view->selectCell(view->toneCellOfData(tones[1]));
    view->updateView();
    ASSERT_EQ(view->selectedToneCells().size(), 1u);
    EXPECT_EQ(view->selectedToneCells()[0]->tone(), tones[1]);
    EXPECT_TRUE(view->toneCellOfData(tones[1])->selected());
    EXPECT_FALSE(view->toneCellOfData(tones[0])->selected());
    EXPECT_FALSE(view->unitCellArray()[0]->selected());

    // A tone that is gone leaves nothing selected in its place.
    unit->removeTone(tones[1]);
    context.processPendingChanges();
    view->updateView();
    EXPECT_TRUE(view->selectedCells().empty());
    EXPECT_EQ(view->unitCellArray()[0]->toneCellArray().size(), 2u);

    // A whole unit comes back whole, in a group, the other units left as they were.
    Note* group = triplet();
    auto groupView = viewOf(group);
    const std::vector<NoteUnit*> units = group->unitArray();
    groupView->selectCell(groupView->unitCellOfData(units[1]));
    groupView->updateViewTemporally();
    EXPECT_FALSE(groupView->unitCellOfData(units[0])->selected());
    EXPECT_TRUE(groupView->unitCellOfData(units[1])->selected());
    EXPECT_FALSE(groupView->unitCellOfData(units[2])->selected());
    const std::vector<TOVManagedObject*> expected{units[1], units[1]->toneArray().front()};
    EXPECT_EQ(selectedData(*groupView), expected);
}

TEST_F(NoteViewTest, AGroupHasTwoStemEndHandlesAndASingleNoteNone) {
    auto single = viewOf(melo({0}));
    EXPECT_TRUE(single->handleCellArray().empty());
    auto group = viewOf(triplet());
    ASSERT_EQ(group->handleCellArray().size(), 2u);
    EXPECT_EQ(group->handleCellArray()[0]->handleType(), 0);
    EXPECT_EQ(group->handleCellArray()[1]->handleType(), 1);
    for (const auto& handle : group->handleCellArray()) {
        EXPECT_EQ(handle->frame(), Rect(0, 0, 4.0, 4.0));
    }

    // The handles go to the stem ends of the outer units: the first at its stem end, the last left of it.
    // With the stems down they hang above the stem ends.
    for (const bool down : {false, true}) {
        SCOPED_TRACE(down);
        group->note()->setFlip(down);
        group->updateView();
        ASSERT_EQ(group->isNoteFlip(), down);
        group->updatePositionOfHandleCells();
        const platform::Point first = group->unitCellArray().front()->posPoleEdge();
        const platform::Point last = group->unitCellArray().back()->posPoleEdge();
        const double dy = down ? -4.0 : 0.0;
        EXPECT_DOUBLE_EQ(group->handleCellArray()[0]->frame().x(), first.x);
        EXPECT_DOUBLE_EQ(group->handleCellArray()[0]->frame().y(), first.y + dy);
        EXPECT_DOUBLE_EQ(group->handleCellArray()[1]->frame().x(), last.x - 4.0 - 0.6);
        EXPECT_DOUBLE_EQ(group->handleCellArray()[1]->frame().y(), last.y + dy);
    }
    // Rebuilding puts them back at the origin.
    group->updateView();
    EXPECT_EQ(group->handleCellArray()[1]->frame(), Rect(0, 0, 4.0, 4.0));
}

TEST_F(NoteViewTest, StoredStemLengthsAreHeldAtLeastSix) {
    Note* group = triplet();
    struct Case {
        double stored;
        double held;
    };
    for (const Case c : {Case{0.0, 6.0}, Case{3.5, 6.0}, Case{6.0, 6.0}, Case{21.0, 21.0}}) {
        SCOPED_TRACE(c.stored);
        group->setHeightLeft(c.stored);
        group->setHeightRight(c.stored + 1.0);
        auto view = viewOf(group);
        EXPECT_DOUBLE_EQ(view->heightLeft(), c.held);
        EXPECT_DOUBLE_EQ(view->heightRight(), std::max(c.stored + 1.0, 6.0));
        view->removeFromSuperview();
    }
    // A live value outlives a temporary rebuild, not a full one.
    auto view = viewOf(group);
    view->setHeightLeft(30.0);
    view->updateViewTemporally();
    EXPECT_DOUBLE_EQ(view->heightLeft(), 30.0);
    view->updateView();
    EXPECT_DOUBLE_EQ(view->heightLeft(), 21.0);
}

TEST_F(NoteViewTest, SelectionQueries) {
    Note* group = bar()->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, 0, 0);
    context.processPendingChanges();
    const std::vector<NoteUnit*> units = group->unitArray();
    units[2]->createNewToneWithLevel(4);
    context.processPendingChanges();
    auto view = viewOf(group);
    TOVNoteUnitCell* whole = view->unitCellOfData(units[0]);
    TOVNoteUnitCell* partly = view->unitCellOfData(units[2]);
    TOVNoteToneCell* top = partly->toneCellArray().front().get();

    view->selectCell(whole);
    view->selectCell(top);
    EXPECT_EQ(view->selectedUnitCells(), std::vector<TOVNoteUnitCell*>{whole});
    EXPECT_EQ(view->unitCellsOfWhichOrWhoseToneIsSelected(), (std::vector<TOVNoteUnitCell*>{whole, partly}));
    const std::vector<TOVNoteCellBase*> selected{whole, whole->toneCellArray().front().get(), top};
    EXPECT_EQ(view->selectedCells(), selected);
    const std::vector<TOVNoteCellBase*> deletable{whole, top};
    EXPECT_EQ(view->cellsCanBeDeleted(), deletable);
    EXPECT_EQ(view->selectedToneCells().size(), 2u);
    EXPECT_FALSE(view->isWholeNoteSelected());

    view->unselectCell(top);
    EXPECT_EQ(view->unitCellsOfWhichOrWhoseToneIsSelected(), std::vector<TOVNoteUnitCell*>{whole});
    view->selectWholeNote();
    EXPECT_TRUE(view->isWholeNoteSelected());
    EXPECT_EQ(view->state(), 1);
    view->setState(0);
    EXPECT_TRUE(view->selectedCells().empty());

    // A view without cells counts as wholly selected.
    EXPECT_TRUE(TOVNoteView().isWholeNoteSelected());
}

TEST_F(NoteViewTest, ARestIsSelectedThroughItsUnitCellOnly) {
    auto view = viewOf(rest(240));
    TOVNoteUnitCell* unit = view->unitCellArray().front().get();
    ASSERT_NE(unit->restCell(), nullptr);
    view->selectCell(unit->restCell());
    EXPECT_TRUE(view->selectedCells().empty());
    EXPECT_FALSE(unit->restCell()->selected());
    view->selectCell(unit);
    EXPECT_TRUE(unit->restCell()->selected());
    EXPECT_EQ(view->selectedCells(), std::vector<TOVNoteCellBase*>{unit});
    view->updateView();
    EXPECT_TRUE(view->unitCellArray().front()->selected());
}

TEST_F(NoteViewTest, CellsByXAndByRegion) {
    auto view = viewOf(triplet());
    const auto& cells = view->unitCellArray();
    // Three cells side by side, the first two touching at x 10.
    cells[0]->setFrame(Rect(0, cells[0]->frame().y(), 10, cells[0]->frame().height()));
    cells[1]->setFrame(Rect(10, cells[1]->frame().y(), 10, cells[1]->frame().height()));
    cells[2]->setFrame(Rect(25, cells[2]->frame().y(), 10, cells[2]->frame().height()));
    view->setFrame(Rect(view->frame().origin, platform::Size{35, 40}));
    struct Case {
        double x;
        int cell; // -1 none
    };
    for (const Case c : {Case{0, 0}, Case{10, 0}, Case{10.5, 1}, Case{22, -1}, Case{35, 2}, Case{35.5, -1}}) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(view->unitFromXPos(c.x),
                  c.cell < 0 ? nullptr : cells[static_cast<std::size_t>(c.cell)].get());
    }

    struct Region {
        Rect rect;
        std::vector<bool> selected;
    };
    for (const Region& r : {Region{Rect(20, -100, 5, 1), {false, false, false}}, // only touches edges
                            Region{Rect(9.5, 500, 1, 1), {true, true, false}},   // y is not looked at
                            Region{Rect(-5, 0, 100, 10), {true, true, true}}}) {
        view->selectCell(cells[2].get());
        view->updateSelectedCellsOnRegion(r.rect);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            EXPECT_EQ(cells[i]->selected(), r.selected[i]) << r.rect.x() << " cell " << i;
        }
    }
}

TEST_F(NoteViewTest, SelectCellsFromDataTakesUnitsAndTonesOnly) {
    Note* group = triplet();
    const std::vector<NoteUnit*> units = group->unitArray();
    NoteTone* tone = units[2]->toneArray().front();
    auto view = viewOf(group);
    view->selectCell(view->unitCellOfData(units[0]));
    view->selectCellsFromData({group, units[1], tone, nullptr});
    EXPECT_FALSE(view->unitCellOfData(units[0])->selected());
    EXPECT_TRUE(view->unitCellOfData(units[1])->selected());
    EXPECT_FALSE(view->unitCellOfData(units[2])->selected());
    EXPECT_TRUE(view->toneCellOfData(tone)->selected());
}

TEST_F(NoteViewTest, DropTargetChangesAreToldOnce) {
    Note* chord = melo({0, 4});
    auto view = viewOf(chord);
    view->setDropTarget(true);
    view->setDropTarget(true);
    view->setDropTarget(false);
    EXPECT_EQ(host.dropTargetReports, (std::vector<bool>{true, false}));

    // A targeted tone cell drops the cell selection; the old target lets go.
    TOVNoteToneCell* upper = view->toneCellOfData(chord->firstUnit()->toneArray()[0]);
    TOVNoteToneCell* lower = view->toneCellOfData(chord->firstUnit()->toneArray()[1]);
    view->selectCell(lower);
    view->setDropTargetToneCell(upper);
    EXPECT_TRUE(upper->dropTarget());
    EXPECT_FALSE(lower->selected());
    view->setDropTargetToneCell(lower);
    EXPECT_FALSE(upper->dropTarget());
    EXPECT_TRUE(lower->dropTarget());
    // A rebuild takes the targeted cell away with the others: nothing keeps pointing at it.
    view->updateView();
    EXPECT_EQ(view->dropTargetToneCell(), nullptr);
}

TEST_F(NoteViewTest, AFlipPreviewShowsTheOtherStemDirectionWithoutViewsOnTheTones) {
    Note* note = melo({0});
    NoteTone* tone = note->firstUnit()->toneArray().front();
    tone->createNewAccidentalWithTypeFrame(TOVSymbolSharp, Rect(-5, -6, 0, 0));
    context.processPendingChanges();
    auto shown = viewOf(note);
    auto preview = viewOf(note, true);
    EXPECT_EQ(shown->isNoteFlip(), note->flip());
    EXPECT_EQ(preview->isNoteFlip(), !note->flip());
    EXPECT_NE(shown->toneCellOfData(tone)->accidentalView(), nullptr);
    EXPECT_EQ(preview->toneCellOfData(tone)->accidentalView(), nullptr);
}

TEST_F(NoteViewTest, ResetAccidentalPositionPutsEveryAccidentalBesideItsHead) {
    Note* chord = melo({0, 4});
    const std::vector<NoteTone*> tones = chord->firstUnit()->toneArray();
    tones[0]->createNewAccidentalWithTypeFrame(TOVSymbolFlat, Rect(-30, 12, 5, 5));
    context.processPendingChanges();
    auto view = viewOf(chord);
    view->resetAccidentalPosition();
    const TOVNoteToneCell* cell = view->toneCellOfData(tones[0]);
    EXPECT_EQ(tones[0]->accidental()->frame(),
              Rect(cell->defaultPosOfAccidentalView(TOVSymbolFlat), platform::Size()));
    EXPECT_EQ(tones[1]->accidental(), nullptr);
}

TEST_F(NoteViewTest, LevelsAndTopUnit) {
    Note* group = triplet();
    const std::vector<NoteUnit*> units = group->unitArray();
    units[1]->toneArray().front()->setLevel(7);
    units[2]->toneArray().front()->setLevel(-3);
    context.processPendingChanges();
    auto view = viewOf(group);
    EXPECT_EQ(view->topLevelTone(), 7);
    EXPECT_EQ(view->bottomLevelTone(), -3);
    EXPECT_EQ(view->topUnit(), view->unitCellOfData(units[1]));
    EXPECT_EQ(viewOf(rest(240))->topLevelTone(), 0);
}

TEST_F(NoteViewTest, LeavingTheSuperviewDropsHostAndCells) {
    Note* note = melo({0});
    note->firstUnit()->toneArray().front()->createNewAccidentalWithTypeFrame(TOVSymbolSharp, Rect());
    context.processPendingChanges();
    auto view = viewOf(note);
    const std::size_t withAccidental = editor->subviews().size();
    view->removeFromSuperview();
    EXPECT_EQ(view->noteViewDelegate(), nullptr);
    EXPECT_TRUE(view->unitCellArray().empty());
    // The note view and its accidental view are gone from the editor view.
    EXPECT_EQ(editor->subviews().size(), withAccidental - 2);
}

} // namespace

namespace {

TEST_F(NoteViewTest, ANoteWithoutUnitsLeavesNoCellsAndKeepsFrameAndStemLengths) {
    Note* group = triplet();
    group->setHeightLeft(20.0);
    auto view = viewOf(group);
    view->selectWholeNote();
    const Rect frame = view->frame();
    ASSERT_GT(frame.width(), 0);
    Note* empty = context.insertNewObject<Note>("Note");
    context.processPendingChanges();
    view->setNote(empty);
    // Setting the note alone rebuilds nothing.
    EXPECT_EQ(view->unitCellArray().size(), 3u);
    view->updateView();
    EXPECT_TRUE(view->unitCellArray().empty());
    EXPECT_TRUE(view->handleCellArray().empty());
    EXPECT_FALSE(view->flagPath());
    EXPECT_FALSE(view->beamPath());
    EXPECT_EQ(view->frame(), frame);
    EXPECT_DOUBLE_EQ(view->heightLeft(), 20.0);
    view->setHeightLeft(40.0);
    EXPECT_DOUBLE_EQ(view->heightLeft(), 20.0);
    EXPECT_TRUE(view->isWholeNoteSelected());
}

} // namespace
