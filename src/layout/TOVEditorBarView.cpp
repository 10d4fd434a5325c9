#include "layout/TOVEditorBarView.h"

#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVObjectView.h"
#include "layout/TOVEditorLineView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteView.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Event.h"

#include <typeinfo>

using platform::Point;
using platform::Rect;

TOVEditorBarView::TOVEditorBarView(const Rect& frame, TOVLayoutController* delegate)
    : TOVLayoutView(frame, delegate) {
    registerForDraggedTypes({kSymbolPaletteDragType, kNotePaletteDragType});
}

TOVEditorBarView::~TOVEditorBarView() = default;

void TOVEditorBarView::setBar(Bar* bar) {
    if (bar == bar_) {
        return;
    }
    bar_ = bar;
    updateDataFrameAsCurrentViewFrame();
    recreateAllSubViews();
}

void TOVEditorBarView::setDropTarget(bool dropTarget) {
    if (dropTarget == dropTarget_) {
        return;
    }
    if (TOVEditorView* editor = editorView()) {
        editor->clearSelection();
    }
    dropTarget_ = dropTarget;
    setNeedsDisplay();
}

// ---- Geometry, from the bar's geometry ------------------------------------------------------------------

TOVBarGeometry TOVEditorBarView::staffGeometry() const {
    TOVBarGeometry geometry;
    geometry.size = bounds().size;
    return geometry;
}

TOVBarGeometry TOVEditorBarView::geometryInThisLine() const {
    TOVBarGeometry geometry = staffGeometry();
    for (const ViewPtr* view : {&clefView_, &keySignatureView_, &timeView_}) {
        if (*view) {
            geometry.addClefKeyTimeView((*view)->frame().width());
        }
    }
    if (bar_ != nullptr) {
        geometry.hasBar = true;
        geometry.firstBarOfSong = bar_->num() == 0;
        geometry.leftBarLineType = bar_->leftBarLineType();
        geometry.rightBarLineType = bar_->rightBarLineType();
        geometry.totalRhythmLength = bar_->totalRhythmLength();
    }
    return geometry;
}

TOVBarGeometry TOVEditorBarView::geometry() const {
    TOVBarGeometry geometry = geometryInThisLine();
    if (geometry.firstBarOfSong) {
        if (const TOVEditorBarView* partner = alternativeBarViewInDoubleLine()) {
            geometry.partnerClefKeyTimeArea = partner->rectangleClefKeyTimeAreaInThisLine();
        }
    }
    return geometry;
}

std::uint64_t TOVEditorBarView::totalRhythmLength() const {
    return bar_ != nullptr ? bar_->totalRhythmLength() : 0;
}

double TOVEditorBarView::xPosForUnitInGridMode(const NoteUnit* unit) const {
    return geometry().posXFromNoteX(unit != nullptr ? unit->timing() : 0);
}

bool TOVEditorBarView::hitTestChordArea(const platform::Event& event) const {
    return staffGeometry().chordAreaContainsPoint(convertPointFromView(event.locationInWindow(), nullptr));
}

// ---- Neighbours -----------------------------------------------------------------------------------------

TOVEditorLineView* TOVEditorBarView::lineView() const {
    if (delegate() == nullptr) {
        return nullptr;
    }
    return delegate()->layoutViewInquireLineView(const_cast<TOVEditorBarView*>(this));
}

TOVEditorBarView* TOVEditorBarView::nextBarView() const {
    TOVEditorLineView* line = lineView();
    if (line == nullptr) {
        return nullptr;
    }
    if (TOVEditorBarView* next = line->nextBarViewOf(this)) {
        return next;
    }
    TOVEditorLineView* nextLine = line->nextLineView();
    return nextLine != nullptr ? nextLine->firstBarView() : nullptr;
}

TOVEditorBarView* TOVEditorBarView::previousBarView() const {
    TOVEditorLineView* line = lineView();
    if (line == nullptr) {
        return nullptr;
    }
    if (TOVEditorBarView* previous = line->previousBarViewOf(this)) {
        return previous;
    }
    TOVEditorLineView* previousLine = line->previousLineView();
    return previousLine != nullptr ? previousLine->lastBarView() : nullptr;
}

