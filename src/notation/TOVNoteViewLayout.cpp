#include "notation/TOVNoteViewLayout.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewDelegate.h"
#include "notation/TOVNoteViewFactory.h"

#include <algorithm>
#include <cmath>

using platform::BezierPath;
using platform::Point;
using platform::Rect;

namespace {

bool isTupletGroup(std::uint32_t group) {
    return group == NoteUnit::GroupTriplet || group == NoteUnit::GroupSextuplet;
}

void appendQuad(BezierPath& path, Point a, Point b, Point c, Point d) {
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.lineTo(d);
    path.closePath();
}

std::optional<BezierPath> flagOf(const NoteUnit* unit, bool flip, const std::string& fontID, Point edge) {
    TOVNoteViewFactory* factory = TOVUtils::noteViewFactory();
    if (!factory || !unit) {
        return std::nullopt;
    }
    std::optional<BezierPath> flag =
        factory->bezierPathFlagForLengthFlipFontID(unit->duration(), flip, fontID);
    if (flag) {
        SVGUtils::moveBezierPathXByYBy(&*flag, edge.x + TOVNoteViewLayout::kFlagXFromPoleEdge, edge.y);
    }
    return flag;
}

void moveAll(const std::vector<TOVNoteUnitCell*>& cells, TOVNoteViewLayout::FlagsAndBeams& paths, double dy) {
    for (TOVNoteUnitCell* cell : cells) {
        cell->moveXByYBy(0, dy);
    }
    if (paths.flagPath) {
        paths.flagPath->translate(0, dy);
    }
    if (paths.beamPath) {
        paths.beamPath->translate(0, dy);
    }
}

} // namespace

std::string TOVNoteViewLayout::fontIDOf(const Note* note) {
    return note ? note->plugInFontID().toStdString() : std::string();
}

// ---- Tables
// ------------------------------------------------------------------------------------------------

unsigned TOVNoteViewLayout::numberOfFlagsFromLength(std::uint64_t length, bool tuplet) {
    if (tuplet) {
        return length == 40 ? 2 : length == 80 ? 1 : 0;
    }
    if (length == 30) {
        return 3;
    }
    return length < 120 ? 2 : length < 240 ? 1 : 0;
}

bool TOVNoteViewLayout::isPoleNecessary(const Note* note, const NoteUnit* unit) {
    if (!unit) {
        return false;
    }
    const std::uint32_t group = unit->group();
    if (group == NoteUnit::GroupNote) {
        return unit->duration() < 960 && !unit->isBeatLength();
    }
    if (isTupletGroup(group)) {
        // The outer units carry the ends of the beam or bracket, rests included.
        const bool outer = note && (unit == note->firstUnit() || unit == note->lastUnit());
        return outer || unit->kind() != NoteUnit::KindRest;
    }
    return false;
}

bool TOVNoteViewLayout::isFlagNecessary(const NoteUnit* unit) {
    if (!unit || unit->beam() != 0) {
        return false;
    }
    const std::uint32_t group = unit->group();
    if (group == NoteUnit::GroupNote) {
        return unit->duration() < 240 && !unit->isBeatLength();
    }
    if (isTupletGroup(group)) {
        return unit->duration() < 160 && unit->kind() != NoteUnit::KindRest;
    }
    return false;
}

bool TOVNoteViewLayout::needBeam(const Note* note) {
    if (!note) {
        return false;
    }
    const std::vector<NoteUnit*> units = note->unitArray();
    return std::any_of(units.begin(), units.end(), [](const NoteUnit* unit) { return unit->beam() != 0; });
}

bool TOVNoteViewLayout::needBlacket(const Note* note) {
    if (!note || !note->isTuplet()) {
        return false;
    }
    const std::vector<NoteUnit*> units = note->unitArray();
    if (units.size() < 2) {
        return true;
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        const int expected = i == 0 ? 1 : i + 1 == units.size() ? 2 : 3;
        if (units[i]->beam() != expected) {
            return true;
        }
    }
    return false;
}

double TOVNoteViewLayout::slopeBetween(Point first, Point last) {
    const double dx = last.x - first.x;
    return dx > 0 ? (last.y - first.y) / dx : 0.0;
}

// ---- Beams, digit and bracket
// -------------------------------------------------------------------------------

