// The note-editing menu as the note view answers it: which items are enabled for its selection, and the
// commands that change only this note (tuplet beams, accidentals, enharmonic spelling, stem flip, note
// heads). Deleting, converting and uniting are carried out by the editor; the view only says whether they
// may be.

#include "notation/TOVNoteView.h"

#include "glyphs/TOVObjectController.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"

#include <algorithm>
#include <typeinfo>

namespace {

// Tuplet members longer than these never join a beam: a quarter of a triplet, an eighth of a sextuplet.
constexpr std::uint64_t kLongestBeamedTripletMember = 159;
constexpr std::uint64_t kShortestUnbeamedSextupletMember = 160;

// The accidental types at the ends of the up and down steps.
constexpr int kDoubleSharp = 3;
constexpr int kDoubleFlat = 5;

bool isTupletNote(const Note* note) {
    return note != nullptr && (note->isTriplet() || note->isSextuplet());
}

// The one selected tone cell, or null when none or several are selected. A slash has no pitch to spell:
// its cell counts as selected but answers null, as no accidental is dropped onto a slash either.
TOVNoteToneCell* singleSelectedToneCell(const TOVNoteView& view) {
    const std::vector<TOVNoteToneCell*> cells = view.selectedToneCells();
    if (cells.size() != 1 || typeid(*cells.front()) != typeid(TOVNoteToneCell)) {
        return nullptr;
    }
    return cells.front();
}

NoteTone* singleSelectedTone(const TOVNoteView& view) {
    TOVNoteToneCell* cell = singleSelectedToneCell(view);
    return cell != nullptr ? cell->tone() : nullptr;
}

// The tone's accidental, if it has one, back beside its head, at no size of its own.
void putAccidentalAtDefaultPlace(TOVNoteToneCell& cell) {
    NoteTone* tone = cell.tone();
    SymbolAccidental* accidental = tone != nullptr ? tone->accidental() : nullptr;
    if (accidental != nullptr) {
        accidental->setFrame(
            platform::Rect(cell.defaultPosOfAccidentalView(accidental->type()), platform::Size()));
    }
}

bool hasBeam(const TOVNoteUnitCell* cell) {
    return cell->unit() != nullptr && cell->unit()->beam() != NoteUnit::BeamNone;
}

} // namespace

// ---- Delete, convert, unite -----------------------------------------------------------------------------

bool TOVNoteView::canEnableDeleteMenu() const {
    if (isWholeNoteSelected() || !isTupletNote(note())) {
        return true;
    }
    // Inside a tuplet only some tones of a member go, never a whole member.
    return std::none_of(unitCellArray().begin(), unitCellArray().end(),
                        [](const auto& cell) { return cell->selected() || cell->areAllTonesSelected(); });
}

bool TOVNoteView::canEnableConvertNoteRestMenu() const {
    const Note* shown = note();
    if (shown == nullptr) {
        return false;
    }
    if (shown->isSingle()) {
        return !shown->isBeatLength();
    }
    if (shown->isBeam() || shown->isTuplet()) {
        return unitCellsOfWhichOrWhoseToneIsSelected().size() == 1;
    }
    return false;
}

bool TOVNoteView::canMakeUnite() const {
    if (!isTupletNote(note())) {
        return false;
    }
    const std::vector<TOVNoteUnitCell*> cells = selectedUnitCells();
    if (cells.size() != 2) {
        return false;
    }
    const NoteUnit* first = cells[0]->unit();
    const NoteUnit* second = cells[1]->unit();
    if (first == nullptr || second == nullptr || first->isUnited() || second->isUnited() ||
        first->kind() != second->kind() || first->nextUnit() != second) {
        return false;
    }
    const std::vector<NoteTone*> firstTones = first->toneArray();
    const std::vector<NoteTone*> secondTones = second->toneArray();
    return std::equal(firstTones.begin(), firstTones.end(), secondTones.begin(), secondTones.end(),
                      [](const NoteTone* a, const NoteTone* b) { return a->level() == b->level(); });
}

