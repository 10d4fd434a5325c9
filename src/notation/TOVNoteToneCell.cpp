#include "notation/TOVNoteToneCell.h"

#include "glyphs/TOVObjectViewOwner.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "model/Tie.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewDelegate.h"
#include "notation/TOVNoteViewFactory.h"
#include "notation/TOVSlurView.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>

namespace {

// The glyph factory of the application; none until it is handed in at start-up.
TOVNoteViewFactory* factory() {
    return TOVUtils::noteViewFactory();
}

bool isArticulationType(int type) {
    return type >= TOVSymbolTenuto && type <= TOVSymbolSlur;
}

} // namespace

TOVNoteToneCell::TOVNoteToneCell(NoteTone* tone, TOVNoteView* view, TOVNoteUnitCell* unitCell)
    : tone_(tone), unitCell_(unitCell) {
    setNoteView(view);
}

TOVNoteToneCell::~TOVNoteToneCell() = default;

platform::Rect TOVNoteToneCell::boundsOf(const std::optional<platform::BezierPath>& path) {
    return path ? path->bounds() : platform::Rect();
}

std::string TOVNoteToneCell::fontIDOfUnit(const NoteUnit* unit) {
    const Note* note = unit ? unit->note() : nullptr;
    return note ? note->plugInFontID().toStdString() : std::string();
}

platform::Color TOVNoteToneCell::colorForState(const platform::Color& normal) const {
    if (selected()) {
        return TOVUtils::noteCellSelectedColor();
    }
    if (dropTarget()) {
        return TOVUtils::noteCellDropTargetColor();
    }
    return normal;
}

// ---- Head and dots
// -----------------------------------------------------------------------------------------

void TOVNoteToneCell::updateCell() {
    NoteUnit* unit = tone_ ? tone_->unit() : nullptr;
    const std::uint64_t length = unit ? unit->duration() : 0;
    const std::optional<platform::BezierPath> glyph =
        factory() ? factory()->bezierPathFromUnitLengthFontID(unit, length, fontIDOfUnit(unit))
                  : std::nullopt;
    const platform::Rect glyphBounds = boundsOf(glyph);
    switch (tone_ ? tone_->head() : 0) {
    case 0:
    case 2:
        tonePath_ = glyph;
        break;
    case 1: {
        // A cross over the head's box, stroked.
        platform::BezierPath cross;
        cross.moveTo({0, 0});
        cross.lineTo({glyphBounds.width(), glyphBounds.height()});
        cross.moveTo({glyphBounds.width(), 0});
        cross.lineTo({0, glyphBounds.height()});
        tonePath_ = cross;
        break;
    }
    default:
        break;
    }
    circlePath_ = factory() ? factory()->bezierPathDotCircleOfLength(length) : std::nullopt;
    if (circlePath_) {
        const platform::Rect head = boundsOf(tonePath_);
        const platform::Rect dots = boundsOf(circlePath_);
        const double dx = head.maxX() + 2.0;
        double dy = (head.height() - dots.height()) * 0.5;
        const std::int64_t level = tone_ ? tone_->level() : 0;
        if (level % 2 == 0) {
            // A head on a line has its dot in the space above, unless the chord fills that space: then
            // the dot goes to the space below.
            bool spaceAboveTaken = false;
            if (unit) {
                for (const NoteTone* other : unit->tones()) {
                    if (other != tone_ && other->level() == level + 1) {
                        spaceAboveTaken = true;
                    }
                }
            }
            dy += spaceAboveTaken ? TOVLevelPitch : -TOVLevelPitch;
        }
        circlePath_->translate(dx, dy);
    }
    normalizeSubOrigin();
}

void TOVNoteToneCell::normalizeSubOrigin() {
    const platform::Rect head = boundsOf(tonePath_);
    const platform::Rect dots = boundsOf(circlePath_);
    const double top = std::min(head.y(), dots.y());
    if (tonePath_) {
        tonePath_->translate(0, -top);
    }
    if (circlePath_) {
        circlePath_->translate(0, -top);
    }
    const platform::Rect moved = boundsOf(tonePath_);
    setOffsetY(moved.y() + moved.height() * 0.5);
    updateFrame();
}