BezierPath TOVNoteViewLayout::createBeamPath(const std::vector<BeamStem>& stems, bool flip, double halfLeft,
                                             double halfRight) {
    BezierPath path;
    if (stems.size() < 2) {
        return path;
    }
    const double t = flip ? -kBeamThickness : kBeamThickness;
    const double step = flip ? -kBeamLevelDistance : kBeamLevelDistance;
    const double s = slopeBetween(stems.front().end, stems.back().end);
    for (std::size_t i = 0; i + 1 < stems.size(); ++i) {
        const unsigned f = stems[i].levels;
        const unsigned g = stems[i + 1].levels;
        const bool hasPrevious = i > 0;
        const unsigned p = hasPrevious ? stems[i - 1].levels : 0;
        const unsigned q = i + 2 < stems.size() ? stems[i + 2].levels : 0;
        const double x1 = stems[i].end.x + kBeamXFromPoleEdge;
        const double y1 = stems[i].end.y;
        const double x2 = stems[i + 1].end.x + kBeamXFromPoleEdge;
        const double y2 = stems[i + 1].end.y;
        for (unsigned k = 0; k < std::min(f, g); ++k) {
            const double o = step * k;
            appendQuad(path, {x1, y1 + o}, {x2, y2 + o}, {x2, y2 + o + t}, {x1, y1 + o + t});
        }
        if (f < g && (q == 0 || (f == 2 && g == 3 && q == 1))) {
            // The next stem has levels of its own that no later stem shares: stubs pointing back.
            const double w = std::min(x2 - x1, halfRight);
            for (unsigned k = f; k < g; ++k) {
                const double o = step * k;
                appendQuad(path, {x2 - w, y2 + o - w * s}, {x2, y2 + o}, {x2, y2 + o + t},
                           {x2 - w, y2 + o + t - w * s});
            }
        } else if (f > g && !(hasPrevious && (p >= f || (g == 1 && f == 3 && p == 2)))) {
            // This stem has levels that no earlier stem took: stubs pointing on.
            const double w = std::min(x2 - x1, halfLeft);
            for (unsigned k = g; k < f; ++k) {
                const double o = step * k;
                appendQuad(path, {x1, y1 + o}, {x1 + w, y1 + o + w * s}, {x1 + w, y1 + o + t + w * s},
                           {x1, y1 + o + t});
            }
        }
    }
    return path;
}

double TOVNoteViewLayout::appendTupletDigitAndBracket(BezierPath& path, BezierPath digit, Point first,
                                                      Point last, bool flip, bool bracket) {
    const double xF = first.x;
    const double yF = first.y;
    const double xL = last.x;
    const double yL = last.y;
    const double xa = xF + kBeamXFromPoleEdge;
    const double dx = xL - xa;
    const double k = dx > 0 ? (yF - yL) / dx : 0.0;
    const double mid = std::min(yF, yL) + std::abs(yF - yL) / 2.0;
    const Rect d = digit.bounds();
    const double wD = d.width();
    const double hD = d.height();
    const double dX = xa + (dx - wD) / 2.0;
    SVGUtils::moveBezierPathXByYBy(&digit, dX, flip ? mid + kDigitGap : mid - hD - kDigitGap);
    path.appendPath(digit);
    if (!bracket) {
        return dX;
    }
    const double w = kBracketWidth;
    const double r = dX + wD + kDigitGap;
    const double l = dX - kDigitGap;
    const double far = kBracketFar;
    const double hook = kBracketHookNear;
    const double line = kBracketLineNear;
    if (!flip) {
        appendQuad(path, {xa, yF - far}, {xa + w, yF - far}, {xa + w, yF - hook}, {xa, yF - hook});
        appendQuad(path, {xa + w, yF - far}, {l, yF - far - (l - xa) * k}, {l, yF - line - (l - xa) * k},
                   {xa + w, yF - line});
        appendQuad(path, {xL - w, yL - far}, {xL, yL - far}, {xL, yL - hook}, {xL - w, yL - hook});
        appendQuad(path, {r, yL - far + (xL - r) * k}, {xL, yL - far}, {xL, yL - line},
                   {r, yL - line + (xL - r) * k});
    } else {
        appendQuad(path, {xa, yF + hook}, {xa + w, yF + hook}, {xa + w, yF + far}, {xa, yF + far});
        appendQuad(path, {xa + w, yF + line}, {l, yF + line - (l - xa) * k}, {l, yF + far - (l - xa) * k},
                   {xa + w, yF + far});
        appendQuad(path, {xL - w, yL + hook}, {xL, yL + hook}, {xL, yL + far}, {xL - w, yL + far});
        appendQuad(path, {r, yL + line + (xL - r) * k}, {xL - w, yL + line}, {xL - w, yL + far},
                   {r, yL + far + (xL - r) * k});
    }
    return dX;
}

