#include "layout/TOVEditorView.h"

#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "glyphs/TOVSelectableView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVMultiSelectAreaView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteArticulationView.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVSlurView.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Event.h"

#include <algorithm>
#include <typeinfo>

using platform::DraggingInfo;
using platform::DragOperation;
using platform::Point;
using platform::Rect;

namespace {

// The symbol types of the drawing tools and the category they share.

bool isToolItem(std::int32_t code) {
    return (code & TOVSymbolCategoryMask) == TOVSymbolCategoryDrawingTool;
}

template <typename T>
std::shared_ptr<T> owning(T* view) {
    return view != nullptr ? std::static_pointer_cast<T>(view->shared_from_this()) : nullptr;
}

bool contains(const TOVEditorView::ObjectViewSet& set, const TOVObjectView* view) {
    return std::any_of(set.begin(), set.end(), [view](const auto& each) { return each.get() == view; });
}

} // namespace

TOVEditorView::TOVEditorView(const Rect& frame, TOVLayoutController* delegate)
    : TOVLayoutView(frame, delegate) {
    registerForDraggedTypes(TOVPaletteTypes::allTypes());
}

TOVEditorView::~TOVEditorView() {
    stopObservingDocument();
}

// --- Binding and building ---

void TOVEditorView::setDocData(Document* document) {
    if (document == docData_) {
        return;
    }
    stopObservingDocument();
    docData_ = document;
    observeDocument(document);
    createAllSymbolViews();
    createAllSubviews(TOVBarId{0, false});
}

void TOVEditorView::observeDocument(Document* document) {
    if (document == nullptr) {
        return;
    }
    for (const char* key : {"song", "barNumberShow", "symbols"}) {
        documentObservations_.push_back(document->addObserver(
            key, [this](const platform::Change& change) { documentDidChange(change); }));
    }
}

void TOVEditorView::stopObservingDocument() {
    for (const auto& token : documentObservations_) {
        if (token.object != nullptr) {
            token.object->removeObserver(token);
        }
    }
    documentObservations_.clear();
}

void TOVEditorView::documentDidChange(const platform::Change& change) {
    if (change.object != docData_ || docData_ == nullptr) {
        return;
    }
    if (change.key == "barNumberShow") {
        setNeedsDisplay();
    } else if (change.key == "song") {
        if (TOVEditorPageView* first = firstPageView()) {
            first->setSong(docData_->song());
        }
    } else if (change.key == "symbols") {
        // While an undo or redo runs, the symbols' cached values are not yet current; the undo refresh
        // buffer rebuilds the tool views once the undo manager has applied every change.
        if (docData_->isUndoRedoing()) {
            return;
        }
        createAllSymbolViews();
    }
}

void TOVEditorView::createAllSubviews(TOVBarId barId) {
    if (delegate() != nullptr) {
        delegate()->layoutViewWillUpdateSubviews(this);
    }
    createAllPageViews();
    // After the pages, so that the tools lie above them.
    createAllSymbolViews();
    if (delegate() != nullptr) {
        delegate()->layoutViewDidlUpdateSubviews(this);
    }
    selectBar(barId);
}

void TOVEditorView::createAllPageViews() {
    removeAllPageViws();
    if (docData_ == nullptr) {
        return;
    }
    for (Page* page : docData_->pageArray()) {
        // A page without line slots gets no view; the others keep their places by number.
        if (page->aPage() != 0) {
            addPageView(page);
        }
    }
    // Once for all pages: stacking after each would sort the object views of every page made so far
    // again and again. The stable order comes out the same.
    if (!pageViewArray_.empty()) {
        restackSubviews();
    }
    if (TOVEditorPageView* first = firstPageView()) {
        first->setSong(docData_->song());
    }
}

void TOVEditorView::createNewPageView(Page* page) {
    addPageView(page);
    // The page came last; put it below the object views placed before it.
    restackSubviews();
}

void TOVEditorView::addPageView(Page* page) {
    const Rect frame(0, static_cast<double>(page->num()) * kPagePitch, kPageWidth, kPageHeight);
    auto pageView = std::make_shared<TOVEditorPageView>(frame, delegate());
    pageViewArray_.push_back(pageView);
    addSubview(pageView);
    pageView->setPage(page);
}

void TOVEditorView::removePageView(Page* page) {
    TOVEditorPageView* pageView = pageViewFromPage(page);
    if (pageView == nullptr) {
        return;
    }
    const auto keep = owning(pageView);
    pageView->removeFromSuperview();
    std::erase(pageViewArray_, keep);
}

