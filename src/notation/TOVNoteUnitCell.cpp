#include "notation/TOVNoteUnitCell.h"

#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteRestCell.h"
#include "notation/TOVNoteSlashCell.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteView.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPoleWidth = 0.6;

platform::Rect boundsOf(const std::optional<platform::BezierPath>& path) {
    return path ? path->bounds() : platform::Rect();
}

double headWidthOf(const TOVNoteToneCell& cell) {
    return boundsOf(cell.tonePath()).width();
}

} // namespace

TOVNoteUnitCell::TOVNoteUnitCell(NoteUnit* unit, TOVNoteView* view) : unit_(unit) {
    setNoteView(view);
    updateCell();
}

TOVNoteUnitCell::~TOVNoteUnitCell() = default;

bool TOVNoteUnitCell::isStemDown() const {
    return noteView() && noteView()->isNoteFlip();
}

int TOVNoteUnitCell::kind() const {
    return unit_ ? unit_->kind() : -1;
}

// ---- Building
// ----------------------------------------------------------------------------------------------

void TOVNoteUnitCell::updateCell() {
    clearOldCells();
    switch (kind()) {
    case NoteUnit::KindMelody:
    case NoteUnit::KindSlash: {
        const bool slash = kind() == NoteUnit::KindSlash;
        for (NoteTone* tone : unit_->toneArray()) {
            std::unique_ptr<TOVNoteToneCell> cell =
                slash
                    ? TOVNoteToneCell::initWithNoteToneInViewInUnit<TOVNoteSlashCell>(tone, noteView(), this)
                    : TOVNoteToneCell::initWithNoteToneInViewInUnit<TOVNoteToneCell>(tone, noteView(), this);
            // The head's centre at its level (y 0 being the middle line for now); every slash of a unit
            // sits where level -2 would.
            const double y = slash ? TOVStaffSpace - cell->offsetY()
                                   : -(static_cast<double>(tone->level()) * TOVLevelPitch + cell->offsetY());
            cell->setFrame(platform::Rect{platform::Point{1.0, y}, cell->frame().size});
            toneCellArray_.push_back(std::move(cell));
        }
        normalizeSubOriginForMeloSlash();
        break;
    }
    case NoteUnit::KindRest:
        restCell_ = TOVNoteToneCell::initWithNoteToneInViewInUnit<TOVNoteRestCell>(nullptr, noteView(), this);
        normalizeSubOriginForRest();
        break;
    default:
        break;
    }
}

void TOVNoteUnitCell::clearOldCells() {
    for (const auto& cell : toneCellArray_) {
        cell->clearOldCells();
    }
    toneCellArray_.clear();
    selectedCellArray_.clear();
    if (restCell_) {
        restCell_->clearOldCells();
        restCell_.reset();
    }
    polePath_.reset();
}

// ---- Normalising
// -------------------------------------------------------------------------------------------

void TOVNoteUnitCell::normalizeSubOriginForMeloSlash() {
    TOVNoteToneCell* top = topToneCell();
    TOVNoteToneCell* left = leftToneCell();
    if (!top || !left) {
        return;
    }
    const platform::Rect pole = boundsOf(polePath_);
    double minX = left->frame().x() - 1.0;
    double minY = top->frame().y();
    if (polePath_) {
        minX = std::min(minX, pole.x());
        minY = std::min(minY, pole.y());
    }
    const bool down = isStemDown();
    bool displaced = false;
    // The tones are sorted once for the whole unit, not once per head.
    const std::unordered_set<const NoteTone*> opposite = oppositePoleTones();
    for (const auto& cell : toneCellArray_) {
        double x = minX + 1.0;
        if (opposite.count(cell->tone()) != 0) {
            const double shift = headWidthOf(*cell) - 1.0;
            x += down ? -shift : shift;
            displaced = true;
        }
        cell->setFrame(platform::Rect{platform::Point{x, cell->frame().y() - minY}, cell->frame().size});
    }
    if (down && displaced) {
        // With the stem down the displaced heads take the left column and the others move right of it.
        for (const auto& cell : toneCellArray_) {
            cell->moveXByYBy(headWidthOf(*cell) - 1.0, 0);
        }
    }
    left = leftToneCell();
    if (polePath_) {
        polePath_->translate(0, -minY);
    }
    if (displaced) {
        for (const auto& cell : toneCellArray_) {
            cell->updateCirclePositionForDoubleWidth(cell->frame().x() <= left->frame().x());
        }
    }
    setOffsetX(left->frame().x() - minX);
    setOffsetY(offsetY() - minY);
    double width = 0;
    double height = 0;
    for (const auto& cell : toneCellArray_) {
        width = std::max(width, cell->frame().maxX() - minX);
        height = std::max(height, cell->frame().maxY());
    }
    if (polePath_) {
        const platform::Rect moved = polePath_->bounds();
        width = std::max(width, moved.maxX() - minX);
        height = std::max(height, moved.maxY());
    }
    setFrame(platform::Rect{minX, 0, width + 1.0, height});
}