TOVEditorBarView* TOVEditorBarView::alternativeBarViewInDoubleLine() const {
    TOVEditorLineView* line = lineView();
    if (line == nullptr || bar_ == nullptr) {
        return nullptr;
    }
    TOVEditorLineView* partner = line->alternativeLineView();
    return partner != nullptr ? partner->barViewFromNumber(bar_->num()) : nullptr;
}

TOVEditorBarView* TOVEditorBarView::upperBarView() {
    TOVEditorLineView* line = lineView();
    if (line != nullptr && line->isLowerPart()) {
        return alternativeBarViewInDoubleLine();
    }
    return this;
}

// ---- Object-view lookups --------------------------------------------------------------------------------

std::shared_ptr<TOVObjectView> TOVEditorBarView::objectViewFromData(Symbol* object) {
    if (auto view = TOVLayoutView::objectViewFromData(object)) {
        return view;
    }
    for (const auto& view : chordViewArray_) {
        if (view->symbol() == object) {
            return view;
        }
    }
    for (const auto& view : noteViewArray_) {
        if (view->symbol() == object) {
            return view;
        }
    }
    return nullptr;
}

std::shared_ptr<TOVObjectView> TOVEditorBarView::reharsalMarkView() const {
    for (const auto& view : symbolViewArray()) {
        if (typeid(*view) == typeid(TOVMarkView)) {
            return view;
        }
    }
    return nullptr;
}

std::shared_ptr<TOVObjectView> TOVEditorBarView::voltaOrBisView() const {
    for (const auto& view : symbolViewArray()) {
        if (view->symbolType() == TOVSymbolBisBegin || view->symbolType() == TOVSymbolVoltaBegin) {
            return view;
        }
    }
    return nullptr;
}

std::shared_ptr<TOVObjectView> TOVEditorBarView::octaveView() const {
    for (const auto& view : symbolViewArray()) {
        if ((view->symbolType() & TOVSymbolCategoryMask) == TOVSymbolCategoryOctave) {
            return view;
        }
    }
    return nullptr;
}

std::shared_ptr<TOVObjectView> TOVEditorBarView::fineView() const {
    for (const auto& view : symbolViewArray()) {
        if (view->symbolType() == TOVSymbolFine) {
            return view;
        }
    }
    return nullptr;
}

// ---- View lists -----------------------------------------------------------------------------------------

void TOVEditorBarView::recreateAllSubViews() {
    if (delegate() != nullptr) {
        delegate()->layoutViewWillUpdateSubviews(this);
    }
    removeAllSubviews();
    if (bar_ != nullptr) {
        createClefViewAndSelect(false);
        createKeySignatureViewAndSelect(false);
        createTimeViewAndSelect(false);
        createLongRestViewAndSelect(false);
        for (Symbol* symbol : bar_->symbols()) {
            restoreSymbolViewFor(symbol);
        }
        for (Chord* chord : bar_->chordArray()) {
            restoreChordViewFor(chord);
        }
        recreateAllNoteViews();
        updateToolViews();
    }
    if (delegate() != nullptr) {
        delegate()->layoutViewDidlUpdateSubviews(this);
    }
}

void TOVEditorBarView::updateAllSubviews() {
    updateClefKeyTimeViews();
    updateLongRestView();
    for (const auto& view : chordViewArray_) {
        view->updateView();
    }
    for (const auto& view : symbolViewArray()) {
        view->updateView();
    }
    updateToolViews();
    updateNoteBlocks();
    for (const auto& view : noteViewArray_) {
        view->updateView();
    }
    setNeedsDisplay();
}

void TOVEditorBarView::removeAllSubviews() {
    removeAllSymbolViews();
    removeAllChordViews();
    removeAllNoteViews();
}

