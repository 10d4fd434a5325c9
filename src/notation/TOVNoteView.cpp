#include "notation/TOVNoteView.h"

#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteRestCell.h"
#include "notation/TOVNoteSlashCell.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteViewDelegate.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <typeinfo>

using platform::Point;
using platform::Rect;

TOVNoteView::TOVNoteView(const Rect& frame, Note* note) : TOVSelectableView(frame), note_(note) {
    registerForDraggedTypes({kSymbolPaletteDragType, kNotePaletteDragType});
}

TOVNoteView::~TOVNoteView() {
    clearOldCells();
}

void TOVNoteView::removeFromSuperview() {
    noteViewDelegate_ = nullptr;
    clearOldCells();
    TOVSelectableView::removeFromSuperview();
}

bool TOVNoteView::isNoteFlip() const {
    const bool flip = note_ != nullptr && note_->flip();
    return flipPreviewMode_ ? !flip : flip;
}

void TOVNoteView::clearOldCells() {
    for (const auto& cell : unitCellArray_) {
        cell->clearOldCells();
    }
    // The cells go with their unit cells: nothing may keep pointing at them.
    draggingToneCell_ = nullptr;
    isDraggingTone_ = false;
    dropTargetToneCell_ = nullptr;
    unitCellArray_.clear();
    flagPath_.reset();
    beamPath_.reset();
}

// ---- Rebuild --------------------------------------------------------------------------------------------

void TOVNoteView::updateView() {
    createHandleCells();
    rebuildCells(true);
}

void TOVNoteView::updateViewTemporally() {
    rebuildCells(false);
}

void TOVNoteView::rebuildCells(bool copyHeights) {
    // The selection outlives the cells as the model objects it shows.
    std::vector<TOVManagedObject*> selection;
    for (TOVNoteCellBase* cell : selectedCells()) {
        if (TOVManagedObject* data = cell->coreData()) {
            selection.push_back(data);
        }
    }
    clearOldCells();
    if (copyHeights && note_ != nullptr) {
        setHeightLeft(note_->heightLeft());
        setHeightRight(note_->heightRight());
    }
    const std::vector<NoteUnit*> units = note_ != nullptr ? note_->unitArray() : std::vector<NoteUnit*>();
    if (!units.empty()) {
        for (NoteUnit* unit : units) {
            auto cell = std::make_unique<TOVNoteUnitCell>(unit, this);
            const Rect frame = cell->frame();
            cell->setFrame(Rect(xPosForUnit(unit), frame.y(), frame.width(), frame.height()));
            unitCellArray_.push_back(std::move(cell));
        }
        for (TOVManagedObject* data : selection) {
            if (auto* tone = dynamic_cast<NoteTone*>(data)) {
                selectCell(toneCellOfData(tone));
            } else if (auto* unit = dynamic_cast<NoteUnit*>(data)) {
                selectCell(unitCellOfData(unit));
            }
        }
        addPole();
        addFlag();
        updateFrame();
        if (!flipPreviewMode_) {
            updateTie();
            updateSymbolViews();
        }
    }
    if (state() == 1) {
        // The stem ends, and the handles on them, may have moved.
        invalidateCursorRects();
    }
    setNeedsDisplay();
}

void TOVNoteView::updateTie() {
    for (const auto& cell : unitCellArray_) {
        cell->updateTie();
    }
}

void TOVNoteView::updateSymbolViews() {
    for (const auto& cell : unitCellArray_) {
        cell->updateSymbolViews();
    }
}

void TOVNoteView::resetAccidentalPosition() {
    for (const auto& unitCell : unitCellArray_) {
        for (const auto& cell : unitCell->toneCellArray()) {
            NoteTone* tone = cell->tone();
            SymbolAccidental* accidental = tone != nullptr ? tone->accidental() : nullptr;
            if (accidental != nullptr) {
                accidental->setFrame(
                    Rect(cell->defaultPosOfAccidentalView(accidental->type()), platform::Size()));
            }
        }
    }
}

