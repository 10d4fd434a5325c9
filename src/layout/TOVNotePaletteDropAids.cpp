#include "layout/TOVNotePaletteDropAids.h"

#include "layout/TOVEditorBarView.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"

#include <algorithm>

using platform::Rect;

namespace {

// One grid column per 32nd note.
constexpr std::uint64_t kGridTicks = 30;
// The stretches stand this far inside the bar view's top and bottom edges.
constexpr double kDropAreaInset = 4.0;

// The mark of a grid column, longer on the beat and on its halves; none set for a beat the grid does not
// know.
std::optional<double> gridHeightAt(std::uint64_t index, std::uint64_t beat) {
    if (beat != 240 && beat != 120) {
        return std::nullopt;
    }
    if (index % 8 == 0) {
        return 20.0;
    }
    if (index % 4 == 0) {
        return 15.0;
    }
    if (index % 2 == 1) {
        return beat == 120 ? 8.0 : 10.0;
    }
    return 10.0;
}

// Moves the active mark from the held cell to the given one (either may be null).
template <typename Cell>
void moveActiveMark(Cell*& active, Cell* cell) {
    if (cell == active) {
        return;
    }
    if (active != nullptr) {
        active->setActive(false);
    }
    active = cell;
    if (active != nullptr) {
        active->setActive(true);
    }
}

} // namespace

void TOVNotePaletteDropAids::setActiveGridCell(TOVNoteGridCell* cell) {
    moveActiveMark(activeGridCell_, cell);
}

void TOVNotePaletteDropAids::setActiveNoteDropAreaCell(TOVNoteDropAreaCell* cell) {
    moveActiveMark(activeNoteDropAreaCell_, cell);
}

void TOVNotePaletteDropAids::setGridCellArray(std::vector<TOVNoteGridCell> cells) {
    // The active cell lives in the old array.
    setActiveGridCell(nullptr);
    gridCellArray_ = std::move(cells);
}

void TOVNotePaletteDropAids::setNoteDropAreaCellArray(std::vector<TOVNoteDropAreaCell> cells) {
    setActiveNoteDropAreaCell(nullptr);
    noteDropAreaCellArray_ = std::move(cells);
}

void TOVNotePaletteDropAids::setHarmonyDropAreaCell(std::optional<TOVNoteDropAreaCell> cell) {
    harmonyDropAreaCell_ = std::move(cell);
}

void TOVNotePaletteDropAids::createGridCells() {
    std::vector<TOVNoteGridCell> cells;
    const std::uint64_t total = barView_.totalRhythmLength();
    const std::uint64_t count = total / kGridTicks;
    if (count > 0) {
        const Rect notes = barView_.rectangleNotesArea();
        const double width = notes.width() / static_cast<double>(count);
        const Bar* bar = barView_.bar();
        const std::uint64_t beat = bar != nullptr ? bar->length1Beat() : 0;
        cells.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            TOVNoteGridCell& cell = cells.emplace_back(
                Rect(notes.x() + static_cast<double>(i) * width, 0, width, barView_.frame().height()));
            cell.setBarView(&barView_);
            cell.setX(kGridTicks * i);
            if (const std::optional<double> height = gridHeightAt(i, beat)) {
                cell.setGridHeight(*height);
            }
        }
    }
    setGridCellArray(std::move(cells));
}

void TOVNotePaletteDropAids::createNoteDropAreaCells() {
    std::vector<TOVNoteDropAreaCell> cells;
    const std::uint64_t total = barView_.totalRhythmLength();
    const Bar* bar = barView_.bar();
    if (bar != nullptr && total > 0) {
        const Rect notes = barView_.rectangleNotesArea();
        const double pitch = notes.width() / static_cast<double>(total);
        const double height = barView_.frame().height();
        auto addStretch = [&](std::uint64_t from, std::uint64_t length) {
            TOVNoteDropAreaCell& cell =
                cells.emplace_back(Rect(notes.x() + static_cast<double>(from) * pitch, kDropAreaInset,
                                        static_cast<double>(length) * pitch, height - 2 * kDropAreaInset));
            cell.setBarView(&barView_);
            cell.setX(from);
            cell.setLength(length);
        };
        std::uint64_t pos = 0;
        for (const Note* note : bar->noteArray()) {
            // Notes that overlap (damaged data) leave no stretch between them and never move the end back.
            if (note->timing() > pos) {
                addStretch(pos, note->timing() - pos);
            }
            pos = std::max(pos, note->timing() + note->duration());
        }
        if (pos < total) {
            addStretch(pos, total - pos);
        }
    }
    setNoteDropAreaCellArray(std::move(cells));
}

void TOVNotePaletteDropAids::markHarmonyTargetAt(TOVNoteUnitCell* cell, double x) {
    setHarmonyDropTargetUnitCell(cell);
    TOVNoteDropAreaCell area(
        Rect(x, kDropAreaInset, cell->frame().width(), barView_.frame().height() - 2 * kDropAreaInset));
    area.setBarView(&barView_);
    area.setActive(true);
    setHarmonyDropAreaCell(area);
}

TOVNoteUnitCell* TOVNotePaletteDropAids::liveHarmonyDropTargetUnitCell() const {
    if (harmonyDropTargetUnitCell_ == nullptr) {
        return nullptr;
    }
    for (const auto& noteView : barView_.noteViewArray()) {
        for (const auto& cell : noteView->unitCellArray()) {
            if (cell.get() == harmonyDropTargetUnitCell_) {
                return harmonyDropTargetUnitCell_;
            }
        }
    }
    return nullptr;
}

std::uint64_t TOVNotePaletteDropAids::activeTick() const {
    return activeGridCell_ != nullptr           ? activeGridCell_->x()
           : activeNoteDropAreaCell_ != nullptr ? activeNoteDropAreaCell_->x()
                                                : 0;
}

void TOVNotePaletteDropAids::clear() {
    setGridCellArray({});
    setNoteDropAreaCellArray({});
    setHarmonyDropAreaCell(std::nullopt);
    setHarmonyDropTargetUnitCell(nullptr);
}

void TOVNotePaletteDropAids::draw(platform::GraphicsContext& ctx) const {
    for (const TOVNoteGridCell& cell : gridCellArray_) {
        cell.drawWithFrameInView(cell.frame(), ctx);
    }
    for (const TOVNoteDropAreaCell& cell : noteDropAreaCellArray_) {
        cell.drawWithFrameInView(cell.frame(), ctx);
    }
    if (harmonyDropAreaCell_) {
        harmonyDropAreaCell_->drawWithFrameInView(harmonyDropAreaCell_->frame(), ctx);
    }
}