void TOVEditorBarView::removeFromSuperview() {
    // Its object views live in the editor view and leave with it.
    removeAllSubviews();
    TOVLayoutView::removeFromSuperview();
}

void TOVEditorBarView::updateToolViews() {
    if (bar_ == nullptr) {
        return;
    }
    TOVEditorView* editor = editorView();
    if (editor == nullptr) {
        return;
    }
    for (SymbolTools* tool : bar_->toolsFollowedBy()) {
        if (auto view = editor->objectViewFromData(tool)) {
            view->updateView();
        }
    }
}

// ---- Note views -----------------------------------------------------------------------------------------

void TOVEditorBarView::recreateAllNoteViews() {
    if (TOVEditorView* editor = editorView()) {
        editor->clearSelection();
    }
    removeAllNoteViews();
    createAllNoteViews();
}

void TOVEditorBarView::removeAllNoteViews() {
    const NoteViewArray views = noteViewArray_;
    for (const auto& view : views) {
        removeNoteView(view.get());
    }
    noteViewArray_.clear();
}

void TOVEditorBarView::createAllNoteViews() {
    updateNoteBlocks();
    if (bar_ != nullptr) {
        for (Note* note : bar_->noteArray()) {
            restoreNoteViewFor(note);
        }
    }
    // Ties from the bar before end on the views just made.
    if (TOVEditorBarView* previous = previousBarView()) {
        previous->updateTies();
    }
    updateChordRaiseOfLine();
}

std::shared_ptr<TOVNoteView> TOVEditorBarView::createNoteViewOfSelect(Note* note, bool select) {
    auto view = std::make_shared<TOVNoteView>(Rect(), note);
    view->setBarViewBelongTo(this);
    view->setNoteViewDelegate(this);
    view->setSymbol(note);
    noteViewArray_.push_back(view);
    if (TOVEditorView* editor = editorView()) {
        editor->addNoteViewBarViewBelongTo(view, this);
    }
    view->updateView();
    if (select) {
        view->makeSelfSelectedAndClearOthers(true);
    }
    return view;
}

void TOVEditorBarView::restoreNoteViewFor(Note* note) {
    const auto view = createNoteViewOfSelect(note, false);
    if (TOVNoteView* previous = previousContinuousNoteViewOf(view.get())) {
        previous->updateView();
    }
    updateChordRaiseOfLine();
}

void TOVEditorBarView::updateNoteViewFor(Note* note) {
    const auto view = noteViewFromData(note);
    if (!view) {
        return;
    }
    view->updateView();
    if (TOVNoteView* previous = previousContinuousNoteViewOf(view.get())) {
        previous->updateView();
    }
    updateChordRaiseOfLine();
}

void TOVEditorBarView::removeNoteViewFor(Note* note) {
    if (const auto view = noteViewFromData(note)) {
        removeNoteView(view.get());
        updateChordRaiseOfLine();
    }
}

void TOVEditorBarView::selectMultiNoteViewFromData(const std::vector<Note*>& notes) {
    NoteViewArray views;
    for (const Note* note : notes) {
        if (auto view = noteViewFromData(note)) {
            views.push_back(std::move(view));
        }
    }
    if (TOVEditorView* editor = editorView()) {
        editor->selectObjectViewsClearOthers(TOVLayoutController::ObjectViewSet(views.begin(), views.end()),
                                             true);
    }
    for (const auto& view : views) {
        view->selectWholeNote();
    }
}

void TOVEditorBarView::updateTies() {
    for (const auto& view : noteViewArray_) {
        view->updateTie();
    }
}

std::shared_ptr<TOVNoteView> TOVEditorBarView::noteViewFromData(const Note* note) const {
    if (note == nullptr) {
        return nullptr;
    }
    for (const auto& view : noteViewArray_) {
        if (view->note() == note) {
            return view;
        }
    }
    return nullptr;
}

