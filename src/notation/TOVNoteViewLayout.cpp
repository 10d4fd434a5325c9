// The geometry of a note view: where its unit cells stand, their stems, flags and beams, and its frame.

#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewDelegate.h"
#include "notation/TOVNoteViewFactory.h"

#include <algorithm>

using platform::Point;
using platform::Rect;

namespace {

constexpr double kDefaultPoleHeight = 15.0;
constexpr double kFlagOffsetX = -0.1;
constexpr double kFlipStripHeight = 5.0;

unsigned categoryOf(const NoteUnit* unit) {
    return unit != nullptr ? unit->type() >> 16 : 0;
}

bool isTupletCategory(unsigned category) {
    return category == 3 || category == 5;
}

} // namespace

double TOVNoteView::xPosForUnit(const NoteUnit* unit) const {
    Note* n = note();
    if (unit == nullptr || n == nullptr) {
        return 0.0;
    }
    auto* self = const_cast<TOVNoteView*>(this);
    TOVNoteViewDelegate* host = noteViewDelegate();
    const Bar* bar = n->bar();
    const std::uint64_t length = bar != nullptr ? bar->totalRhythmLength() : 0;
    const double width = host != nullptr ? host->noteViewInquireRectangleNotesArea(self).width() : 0.0;
    // A bar without a length has no scale: its notes stand at the start of the notes area.
    const double pitch = length == 0 ? 0.0 : width / static_cast<double>(length);
    double x = 0.0;
    const std::optional<double> own =
        host != nullptr ? host->noteViewInquirexPosForUnit(self, const_cast<NoteUnit*>(unit)) : std::nullopt;
    if (own) {
        NoteUnit* first = n->firstUnit();
        if (unit != first) {
            x = *own - host->noteViewInquirexPosForUnit(self, first).value_or(0.0);
        }
    } else {
        x = (static_cast<double>(unit->timing()) - static_cast<double>(n->timing())) * pitch;
    }
    if (isTupletCategory(categoryOf(unit)) && unit->kind() == NoteUnit::KindRest && !isNoteFlip()) {
        x += 0.75 * pitch;
    }
    return x;
}

bool TOVNoteView::isPoleNecessary(const NoteUnit* unit) const {
    if (unit == nullptr) {
        return false;
    }
    const unsigned category = categoryOf(unit);
    if (category == 1) {
        return unit->duration() < 960 && !unit->isBeatLength();
    }
    if (isTupletCategory(category)) {
        const Note* n = note();
        const bool outer = n != nullptr && (unit == n->firstUnit() || unit == n->lastUnit());
        return outer || unit->kind() != NoteUnit::KindRest;
    }
    return false;
}

bool TOVNoteView::isFlagNecessary(const NoteUnit* unit) const {
    if (unit == nullptr || unit->beam() != 0) {
        return false;
    }
    const unsigned category = categoryOf(unit);
    if (category == 1) {
        return unit->duration() < 240 && !unit->isBeatLength();
    }
    if (isTupletCategory(category)) {
        return unit->duration() < 160 && unit->kind() != NoteUnit::KindRest;
    }
    return false;
}

unsigned TOVNoteView::numberOfFlagsFromLength(std::uint64_t length) const {
    const Note* n = note();
    if (n != nullptr && n->isTuplet()) {
        return length == 40 ? 2 : length == 80 ? 1 : 0;
    }
    if (length == 30) {
        return 3;
    }
    return length < 120 ? 2 : length < 240 ? 1 : 0;
}

bool TOVNoteView::needBeam() const {
    const Note* n = note();
    if (n == nullptr) {
        return false;
    }
    const std::vector<NoteUnit*> units = n->unitArray();
    return std::any_of(units.begin(), units.end(), [](const NoteUnit* unit) { return unit->beam() != 0; });
}

bool TOVNoteView::needBlacket() const {
    const Note* n = note();
    if (n == nullptr || !n->isTuplet()) {
        return false;
    }
    const std::vector<NoteUnit*> units = n->unitArray();
    for (std::size_t i = 0; i < units.size(); ++i) {
        const int expected = i == 0 ? 1 : i + 1 == units.size() ? 2 : 3;
        if (units[i]->beam() != expected) {
            return true;
        }
    }
    return false;
}

void TOVNoteView::addPole() {
    const UnitCellArray& cells = unitCellArray();
    if (cells.empty()) {
        return;
    }
    if (cells.size() == 1) {
        TOVNoteUnitCell& cell = *cells.front();
        cell.setPoleHeight(isPoleNecessary(cell.unit()) ? kDefaultPoleHeight : 0.0);
        return;
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        TOVNoteUnitCell& cell = *cells[i];
        double height = kDefaultPoleHeight;
        if (!isPoleNecessary(cell.unit())) {
            height = 0.0;
        } else if (i == 0 && heightLeft() > 0) {
            height = heightLeft();
        } else if (i + 1 == cells.size() && heightRight() > 0) {
            height = heightRight();
        }
        cell.setPoleHeight(height);
    }
    normalizeSubOrigin();
    // The inner stems reach the straight line through the two outer stem ends.
    const Point first = cells.front()->posPoleEdge();
    const Point last = cells.back()->posPoleEdge();
    const double dx = last.x - first.x;
    const double slope = dx > 0 ? (last.y - first.y) / dx : 0.0;
    const bool down = isNoteFlip();
    for (std::size_t i = 1; i + 1 < cells.size(); ++i) {
        const Point end = cells[i]->posPoleEdge();
        const double d = (end.y - first.y) - (end.x - first.x) * slope;
        cells[i]->extendPoleLength(down ? -d : d);
    }
}