void TOVNoteToneCell::updateFrame() {
    const platform::Rect head = boundsOf(tonePath_);
    const platform::Rect dots = boundsOf(circlePath_);
    const double width = std::max({0.0, head.maxX(), dots.maxX()});
    const double height = std::max({0.0, head.maxY(), dots.maxY()});
    setFrame(platform::Rect{0.0, 0.0, width, height});
}

void TOVNoteToneCell::moveSubCellsXByYBy(double dx, double dy) {
    if (tonePath_) {
        tonePath_->translate(dx, dy);
    }
    if (circlePath_) {
        circlePath_->translate(dx, dy);
    }
}

TOVNoteCellBase* TOVNoteToneCell::hitCellFromPos(platform::Point point) {
    return hitTestInFrame(point) ? this : nullptr;
}

TOVManagedObject* TOVNoteToneCell::coreData() const {
    return tone_;
}

void TOVNoteToneCell::drawWithNormalColor(const platform::Color& color, platform::GraphicsContext& ctx) {
    ctx.saveGraphicsState();
    ctx.setColor(colorForState(color));
    switch (tone_ ? tone_->head() : 0) {
    case 0:
        if (tonePath_) {
            ctx.fillPath(*tonePath_);
        }
        break;
    case 1:
        if (tonePath_) {
            platform::BezierPath cross = *tonePath_;
            cross.setLineWidth(1.0);
            ctx.strokePath(cross);
        }
        break;
    case 2:
        // No head: a selected cell still shows where it is.
        if (selected()) {
            ctx.fillRect(frame());
        }
        break;
    default:
        break;
    }
    if (circlePath_) {
        ctx.fillPath(*circlePath_);
    }
    ctx.restoreGraphicsState();
}

void TOVNoteToneCell::updateCirclePositionForDoubleWidth(bool doubleWidth) {
    if (!circlePath_) {
        return;
    }
    const platform::Rect head = boundsOf(tonePath_);
    const double target = doubleWidth ? head.x() + 2 * head.width() + 1.0 : head.x() + head.width() + 2.0;
    const double dx = target - circlePath_->bounds().x();
    if (dx == 0.0) {
        return;
    }
    circlePath_->translate(dx, 0);
    platform::Rect grown = frame();
    grown.size.width += dx;
    setFrame(grown);
}

// ---- Coordinates and staff
// ---------------------------------------------------------------------------------

platform::Point TOVNoteToneCell::convertPointToNoteView(platform::Point p) const {
    return {p.x + offsetX() + frame().x(), p.y + offsetY() + frame().y()};
}

platform::Point TOVNoteToneCell::convertPointFromNoteView(platform::Point p) const {
    return {p.x - (offsetX() + frame().x()), p.y - (offsetY() + frame().y())};
}

platform::Point TOVNoteToneCell::convertPointToSuperView(platform::Point p) const {
    const platform::Point inNoteView = convertPointToNoteView(p);
    const TOVNoteView* view = noteView();
    return view ? view->convertPointToView(inNoteView, view->superview()) : inNoteView;
}

platform::Point TOVNoteToneCell::convertPointFromSuperView(platform::Point p) const {
    const TOVNoteView* view = noteView();
    return convertPointFromNoteView(view ? view->convertPointFromView(p, view->superview()) : p);
}

double TOVNoteToneCell::fiveLinesPitch() const {
    TOVNoteView* view = noteView();
    TOVNoteViewDelegate* delegate = view ? view->noteViewDelegate() : nullptr;
    return delegate ? delegate->noteViewInquire5LinesPitch(view) : 0.0;
}

double TOVNoteToneCell::posY5LinesTop() const {
    TOVNoteView* view = noteView();
    TOVNoteViewDelegate* delegate = view ? view->noteViewDelegate() : nullptr;
    return delegate ? delegate->noteViewInquirePosYLevel0(view) - 2.0 * fiveLinesPitch() : 0.0;
}

platform::View* TOVNoteToneCell::barView() const {
    TOVNoteView* view = noteView();
    TOVNoteViewDelegate* delegate = view ? view->noteViewDelegate() : nullptr;
    return delegate ? delegate->noteViewInquireBarView(view) : nullptr;
}