void TOVEditorView::removeAllPageViws() {
    const PageViewArray views = pageViewArray_;
    for (const auto& view : views) {
        view->removeFromSuperview();
    }
    pageViewArray_.clear();
}

void TOVEditorView::removeAllSubviews() {
    removeAllSymbolViews();
    removeAllPageViws();
}

void TOVEditorView::removeFromSuperview() {
    removeAllSubviews();
    TOVLayoutView::removeFromSuperview();
}

double TOVEditorView::heightOfPageColumn() const {
    double height = 0;
    for (const auto& pageView : pageViewArray_) {
        height = std::max(height, pageView->frame().maxY());
    }
    return height;
}

// --- Placement of object views ---

void TOVEditorView::addSubviewRelativeOriginFromAboveAll(const std::shared_ptr<platform::View>& view,
                                                         const platform::View* reference, bool aboveAll) {
    if (!view) {
        return;
    }
    Point origin = view->frame().origin;
    if (reference != nullptr) {
        origin = reference->convertPointToView(origin, this);
    }
    view->setFrameOrigin(origin);
    // Adding always puts the view on top of the subviews, whichever way it is asked for.
    (void)aboveAll;
    addSubview(view);
}

void TOVEditorView::addSymbolViewBarViewBelongTo(const std::shared_ptr<TOVObjectView>& view,
                                                 TOVEditorBarView* barView) {
    addSubviewRelativeOriginFromAboveAll(view, barView, true);
}

void TOVEditorView::addChordViewBarViewBelongTo(const std::shared_ptr<TOVObjectView>& view,
                                                TOVEditorBarView* barView) {
    addSubviewRelativeOriginFromAboveAll(view, barView, true);
}

void TOVEditorView::addNoteViewBarViewBelongTo(const std::shared_ptr<TOVObjectView>& view,
                                               TOVEditorBarView* barView) {
    addSubviewRelativeOriginFromAboveAll(view, barView, true);
}

void TOVEditorView::removeSymbolViewBarViewBelongTo(TOVObjectView* view, TOVEditorBarView* barView) {
    if (view == nullptr) {
        return;
    }
    const auto keep = owning(view);
    unselectAnObjectView(view);
    view->removeFromSuperview();
    if (barView == nullptr) {
        std::erase(symbolViewArray(), keep);
    }
}

void TOVEditorView::removeChordViewBarViewBelongTo(TOVObjectView* view, TOVEditorBarView* barView) {
    if (view == nullptr) {
        return;
    }
    const auto keep = owning(view);
    unselectAnObjectView(view);
    view->removeFromSuperview();
}

void TOVEditorView::removeNoteViewBarViewBelongTo(TOVObjectView* view, TOVEditorBarView* barView) {
    removeChordViewBarViewBelongTo(view, barView);
}

int TOVEditorView::stackingRank(const platform::View& view) {
    const std::type_info& type = typeid(view);
    if (type == typeid(TOVEditorPageView)) {
        return 0;
    }
    if (type == typeid(TOVEditorLineView)) {
        return 1;
    }
    if (type == typeid(TOVEditorBarView)) {
        return 2;
    }
    return 3;
}

void TOVEditorView::restackSubviews() {
    sortSubviews(
        [](const platform::View& a, const platform::View& b) { return stackingRank(a) < stackingRank(b); });
}

// --- Pages and bars ---

TOVEditorPageView* TOVEditorView::firstPageView() const {
    return pageViewArray_.empty() ? nullptr : pageViewArray_.front().get();
}

TOVEditorPageView* TOVEditorView::lastPageView() const {
    return pageViewArray_.empty() ? nullptr : pageViewArray_.back().get();
}

TOVEditorPageView* TOVEditorView::nextPageViewOf(const TOVEditorPageView* pageView) const {
    for (std::size_t i = 0; i + 1 < pageViewArray_.size(); ++i) {
        if (pageViewArray_[i].get() == pageView) {
            return pageViewArray_[i + 1].get();
        }
    }
    return nullptr;
}

TOVEditorPageView* TOVEditorView::previousPageViewOf(const TOVEditorPageView* pageView) const {
    for (std::size_t i = 1; i < pageViewArray_.size(); ++i) {
        if (pageViewArray_[i].get() == pageView) {
            return pageViewArray_[i - 1].get();
        }
    }
    return nullptr;
}

TOVEditorPageView* TOVEditorView::pageViewFromPage(const Page* page) const {
    for (const auto& pageView : pageViewArray_) {
        if (pageView->page() == page) {
            return pageView.get();
        }
    }
    return nullptr;
}