void TOVNoteView::normalizeSubOrigin() {
    const UnitCellArray& cells = unitCellArray();
    if (cells.empty()) {
        return;
    }
    const bool down = isNoteFlip();
    TOVNoteUnitCell* reference = nullptr;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        TOVNoteUnitCell* cell = cells[i].get();
        const bool candidate = down || i == 0 || i + 1 == cells.size() ||
                               (cell->unit() != nullptr && cell->unit()->kind() == NoteUnit::KindRest);
        if (candidate && (reference == nullptr || cell->offsetY() > reference->offsetY())) {
            reference = cell;
        }
    }
    for (const auto& cell : cells) {
        const Rect f = cell->frame();
        cell->moveXByYBy(0, (reference->offsetY() - cell->offsetY()) - f.y());
    }
}

platform::BezierPath TOVNoteView::createBeamPath(const std::vector<TOVNoteUnitCell*>&) const {
    return platform::BezierPath();
}

void TOVNoteView::addFlag() {
    setFlagPath(std::nullopt);
    setBeamPath(std::nullopt);
    const UnitCellArray& cells = unitCellArray();
    Note* n = note();
    if (n == nullptr || cells.size() != 1) {
        return;
    }
    const TOVNoteUnitCell& cell = *cells.front();
    TOVNoteViewFactory* factory = TOVUtils::noteViewFactory();
    if (factory == nullptr || !isFlagNecessary(cell.unit())) {
        return;
    }
    std::optional<platform::BezierPath> flag = factory->bezierPathFlagForLengthFlipFontID(
        cell.unit()->duration(), isNoteFlip(), n->plugInFontID().toStdString());
    if (flag) {
        const Point end = cell.posPoleEdge();
        flag->translate(end.x + kFlagOffsetX, end.y);
        setFlagPath(std::move(flag));
    }
}

void TOVNoteView::updateFrame() {
    const UnitCellArray& cells = unitCellArray();
    Note* n = note();
    TOVNoteViewDelegate* host = noteViewDelegate();
    if (cells.empty() || n == nullptr || host == nullptr) {
        return;
    }
    TOVNoteUnitCell* first = cells.front().get();
    TOVNoteUnitCell* last = cells.back().get();
    TOVNoteUnitCell* top = first;
    TOVNoteUnitCell* bottom = first;
    for (const auto& cell : cells) {
        if (cell->frame().y() < top->frame().y()) {
            top = cell.get();
        }
        if (cell->frame().maxY() > bottom->frame().maxY()) {
            bottom = cell.get();
        }
    }
    double width = last->frame().maxX();
    double height = bottom->frame().maxY() - top->frame().y();

    const Rect notesArea = host->noteViewInquireRectangleNotesArea(this);
    double x = 0.0;
    if (const std::optional<double> own = host->noteViewInquirexPosForUnit(this, n->firstUnit())) {
        x = *own;
    } else {
        const Bar* bar = n->bar();
        const std::uint64_t length = bar != nullptr ? bar->totalRhythmLength() : 0;
        const double pitch = length == 0 ? 0.0 : notesArea.width() / static_cast<double>(length);
        x = notesArea.x() + static_cast<double>(n->timing()) * pitch + first->frame().x() - first->offsetX();
    }
    const double level0 = host->noteViewInquirePosYLevel0(this);
    double y = top->frame().y() - top->offsetY() + level0;

    auto moveAllDown = [&](double d) {
        for (const auto& cell : cells) {
            cell->moveXByYBy(0, d);
        }
        std::optional<platform::BezierPath> flag = flagPath();
        std::optional<platform::BezierPath> beam = beamPath();
        if (flag) {
            flag->translate(0, d);
        }
        if (beam) {
            beam->translate(0, d);
        }
        setFlagPath(std::move(flag));
        setBeamPath(std::move(beam));
    };
    for (int which = 0; which < 2; ++which) {
        const std::optional<platform::BezierPath>& path = which == 0 ? flagPath() : beamPath();
        if (!path) {
            continue;
        }
        const Rect b = path->bounds();
        width = std::max(width, b.maxX());
        height = std::max(height, b.maxY());
        if (b.minY() < 0) {
            const double d = -b.minY();
            moveAllDown(d);
            y += b.minY();
            height -= b.minY();
        }
    }
    // The frame reaches the middle staff line.
    if (level0 > y + height) {
        height += level0 - (y + height);
    }
    if (y > level0) {
        const double d = y - level0;
        moveAllDown(d);
        height += d;
        y = level0;
    }
    Point origin{x, y};
    platform::View* bar = barView();
    if (bar != nullptr && superview() != nullptr) {
        origin = bar->convertPointToView(origin, superview());
    }
    if (!flagPath() && !beamPath()) {
        if (isPoleNecessary(n->firstUnit())) {
            const double e = first->posPoleEdge().y;
            setFlipHandleRect(isNoteFlip() ? Rect(0, e - kFlipStripHeight, width, kFlipStripHeight)
                                           : Rect(0, e, width, kFlipStripHeight));
        } else {
            setFlipHandleRect(Rect());
        }
    }
    setFrame(Rect(origin.x, origin.y, width, height));
}
