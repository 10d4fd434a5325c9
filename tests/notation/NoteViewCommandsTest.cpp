#include "CellFixture.h"

#include "model/SymbolAccidental.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteSlashCell.h"

#include <functional>

using notationtest::CellTest;
using platform::Rect;

namespace {

// The editor's controller as the note commands see it: it also counts the reports of a changed cell
// selection.
class CountingController : public glyphtest::FakeObjectController {
public:
    int selectedCellsReports = 0;
    void noteViewDidUpdateSelectedCells(TOVSelectableView*) override { ++selectedCellsReports; }
};

class NoteViewCommandsTest : public CellTest {
protected:
    // A real note view of the note in the editor view, built as the bar view builds it.
    std::shared_ptr<TOVNoteView> viewOf(Note* note) {
        auto view = std::make_shared<TOVNoteView>(Rect(), note);
        view->setNoteViewDelegate(&delegate);
        view->setBarViewBelongTo(barView.get());
        view->setDelegate(&counting);
        editor->addSubview(view);
        view->updateView();
        views.push_back(view);
        return view;
    }
    // A tuplet of the slot lengths at the start of bar 1, every member a tone at level 0, unbeamed.
    Note* tuplet(bool sextuplet, const std::vector<std::uint64_t>& lengths, bool beamed = false) {
        Note* note = sextuplet ? bar()->createNewSextupletFromLengthUnitsLevelKind(0, lengths, 0, 0)
                               : bar()->createNewTripletFromLengthUnitsLevelKind(0, lengths, 0, 0);
        context.processPendingChanges();
        if (!beamed) {
            note->makeBeamTupletOff(note->unitArray());
            context.processPendingChanges();
        }
        return note;
    }
    Note* triplet(const std::vector<std::uint64_t>& lengths, bool beamed = false) {
        return tuplet(false, lengths, beamed);
    }
    // The member becomes a rest: it loses its tones.
    void makeRest(NoteUnit* unit) {
        for (NoteTone* tone : unit->toneArray()) {
            unit->removeTone(tone);
        }
        context.processPendingChanges();
    }
    static void selectUnits(TOVNoteView& view, std::initializer_list<std::size_t> indices) {
        for (std::size_t i : indices) {
            view.selectCell(view.unitCellArray()[i].get());
        }
        view.setState(1);
    }
    static void selectTone(TOVNoteView& view, std::size_t unit, std::size_t tone) {
        view.selectCell(view.unitCellArray()[unit]->toneCellArray()[tone].get());
        view.setState(1);
    }