void TOVNoteUnitCell::normalizeSubOriginForRest() {
    if (!restCell_) {
        return;
    }
    setOffsetY(restCell_->offsetY());
    const platform::Rect pole = boundsOf(polePath_);
    double minX = restCell_->frame().x();
    double minY = restCell_->frame().y();
    if (polePath_) {
        minX = std::min(minX, pole.x());
        minY = std::min(minY, pole.y());
    }
    const platform::Rect rest = restCell_->frame();
    restCell_->setFrame(platform::Rect{rest.x(), rest.y() - minY, rest.width(), rest.height()});
    if (polePath_) {
        polePath_->translate(0, -minY);
    }
    setOffsetX(restCell_->frame().x() - minX);
    setOffsetY(restCell_->offsetY() - minY);
    double width = std::max(0.0, restCell_->frame().maxX() - minX);
    double height = std::max(0.0, restCell_->frame().maxY());
    if (polePath_) {
        const platform::Rect moved = polePath_->bounds();
        width = std::max(width, moved.maxX() - minX);
        height = std::max(height, moved.maxY());
    }
    setFrame(platform::Rect{minX, 0, width + 1.0, height});
}

bool TOVNoteUnitCell::isToneCellOppositePole(const NoteTone* tone) const {
    return oppositePoleTones().count(tone) != 0;
}

std::unordered_set<const NoteTone*> TOVNoteUnitCell::oppositePoleTones() const {
    std::unordered_set<const NoteTone*> opposite;
    if (!unit_) {
        return opposite;
    }
    // From the stem's base outwards: a head a step from the one before it goes to the other side of the
    // stem, unless that one went there already.
    const std::vector<NoteTone*> tones = isStemDown() ? unit_->toneArray() : unit_->toneArrayAscending();
    if (tones.empty()) {
        return opposite;
    }
    std::int64_t previous = tones.front()->level();
    bool flag = false;
    for (std::size_t i = 1; i < tones.size(); ++i) {
        const std::int64_t d = tones[i]->level() - previous;
        if (d != 0) {
            flag = std::llabs(d) == 1 ? !flag : false;
            previous = tones[i]->level();
        }
        if (flag) {
            opposite.insert(tones[i]);
        }
    }
    return opposite;
}

// ---- The stem
// ----------------------------------------------------------------------------------------------

void TOVNoteUnitCell::setPoleHeight(double height) {
    if (height == poleHeight_) {
        return;
    }
    poleHeight_ = height;
    addPoleWithLength(height > 0 ? static_cast<std::uint64_t>(height) : 0);
}

double TOVNoteUnitCell::xPosPole() const {
    switch (kind()) {
    case NoteUnit::KindMelody:
    case NoteUnit::KindSlash: {
        const TOVNoteToneCell* edge = edgeToneCell();
        if (!edge) {
            return 0.0;
        }
        return isStemDown() ? edge->frame().x() + 0.3
                            : edge->frame().x() + headWidthOf(*edge) - 0.3 - kPoleWidth;
    }
    case NoteUnit::KindRest:
        return restCell_ ? offsetX() + restCell_->frame().x() + restCell_->frame().width() * 0.5 : 0.0;
    default:
        return 0.0;
    }
}

void TOVNoteUnitCell::addPoleWithLength(std::uint64_t length) {
    if (length == 0 || (toneCellArray_.empty() && !restCell_)) {
        return;
    }
    const double L = static_cast<double>(length);
    const double x = xPosPole();
    const bool down = isStemDown();
    double y = 0;
    double height = 0;
    if (restCell_) {
        const double a = restCell_->offsetY();
        const platform::Rect r = restCell_->frame();
        y = down ? r.y() + a : r.y() - L;
        height = down ? L + r.height() - a : L + a;
    } else {
        const TOVNoteToneCell* first = topToneCell();
        const TOVNoteToneCell* last = bottomToneCell();
        const double k = last->frame().height() - last->offsetY();
        height = (last->frame().y() - first->frame().y()) + L + k;
        y = down ? first->frame().y() + first->offsetY() : first->frame().y() + first->offsetY() - L - k;
    }
    polePath_ = platform::BezierPath::withRect(platform::Rect{x, y, kPoleWidth, height});
    if (restCell_) {
        normalizeSubOriginForRest();
    } else {
        normalizeSubOriginForMeloSlash();
    }
}