// ---- Lookup ---------------------------------------------------------------------------------------------

TOVNoteToneCell* TOVNoteView::toneCellOfData(const NoteTone* tone) const {
    for (const auto& cell : unitCellArray_) {
        if (TOVNoteToneCell* found = cell->toneCellOfData(tone)) {
            return found;
        }
    }
    return nullptr;
}

TOVNoteUnitCell* TOVNoteView::unitCellOfData(const NoteUnit* unit) const {
    for (const auto& cell : unitCellArray_) {
        if (cell->unit() == unit) {
            return cell.get();
        }
    }
    return nullptr;
}

TOVNoteUnitCell* TOVNoteView::unitFromXPos(double x) const {
    if (x > frame().width()) {
        return nullptr;
    }
    for (const auto& cell : unitCellArray_) {
        const Rect f = cell->frame();
        if (f.x() <= x && x <= f.x() + f.width()) {
            return cell.get();
        }
    }
    return nullptr;
}

TOVNoteView* TOVNoteView::nextContinuousNoteView() const {
    auto* self = const_cast<TOVNoteView*>(this);
    return noteViewDelegate_ != nullptr ? noteViewDelegate_->noteViewInquireNextNoteView(self) : nullptr;
}

TOVNoteView* TOVNoteView::previousContinuousNoteView() const {
    auto* self = const_cast<TOVNoteView*>(this);
    return noteViewDelegate_ != nullptr ? noteViewDelegate_->noteViewInquirePreviousNoteView(self) : nullptr;
}

platform::View* TOVNoteView::barView() const {
    auto* self = const_cast<TOVNoteView*>(this);
    return noteViewDelegate_ != nullptr ? noteViewDelegate_->noteViewInquireBarView(self) : nullptr;
}

namespace {

// The levels of the tones of the note and slash units, in unit order.
std::vector<std::int64_t> pitchedLevels(const Note* note) {
    std::vector<std::int64_t> levels;
    if (note == nullptr) {
        return levels;
    }
    for (const NoteUnit* unit : note->unitArray()) {
        if (unit->kind() == NoteUnit::KindRest) {
            continue;
        }
        for (const NoteTone* tone : unit->toneArray()) {
            levels.push_back(tone->level());
        }
    }
    return levels;
}

} // namespace

std::int64_t TOVNoteView::topLevelTone() const {
    const std::vector<std::int64_t> levels = pitchedLevels(note_);
    return levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
}

std::int64_t TOVNoteView::bottomLevelTone() const {
    const std::vector<std::int64_t> levels = pitchedLevels(note_);
    return levels.empty() ? 0 : *std::min_element(levels.begin(), levels.end());
}

TOVNoteUnitCell* TOVNoteView::topUnit() const {
    TOVNoteUnitCell* top = nullptr;
    for (const auto& cell : unitCellArray_) {
        if (top == nullptr || cell->frame().y() < top->frame().y()) {
            top = cell.get();
        }
    }
    return top;
}

// ---- Selection ------------------------------------------------------------------------------------------

void TOVNoteView::setState(int state) {
    if (state == 0) {
        unselectAllCells();
    }
    const bool handlesChange = (state == 1) != (this->state() == 1);
    TOVSelectableView::setState(state);
    // The handles take the resize cursor only while the view is selected.
    if (handlesChange) {
        invalidateCursorRects();
    }
}

void TOVNoteView::selectCell(TOVNoteCellBase* cell) {
    if (cell == nullptr) {
        return;
    }
    const std::type_info& type = typeid(*cell);
    if (type == typeid(TOVNoteUnitCell)) {
        static_cast<TOVNoteUnitCell*>(cell)->selectAllCells();
    } else if (type == typeid(TOVNoteToneCell) || type == typeid(TOVNoteSlashCell)) {
        auto* tone = static_cast<TOVNoteToneCell*>(cell);
        if (TOVNoteUnitCell* unit = tone->unitCell()) {
            unit->selectToneCell(tone);
        }
    }
}

