// The bar view's clef, key, time and long-rest views, the views of its symbols, and drops from the
// symbols palette.
#include "layout/TOVEditorBarView.h"

#include "glyphs/TOVChordObjectView.h"
#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteView.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>
#include <typeinfo>

using platform::DragOperation;
using platform::Point;
using platform::Rect;

namespace {

bool isRepeatPrevBars(int type) {
    return type >= TOVSymbolRepeatPrevBar1 && type <= TOVSymbolRepeatPrevBar4;
}

bool hasZeroSize(const Rect& rect) {
    return rect.width() == 0 && rect.height() == 0;
}

void removeFrom(TOVLayoutView::ObjectViewArray& views, const TOVObjectView* view) {
    std::erase_if(views, [view](const std::shared_ptr<TOVObjectView>& held) { return held.get() == view; });
}

// The list's own reference to the view, which keeps it alive while it leaves the tree and the list.
std::shared_ptr<TOVObjectView> heldIn(const TOVLayoutView::ObjectViewArray& views,
                                      const TOVObjectView* view) {
    const auto found =
        std::find_if(views.begin(), views.end(),
                     [view](const std::shared_ptr<TOVObjectView>& held) { return held.get() == view; });
    return found != views.end() ? *found : nullptr;
}

} // namespace

// ---- Helpers --------------------------------------------------------------------------------------------

std::string TOVEditorBarView::plugInFontID() const {
    const Line* line = bar_ != nullptr ? bar_->line() : nullptr;
    const Page* page = line != nullptr ? line->page() : nullptr;
    const Document* document = page != nullptr ? page->document() : nullptr;
    return document != nullptr ? document->plugInFontID().toStdString() : std::string();
}

TOVEditorView* TOVEditorBarView::hostEditorView() const {
    if (TOVEditorView* editor = TOVLayoutView::editorView()) {
        return editor;
    }
    for (platform::View* view = superview(); view != nullptr; view = view->superview()) {
        if (auto* editor = dynamic_cast<TOVEditorView*>(view)) {
            return editor;
        }
    }
    return nullptr;
}

// ---- Clef, key, time and long rest ----------------------------------------------------------------------

void TOVEditorBarView::createSlotView(ViewPtr& slot, int type, bool select) {
    if (type == 0) {
        // An attribute of 0 keeps whatever view there is.
        return;
    }
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    std::shared_ptr<TOVObjectView> view =
        factory != nullptr ? factory->symbolObjectViewWithSymbolTypeFontID(type, plugInFontID()) : nullptr;
    if (!view) {
        return;
    }
    if (slot) {
        if (&slot != &longRestView_) {
            slot->makeSelfTargetOff();
        }
        // Through the editor view, so that a replaced view does not stay in the selection.
        removeSlotView(slot, slot.get());
    }
    slot = view;
    view->setBarViewBelongTo(this);
    if (TOVEditorView* editor = editorView()) {
        editor->addSymbolViewBarViewBelongTo(view, this);
    }
    // Laying out the group rebuilds what stands behind it, which drops the selection: select last.
    if (&slot == &longRestView_) {
        updateLongRestView();
    } else {
        adjustPositionOfClefKeyTimeViews();
    }
    if (select) {
        view->makeSelfSelectedAndClearOthers(true);
    }
}

void TOVEditorBarView::createClefViewAndSelect(bool select) {
    if (bar_ != nullptr) {
        createSlotView(clefView_, bar_->clefType(), select);
    }
}

void TOVEditorBarView::createKeySignatureViewAndSelect(bool select) {
    if (bar_ != nullptr) {
        createSlotView(keySignatureView_, bar_->keyType(), select);
    }
}

void TOVEditorBarView::createTimeViewAndSelect(bool select) {
    if (bar_ != nullptr) {
        createSlotView(timeView_, bar_->timeType(), select);
    }
}

void TOVEditorBarView::createLongRestViewAndSelect(bool select) {
    if (bar_ != nullptr && bar_->longRest() != 0) {
        createSlotView(longRestView_, TOVSymbolLongRest, select);
    }
}