TOVEditorLineView* TOVEditorView::songSettingAreaLineView() const {
    TOVEditorPageView* first = firstPageView();
    if (first == nullptr || first->lineViewArray().empty()) {
        return nullptr;
    }
    return first->lineViewArray().front().get();
}

TOVEditorBarView* TOVEditorView::barViewFromNumberInLower(std::uint64_t number, bool lower) const {
    for (const auto& pageView : pageViewArray_) {
        // A page without bar views (the first page holding only the song header) cannot hold the bar.
        TOVEditorBarView* first = pageView->firstBarViewOfLower(false);
        if (first == nullptr || first->bar() == nullptr || first->bar()->num() > number) {
            continue;
        }
        TOVEditorBarView* last = pageView->lastBarViewOfLower(false);
        if (last == nullptr || last->bar() == nullptr) {
            // The page ends on a line without bar views: ask its lines.
            if (TOVEditorBarView* found = pageView->barViewFromNumberInLower(number, lower)) {
                return found;
            }
            continue;
        }
        if (last->bar()->num() >= number) {
            return pageView->barViewFromNumberInLower(number, lower);
        }
    }
    return nullptr;
}

TOVBarId TOVEditorView::selectedBarId() const {
    if (!selectedBar_ || selectedBar_->bar() == nullptr) {
        return TOVBarId{0, false};
    }
    Bar* bar = selectedBar_->bar();
    const bool lower = bar->line() != nullptr && bar->line()->isLowerOfDoublePart();
    return TOVBarId{static_cast<std::int64_t>(bar->num()), lower};
}

void TOVEditorView::setSelectedBar(TOVEditorBarView* barView) {
    if (barView != selectedBar_.get()) {
        if (selectedBar_) {
            selectedBar_->setSelected(false);
            selectedBar_->setNeedsDisplay();
        }
        selectedBar_ = owning(barView);
        if (selectedBar_) {
            selectedBar_->setSelected(true);
            selectedBar_->setNeedsDisplay();
        }
    }
    announceSelectedBar();
}

void TOVEditorView::announceSelectedBar() {
    // Observers may come and go while they are told.
    const auto observers = selectedBarObservers_;
    for (const auto& [id, observer] : observers) {
        observer();
    }
}

void TOVEditorView::setDropTargetBar(TOVEditorBarView* barView) {
    if (barView == dropTargetBar_.get()) {
        return;
    }
    if (dropTargetBar_) {
        dropTargetBar_->setDropTarget(false);
        dropTargetBar_->setNeedsDisplay();
    }
    dropTargetBar_ = owning(barView);
    if (dropTargetBar_) {
        dropTargetBar_->setDropTarget(true);
        dropTargetBar_->setNeedsDisplay();
    }
}

void TOVEditorView::selectBar(TOVBarId barId) {
    if (barId.barNumber < 0) {
        return;
    }
    TOVEditorBarView* barView =
        barViewFromNumberInLower(static_cast<std::uint64_t>(barId.barNumber), barId.lower);
    if (barView == nullptr) {
        return;
    }
    setSelectedBar(barView);
    scrollToBarView(barView);
    setNeedsDisplay();
}

void TOVEditorView::scrollToBarView(TOVEditorBarView* barView) {
    if (barView != nullptr) {
        barView->scrollRectToVisible(barView->bounds());
    }
}

int TOVEditorView::addSelectedBarObserver(std::function<void()> observer) {
    const int id = nextObserverId_++;
    selectedBarObservers_.emplace_back(id, std::move(observer));
    return id;
}

void TOVEditorView::removeSelectedBarObserver(int id) {
    std::erase_if(selectedBarObservers_, [id](const auto& entry) { return entry.first == id; });
}

// --- Object selection ---

bool TOVEditorView::isSelectedOnlyAlone(const TOVObjectView& view) {
    const std::type_info& type = typeid(view);
    return type == typeid(TOVNoteAccidentalView) || type == typeid(TOVNoteArticulationView) ||
           type == typeid(TOVSlurView) || type == typeid(TOVNoteTieView);
}

bool TOVEditorView::canAppendSelection(const TOVObjectView* view) const {
    if (selectedObjectViewSet_.empty()) {
        return true;
    }
    // A selection that holds a view selected only alone holds nothing else, so its first member tells.
    if (isSelectedOnlyAlone(*selectedObjectViewSet_.front())) {
        return false;
    }
    return view != nullptr && !isSelectedOnlyAlone(*view);
}