void TOVNoteView::unselectCell(TOVNoteCellBase* cell) {
    if (cell == nullptr) {
        return;
    }
    const std::type_info& type = typeid(*cell);
    if (type == typeid(TOVNoteUnitCell)) {
        static_cast<TOVNoteUnitCell*>(cell)->unselectAllCells();
    } else if (type == typeid(TOVNoteToneCell) || type == typeid(TOVNoteSlashCell)) {
        auto* tone = static_cast<TOVNoteToneCell*>(cell);
        if (TOVNoteUnitCell* unit = tone->unitCell()) {
            unit->unselectToneCell(tone);
        }
    }
}

void TOVNoteView::unselectAllCells() {
    for (const auto& cell : unitCellArray_) {
        cell->unselectAllCells();
    }
}

void TOVNoteView::selectWholeNote() {
    for (const auto& cell : unitCellArray_) {
        selectCell(cell.get());
    }
    setState(1);
}

bool TOVNoteView::isWholeNoteSelected() const {
    return std::all_of(unitCellArray_.begin(), unitCellArray_.end(),
                       [](const auto& cell) { return cell->selected(); });
}

std::vector<TOVNoteCellBase*> TOVNoteView::selectedCells() const {
    std::vector<TOVNoteCellBase*> cells;
    for (const auto& cell : unitCellArray_) {
        if (cell->selected()) {
            cells.push_back(cell.get());
        }
        for (TOVNoteToneCell* tone : cell->selectedCellArray()) {
            cells.push_back(tone);
        }
    }
    return cells;
}

std::vector<TOVNoteUnitCell*> TOVNoteView::selectedUnitCells() const {
    std::vector<TOVNoteUnitCell*> cells;
    for (const auto& cell : unitCellArray_) {
        if (cell->selected()) {
            cells.push_back(cell.get());
        }
    }
    return cells;
}

std::vector<TOVNoteToneCell*> TOVNoteView::selectedToneCells() const {
    std::vector<TOVNoteToneCell*> cells;
    for (const auto& cell : unitCellArray_) {
        const auto& selected = cell->selectedCellArray();
        cells.insert(cells.end(), selected.begin(), selected.end());
    }
    return cells;
}

std::vector<TOVNoteUnitCell*> TOVNoteView::unitCellsOfWhichOrWhoseToneIsSelected() const {
    std::vector<TOVNoteUnitCell*> cells;
    for (const auto& cell : unitCellArray_) {
        if (cell->selected() || !cell->selectedCellArray().empty()) {
            cells.push_back(cell.get());
        }
    }
    return cells;
}

std::vector<TOVNoteCellBase*> TOVNoteView::cellsCanBeDeleted() const {
    std::vector<TOVNoteCellBase*> cells;
    for (const auto& cell : unitCellArray_) {
        if (cell->selected()) {
            cells.push_back(cell.get());
        } else {
            for (TOVNoteToneCell* tone : cell->selectedCellArray()) {
                cells.push_back(tone);
            }
        }
    }
    return cells;
}

void TOVNoteView::updateSelectedCellsOnRegion(const Rect& rect) {
    unselectAllCells();
    for (const auto& cell : unitCellArray_) {
        const Rect f = cell->frame();
        if (f.x() + f.width() > rect.x() && rect.x() + rect.width() > f.x()) {
            selectCell(cell.get());
        }
    }
}

void TOVNoteView::selectCellsFromData(const std::vector<TOVManagedObject*>& objects) {
    unselectAllCells();
    for (TOVManagedObject* object : objects) {
        if (object == nullptr) {
            continue;
        }
        if (typeid(*object) == typeid(NoteUnit)) {
            selectCell(unitCellOfData(static_cast<NoteUnit*>(object)));
        } else if (typeid(*object) == typeid(NoteTone)) {
            selectCell(toneCellOfData(static_cast<NoteTone*>(object)));
        }
    }
}

// ---- Palette drags --------------------------------------------------------------------------------------