void TOVEditorBarView::updateLongRestView() {
    if (longRestView_) {
        longRestView_->updateView();
    }
}

void TOVEditorBarView::updateClefKeyTimeViews() {
    double x = 2.0;
    if (bar_ != nullptr && bar_->num() != 0) {
        x = marginRightOfBarline(bar_->leftBarLineType());
    }
    TOVEditorView* editor = editorView();
    for (ViewPtr* slot : {&clefView_, &keySignatureView_, &timeView_}) {
        const ViewPtr& view = *slot;
        if (!view) {
            continue;
        }
        // The view sets its y against the staff, as a point of this bar view; a view that finds no
        // place below the bar view's top keeps y 0.
        view->setFrameOrigin(Point{x, 0});
        view->adjustSelfOrigin();
        const Point inBar{x, view->frame().y()};
        view->setFrameOrigin(editor != nullptr ? convertPointToView(inBar, editor) : inBar);
        view->setNeedsDisplay();
        if (slot != &timeView_) {
            x += view->frame().width() + 1.0;
        }
    }
}

void TOVEditorBarView::adjustPositionOfClefKeyTimeViews() {
    updateClefKeyTimeViews();
    // The notes area starts behind the group.
    recreateAllNoteViews();
    if (delegate() != nullptr) {
        delegate()->layoutViewDidUpdateClefArea(this, nullptr);
    }
}

// ---- Symbol views ---------------------------------------------------------------------------------------

std::shared_ptr<TOVObjectView> TOVEditorBarView::createSymbolView(int type, Symbol* data, bool select,
                                                                  bool defaultSize) {
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    if (data == nullptr || factory == nullptr) {
        return nullptr;
    }
    std::shared_ptr<TOVObjectView> view = factory->symbolObjectViewWithSymbolTypeFontID(type, plugInFontID());
    if (!view) {
        return nullptr;
    }
    const bool isMark = (type & TOVSymbolCategoryMask) == TOVSymbolCategoryRehearsal;
    // A symbol without a size (or a sign that only has its natural one) takes the view's natural size; a
    // mark, sized by its text, keeps what is stored until the user inserts it.
    if ((defaultSize || hasZeroSize(data->frame())) && (select || !isMark)) {
        data->setFrame(Rect(data->frame().origin, view->defaultViewSize()));
    }
    if (!isMark) {
        // A symbol stored with a frame but no scale (as older stores keep them) gets the scale its frame
        // was drawn at; without it the size would be lost on the next save.
        data->setInitialSize(view->defaultViewSize());
    }
    if (isMark && select) {
        auto* text = dynamic_cast<SymbolText*>(data);
        auto* mark = dynamic_cast<TOVMarkView*>(view.get());
        if (text != nullptr && mark != nullptr && !text->text()) {
            text->setText(mark->attributedStringValue());
        }
    }
    view->setSymbol(data);
    view->setBarViewBelongTo(this);
    symbolViewArray().push_back(view);
    if (TOVEditorView* editor = editorView()) {
        editor->addSymbolViewBarViewBelongTo(view, this);
    }
    if ((type & TOVSymbolCategoryMask) == TOVSymbolCategoryTempo) {
        view->updateView();
    }
    if (select) {
        view->makeSelfSelectedAndClearOthers(true);
    }
    return view;
}

void TOVEditorBarView::createMarkViewOfDataSelect(int type, SymbolText* data, bool select) {
    createSymbolView(type, data, select, false);
}

std::shared_ptr<TOVObjectView> TOVEditorBarView::createRepeatViewOfDataSelect(int type, SymbolRepeat* data,
                                                                              bool select) {
    return createSymbolView(type, data, select, isRepeatPrevBars(type));
}

void TOVEditorBarView::createDynamicsViewOfDataSelect(int type, Symbol* data, bool select) {
    createSymbolView(type, data, select, false);
}