TOVNoteView* TOVEditorBarView::nextContinuousNoteViewOf(const TOVNoteView* noteView) const {
    const Note* note = noteView != nullptr ? noteView->note() : nullptr;
    if (note == nullptr || bar_ == nullptr) {
        return nullptr;
    }
    const std::uint64_t end = note->timing() + note->duration();
    if (end >= bar_->totalRhythmLength()) {
        TOVEditorBarView* next = nextBarView();
        Bar* nextBar = next != nullptr ? next->bar() : nullptr;
        return nextBar != nullptr ? next->noteViewFromData(nextBar->noteAtXPos(0)).get() : nullptr;
    }
    return noteViewFromData(bar_->noteAtXPos(end)).get();
}

TOVNoteView* TOVEditorBarView::previousContinuousNoteViewOf(const TOVNoteView* noteView) const {
    const Note* note = noteView != nullptr ? noteView->note() : nullptr;
    if (note == nullptr || bar_ == nullptr) {
        return nullptr;
    }
    const std::uint64_t timing = note->timing();
    if (timing == 0) {
        TOVEditorBarView* previous = previousBarView();
        Bar* previousBar = previous != nullptr ? previous->bar() : nullptr;
        // A bar without a length has no last tick.
        if (previousBar == nullptr || previousBar->totalRhythmLength() == 0) {
            return nullptr;
        }
        return previous->noteViewFromData(previousBar->noteAtXPos(previousBar->totalRhythmLength() - 1))
            .get();
    }
    return noteViewFromData(bar_->noteAtXPos(timing - 1)).get();
}

void TOVEditorBarView::removeNoteView(TOVNoteView* view) {
    if (view == nullptr) {
        return;
    }
    TOVNoteView* previous = previousContinuousNoteViewOf(view);
    // The list may hold the last reference.
    std::shared_ptr<TOVNoteView> keep;
    for (const auto& each : noteViewArray_) {
        if (each.get() == view) {
            keep = each;
        }
    }
    if (TOVEditorView* editor = editorView()) {
        editor->removeNoteViewBarViewBelongTo(view, this);
    } else {
        view->removeFromSuperview();
    }
    std::erase_if(noteViewArray_, [view](const auto& each) { return each.get() == view; });
    if (previous != nullptr && previous != view) {
        previous->updateView();
    }
}

void TOVEditorBarView::objectShouldUpdateView(Symbol* object) {
    TOVLayoutView::objectShouldUpdateView(object);
    const auto view = objectViewFromData(object);
    if (!view || typeid(*view) != typeid(TOVNoteView)) {
        return;
    }
    auto* noteView = static_cast<TOVNoteView*>(view.get());
    if (TOVNoteView* previous = previousContinuousNoteViewOf(noteView)) {
        previous->updateTie();
    }
    if (TOVNoteView* next = nextContinuousNoteViewOf(noteView)) {
        next->updateTie();
    }
}

void TOVEditorBarView::updateNoteBlocks() {
    noteBlockCellArray_.clear();
    if (bar_ == nullptr) {
        return;
    }
    noteBlockCellArray_ = TOVNoteBlockCell::blocksFromNoteArray(
        bar_->noteArray(), xPitchPerLength(),
        [this](const NoteUnit* unit) { return xPosForUnitInGridMode(unit); }, frame().height());
}

Rect TOVEditorBarView::noteViewInquireRectangleNotesArea(TOVNoteView*) {
    return rectangleNotesArea();
}

double TOVEditorBarView::noteViewInquirePosYLevel0(TOVNoteView*) {
    return posYLevel0();
}

double TOVEditorBarView::noteViewInquire5LinesPitch(TOVNoteView*) {
    return kStaffSpace;
}

platform::View* TOVEditorBarView::noteViewInquireBarView(TOVNoteView*) {
    return this;
}

// ---- End of note views ----------------------------------------------------------------------------------

// ---- Frames ---------------------------------------------------------------------------------------------

void TOVEditorBarView::setFrame(const Rect& frame) {
    TOVLayoutView::setFrame(frame);
    updateAllSubviews();
}