// ---- Cells
// -------------------------------------------------------------------------------------------------

double TOVNoteViewLayout::xPosForUnitOffset(const NoteUnit* unit, double offset, double pitch, bool flip) {
    double x = offset;
    if (unit && isTupletGroup(unit->group()) && unit->kind() == NoteUnit::KindRest && !flip) {
        x += kTupletRestShift * pitch;
    }
    return x;
}

void TOVNoteViewLayout::normalizeSubOrigin(const std::vector<TOVNoteUnitCell*>& cells, bool flip) {
    if (cells.empty()) {
        return;
    }
    // With stems up an inner stem is fitted to the beam afterwards, so only the cells whose height is
    // settled (the outer ones and rests) choose the common middle line.
    const TOVNoteUnitCell* reference = nullptr;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const TOVNoteUnitCell* cell = cells[i];
        const bool candidate = flip || i == 0 || i + 1 == cells.size() ||
                               (cell->unit() && cell->unit()->kind() == NoteUnit::KindRest);
        if (candidate && (!reference || cell->offsetY() > reference->offsetY())) {
            reference = cell;
        }
    }
    const double line = reference->offsetY();
    for (TOVNoteUnitCell* cell : cells) {
        const Rect f = cell->frame();
        cell->setFrame(Rect{Point{f.x(), line - cell->offsetY()}, f.size});
    }
}

void TOVNoteViewLayout::addPole(const Note* note, const std::vector<TOVNoteUnitCell*>& cells, bool flip,
                                double heightLeft, double heightRight) {
    if (cells.empty() || !note) {
        return;
    }
    if (cells.size() == 1) {
        TOVNoteUnitCell* cell = cells.front();
        cell->setPoleHeight(isPoleNecessary(note, cell->unit()) ? kDefaultPoleHeight : 0.0);
        return;
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        TOVNoteUnitCell* cell = cells[i];
        double height = kDefaultPoleHeight;
        if (!isPoleNecessary(note, cell->unit())) {
            height = 0.0;
        } else if (i == 0) {
            height = heightLeft > 0 ? heightLeft : kDefaultPoleHeight;
        } else if (i + 1 == cells.size()) {
            height = heightRight > 0 ? heightRight : kDefaultPoleHeight;
        }
        cell->setPoleHeight(height);
    }
    normalizeSubOrigin(cells, flip);
    const Point first = cells.front()->posPoleEdge();
    const Point last = cells.back()->posPoleEdge();
    const double s = slopeBetween(first, last);
    for (std::size_t i = 1; i + 1 < cells.size(); ++i) {
        const Point end = cells[i]->posPoleEdge();
        const double d = (end.y - first.y) - (end.x - first.x) * s;
        cells[i]->extendPoleLength(flip ? -d : d);
    }
}

BezierPath TOVNoteViewLayout::createBeamPathOfCells(const Note* note,
                                                    const std::vector<TOVNoteUnitCell*>& cells, bool flip) {
    const std::string fontID = fontIDOf(note);
    TOVNoteViewFactory* factory = TOVUtils::noteViewFactory();
    const double halfLeft = factory ? factory->halfFlagWidthLeftWithFontID(fontID) : 0.0;
    const double halfRight = factory ? factory->halfFlagWidthRightWithFontID(fontID) : 0.0;
    const bool tuplet = note && note->isTuplet();
    std::vector<BeamStem> stems;
    stems.reserve(cells.size());
    for (const TOVNoteUnitCell* cell : cells) {
        const std::uint64_t length = cell->unit() ? cell->unit()->duration() : 0;
        stems.push_back({cell->posPoleEdge(), numberOfFlagsFromLength(length, tuplet)});
    }
    return createBeamPath(stems, flip, halfLeft, halfRight);
}