bool TOVNoteView::canDivideUnite() const {
    if (!isTupletNote(note())) {
        return false;
    }
    const std::vector<TOVNoteUnitCell*> cells = selectedUnitCells();
    return cells.size() == 1 && cells.front()->unit() != nullptr && cells.front()->unit()->isUnited();
}

bool TOVNoteView::canEnableUniteMenu() const {
    return canMakeUnite() || canDivideUnite();
}

// ---- Tuplet beams ---------------------------------------------------------------------------------------

bool TOVNoteView::shouldCheckBeamMenu() const {
    const Note* shown = note();
    if (shown == nullptr) {
        return false;
    }
    if (!shown->isTuplet()) {
        return shown->isBeam();
    }
    return canDivideBeamForTuplet();
}

bool TOVNoteView::canDivideBeamForTuplet() const {
    const std::vector<TOVNoteUnitCell*> cells = selectedUnitCells();
    return std::any_of(cells.begin(), cells.end(), hasBeam);
}

bool TOVNoteView::canMakeBeamForTuplet() const {
    const std::vector<TOVNoteUnitCell*> cells = selectedUnitCells();
    if (cells.size() < 2) {
        return false;
    }
    const Note* shown = note();
    const bool triplet = shown != nullptr && shown->isTriplet();
    const bool sextuplet = shown != nullptr && shown->isSextuplet();
    const NoteUnit* previous = nullptr;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const NoteUnit* unit = cells[i]->unit();
        if (unit == nullptr) {
            return false;
        }
        // A beam may pass over a rest, but neither start nor end on one.
        const bool end = i == 0 || i + 1 == cells.size();
        if (end && unit->kind() == NoteUnit::KindRest) {
            return false;
        }
        if (unit->beam() != NoteUnit::BeamNone) {
            return false;
        }
        if (previous != nullptr && previous->timing() + previous->duration() != unit->timing()) {
            return false;
        }
        if ((triplet && unit->duration() > kLongestBeamedTripletMember) ||
            (sextuplet && unit->duration() >= kShortestUnbeamedSextupletMember)) {
            return false;
        }
        previous = unit;
    }
    return true;
}

bool TOVNoteView::canEnableBeamMenuForTuplet() const {
    return canMakeBeamForTuplet() || canDivideBeamForTuplet();
}

void TOVNoteView::doBeamForTuplet() {
    Note* shown = note();
    if (shown != nullptr && canDivideBeamForTuplet()) {
        // Every beam a selected member belongs to goes whole, each group once.
        std::vector<NoteUnit*> units;
        for (TOVNoteUnitCell* cell : selectedUnitCells()) {
            if (!hasBeam(cell)) {
                continue;
            }
            const std::vector<NoteUnit*> group = shown->beamedUnitsFor(cell->unit());
            if (!group.empty() && std::find(units.begin(), units.end(), group.front()) == units.end()) {
                units.insert(units.end(), group.begin(), group.end());
            }
        }
        shown->makeBeamTupletOff(units);
        updateView();
    } else if (shown != nullptr && canMakeBeamForTuplet()) {
        std::vector<NoteUnit*> units;
        for (TOVNoteUnitCell* cell : selectedUnitCells()) {
            units.push_back(cell->unit());
        }
        shown->makeBeamTupletOn(units);
        updateView();
    }
    if (TOVObjectController* controller = delegate()) {
        controller->noteViewDidUpdateSelectedCells(this);
    }
}

// ---- Accidentals and spelling ---------------------------------------------------------------------------

bool TOVNoteView::canEnableAccidentalUpMenu() const {
    const NoteTone* tone = singleSelectedTone(*this);
    return tone != nullptr && tone->thisAccidentalType() != kDoubleSharp;
}

bool TOVNoteView::canEnableAccidentalDownMenu() const {
    const NoteTone* tone = singleSelectedTone(*this);
    return tone != nullptr && tone->thisAccidentalType() != kDoubleFlat;
}

void TOVNoteView::accidentalUp() {
    TOVNoteToneCell* cell = singleSelectedToneCell(*this);
    if (cell == nullptr || cell->tone() == nullptr) {
        return;
    }
    cell->tone()->accidentalUp();
    putAccidentalAtDefaultPlace(*cell);
    cell->updateSymbolViews();
}