void TOVNoteView::setDropTarget(bool dropTarget) {
    if (dropTarget == dropTarget_) {
        return;
    }
    dropTarget_ = dropTarget;
    if (noteViewDelegate_ != nullptr) {
        noteViewDelegate_->noteViewWillBeDropTargetOn(this, dropTarget);
    }
    setNeedsDisplay();
}

void TOVNoteView::setDropTargetToneCell(TOVNoteToneCell* cell) {
    if (cell == dropTargetToneCell_) {
        return;
    }
    unselectAllCells();
    if (dropTargetToneCell_ != nullptr) {
        dropTargetToneCell_->setDropTarget(false);
    }
    dropTargetToneCell_ = cell;
    if (cell != nullptr) {
        cell->setDropTarget(true);
    }
}

// ---- Stem lengths and their handles ---------------------------------------------------------------------

void TOVNoteView::setHeightLeft(double height) {
    if (note_ == nullptr || note_->firstUnit() == nullptr) {
        return;
    }
    heightLeft_ = std::max(height, kLeastPoleHeight);
}

void TOVNoteView::setHeightRight(double height) {
    if (note_ == nullptr || note_->firstUnit() == nullptr) {
        return;
    }
    heightRight_ = std::max(height, kLeastPoleHeight);
}

void TOVNoteView::createHandleCells() {
    handleCellArray_.clear();
    resizingHandle_ = nullptr;
    if (note_ == nullptr || note_->unitArray().size() < 2) {
        return;
    }
    handleCellArray_.push_back(std::make_unique<TOVResizeHandleCell>(Rect(0, 0, 4.0, 4.0), 0));
    handleCellArray_.push_back(std::make_unique<TOVResizeHandleCell>(Rect(0, 0, 4.0, 4.0), 1));
}

void TOVNoteView::updatePositionOfHandleCells() {
    if (unitCellArray_.empty()) {
        return;
    }
    const bool down = isNoteFlip();
    for (const auto& handle : handleCellArray_) {
        const Rect f = handle->frame();
        Point p;
        if (handle->handleType() == 0) {
            p = unitCellArray_.front()->posPoleEdge();
        } else {
            p = unitCellArray_.back()->posPoleEdge();
            p.x -= f.width() + 0.6;
        }
        if (down) {
            p.y -= f.height();
        }
        handle->moveCell(p);
    }
}

// ---- Drawing --------------------------------------------------------------------------------------------

void TOVNoteView::drawRect(const Rect&, platform::GraphicsContext& ctx) {
    auto fillPaths = [&] {
        if (flagPath_) {
            ctx.fillPath(*flagPath_);
        }
        if (beamPath_) {
            ctx.fillPath(*beamPath_);
        }
    };
    if (flipPreviewMode_) {
        // The outlines take the colour the cells leave behind.
        for (const auto& cell : unitCellArray_) {
            cell->drawWithNormalColor(TOVUtils::notePreviewColor(), ctx);
        }
        ctx.setFillColor(TOVUtils::notePreviewColor());
        fillPaths();
        return;
    }
    const bool whole = isWholeNoteSelected();
    const platform::Color cellColor =
        whole ? TOVUtils::noteCellSelectedColor() : TOVUtils::objectNormalColor();
    for (const auto& cell : unitCellArray_) {
        cell->drawWithNormalColor(cellColor, ctx);
    }
    bool selectedPaths = false;
    bool drawHandles = false;
    if (state() == 1) {
        if (unitCellArray_.size() >= 2) {
            selectedPaths = whole;
            drawHandles = whole;
        } else if (unitCellArray_.size() == 1) {
            selectedPaths = unitCellArray_.front()->selected();
        }
    }
    ctx.setFillColor(selectedPaths ? TOVUtils::noteCellSelectedColor() : TOVUtils::objectNormalColor());
    fillPaths();
    if (drawHandles) {
        updatePositionOfHandleCells();
        // The handles stand over the ends of the beam: outlined only, the beam stays filled under them.
        for (const auto& handle : handleCellArray_) {
            handle->drawOutlineWithFrame(handle->frame(), ctx);
        }
    }
}