bool TOVEditorView::canSelectByDragging(const TOVObjectView* view) const {
    return view != nullptr && !isSelectedOnlyAlone(*view);
}

bool TOVEditorView::selectObjectViewsClearOthers(const ObjectViewSet& views, bool clearOthers) {
    if (clearOthers) {
        clearSelection();
    } else {
        for (const auto& view : views) {
            if (view && !canAppendSelection(view.get())) {
                return false;
            }
        }
    }
    for (const auto& view : views) {
        if (!view) {
            continue;
        }
        view->setState(1);
        if (!contains(selectedObjectViewSet_, view.get())) {
            selectedObjectViewSet_.push_back(view);
        }
    }
    if (delegate() != nullptr) {
        delegate()->layoutViewSelectedObjectViewSetDidChange(this, selectedObjectViewSet_);
    }
    return true;
}

bool TOVEditorView::selectAnObjectViewClearOthers(TOVObjectView* view, bool clearOthers) {
    if (view == nullptr) {
        return false;
    }
    const bool selected = selectObjectViewsClearOthers({owning(view)}, clearOthers);
    if (selected) {
        if (auto* barView = dynamic_cast<TOVEditorBarView*>(view->barViewBelongTo())) {
            setSelectedBar(barView);
        }
    }
    return selected;
}

void TOVEditorView::unselectObjectViews(const ObjectViewSet& views) {
    for (const auto& view : views) {
        if (!view) {
            continue;
        }
        view->setState(0);
        std::erase_if(selectedObjectViewSet_, [&view](const auto& each) { return each.get() == view.get(); });
    }
}

void TOVEditorView::unselectAnObjectView(TOVObjectView* view) {
    if (view != nullptr) {
        unselectObjectViews({owning(view)});
    }
}

void TOVEditorView::clearSelection() {
    const ObjectViewSet views = std::move(selectedObjectViewSet_);
    selectedObjectViewSet_.clear();
    for (const auto& view : views) {
        view->setState(0);
        view->setNeedsDisplay();
    }
}

void TOVEditorView::setTargerObjectView(TOVObjectView* view) {
    if (view == targerObjectView_.get()) {
        return;
    }
    if (targerObjectView_) {
        targerObjectView_->setState(0);
        targerObjectView_->setNeedsDisplay();
    }
    // The target stands alone: whatever was selected is let go, quietly, as a drag points elsewhere.
    clearSelection();
    targerObjectView_ = owning(view);
    if (targerObjectView_) {
        targerObjectView_->setState(2);
        targerObjectView_->setNeedsDisplay();
    }
}

// --- Rubber band ---

void TOVEditorView::mouseDown(const platform::Event& event) {
    // The click is not handed on to the backdrop: it would drop the selection on a double click too, and
    // the band below does that itself for the clicks that start one.
    if (event.clickCount() != 1) {
        return;
    }
    if (!event.shiftKey() && !event.commandKey()) {
        clearSelection();
    }
    if (multiSelectAreaView_) {
        multiSelectAreaView_->removeFromSuperview();
    }
    const Point start = convertPointFromView(event.locationInWindow(), nullptr);
    multiSelectAreaView_ = std::make_shared<TOVMultiSelectAreaView>(start);
    addSubview(multiSelectAreaView_);
    tempSelectedObjectViews_ = ObjectViewSet();
    selectedObjectViewSnapShot_ = selectedObjectViewSet_;
}

void TOVEditorView::mouseDragged(const platform::Event& event) {
    const bool additive = event.shiftKey() || event.commandKey();
    if (!multiSelectAreaView_) {
        return;
    }
    multiSelectAreaView_->updateFrameToPos(convertPointFromView(event.locationInWindow(), nullptr));
    const Rect area = multiSelectAreaView_->frame();

    ObjectViewSet hits;
    const auto subviewsNow = subviews();
    for (const auto& subview : subviewsNow) {
        auto* candidate = dynamic_cast<TOVSelectableView*>(subview.get());
        if (candidate == nullptr) {
            continue;
        }
        // Overlap with some area: a view whose edge only touches the band is not taken.
        const Rect f = candidate->frame();
        if (!(f.minY() < area.maxY() && f.maxY() > area.minY() && f.maxX() > area.minX() &&
              f.minX() < area.maxX())) {
            continue;
        }
        if (additive && !canAppendSelection(candidate)) {
            continue;
        }
        if (canSelectByDragging(candidate)) {
            hits.push_back(std::static_pointer_cast<TOVObjectView>(subview));
        }
    }

    ObjectViewSet drop;
    if (additive) {
        for (const auto& view : *tempSelectedObjectViews_) {
            if (!contains(hits, view.get()) && !contains(*selectedObjectViewSnapShot_, view.get())) {
                drop.push_back(view);
            }
        }
    } else {
        for (const auto& view : selectedObjectViewSet_) {
            if (!contains(hits, view.get())) {
                drop.push_back(view);
            }
        }
    }
    if (!drop.empty()) {
        unselectObjectViews(drop);
    }
    for (const auto& view : hits) {
        if (!contains(*tempSelectedObjectViews_, view.get())) {
            tempSelectedObjectViews_->push_back(view);
        }
    }
    if (!hits.empty() && selectObjectViewsClearOthers(hits, false)) {
        selectNoteCellsUnderBand(hits, area);
    }
    if (delegate() != nullptr) {
        delegate()->layoutViewMousDragDidUpdate(this, event);
    }
}