TOVNoteViewLayout::FlagsAndBeams
TOVNoteViewLayout::addFlag(const Note* note, const std::vector<TOVNoteUnitCell*>& cells, bool flip) {
    FlagsAndBeams result;
    if (!note || cells.empty()) {
        return result;
    }
    const std::string fontID = fontIDOf(note);
    if (cells.size() == 1) {
        const TOVNoteUnitCell* cell = cells.front();
        if (isFlagNecessary(cell->unit())) {
            result.flagPath = flagOf(cell->unit(), flip, fontID, cell->posPoleEdge());
        }
        return result;
    }
    const bool tuplet = note->isTuplet();
    auto beamsOf = [&](const std::vector<TOVNoteUnitCell*>& run) {
        return createBeamPathOfCells(note, run, flip);
    };
    if (note->isBeam()) {
        result.beamPath = beamsOf(cells);
        return result;
    }
    if (!tuplet) {
        // A group of neither kind has nothing to join.
        return result;
    }
    for (const TOVNoteUnitCell* cell : cells) {
        if (isFlagNecessary(cell->unit())) {
            if (std::optional<BezierPath> flag = flagOf(cell->unit(), flip, fontID, cell->posPoleEdge())) {
                if (!result.flagPath) {
                    result.flagPath = BezierPath();
                }
                result.flagPath->appendPath(*flag);
            }
        }
    }
    result.beamPath = BezierPath();
    TOVObjectViewFactory* digits = TOVUtils::objectViewFactory();
    std::optional<BezierPath> digit =
        digits ? digits->bezierPathFromNumberDigitsCircleFontID(note->isTriplet() ? 3 : 6, false, fontID)
               : std::nullopt;
    appendTupletDigitAndBracket(*result.beamPath, digit.value_or(BezierPath()), cells.front()->posPoleEdge(),
                                cells.back()->posPoleEdge(), flip, needBlacket(note));
    if (needBeam(note)) {
        std::optional<std::vector<TOVNoteUnitCell*>> run;
        for (TOVNoteUnitCell* cell : cells) {
            const NoteUnit* unit = cell->unit();
            if (!unit || unit->kind() == NoteUnit::KindRest) {
                continue;
            }
            switch (unit->beam()) {
            case 1:
                run.emplace(1, cell);
                break;
            case 3:
                if (run) {
                    run->push_back(cell);
                }
                break;
            case 2:
                if (run) {
                    run->push_back(cell);
                    result.beamPath->appendPath(beamsOf(*run));
                    run.reset();
                }
                break;
            default:
                break;
            }
        }
    }
    return result;
}

// ---- Frame
// -------------------------------------------------------------------------------------------------

TOVNoteViewLayout::Fitting TOVNoteViewLayout::fitFrame(const Note* note,
                                                       const std::vector<TOVNoteUnitCell*>& cells, bool flip,
                                                       FlagsAndBeams& paths, double originX,
                                                       double posYLevel0) {
    Fitting fitting;
    if (cells.empty()) {
        return fitting;
    }
    const TOVNoteUnitCell* top = cells.front();
    const TOVNoteUnitCell* bottom = cells.front();
    for (const TOVNoteUnitCell* cell : cells) {
        if (cell->frame().y() < top->frame().y()) {
            top = cell;
        }
        if (cell->frame().maxY() > bottom->frame().maxY()) {
            bottom = cell;
        }
    }
    double width = cells.back()->frame().maxX();
    double height = bottom->frame().maxY() - top->frame().y();
    double originY = top->frame().y() - top->offsetY() + posYLevel0;
    for (std::optional<BezierPath>* path : {&paths.flagPath, &paths.beamPath}) {
        if (!*path || (*path)->isEmpty()) {
            continue;
        }
        const Rect b = (*path)->bounds();
        width = std::max(width, b.maxX());
        height = std::max(height, b.maxY());
        if (b.y() < 0) {
            // Whatever reaches above the cells pushes them down and the frame up.
            moveAll(cells, paths, -b.y());
            originY += b.y();
            height -= b.y();
        }
    }
    // The frame always reaches the middle line, so that notes far above or below it still line up.
    if (posYLevel0 > originY + height) {
        height = posYLevel0 - originY;
    }
    if (originY > posYLevel0) {
        const double d = originY - posYLevel0;
        moveAll(cells, paths, d);
        height += d;
        originY = posYLevel0;
    }
    fitting.frame = Rect{originX, originY, width, height};
    if (!paths.flagPath && !paths.beamPath) {
        if (note && isPoleNecessary(note, note->firstUnit())) {
            const double e = cells.front()->posPoleEdge().y;
            fitting.flipHandleRect = Rect{0, flip ? e - kFlipStripHeight : e, width, kFlipStripHeight};
        } else {
            fitting.flipHandleRect = Rect();
        }
    }
    return fitting;
}

// ---- The note view's layout
// ------------------------------------------------------------------------------------------
// The view's own layout operations run the computations above on its cells, its note and its host.