void TOVEditorBarView::setFrameOnlyMyself(const Rect& frame) {
    TOVLayoutView::setFrame(frame);
}

void TOVEditorBarView::updateDataFrameAsCurrentViewFrame() {
    if (bar_ == nullptr) {
        return;
    }
    const Rect current = frame();
    double scaleX = 1.0;
    double scaleY = 1.0;
    if (bar_->width() != current.width()) {
        // A width of 0 is the automatic share: nothing stored in the bar was placed against it.
        scaleX = bar_->width() == 0 ? 1.0 : current.width() / bar_->width();
        bar_->setWidth(current.width());
    }
    if (bar_->height() != current.height()) {
        scaleY = bar_->height() == 0 ? 1.0 : current.height() / bar_->height();
        bar_->setHeight(current.height());
    }
    if (scaleX != 1.0 || scaleY != 1.0) {
        moveSymbolsDataOriginInScaleXby(scaleX, scaleY);
    }
    updateAllSubviews();
}

void TOVEditorBarView::moveSymbolsDataOriginInScaleXby(double scaleX, double scaleY) {
    if (bar_ == nullptr) {
        return;
    }
    const double width = frame().width();
    const double height = frame().height();
    auto rescale = [&](Symbol* symbol) {
        Rect stored = symbol->frame();
        // Only what stood inside the old extent moves with the bar.
        if (stored.origin.x > 0 && width / scaleX > stored.origin.x) {
            stored.origin.x *= scaleX;
        }
        if (stored.origin.y > 0 && height / scaleY > stored.origin.y) {
            stored.origin.y *= scaleY;
        }
        symbol->setFrame(stored);
    };
    for (Chord* chord : bar_->chords()) {
        rescale(chord);
    }
    for (Symbol* symbol : bar_->symbols()) {
        rescale(symbol);
    }
    TOVEditorView* editor = editorView();
    for (SymbolTools* tool : bar_->toolsFollowedBy()) {
        const Rect relative = tool->frameRelativeToBar();
        const Rect scaled(relative.x() * scaleX, relative.y() * scaleY, tool->frame().width(),
                          tool->frame().height());
        tool->setFrameRelativeToBar(scaled);
        Point origin = scaled.origin;
        if (editor != nullptr) {
            origin = convertPointToView(origin, editor);
        }
        tool->setFrame(Rect(origin.x, origin.y, scaled.width(), scaled.height()));
    }
}

void TOVEditorBarView::updateViewFrameTemporallyBy(const Rect& newFrame) {
    const Rect old = frame();
    const double scaleX = old.width() == 0 ? 1.0 : newFrame.width() / old.width();
    const double scaleY = old.height() == 0 ? 1.0 : newFrame.height() / old.height();
    // The reference view keeps the old frame for the conversions below.
    auto reference = std::make_shared<TOVEditorViewBase>(old);
    if (superview() != nullptr) {
        superview()->addSubview(reference);
    }
    setFrameOnlyMyself(newFrame);
    if (scaleX == 1.0 && scaleY == 1.0) {
        reference->removeFromSuperview();
        return;
    }
    auto scaled = [&](Point p) {
        if (p.x > 0 && p.x < old.width()) {
            p.x *= scaleX;
        }
        if (p.y > 0 && p.y < old.height()) {
            p.y *= scaleY;
        }
        return p;
    };
    auto follow = [&](const std::shared_ptr<TOVObjectView>& view) {
        const Point inReference =
            scaled(reference->convertPointFromView(view->frame().origin, view->superview()));
        view->updateViewTemporallyAs(Rect(inReference, view->frame().size));
    };
    for (const auto& view : chordViewArray_) {
        follow(view);
    }
    for (const auto& view : symbolViewArray()) {
        follow(view);
    }
    updateNoteBlocks();
    for (const auto& view : noteViewArray_) {
        view->updateView();
    }
    if (bar_ != nullptr) {
        if (TOVEditorView* editor = editorView()) {
            for (SymbolTools* tool : bar_->toolsFollowedBy()) {
                if (auto view = editor->objectViewFromData(tool)) {
                    const Point inReference =
                        scaled(reference->convertPointFromView(view->frame().origin, view->superview()));
                    const Point inSuperview = convertPointToView(inReference, view->superview());
                    view->updateViewTemporallyAs(Rect(inSuperview, view->frame().size));
                }
            }
        }
    }
    updateClefKeyTimeViews();
    updateLongRestView();
    reference->removeFromSuperview();
}