void TOVEditorView::mouseUp(const platform::Event& event) {
    if (multiSelectAreaView_) {
        multiSelectAreaView_->removeFromSuperview();
        multiSelectAreaView_ = nullptr;
        if (delegate() != nullptr) {
            delegate()->layoutViewMousDragDidFinish(this, event);
        }
    }
    tempSelectedObjectViews_.reset();
    selectedObjectViewSnapShot_.reset();
    setNeedsDisplay();
}

void TOVEditorView::selectNoteCellsUnderBand(const ObjectViewSet& hits, const Rect& area) {
    for (const auto& view : hits) {
        // Only the note view itself: a view made on it for another purpose keeps its cells as they are.
        if (typeid(*view) != typeid(TOVNoteView)) {
            continue;
        }
        auto* noteView = static_cast<TOVNoteView*>(view.get());
        noteView->updateSelectedCellsOnRegion(Rect(convertPointToView(area.origin, noteView), area.size));
    }
}

// --- Drawing tools ---

void TOVEditorView::restoreSymbolViewFor(Symbol* object) {
    if (object == nullptr) {
        return;
    }
    switch (object->type()) {
    case TOVToolFreeText:
        createTextToolViewWithDataSelect(object, false);
        break;
    case TOVToolArrow:
        createArrowToolsViewWithDataSelect(object, false);
        break;
    case TOVToolWave:
        createWaveToolsViewWithDataSelect(object, false);
        break;
    case TOVToolLine:
        createLineToolsViewWithDataSelect(object, false);
        break;
    default:
        break;
    }
}

void TOVEditorView::createTextToolViewWithDataSelect(Symbol* data, bool select) {
    createToolView(data, select);
}

void TOVEditorView::createArrowToolsViewWithDataSelect(Symbol* data, bool select) {
    createToolView(data, select);
}

void TOVEditorView::createWaveToolsViewWithDataSelect(Symbol* data, bool select) {
    createToolView(data, select);
}

void TOVEditorView::createLineToolsViewWithDataSelect(Symbol* data, bool select) {
    createToolView(data, select);
}

void TOVEditorView::createToolView(Symbol* data, bool select) {
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    if (data == nullptr || factory == nullptr) {
        return;
    }
    const std::string fontID = docData_ != nullptr ? docData_->plugInFontID().toStdString() : "Default";
    const std::shared_ptr<TOVObjectView> view =
        factory->symbolObjectViewWithSymbolTypeFontID(data->type(), fontID);
    if (!view) {
        return;
    }
    // A tool dropped a moment ago has no size yet: it takes its view's natural size.
    const Rect stored = data->frame();
    if (stored.width() == 0 && stored.height() == 0) {
        data->setFrame(Rect(stored.origin, view->defaultViewSize()));
    }
    view->setEditorViewBelongTo(this);
    view->setSymbol(data);
    symbolViewArray().push_back(view);
    addSymbolViewBarViewBelongTo(view, nullptr);
    if (select) {
        selectAnObjectViewClearOthers(view.get(), true);
    }
}

void TOVEditorView::createAllSymbolViews() {
    removeAllSymbolViews();
    if (docData_ == nullptr) {
        return;
    }
    for (Symbol* symbol : docData_->symbols()) {
        restoreSymbolViewFor(symbol);
    }
    // During undo and redo the tools keep the bars they followed as stored.
    if (docData_->isUndoRedoing() || delegate() == nullptr) {
        return;
    }
    const ObjectViewArray views = symbolViewArray();
    for (const auto& view : views) {
        if (delegate() != nullptr) {
            delegate()->objectViewFrameDidChange(view.get());
        }
    }
}