void TOVNoteView::accidentalDown() {
    TOVNoteToneCell* cell = singleSelectedToneCell(*this);
    if (cell == nullptr || cell->tone() == nullptr) {
        return;
    }
    cell->tone()->accidentalDown();
    putAccidentalAtDefaultPlace(*cell);
    cell->updateSymbolViews();
}

bool TOVNoteView::canEnableEnharmonicUpMenu() const {
    const NoteTone* tone = singleSelectedTone(*this);
    return tone != nullptr && tone->canEnharmonicUp();
}

bool TOVNoteView::canEnableEnharmonicDownMenu() const {
    const NoteTone* tone = singleSelectedTone(*this);
    return tone != nullptr && tone->canEnharmonicDown();
}

void TOVNoteView::enharmonicUp() {
    TOVNoteToneCell* cell = singleSelectedToneCell(*this);
    if (cell == nullptr || cell->tone() == nullptr) {
        return;
    }
    cell->tone()->enharmonicUp();
    putAccidentalAtDefaultPlace(*cell);
    updateView();
}

void TOVNoteView::enharmonicDown() {
    TOVNoteToneCell* cell = singleSelectedToneCell(*this);
    if (cell == nullptr || cell->tone() == nullptr) {
        return;
    }
    cell->tone()->enharmonicDown();
    putAccidentalAtDefaultPlace(*cell);
    updateView();
}

// ---- Stem flip ------------------------------------------------------------------------------------------

bool TOVNoteView::canEnableFlipMenu() const {
    const Note* shown = note();
    if (shown == nullptr) {
        return false;
    }
    const std::vector<NoteUnit*> units = shown->unitArray();
    if (units.size() > 1) {
        return true;
    }
    if (units.empty()) {
        return false;
    }
    return units.front()->group() != NoteUnit::GroupRest && !shown->isBeatLength();
}

void TOVNoteView::doFlip() {
    Note* shown = note();
    if (shown == nullptr) {
        return;
    }
    const bool flip = !shown->flip();
    shown->setFlip(flip);
    for (const auto& unitCell : unitCellArray()) {
        for (const auto& toneCell : unitCell->toneCellArray()) {
            toneCell->doFilp(flip);
        }
    }
    updateView();
    // The ties into and out of the note end on heads that now stand elsewhere.
    if (barViewBelongTo() != nullptr) {
        if (TOVNoteView* previous = previousContinuousNoteView()) {
            previous->updateTie();
        }
        if (TOVNoteView* next = nextContinuousNoteView()) {
            next->updateTie();
        }
    }
}

// ---- Note heads -----------------------------------------------------------------------------------------

bool TOVNoteView::canEnableNoteHeadNormalMenu() const {
    // Only heads of pitched tones change shape: not rests, not slashes.
    const std::vector<TOVNoteToneCell*> cells = selectedToneCells();
    return std::any_of(cells.begin(), cells.end(),
                       [](const TOVNoteToneCell* cell) { return typeid(*cell) == typeid(TOVNoteToneCell); });
}

bool TOVNoteView::canEnableNoteHeadXMenu() const {
    return canEnableNoteHeadNormalMenu();
}

bool TOVNoteView::canEnableNoteHeadNoneMenu() const {
    return canEnableNoteHeadNormalMenu();
}

void TOVNoteView::noteHeadNormal() {
    changeNoteHeadOfSelectedCellsWith(0);
}

void TOVNoteView::noteHeadX() {
    changeNoteHeadOfSelectedCellsWith(1);
}

void TOVNoteView::noteHeadNone() {
    changeNoteHeadOfSelectedCellsWith(2);
}

void TOVNoteView::changeNoteHeadOfSelectedCellsWith(int head) {
    if (state() != 1) {
        return;
    }
    for (TOVNoteToneCell* cell : selectedToneCells()) {
        if (NoteTone* tone = cell->tone()) {
            tone->setHead(head);
        }
    }
    updateView();
}