void TOVEditorBarView::createOctaveViewOfDataSelect(int type, Symbol* data, bool select) {
    createSymbolView(type, data, select, false);
}

void TOVEditorBarView::createTempoViewOfDataSelect(int type, SymbolTempo* data, bool select) {
    createSymbolView(type, data, select, false);
}

void TOVEditorBarView::createPushViewOfDataSelect(int type, Symbol* data, bool select) {
    createSymbolView(type, data, select, false);
}

void TOVEditorBarView::restoreSymbolViewFor(Symbol* object) {
    if (object == nullptr) {
        return;
    }
    const int type = object->type();
    switch (type & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryRehearsal:
        if (auto* text = dynamic_cast<SymbolText*>(object)) {
            createMarkViewOfDataSelect(type, text, false);
        }
        break;
    case TOVSymbolCategoryRepeat:
        if (auto* repeat = dynamic_cast<SymbolRepeat*>(object)) {
            createRepeatViewOfDataSelect(type, repeat, false);
        }
        break;
    case TOVSymbolCategoryDynamics:
        createDynamicsViewOfDataSelect(type, object, false);
        break;
    case TOVSymbolCategoryOctave:
        createOctaveViewOfDataSelect(type, object, false);
        break;
    case TOVSymbolCategoryTempo:
        if (auto* tempo = dynamic_cast<SymbolTempo*>(object)) {
            createTempoViewOfDataSelect(type, tempo, false);
        }
        break;
    case TOVSymbolCategoryPush:
        createPushViewOfDataSelect(type, object, false);
        break;
    default:
        break;
    }
}

Point TOVEditorBarView::positionRepeatPrevBar(int type) {
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    if (!isRepeatPrevBars(type) || factory == nullptr) {
        return Point{0, 0};
    }
    const auto path = factory->symbolObjectPathWithSymbolTypeFontID(type, plugInFontID());
    const double w = path && !path->isEmpty() ? path->bounds().width() : 0.0;
    const double secondLine = posY5LinesTop() + kStaffSpace;
    switch (type) {
    case TOVSymbolRepeatPrevBar1:
        return Point{(frame().width() - w) * 0.5, secondLine};
    case TOVSymbolRepeatPrevBar2:
        return Point{frame().width() - w * 0.5, secondLine};
    default:
        if (TOVEditorBarView* next = nextBarView()) {
            const Point inNext{next->frame().width() - w * 0.5, next->posY5LinesTop() + kStaffSpace};
            return convertPointFromView(inNext, next);
        }
        return Point{0, 0};
    }
}

// ---- Removal --------------------------------------------------------------------------------------------

void TOVEditorBarView::removeObjectView(TOVObjectView* view) {
    if (view == nullptr) {
        return;
    }
    if (TOVEditorView* editor = editorView()) {
        editor->unselectAnObjectView(view);
    }
    if (view == clefView_.get()) {
        if (bar_ != nullptr) {
            bar_->setClefType(0);
        }
        removeClefViewAdjustOtherViews(view, true);
    } else if (view == keySignatureView_.get()) {
        if (bar_ != nullptr) {
            bar_->setKeyType(0);
        }
        removeKeySignatureViewAdjustOtherViews(view, true);
    } else if (view == timeView_.get()) {
        if (bar_ != nullptr) {
            bar_->setTimeType(0);
        }
        removeTimeSignatureViewAdjustOtherViews(view, true);
    } else if (view == longRestView_.get()) {
        if (bar_ != nullptr) {
            bar_->setLongRest(0);
        }
        removeLongRestView(view);
    } else if (typeid(*view) == typeid(TOVChordObjectView)) {
        takeOutChordView(view);
    } else if (typeid(*view) == typeid(TOVNoteView)) {
        removeNoteView(static_cast<TOVNoteView*>(view));
    } else {
        removeSymbolView(view);
    }
    setNeedsDisplay();
}