void TOVEditorView::removeObjectView(TOVObjectView* view) {
    removeSymbolViewBarViewBelongTo(view, nullptr);
}

void TOVEditorView::removeObjectViewAndData(TOVObjectView* view) {
    if (view == nullptr) {
        return;
    }
    Symbol* symbol = view->symbol();
    removeObjectView(view);
    if (symbol != nullptr) {
        platform::ManagedObjectContext* context = symbol->managedObjectContext();
        if (context != nullptr) {
            context->deleteObject(symbol);
            context->processPendingChanges();
        }
    }
}

// --- Palette drops on the page background ---

DragOperation TOVEditorView::draggingEntered(const DraggingInfo& info) {
    const std::int32_t code = TOVPaletteTypes::itemCode(info);
    if (TOVPaletteTypes::isSymbolPaletteDrag(info)) {
        if (delegate() != nullptr) {
            delegate()->layoutViewSymbolPaletteDragEnteredDraggingInfo(this, code, info);
        }
        return isToolItem(code) ? platform::DragOperationCopy : platform::DragOperationNone;
    }
    if (TOVPaletteTypes::isNotePaletteDrag(info) && delegate() != nullptr) {
        delegate()->layoutViewNotePaletteDragEnteredDraggingInfo(this, code, info);
    }
    return platform::DragOperationNone;
}

DragOperation TOVEditorView::draggingUpdated(const DraggingInfo& info) {
    // The symbols palette offers its drawing tools under the type meant for note views.
    if (info.hasType(TOVPaletteTypes::SymbolForNoteView) && isToolItem(TOVPaletteTypes::itemCode(info))) {
        return platform::DragOperationCopy;
    }
    return platform::DragOperationNone;
}

void TOVEditorView::draggingExited(const DraggingInfo& info) {
    if (delegate() == nullptr) {
        return;
    }
    const std::int32_t code = TOVPaletteTypes::itemCode(info);
    if (TOVPaletteTypes::isSymbolPaletteDrag(info)) {
        delegate()->layoutViewSymbolPaletteDragExitedDraggingInfo(this, code, info);
    } else if (TOVPaletteTypes::isNotePaletteDrag(info)) {
        delegate()->layoutViewNotePaletteDragExitedDraggingInfo(this, code, info);
    }
}

bool TOVEditorView::performDragOperation(const DraggingInfo& info) {
    const std::int32_t code = TOVPaletteTypes::itemCode(info);
    if (TOVPaletteTypes::isSymbolPaletteDrag(info)) {
        bool inserted = false;
        if (isToolItem(code) && delegate() != nullptr) {
            delegate()->layoutViewRequireInsertSymbolObjectDraggingInfo(this, code, info);
            inserted = true;
        }
        if (delegate() != nullptr) {
            delegate()->layoutViewSymbolPaletteDragPerformedDraggingInfo(this, code, info);
        }
        return inserted;
    }
    if (TOVPaletteTypes::isNotePaletteDrag(info) && delegate() != nullptr) {
        delegate()->layoutViewNotePaletteDragPerformedDraggingInfo(this, code, info);
    }
    return false;
}

// --- Printing ---

bool TOVEditorView::knowsPageRange(long& firstPage, long& pageCount) {
    firstPage = 1;
    pageCount = static_cast<long>(pageViewArray_.size());
    return true;
}

Rect TOVEditorView::rectForPage(long page) {
    if (page < 1 || static_cast<std::size_t>(page) > pageViewArray_.size()) {
        return Rect();
    }
    return pageViewArray_[static_cast<std::size_t>(page) - 1]->frame();
}

Point TOVEditorView::locationOfPrintRect(const Rect& rect) {
    return Point{0, 0};
}

void TOVEditorView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    // The grey between the pages is for the screen: on paper each page is its sheet alone, so no grey
    // edge can show where a page meets the ground.
    if (!ctx.isDrawingToScreen()) {
        return;
    }
    ctx.setFillColor(platform::Color::gray());
    ctx.fillRect(bounds());
    // The band is drawn again wherever the grey is, so that it stays over the area redrawn beneath it.
    if (multiSelectAreaView_) {
        const Rect under = dirty.intersection(multiSelectAreaView_->frame());
        if (!under.isEmpty()) {
            multiSelectAreaView_->setNeedsDisplayInRect(
                multiSelectAreaView_->convertRectFromView(under, this));
        }
    }
}