namespace {

std::vector<TOVNoteUnitCell*> cellsOf(const TOVNoteView& view) {
    std::vector<TOVNoteUnitCell*> cells;
    cells.reserve(view.unitCellArray().size());
    for (const auto& cell : view.unitCellArray()) {
        cells.push_back(cell.get());
    }
    return cells;
}

// The bar's x per tick; a bar without a length has no scale and its notes stand at the notes area's start.
double pitchOf(const TOVNoteView& view, TOVNoteViewDelegate* host) {
    const Note* note = view.note();
    const Bar* bar = note ? note->bar() : nullptr;
    const std::uint64_t length = bar ? bar->totalRhythmLength() : 0;
    if (!host || length == 0) {
        return 0.0;
    }
    return host->noteViewInquireRectangleNotesArea(const_cast<TOVNoteView*>(&view)).width() /
           static_cast<double>(length);
}

} // namespace

double TOVNoteView::xPosForUnit(const NoteUnit* unit) const {
    Note* n = note();
    if (!unit || !n) {
        return 0.0;
    }
    auto* self = const_cast<TOVNoteView*>(this);
    TOVNoteViewDelegate* host = noteViewDelegate();
    const double pitch = pitchOf(*this, host);
    double x = 0.0;
    const std::optional<double> own =
        host ? host->noteViewInquirexPosForUnit(self, const_cast<NoteUnit*>(unit)) : std::nullopt;
    if (own) {
        NoteUnit* first = n->firstUnit();
        if (unit != first) {
            x = *own - host->noteViewInquirexPosForUnit(self, first).value_or(0.0);
        }
    } else {
        x = (static_cast<double>(unit->timing()) - static_cast<double>(n->timing())) * pitch;
    }
    return TOVNoteViewLayout::xPosForUnitOffset(unit, x, pitch, isNoteFlip());
}

bool TOVNoteView::isPoleNecessary(const NoteUnit* unit) const {
    return TOVNoteViewLayout::isPoleNecessary(note(), unit);
}

bool TOVNoteView::isFlagNecessary(const NoteUnit* unit) const {
    return TOVNoteViewLayout::isFlagNecessary(unit);
}

unsigned TOVNoteView::numberOfFlagsFromLength(std::uint64_t length) const {
    return TOVNoteViewLayout::numberOfFlagsFromLength(length, note() && note()->isTuplet());
}

bool TOVNoteView::needBeam() const {
    return TOVNoteViewLayout::needBeam(note());
}

bool TOVNoteView::needBlacket() const {
    return TOVNoteViewLayout::needBlacket(note());
}

void TOVNoteView::addPole() {
    TOVNoteViewLayout::addPole(note(), cellsOf(*this), isNoteFlip(), heightLeft(), heightRight());
}

void TOVNoteView::normalizeSubOrigin() {
    TOVNoteViewLayout::normalizeSubOrigin(cellsOf(*this), isNoteFlip());
}

BezierPath TOVNoteView::createBeamPath(const std::vector<TOVNoteUnitCell*>& cells) const {
    return TOVNoteViewLayout::createBeamPathOfCells(note(), cells, isNoteFlip());
}

void TOVNoteView::addFlag() {
    TOVNoteViewLayout::FlagsAndBeams paths = TOVNoteViewLayout::addFlag(note(), cellsOf(*this), isNoteFlip());
    setFlagPath(std::move(paths.flagPath));
    setBeamPath(std::move(paths.beamPath));
}

void TOVNoteView::updateFrame() {
    Note* n = note();
    TOVNoteViewDelegate* host = noteViewDelegate();
    if (unitCellArray().empty() || !n || !host) {
        return;
    }
    const TOVNoteUnitCell& first = *unitCellArray().front();
    double x = 0.0;
    if (const std::optional<double> own = host->noteViewInquirexPosForUnit(this, n->firstUnit())) {
        x = *own;
    } else {
        x = host->noteViewInquireRectangleNotesArea(this).x() +
            static_cast<double>(n->timing()) * pitchOf(*this, host) + first.frame().x() - first.offsetX();
    }
    TOVNoteViewLayout::FlagsAndBeams paths{flagPath(), beamPath()};
    const TOVNoteViewLayout::Fitting fitting = TOVNoteViewLayout::fitFrame(
        n, cellsOf(*this), isNoteFlip(), paths, x, host->noteViewInquirePosYLevel0(this));
    setFlagPath(std::move(paths.flagPath));
    setBeamPath(std::move(paths.beamPath));
    Point origin = fitting.frame.origin;
    platform::View* bar = barView();
    if (bar && superview()) {
        origin = bar->convertPointToView(origin, superview());
    }
    if (fitting.flipHandleRect) {
        setFlipHandleRect(*fitting.flipHandleRect);
    }
    setFrame(Rect{origin, fitting.frame.size});
}