// ---- Attached views
// ----------------------------------------------------------------------------------------

platform::Point TOVNoteToneCell::defaultPosOfAccidentalView(int type) const {
    switch (type) {
    case TOVSymbolSharp:
        return {-4.8, -6.2};
    case TOVSymbolDoubleSharp:
        return {-5.5, -2.2};
    case TOVSymbolFlat:
        return {-5.0, -7.8};
    case TOVSymbolDoubleFlat:
        return {-9.0, -7.8};
    case TOVSymbolNatural:
        return {-4.2, -6.8};
    default:
        return {0.0, 0.0};
    }
}

platform::Point TOVNoteToneCell::defaultPosOfArticulationView(int type) const {
    if (!isArticulationType(type)) {
        return {0.0, 0.0};
    }
    NoteUnit* unit = tone_ ? tone_->unit() : nullptr;
    const std::shared_ptr<TOVObjectView> glyph =
        factory() ? factory()->articulationViewWithSymbolTypeFontID(type, fontIDOfUnit(unit)) : nullptr;
    const platform::Rect g = glyph ? boundsOf(glyph->bezierPath()) : platform::Rect();
    const bool flipped = noteView() && noteView()->isNoteFlip();
    switch (type) {
    case TOVSymbolTenuto:
    case TOVSymbolStaccato:
        // Centred 5.9 from the head's centre, on the side away from the stem.
        return {(frame().width() - g.width()) * 0.5,
                flipped ? -(g.height() * 0.5 + TOVStaffSpace) : TOVStaffSpace - g.height() * 0.5};
    case TOVSymbolFermata:
    case TOVSymbolAccento:
    case TOVSymbolMarcato: {
        // Above the staff whatever the tone's level: the glyph's bottom 4.0 above the top line.
        platform::Point p{0.0, posY5LinesTop() - g.height() - 4.0};
        const TOVNoteView* view = noteView();
        TOVObjectViewOwner* owner = view ? view->barViewBelongTo() : nullptr;
        if (view && owner) {
            p = view->convertPointFromView(p, owner->ownerView());
        }
        return {(boundsOf(tonePath_).width() - g.width()) * 0.5, p.y - (frame().y() + offsetY())};
    }
    case TOVSymbolArpeggio:
        return {frame().width() + 3.0, -g.height() * 0.5};
    default: // the slur
        return {2.0, flipped ? -12.0 : 5.0};
    }
}

void TOVNoteToneCell::attachSymbolView(TOVObjectView& view, bool select) {
    TOVNoteView* note = noteView();
    view.setFrameOrigin(convertPointToNoteView(view.frame().origin));
    view.setToneCellBelongTo(this);
    view.setBarViewBelongTo(note ? note->barViewBelongTo() : nullptr);
    platform::View* superview = note ? note->superview() : nullptr;
    if (superview) {
        view.setFrameOrigin(note->convertPointToView(view.frame().origin, superview));
        superview->addSubview(view.shared_from_this());
    }
    if (select) {
        view.makeSelfSelectedAndClearOthers(true);
    }
}

void TOVNoteToneCell::createAccidentalViewOfDataSelect(int type, SymbolAccidental* data, bool select) {
    if (type == 0) {
        return;
    }
    NoteUnit* unit = tone_ ? tone_->unit() : nullptr;
    std::shared_ptr<TOVObjectView> view =
        factory() ? factory()->accidentalViewWithSymbolTypeFontID(type, fontIDOfUnit(unit)) : nullptr;
    if (!view) {
        return;
    }
    if (data) {
        data->setFrame(platform::Rect{data->frame().origin, view->defaultViewSize()});
    }
    // No tone cell is attached yet, so the view takes the stored origin as it stands.
    view->setSymbol(data);
    accidentalView_ = view;
    attachSymbolView(*view, select);
}