void TOVEditorBarView::removeObjectViewAndData(TOVObjectView* view) {
    if (view == nullptr) {
        return;
    }
    Symbol* symbol = view->symbol();
    removeObjectView(view);
    if (symbol == nullptr) {
        return;
    }
    if (platform::ManagedObjectContext* context = symbol->managedObjectContext()) {
        context->deleteObject(symbol);
        context->processPendingChanges();
    }
}

void TOVEditorBarView::removeSlotView(ViewPtr& slot, TOVObjectView* view) {
    if (!slot || slot.get() != view) {
        return;
    }
    const ViewPtr keep = slot;
    slot = nullptr;
    if (TOVEditorView* editor = editorView()) {
        editor->removeSymbolViewBarViewBelongTo(keep.get(), this);
    } else {
        keep->removeFromSuperview();
    }
}

void TOVEditorBarView::removeClefViewAdjustOtherViews(TOVObjectView* view, bool adjust) {
    removeSlotView(clefView_, view);
    if (adjust) {
        adjustPositionOfClefKeyTimeViews();
    }
}

void TOVEditorBarView::removeKeySignatureViewAdjustOtherViews(TOVObjectView* view, bool adjust) {
    removeSlotView(keySignatureView_, view);
    if (adjust) {
        adjustPositionOfClefKeyTimeViews();
    }
}

void TOVEditorBarView::removeTimeSignatureViewAdjustOtherViews(TOVObjectView* view, bool adjust) {
    removeSlotView(timeView_, view);
    if (adjust) {
        adjustPositionOfClefKeyTimeViews();
    }
}

void TOVEditorBarView::removeLongRestView(TOVObjectView* view) {
    removeSlotView(longRestView_, view);
}

void TOVEditorBarView::removeSymbolView(TOVObjectView* view) {
    if (view == nullptr) {
        return;
    }
    const auto keep = heldIn(symbolViewArray(), view);
    if (TOVEditorView* editor = editorView()) {
        editor->removeSymbolViewBarViewBelongTo(view, this);
    } else {
        view->removeFromSuperview();
    }
    removeFrom(symbolViewArray(), view);
}

void TOVEditorBarView::takeOutChordView(TOVObjectView* view) {
    if (view == nullptr) {
        return;
    }
    const auto keep = heldIn(chordViewArray_, view);
    if (TOVEditorView* editor = editorView()) {
        editor->removeChordViewBarViewBelongTo(view, this);
    } else {
        view->removeFromSuperview();
    }
    removeFrom(chordViewArray_, view);
}

void TOVEditorBarView::removeAllSymbolViews() {
    TOVLayoutView::removeAllSymbolViews();
    if (clefView_) {
        removeClefViewAdjustOtherViews(clefView_.get(), false);
    }
    if (keySignatureView_) {
        removeKeySignatureViewAdjustOtherViews(keySignatureView_.get(), false);
    }
    if (timeView_) {
        removeTimeSignatureViewAdjustOtherViews(timeView_.get(), false);
    }
    if (longRestView_) {
        removeLongRestView(longRestView_.get());
    }
    const ObjectViewArray chords = chordViewArray_;
    for (const auto& view : chords) {
        takeOutChordView(view.get());
    }
    chordViewArray_.clear();
}

// ---- Drops from the symbols palette ---------------------------------------------------------------------

DragOperation TOVEditorBarView::draggingEnteredFromSymbolPalette(const platform::DraggingInfo& info) {
    const DragOperation operation = draggingUpdatedFromSymbolPalette(info);
    if (delegate() != nullptr) {
        delegate()->layoutViewSymbolPaletteDragEnteredDraggingInfo(this, TOVPaletteTypes::itemCode(info),
                                                                   info);
    }
    return operation;
}