    CountingController counting;
    std::vector<std::shared_ptr<TOVNoteView>> views;
};

// Every menu predicate of the note view for a set of notes and selections.
TEST_F(NoteViewCommandsTest, MenuPredicates) {
    struct Expect {
        bool del, convert, uniteMake, uniteDivide, beamCheck, beamMake, beamDivide, accUp, accDown, enhUp,
            enhDown, flip, heads;
    };
    struct Case {
        const char* name;
        std::function<std::shared_ptr<TOVNoteView>()> make;
        Expect expect;
    };
    const Case cases[] = {
        {"quarter, whole note",
         [&] {
             auto v = viewOf(melo({0}));
             v->selectWholeNote();
             return v;
         },
         {true, true, false, false, false, false, false, true, true, true, true, true, true}},
        {"quarter with a double sharp, its tone",
         [&] {
             Note* n = melo({0});
             n->firstUnit()->toneArray().front()->setThisAccidentalType(3);
             context.processPendingChanges();
             auto v = viewOf(n);
             selectTone(*v, 0, 0);
             return v;
         },
         {true, true, false, false, false, false, false, false, true, true, false, true, true}},
        {"quarter with a double flat, its tone",
         [&] {
             Note* n = melo({0});
             n->firstUnit()->toneArray().front()->setThisAccidentalType(5);
             context.processPendingChanges();
             auto v = viewOf(n);
             selectTone(*v, 0, 0);
             return v;
         },
         {true, true, false, false, false, false, false, true, false, false, true, true, true}},
        {"chord of two, both tones but not the unit",
         [&] {
             auto v = viewOf(melo({0, 2}));
             selectTone(*v, 0, 0);
             selectTone(*v, 0, 1);
             return v;
         },
         {true, true, false, false, false, false, false, false, false, false, false, true, true}},
        {"rest, whole",
         [&] {
             auto v = viewOf(rest(240));
             v->selectWholeNote();
             return v;
         },
         {true, true, false, false, false, false, false, false, false, false, false, false, false}},
        {"one-beat slash, whole",
         [&] {
             Note* n = bar()->createNewBeatSlashFrom(0);
             context.processPendingChanges();
             auto v = viewOf(n);
             v->selectWholeNote();
             return v;
         },
         {true, false, false, false, false, false, false, false, false, false, false, false, false}},
        {"beamed triplet of eighths, first member",
         [&] {
             auto v = viewOf(triplet({80, 80, 80}, true));
             selectUnits(*v, {0});
             return v;
         },
         {false, true, false, false, true, false, true, true, true, true, true, true, true}},
        {"unbeamed triplet of eighths, whole",
         [&] {
             auto v = viewOf(triplet({80, 80, 80}));
             v->selectWholeNote();
             return v;
         },
         {true, false, false, false, false, true, false, false, false, false, false, true, true}},
        {"unbeamed triplet, first two members",
         [&] {
             auto v = viewOf(triplet({80, 80, 80}));
             selectUnits(*v, {0, 1});
             return v;
         },
         {false, false, true, false, false, true, false, false, false, false, false, true, true}},
        {"unbeamed triplet, first two members of different pitches",
         [&] {
             Note* n = triplet({80, 80, 80});
             n->unitArray()[1]->toneArray().front()->setLevel(2);
             context.processPendingChanges();
             auto v = viewOf(n);
             selectUnits(*v, {0, 1});
             return v;
         },
         {false, false, false, false, false, true, false, false, false, false, false, true, true}},
        {"unbeamed triplet, first and last members (not neighbours)",
         [&] {
             auto v = viewOf(triplet({80, 80, 80}));
             selectUnits(*v, {0, 2});
             return v;
         },
         {false, false, false, false, false, false, false, false, false, false, false, true, true}},
        {"unbeamed triplet, first member a rest, whole",
         [&] {
             Note* n = triplet({80, 80, 80});
             makeRest(n->unitArray()[0]);
             auto v = viewOf(n);
             v->selectWholeNote();
             return v;
         },
         {true, false, false, false, false, false, false, false, false, false, false, true, true}},
        {"unbeamed triplet, rest in the middle, whole",
         [&] {
             Note* n = triplet({80, 80, 80});
             makeRest(n->unitArray()[1]);
             auto v = viewOf(n);
             v->selectWholeNote();
             return v;
         },
         {true, false, false, false, false, true, false, false, false, false, false, true, true}},
        {"unbeamed triplet, a rest and a tone side by side",
         [&] {
             Note* n = triplet({80, 80, 80});
             makeRest(n->unitArray()[0]);
             auto v = viewOf(n);
             selectUnits(*v, {0, 1});
             return v;
         },
         {false, false, false, false, false, false, false, true, true, true, true, true, true}},
        {"triplet with a united member, that member alone",
         [&] {
             auto v = viewOf(triplet({160, 80}));
             selectUnits(*v, {0});
             return v;
         },
         {false, true, false, true, false, false, false, true, true, true, true, true, true}},
        {"triplet with a united member, whole: the quarter never joins a beam",
         [&] {
             auto v = viewOf(triplet({80, 160}));
             v->selectWholeNote();
             return v;
         },
         {true, false, false, false, false, false, false, false, false, false, false, true, true}},
        {"quarter triplet, whole",
         [&] {
             auto v = viewOf(triplet({160, 160, 160}));
             v->selectWholeNote();
             return v;
         },
         {true, false, false, false, false, false, false, false, false, false, false, true, true}},
        {"triplet, one tone of a two-tone member",
         [&] {
             Note* n = triplet({80, 80, 80});
             n->unitArray()[1]->createNewToneWithLevel(4);
             context.processPendingChanges();
             auto v = viewOf(n);
             selectTone(*v, 1, 0);
             return v;
         },
         {true, true, false, false, false, false, false, true, true, true, true, true, true}},
        {"triplet, the only tone of a member",
         [&] {
             auto v = viewOf(triplet({80, 80, 80}));
             selectTone(*v, 1, 0);
             return v;
         },
         {false, true, false, false, false, false, false, true, true, true, true, true, true}},
        {"unbeamed sextuplet of sixteenths, first two members",
         [&] {
             auto v = viewOf(tuplet(true, {40, 40, 40, 40, 40, 40}));
             selectUnits(*v, {0, 1});
             return v;
         },
         {false, false, true, false, false, true, false, false, false, false, false, true, true}},
        {"unbeamed sextuplet with an eighth-long member, whole",
         [&] {
             auto v = viewOf(tuplet(true, {80, 160}));
             v->selectWholeNote();
             return v;
         },
         {true, false, false, false, false, false, false, false, false, false, false, true, true}},
        {"two beamed eighths, nothing selected",
         [&] {
             Note* first = melo({0}, 120, 0);
             Note* second = melo({0}, 120, 120);
             Note* beamed = bar()->makeBeamOn({first, second});
             context.processPendingChanges();
             return viewOf(beamed);
         },
         {true, false, false, false, true, false, false, false, false, false, false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (Note* old : bar()->noteArray()) {
            bar()->removeNote(old);
        }
        context.processPendingChanges();
        const auto view = c.make();
        ASSERT_FALSE(view->unitCellArray().empty());
        const Expect& e = c.expect;
        EXPECT_EQ(view->canEnableDeleteMenu(), e.del);
        EXPECT_EQ(view->canEnableConvertNoteRestMenu(), e.convert);
        EXPECT_EQ(view->canMakeUnite(), e.uniteMake);
        EXPECT_EQ(view->canDivideUnite(), e.uniteDivide);
        EXPECT_EQ(view->canEnableUniteMenu(), e.uniteMake || e.uniteDivide);
        EXPECT_EQ(view->shouldCheckBeamMenu(), e.beamCheck);
        EXPECT_EQ(view->canMakeBeamForTuplet(), e.beamMake);
        EXPECT_EQ(view->canDivideBeamForTuplet(), e.beamDivide);
        EXPECT_EQ(view->canEnableBeamMenuForTuplet(), e.beamMake || e.beamDivide);
        EXPECT_EQ(view->canEnableAccidentalUpMenu(), e.accUp);
        EXPECT_EQ(view->canEnableAccidentalDownMenu(), e.accDown);
        EXPECT_EQ(view->canEnableEnharmonicUpMenu(), e.enhUp);
        EXPECT_EQ(view->canEnableEnharmonicDownMenu(), e.enhDown);
        EXPECT_EQ(view->canEnableFlipMenu(), e.flip);
        EXPECT_EQ(view->canEnableNoteHeadNormalMenu(), e.heads);
        EXPECT_EQ(view->canEnableNoteHeadXMenu(), e.heads);
        EXPECT_EQ(view->canEnableNoteHeadNoneMenu(), e.heads);
        view->removeFromSuperview();
    }
}

// Stepping the accidental moves it back beside the head, whatever place the user had dragged it to, and
// shows the new sign; with no accidental left nothing is moved.
TEST_F(NoteViewCommandsTest, AccidentalStepsPutTheSignBackAtItsDefaultPlace) {
    Note* note = melo({0});
    NoteTone* tone = note->firstUnit()->toneArray().front();
    tone->createNewAccidentalWithTypeFrame(TOVSymbolNatural, Rect(-30, -25, 0, 0));
    context.processPendingChanges();
    auto view = viewOf(note);
    selectTone(*view, 0, 0);
    TOVNoteToneCell* cell = view->toneCellOfData(tone);

    view->accidentalUp(); // natural -> sharp
    ASSERT_EQ(tone->thisAccidentalType(), 2);
    ASSERT_NE(tone->accidental(), nullptr);
    EXPECT_EQ(tone->accidental()->type(), TOVSymbolSharp);
    EXPECT_EQ(tone->accidental()->frame().origin, cell->defaultPosOfAccidentalView(TOVSymbolSharp));
    ASSERT_NE(cell->accidentalView(), nullptr);
    EXPECT_EQ(cell->accidentalView()->symbol(), tone->accidental());

    tone->accidental()->setFrame(Rect(-40, 12, 0, 0));
    view->accidentalDown(); // sharp -> natural
    ASSERT_EQ(tone->accidental()->type(), TOVSymbolNatural);
    EXPECT_EQ(tone->accidental()->frame().origin, cell->defaultPosOfAccidentalView(TOVSymbolNatural));
    ASSERT_NE(cell->accidentalView(), nullptr);
    EXPECT_EQ(cell->accidentalView()->symbol(), tone->accidental());

    view->accidentalDown(); // natural -> none
    EXPECT_EQ(tone->accidental(), nullptr);
    EXPECT_EQ(cell->accidentalView(), nullptr);
}

// Respelling moves the tone a step and gives it the accidental of the new spelling at its default place;
// the view is rebuilt around it.
TEST_F(NoteViewCommandsTest, EnharmonicRespellingKeepsThePitch) {
    Note* note = melo({0});
    NoteTone* tone = note->firstUnit()->toneArray().front();
    auto view = viewOf(note);
    selectTone(*view, 0, 0);
    const std::int64_t pitch = tone->midiNumber();
    ASSERT_TRUE(view->canEnableEnharmonicUpMenu());

    view->enharmonicUp();
    EXPECT_EQ(tone->level(), 1);
    EXPECT_EQ(tone->midiNumber(), pitch);
    ASSERT_NE(tone->accidental(), nullptr);
    TOVNoteToneCell* cell = view->toneCellOfData(tone);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(tone->accidental()->frame().origin,
              cell->defaultPosOfAccidentalView(tone->accidental()->type()));
    ASSERT_NE(cell->accidentalView(), nullptr);
    // The selection is kept across the rebuild, so the way back is open.
    ASSERT_TRUE(view->canEnableEnharmonicDownMenu());
    view->enharmonicDown();
    EXPECT_EQ(tone->level(), 0);
    EXPECT_EQ(tone->midiNumber(), pitch);
}

// With two tones of a chord selected, or a slash, the accidental and spelling commands change nothing.
TEST_F(NoteViewCommandsTest, AccidentalCommandsNeedOnePitchedTone) {
    Note* chord = melo({0, 2});
    auto view = viewOf(chord);
    selectTone(*view, 0, 0);
    selectTone(*view, 0, 1);
    Note* beat = bar()->createNewBeatSlashFrom(480);
    context.processPendingChanges();
    auto slashView = viewOf(beat);
    slashView->selectWholeNote();
    ASSERT_EQ(slashView->selectedToneCells().size(), 1u);
    ASSERT_NE(dynamic_cast<TOVNoteSlashCell*>(slashView->selectedToneCells().front()), nullptr);
    for (TOVNoteView* v : {view.get(), slashView.get()}) {
        std::vector<std::pair<std::int64_t, int>> before;
        for (NoteTone* tone : v->note()->firstUnit()->toneArray()) {
            before.emplace_back(tone->level(), tone->thisAccidentalType());
        }
        v->accidentalUp();
        v->accidentalDown();
        v->enharmonicUp();
        v->enharmonicDown();
        std::vector<std::pair<std::int64_t, int>> after;
        for (NoteTone* tone : v->note()->firstUnit()->toneArray()) {
            after.emplace_back(tone->level(), tone->thisAccidentalType());
        }
        EXPECT_EQ(after, before);
        EXPECT_FALSE(v->canEnableAccidentalUpMenu());
        EXPECT_FALSE(v->canEnableEnharmonicUpMenu());
    }
}

// Beaming three unbeamed triplet eighths gives first, middle and last; dividing from any member takes the
// whole beam away. Each time the editor hears of the selection.
TEST_F(NoteViewCommandsTest, TupletBeamsMadeAndDivided) {
    Note* note = triplet({80, 80, 80});
    auto view = viewOf(note);
    selectUnits(*view, {0, 1, 2});
    view->doBeamForTuplet();
    std::vector<int> beams;
    for (NoteUnit* unit : note->unitArray()) {
        beams.push_back(unit->beam());
    }
    EXPECT_EQ(beams, (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(counting.selectedCellsReports, 1);
    // The rebuilt view shows the beam and keeps the selection.
    EXPECT_TRUE(view->beamPath().has_value());
    EXPECT_EQ(view->selectedUnitCells().size(), 3u);

    view->unselectAllCells();
    selectUnits(*view, {2});
    view->doBeamForTuplet();
    for (NoteUnit* unit : note->unitArray()) {
        EXPECT_EQ(unit->beam(), 0);
    }
    EXPECT_EQ(counting.selectedCellsReports, 2);

    // A quarter member never joins a beam: nothing changes, the editor still hears.
    Note* longer = triplet({80, 160});
    auto longView = viewOf(longer);
    longView->selectWholeNote();
    longView->doBeamForTuplet();
    for (NoteUnit* unit : longer->unitArray()) {
        EXPECT_EQ(unit->beam(), 0);
    }
    EXPECT_EQ(counting.selectedCellsReports, 3);
}

// The note-head commands act only on a selected view, on every selected tone.
TEST_F(NoteViewCommandsTest, NoteHeadsChangeOnlyInTheSelectedState) {
    Note* chord = melo({0, 2, 4});
    auto view = viewOf(chord);
    const std::vector<NoteTone*> tones = chord->firstUnit()->toneArray();
    view->selectCell(view->toneCellOfData(tones[0]));
    view->selectCell(view->toneCellOfData(tones[2]));
    ASSERT_EQ(view->state(), 0);
    view->noteHeadX();
    for (NoteTone* tone : tones) {
        EXPECT_EQ(tone->head(), 0);
    }

    view->setState(1);
    view->noteHeadX();
    EXPECT_EQ(tones[0]->head(), 1);
    EXPECT_EQ(tones[1]->head(), 0);
    EXPECT_EQ(tones[2]->head(), 1);
    view->noteHeadNone();
    EXPECT_EQ(tones[0]->head(), 2);
    view->noteHeadNormal();
    EXPECT_EQ(tones[0]->head(), 0);
    EXPECT_EQ(tones[2]->head(), 0);
}

} // namespace