void TOVNoteToneCell::createArticulationViewOfDataSelect(int type, SymbolInNote* data, bool select) {
    NoteUnit* unit = tone_ ? tone_->unit() : nullptr;
    std::shared_ptr<TOVObjectView> view =
        factory() ? factory()->articulationViewWithSymbolTypeFontID(type, fontIDOfUnit(unit)) : nullptr;
    if (!view) {
        return;
    }
    // A slur keeps the size it was given.
    if (data && !dynamic_cast<TOVSlurView*>(view.get())) {
        data->setFrame(platform::Rect{data->frame().origin, view->defaultViewSize()});
    }
    view->setSymbol(data);
    symbolViewArray_.push_back(view);
    attachSymbolView(*view, select);
}

TOVObjectView* TOVNoteToneCell::articulationViewOfType(int type) const {
    for (const auto& view : symbolViewArray_) {
        if (view->symbol() && view->symbol()->type() == type) {
            return view.get();
        }
    }
    return nullptr;
}

TOVObjectView* TOVNoteToneCell::symbolViewOfType(int type) const {
    if (isArticulationType(type)) {
        return articulationViewOfType(type);
    }
    if ((type & TOVSymbolCategoryMask) == TOVSymbolCategoryAccidental) {
        return accidentalView_.get();
    }
    return nullptr;
}

void TOVNoteToneCell::updateSymbolViews() {
    if (accidentalView_) {
        accidentalView_->removeFromSuperview();
        accidentalView_.reset();
    }
    for (const auto& view : symbolViewArray_) {
        view->removeFromSuperview();
    }
    symbolViewArray_.clear();
    if (!tone_) {
        return;
    }
    if (SymbolAccidental* accidental = tone_->accidental()) {
        createAccidentalViewOfDataSelect(accidental->type(), accidental, false);
    }
    for (SymbolInNote* articulation : tone_->articulations()) {
        createArticulationViewOfDataSelect(articulation->type(), articulation, false);
    }
}

void TOVNoteToneCell::clearOldCells() {
    removeTieView();
    removeTieViewExtra();
    if (accidentalView_) {
        accidentalView_->removeFromSuperview();
        accidentalView_.reset();
    }
    for (const auto& view : symbolViewArray_) {
        view->removeFromSuperview();
    }
    symbolViewArray_.clear();
}

void TOVNoteToneCell::deleteObjectViewAndData(TOVObjectView* view) {
    if (!view) {
        return;
    }
    if (view == replaceTargetView_.get()) {
        view->makeSelfTargetOff();
        replaceTargetView_.reset();
    }
    if (!tone_) {
        return;
    }
    const auto refreshPartner = [this](NoteTone* partner) {
        Note* other = partner ? partner->note() : nullptr;
        if (other && other != tone_->note()) {
            other->updateView();
        }
    };
    if (tieView_ && view == tieView_.get()) {
        NoteTone* partner = tone_->tieRight() ? tone_->tieRight()->toneRight() : nullptr;
        removeTieView();
        tone_->removeTieRight();
        refreshPartner(partner);
        return;
    }
    if (tieViewExtra_ && view == tieViewExtra_.get()) {
        NoteTone* partner = tone_->tieLeft() ? tone_->tieLeft()->toneLeft() : nullptr;
        removeTieViewExtra();
        tone_->removeTieLeft();
        refreshPartner(partner);
        return;
    }
    if (accidentalView_ && view == accidentalView_.get()) {
        const std::shared_ptr<TOVObjectView> keep = accidentalView_;
        tone_->removeAccidental();
        keep->removeFromSuperview();
        accidentalView_.reset();
        return;
    }
    const auto views = symbolViewArray_;
    for (const auto& each : views) {
        if (each.get() == view) {
            tone_->removeArticulation(dynamic_cast<SymbolInNote*>(each->symbol()));
            each->removeFromSuperview();
            symbolViewArray_.erase(std::find(symbolViewArray_.begin(), symbolViewArray_.end(), each));
        }
    }
}

// ---- Flip and level moves
// ----------------------------------------------------------------------------------

void TOVNoteToneCell::doFilp(bool) {
    for (const auto& view : symbolViewArray_) {
        Symbol* symbol = view->symbol();
        if (symbol && (symbol->type() == TOVSymbolTenuto || symbol->type() == TOVSymbolStaccato)) {
            const platform::Rect f = symbol->frame();
            symbol->setFrame(platform::Rect{f.x(), -(f.y() + f.height()), f.width(), f.height()});
        }
    }
}