void TOVNoteUnitCell::extendPoleLength(double length) {
    if (!polePath_) {
        return;
    }
    platform::Rect pole = polePath_->bounds();
    platform::Rect f = frame();
    if (isStemDown()) {
        pole.size.height += length;
        f.size.height += length;
        setFrame(f);
    } else {
        pole.origin.y -= length;
        pole.size.height += length;
        f.origin.y -= length;
        f.size.height += length;
        setFrame(f);
        // Only the frame and the stem grow upwards; heads and rest stay where they are.
        moveSubCellsXByYBy(0, length);
    }
    polePath_ = platform::BezierPath::withRect(pole);
}

platform::Point TOVNoteUnitCell::posPoleEdge() const {
    const int k = kind();
    if (!polePath_ || (k != NoteUnit::KindMelody && k != NoteUnit::KindSlash && k != NoteUnit::KindRest)) {
        return {0, 0};
    }
    const platform::Rect b = polePath_->bounds();
    return isStemDown() ? platform::Point{b.maxX(), b.maxY()} : platform::Point{b.maxX(), b.y()};
}

bool TOVNoteUnitCell::needToDrawPolePath() const {
    if (kind() == NoteUnit::KindRest) {
        return false;
    }
    // A triplet of whole-note value has no stem.
    return !(unit_ && unit_->group() == NoteUnit::GroupTriplet && unit_->duration() == 640);
}

// ---- Drawing
// -----------------------------------------------------------------------------------------------

void TOVNoteUnitCell::drawSupplementalLine(platform::GraphicsContext& ctx) const {
    const TOVNoteToneCell* top = topToneCell();
    const TOVNoteToneCell* bottom = bottomToneCell();
    if (!top || !bottom || !top->tone() || !bottom->tone()) {
        return;
    }
    platform::BezierPath lines;
    const platform::Rect f = frame();
    const std::int64_t high = top->tone()->level();
    if (high >= 6) {
        const std::int64_t n = (high - 6) / 2 + 1;
        double y = top->frame().y() + top->offsetY() + (high % 2 != 0 ? TOVLevelPitch : 0.0);
        for (std::int64_t i = 0; i < n; ++i, y += TOVStaffSpace) {
            lines.appendRect(platform::Rect{f.x(), y, f.width(), 0.2});
        }
    }
    const std::int64_t low = bottom->tone()->level();
    if (low <= -6) {
        const std::int64_t n = (-6 - low) / 2 + 1;
        double y = bottom->frame().y() + bottom->offsetY() - (low % 2 != 0 ? TOVLevelPitch : 0.0);
        for (std::int64_t i = 0; i < n; ++i, y -= TOVStaffSpace) {
            lines.appendRect(platform::Rect{f.x(), y, f.width(), 0.2});
        }
    }
    if (lines.isEmpty()) {
        return;
    }
    ctx.saveGraphicsState();
    ctx.setFillColor(platform::Color::black());
    ctx.fillPath(lines);
    ctx.restoreGraphicsState();
}

void TOVNoteUnitCell::drawWithNormalColor(const platform::Color& color, platform::GraphicsContext& ctx) {
    drawSupplementalLine(ctx);
    if (polePath_ && needToDrawPolePath()) {
        ctx.saveGraphicsState();
        ctx.setFillColor(selected()     ? TOVUtils::noteCellSelectedColor()
                         : dropTarget() ? TOVUtils::noteCellDropTargetColor()
                                        : color);
        ctx.fillPath(*polePath_);
        ctx.restoreGraphicsState();
    }
    if (!toneCellArray_.empty()) {
        for (const auto& cell : toneCellArray_) {
            cell->drawWithNormalColor(color, ctx);
        }
    } else if (restCell_) {
        restCell_->drawWithNormalColor(color, ctx);
    }
}