DragOperation TOVEditorBarView::draggingUpdatedFromSymbolPalette(const platform::DraggingInfo& info) {
    const int item = TOVPaletteTypes::itemCode(info);
    const int category = item & TOVSymbolCategoryMask;
    auto accept = [](const std::shared_ptr<TOVObjectView>& marked) {
        if (marked) {
            marked->makeSelfTargetOn();
        }
        return platform::DragOperationCopy;
    };
    auto acceptIfInsertable = [&] {
        return bar_ != nullptr && bar_->canInsertSymbol(item) ? platform::DragOperationCopy
                                                              : platform::DragOperationNone;
    };
    if (TOVUtils::symbolGroupOf(item) == 1) {
        if (category == TOVSymbolCategoryArticulation) {
            return platform::DragOperationNone;
        }
        if (category == TOVSymbolCategoryOctave) {
            return acceptIfInsertable() == platform::DragOperationCopy ? accept(octaveView())
                                                                       : platform::DragOperationNone;
        }
        return acceptIfInsertable();
    }
    switch (category) {
    case TOVSymbolCategoryClef:
        return accept(clefView_);
    case TOVSymbolCategoryKeySignature:
        return accept(keySignatureView_);
    case TOVSymbolCategoryTimeSignature:
        return accept(timeView_);
    case TOVSymbolCategoryRehearsal:
        return accept(reharsalMarkView());
    case TOVSymbolCategoryRepeat:
        if (item == TOVSymbolVoltaBegin || item == TOVSymbolBisBegin) {
            return accept(voltaOrBisView());
        }
        if (item <= TOVSymbolTacet) {
            return platform::DragOperationCopy;
        }
        if (item == TOVSymbolLongRest || isRepeatPrevBars(item)) {
            return acceptIfInsertable();
        }
        return platform::DragOperationNone;
    default:
        return item == TOVSymbolTempoSpeed ? platform::DragOperationCopy : platform::DragOperationNone;
    }
}

void TOVEditorBarView::draggingExitedFromSymbolPalette(const platform::DraggingInfo& info) {
    const int item = TOVPaletteTypes::itemCode(info);
    auto clear = [](const std::shared_ptr<TOVObjectView>& marked) {
        if (marked) {
            marked->makeSelfTargetOff();
        }
    };
    switch (item & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryClef:
        clear(clefView_);
        break;
    case TOVSymbolCategoryKeySignature:
        clear(keySignatureView_);
        break;
    case TOVSymbolCategoryTimeSignature:
        clear(timeView_);
        break;
    case TOVSymbolCategoryRehearsal:
        clear(reharsalMarkView());
        break;
    case TOVSymbolCategoryOctave:
        clear(octaveView());
        break;
    default:
        if (item == TOVSymbolVoltaBegin || item == TOVSymbolBisBegin) {
            clear(voltaOrBisView());
        }
        break;
    }
    if (delegate() != nullptr) {
        delegate()->layoutViewSymbolPaletteDragExitedDraggingInfo(this, item, info);
    }
}

bool TOVEditorBarView::performDragOperationFromSymbolPalette(const platform::DraggingInfo& info) {
    // A drop may rebuild the song's views, this one among them (Fine ends the song at its bar): the view
    // stays alive until it has reported the drop (a view not held by a shared pointer is its owner's care).
    const std::shared_ptr<platform::View> keepAlive = weak_from_this().lock();
    const int item = TOVPaletteTypes::itemCode(info);
    bool handled = false;
    switch (item & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryTimeSignature:
        if (bar_ != nullptr) {
            bar_->setTimeType(item);
            createTimeViewAndSelect(true);
            handled = true;
        }
        break;
    case TOVSymbolCategoryKeySignature:
        if (bar_ != nullptr) {
            bar_->setKeyType(item);
            createKeySignatureViewAndSelect(true);
            handled = true;
        }
        break;
    case TOVSymbolCategoryClef:
        if (bar_ != nullptr) {
            bar_->setClefType(item);
            createClefViewAndSelect(true);
            handled = true;
        }
        break;
    default:
        if (delegate() != nullptr) {
            delegate()->layoutViewRequireInsertSymbolObjectDraggingInfo(this, item, info);
            handled = true;
        }
        break;
    }
    if (delegate() != nullptr) {
        delegate()->layoutViewSymbolPaletteDragPerformedDraggingInfo(this, item, info);
    }
    return handled;
}