void TOVNoteToneCell::moveToneLevel(std::int64_t delta) {
    if (!tone_) {
        return;
    }
    tone_->setLevel(tone_->level() + delta);
    for (const auto& view : symbolViewArray_) {
        Symbol* symbol = view->symbol();
        if (symbol && symbol->type() >= TOVSymbolFermata && symbol->type() <= TOVSymbolMarcato) {
            const platform::Rect f = symbol->frame();
            symbol->setFrame(f.offsetBy(0, static_cast<double>(delta) * TOVLevelPitch));
        }
    }
    tone_->removeTies();
}

// ---- Ties
// --------------------------------------------------------------------------------------------------

double TOVNoteToneCell::tieHeightForWidth(double width) {
    return std::clamp(0.25 * width, 2.0, TOVStaffSpace);
}

TOVNoteToneCell* TOVNoteToneCell::toneRightCellOfTie(const Tie* tie) const {
    const NoteTone* partner = tie ? tie->toneRight() : nullptr;
    const TOVNoteView* view = noteView();
    if (!partner || !view) {
        return nullptr;
    }
    if (TOVNoteToneCell* cell = view->toneCellOfData(partner)) {
        return cell;
    }
    const TOVNoteView* next = view->nextContinuousNoteView();
    return next ? next->toneCellOfData(partner) : nullptr;
}

bool TOVNoteToneCell::shouldFlipTieOfTone(const NoteTone* tone) const {
    const Note* note = tone ? tone->note() : nullptr;
    const bool f = note && note->flip();
    const NoteUnit* unit = tone ? tone->unit() : nullptr;
    if (!unit) {
        return f;
    }
    std::vector<const NoteTone*> tied;
    for (const NoteTone* each : unit->toneArray()) {
        if (each->tieRight()) {
            tied.push_back(each);
        }
    }
    const auto found = std::find(tied.begin(), tied.end(), tone);
    if (tied.empty() || found == tied.end()) {
        return f;
    }
    const std::size_t n = tied.size();
    const std::size_t i = static_cast<std::size_t>(found - tied.begin());
    return f ? i < (n + 1) / 2 : i < n / 2;
}

platform::Point TOVNoteToneCell::leftPointForTieFlip(bool flip) const {
    const platform::Rect head = boundsOf(tonePath_);
    const TOVNoteUnitCell* unit = unitCell_;
    if (unit && unit->edgeToneCell() == this) {
        return {head.midX(), flip ? head.minY() : head.maxY()};
    }
    double x = frame().x() + head.width() + 1.0;
    if (unit && tone_) {
        const TOVNoteToneCell* right = unit->rightToneCell();
        if (right && right->frame().x() > frame().x() &&
            unit->toneCellFromLevel(tone_->level() + (flip ? 1 : -1))) {
            x = right->frame().x() + boundsOf(right->tonePath()).width() + 1.0;
        }
    }
    return {x, head.midY()};
}

platform::Point TOVNoteToneCell::rightPointForTieFlip(bool flip) const {
    const platform::Rect head = boundsOf(tonePath_);
    const TOVNoteUnitCell* unit = unitCell_;
    if (unit && unit->edgeToneCell() == this) {
        return {head.midX(), flip ? head.minY() : head.maxY()};
    }
    double x = frame().x() - 1.0;
    if (unit && tone_) {
        const TOVNoteToneCell* left = unit->leftToneCell();
        if (left && frame().x() > left->frame().x() &&
            unit->toneCellFromLevel(tone_->level() + (flip ? 1 : -1))) {
            x = left->frame().x() - 1.0;
        }
    }
    return {x, head.midY()};
}

std::shared_ptr<TOVNoteTieView> TOVNoteToneCell::newTieView() {
    std::shared_ptr<TOVNoteTieView> view = factory() ? factory()->noteSymbolTieView() : nullptr;
    TOVNoteView* note = noteView();
    if (!view || !note) {
        return nullptr;
    }
    view->setBarViewBelongTo(note->barViewBelongTo());
    view->setToneCellBelongTo(this);
    view->setDelegate(note->delegate());
    if (platform::View* superview = note->superview()) {
        superview->addSubview(view);
    }
    return view;
}