void TOVNoteUnitCell::moveSubCellsXByYBy(double dx, double dy) {
    for (const auto& cell : toneCellArray_) {
        cell->moveXByYBy(dx, dy);
    }
    if (polePath_) {
        polePath_->translate(dx, dy);
    }
    if (restCell_) {
        restCell_->moveXByYBy(dx, dy);
    }
}

TOVNoteCellBase* TOVNoteUnitCell::hitCellFromPos(platform::Point point) {
    for (const auto& cell : toneCellArray_) {
        if (cell->hitTestInFrame(point)) {
            return cell->hitCellFromPos(point);
        }
    }
    return this;
}

// ---- Selection
// ---------------------------------------------------------------------------------------------

void TOVNoteUnitCell::selectToneCell(TOVNoteToneCell* cell) {
    if (!cell || cell->selected()) {
        return;
    }
    cell->setSelected(true);
    selectedCellArray_.push_back(cell);
}

void TOVNoteUnitCell::unselectToneCell(TOVNoteToneCell* cell) {
    if (cell && cell->selected()) {
        cell->setSelected(false);
        selectedCellArray_.erase(std::remove(selectedCellArray_.begin(), selectedCellArray_.end(), cell),
                                 selectedCellArray_.end());
    }
    setSelected(false);
}

void TOVNoteUnitCell::selectAllCells() {
    if (toneCellArray_.empty()) {
        if (restCell_) {
            restCell_->setSelected(true);
        }
    } else {
        for (const auto& cell : toneCellArray_) {
            selectToneCell(cell.get());
        }
    }
    setSelected(true);
}

void TOVNoteUnitCell::unselectAllCells() {
    if (toneCellArray_.empty()) {
        if (restCell_) {
            restCell_->setSelected(false);
        }
    } else {
        for (const auto& cell : toneCellArray_) {
            unselectToneCell(cell.get());
        }
    }
    setSelected(false);
}

bool TOVNoteUnitCell::areAllTonesSelected() const {
    if (toneCellArray_.empty()) {
        return restCell_ && restCell_->selected();
    }
    return std::all_of(toneCellArray_.begin(), toneCellArray_.end(),
                       [](const auto& cell) { return cell->selected(); });
}

// ---- Lookups
// -----------------------------------------------------------------------------------------------

TOVNoteToneCell* TOVNoteUnitCell::topToneCell() const {
    return toneCellArray_.empty() ? nullptr : toneCellArray_.front().get();
}

TOVNoteToneCell* TOVNoteUnitCell::bottomToneCell() const {
    return toneCellArray_.empty() ? nullptr : toneCellArray_.back().get();
}

TOVNoteToneCell* TOVNoteUnitCell::edgeToneCell() const {
    return isStemDown() ? topToneCell() : bottomToneCell();
}

TOVNoteToneCell* TOVNoteUnitCell::leftToneCell() const {
    TOVNoteToneCell* found = nullptr;
    for (const auto& cell : toneCellArray_) {
        if (!found || cell->frame().x() < found->frame().x()) {
            found = cell.get();
        }
    }
    return found;
}

TOVNoteToneCell* TOVNoteUnitCell::rightToneCell() const {
    TOVNoteToneCell* found = nullptr;
    for (const auto& cell : toneCellArray_) {
        if (!found || cell->frame().x() > found->frame().x()) {
            found = cell.get();
        }
    }
    return found;
}

TOVNoteToneCell* TOVNoteUnitCell::toneCellFromLevel(std::int64_t level) const {
    for (const auto& cell : toneCellArray_) {
        if (cell->tone() && cell->tone()->level() == level) {
            return cell.get();
        }
    }
    return nullptr;
}

TOVNoteToneCell* TOVNoteUnitCell::toneCellOfData(const NoteTone* tone) const {
    for (const auto& cell : toneCellArray_) {
        if (tone && cell->tone() == tone) {
            return cell.get();
        }
    }
    return nullptr;
}

std::int64_t TOVNoteUnitCell::firstLevel() const {
    if (!unit_) {
        return 0;
    }
    const auto tones = unit_->toneArray();
    return tones.empty() ? 0 : tones.front()->level();
}

void TOVNoteUnitCell::updateTie() {
    for (const auto& cell : toneCellArray_) {
        cell->updateTie();
    }
}

void TOVNoteUnitCell::updateSymbolViews() {
    for (const auto& cell : toneCellArray_) {
        cell->updateSymbolViews();
    }
}

TOVManagedObject* TOVNoteUnitCell::coreData() const {
    return unit_;
}