// ---- Events ---------------------------------------------------------------------------------------------

void TOVEditorBarView::mouseDown(const platform::Event& event) {
    if (event.controlKey()) {
        rightMouseDown(event);
        return;
    }
    if (delegate() != nullptr) {
        if (event.clickCount() == 1) {
            delegate()->layoutViewMousDidClick(this, event);
        } else if (event.clickCount() == 2) {
            delegate()->layoutViewMousDidDoubleClick(this, event);
        }
    }
    TOVLayoutView::mouseDown(event);
}

void TOVEditorBarView::rightMouseDown(const platform::Event& event) {
    if (delegate() != nullptr && event.clickCount() == 1) {
        delegate()->layoutViewMousDidRightClick(this, event);
    }
}

void TOVEditorBarView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    if (!ctx.isDrawingToScreen()) {
        return;
    }
    const Rect frameRect(0.75, 0.75, bounds().width() - 1.5, bounds().height() - 1.5);
    auto strokeFrame = [&](const platform::Color& color) {
        platform::BezierPath path = platform::BezierPath::withRoundedRect(frameRect, 2.0, 2.0);
        path.setLineWidth(1.5);
        ctx.setStrokeColor(color);
        ctx.strokePath(path);
    };
    if (dropTarget_) {
        strokeFrame(TOVUtils::barViewDropTargetFrameColor());
    } else {
        const int mode = delegate() != nullptr ? delegate()->layoutViewInquireBarDrawMode(this) : 0;
        if (mode == 2) {
            ctx.setFillColor(TOVUtils::barViewEditTargetColor());
            ctx.fillRect(dirty);
        } else if (mode == 1) {
            strokeFrame(TOVUtils::barViewSelectedFrameColor());
            if (delegate()->layoutViewInquireIsChordInputActive(this)) {
                highlightChordArea(ctx);
            }
        }
    }
    // The drop aids stand over the decoration, also (above all) while the bar is a drag's target.
    notePaletteDropAids_.draw(ctx);
}

// ---- Palette drags --------------------------------------------------------------------------------------

platform::DragOperation TOVEditorBarView::draggingEntered(const platform::DraggingInfo& info) {
    if (info.hasType(kSymbolPaletteDragType)) {
        return draggingEnteredFromSymbolPalette(info);
    }
    if (info.hasType(kNotePaletteDragType)) {
        return draggingEnteredFromNotePalette(info);
    }
    return platform::DragOperationNone;
}

platform::DragOperation TOVEditorBarView::draggingUpdated(const platform::DraggingInfo& info) {
    if (info.hasType(kSymbolPaletteDragType)) {
        return draggingUpdatedFromSymbolPalette(info);
    }
    if (info.hasType(kNotePaletteDragType)) {
        return draggingUpdatedFromNotePalette(info);
    }
    return platform::DragOperationNone;
}

void TOVEditorBarView::draggingExited(const platform::DraggingInfo& info) {
    if (info.hasType(kSymbolPaletteDragType)) {
        draggingExitedFromSymbolPalette(info);
        setDropTarget(false);
    } else if (info.hasType(kNotePaletteDragType)) {
        draggingExitedFromNotePalette(info);
    }
}

bool TOVEditorBarView::performDragOperation(const platform::DraggingInfo& info) {
    setDropTarget(false);
    if (info.hasType(kSymbolPaletteDragType)) {
        return performDragOperationFromSymbolPalette(info);
    }
    if (info.hasType(kNotePaletteDragType)) {
        return performDragOperationFromNotePalette(info);
    }
    return false;
}