void TOVNoteToneCell::removeTieView() {
    if (tieView_) {
        const auto keep = tieView_;
        tieView_.reset();
        keep->removeFromSuperview();
    }
}

void TOVNoteToneCell::removeTieViewExtra() {
    if (tieViewExtra_) {
        const auto keep = tieViewExtra_;
        tieViewExtra_.reset();
        keep->removeFromSuperview();
    }
}

void TOVNoteToneCell::updateTie() {
    TOVNoteView* note = noteView();
    Tie* tie = tone_ ? tone_->tieRight() : nullptr;
    TOVNoteToneCell* partner = tie ? toneRightCellOfTie(tie) : nullptr;
    if (!note || !partner || !partner->noteView()) {
        removeTieView();
    } else {
        const bool flip = shouldFlipTieOfTone(tone_);
        if (!tieView_) {
            tieView_ = newTieView();
        }
        if (tieView_) {
            const platform::View* target = tieView_->superview();
            const platform::Point p1 = note->convertPointToView(leftPointForTieFlip(flip), target);
            tieView_->setFlip(flip);
            const platform::Point p2 =
                partner->noteView()->convertPointToView(partner->rightPointForTieFlip(flip), target);
            double width = p2.x - p1.x;
            if (width < 0.0) {
                // The partner stands on a later line: the tie runs 10.0 past the end of this bar.
                TOVObjectViewOwner* own = note->barViewBelongTo();
                TOVObjectViewOwner* other = partner->noteView()->barViewBelongTo();
                if (own == other) {
                    width = 0.0;
                } else {
                    const platform::View* bar = barView();
                    const platform::Rect barFrame = bar ? bar->frame() : platform::Rect();
                    const platform::View* ownView = own ? own->ownerView() : nullptr;
                    const platform::View* from = ownView ? ownView->superview() : nullptr;
                    platform::Point end{barFrame.x() + barFrame.width() + 10.0, p2.y};
                    if (from) {
                        end = from->convertPointToView(end, target);
                    }
                    width = end.x - p1.x;
                }
            }
            const double height = tieHeightForWidth(width);
            tieView_->setFrame(platform::Rect{p1.x, flip ? p1.y - height : p1.y, width, height});
            tieView_->updateView();
        }
    }
    updateTieViewExtra();
}

void TOVNoteToneCell::updateTieViewExtra() {
    TOVNoteView* note = noteView();
    TOVObjectViewOwner* owner = note ? note->barViewBelongTo() : nullptr;
    Tie* tie = tone_ ? tone_->tieLeft() : nullptr;
    const NoteUnit* unit = tone_ ? tone_->unit() : nullptr;
    const Bar* bar = tone_ ? tone_->bar() : nullptr;
    if (!owner || !owner->isEditorBarView() || !tie || !bar || bar->indexInLine() != 0 || !unit ||
        unit->timing() != 0) {
        removeTieViewExtra();
        return;
    }
    const bool flip = shouldFlipTieOfTone(tie->toneLeft());
    if (!tieViewExtra_) {
        tieViewExtra_ = newTieView();
    }
    if (!tieViewExtra_) {
        return;
    }
    const platform::View* target = tieViewExtra_->superview();
    const platform::Point p2 = note->convertPointToView(rightPointForTieFlip(flip), target);
    const platform::View* bv = barView();
    const platform::View* ownView = owner->ownerView();
    const platform::View* from = ownView ? ownView->superview() : nullptr;
    platform::Point start{(bv ? bv->frame().x() : 0.0) - 10.0, 0.0};
    if (from) {
        start = from->convertPointToView(start, target);
    }
    tieViewExtra_->setFlip(flip);
    tieViewExtra_->setFrame(
        platform::Rect{start.x, flip ? p2.y - TOVStaffSpace : p2.y, p2.x - start.x, TOVStaffSpace});
    tieViewExtra_->updateView();
}
