#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "glyphs/TOVMovableView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVResizableFixedView.h"
#include "glyphs/TOVResizableFreeView.h"
#include "glyphs/TOVRotatableView.h"
#include "layout/TOVEditModeGrayView.h"
#include "layout/TOVEditorBackView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorSongView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTools.h"
#include "model/TOVCoreDataController.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/ui/ViewHost.h"

#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>
#include <typeinfo>

namespace {

using platform::Point;
using platform::Rect;
using platform::Size;

// The views report by their exact class: a subclass of a bar view is not a bar view here.
template <typename T>
T* exactly(platform::View* view) {
    return (view != nullptr && typeid(*view) == typeid(T)) ? static_cast<T*>(view) : nullptr;
}

template <typename T>
void eraseAll(std::vector<T*>& list, const T* object) {
    list.erase(std::remove(list.begin(), list.end(), object), list.end());
}

constexpr double kMarginAroundEditor = 20.0;
constexpr std::uint64_t kMaxBarsInLine = 8;

} // namespace

// --- Set-up and tear-down ---

TOVEditorViewController::TOVEditorViewController()
    : editorView_(std::make_shared<TOVEditorView>(Rect(0, 0, TOVEditorView::kPageWidth, 0))),
      backView_(std::make_shared<TOVEditorBackView>()),
      editModeGrayView_(std::make_shared<TOVEditModeGrayView>()),
      coreDataController_(std::make_shared<TOVCoreDataController>()) {
    coreDataController_->setEditorViewController(this);
    scale_ = editorView_->convertSizeToView(Size{1.0, 1.0}, nullptr);

    editorView_->setDelegate(this);
    backView_->addSubview(editorView_);
    backView_->setEditorView(editorView_.get());

    scrollView_ = new QScrollArea;
    scrollView_->setWidgetResizable(false);
    scrollView_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    host_ = new platform::ViewHost;
    host_->setRootView(backView_);
    scrollView_->setWidget(host_);
    // The visible area decides the back view's size.
    host_->setViewportSizeChangedHandler([this](Size) { adjustViewFrame(); });
    selectedBarObserver_ = editorView_->addSelectedBarObserver([this] { selectedBarDidChange(); });
    adjustViewFrame();
}

TOVEditorViewController::~TOVEditorViewController() {
    editorView_->removeSelectedBarObserver(selectedBarObserver_);
    if (host_) {
        host_->setViewportSizeChangedHandler({});
    }
    stopObservingUndo();
    coreDataController_->setEditorViewController(nullptr);
    editorView_->setDocData(nullptr);
    editorView_->setDelegate(nullptr);
    editModeGrayView_->removeFromSuperview();
    editorView_->removeFromSuperview();
    delete scrollView_.data();
}

QWidget* TOVEditorViewController::view() const {
    return scrollView_.data();
}

QScrollArea* TOVEditorViewController::scrollView() const {
    return scrollView_.data();
}

platform::ViewHost* TOVEditorViewController::host() const {
    return host_.data();
}

// --- Undo ---

void TOVEditorViewController::registerUndoObservation(platform::UndoManager* undoManager) {
    stopObservingUndo();
    undoMgr_ = undoManager;
    if (undoMgr_ == nullptr) {
        return;
    }
    using N = platform::UndoManager::Notification;
    undoObservers_.push_back(undoMgr_->addObserver(N::WillUndo, [this] { willUndo(); }));
    undoObservers_.push_back(undoMgr_->addObserver(N::DidUndo, [this] { didUndo(); }));
    undoObservers_.push_back(undoMgr_->addObserver(N::WillRedo, [this] { willRedo(); }));
    undoObservers_.push_back(undoMgr_->addObserver(N::DidRedo, [this] { didRedo(); }));
}

void TOVEditorViewController::stopObservingUndo() {
    if (undoMgr_ != nullptr) {
        for (const auto id : undoObservers_) {
            undoMgr_->removeObserver(id);
        }
    }
    undoObservers_.clear();
    undoMgr_ = nullptr;
}

platform::ManagedObjectContext* TOVEditorViewController::moc() const {
    return delegate_ != nullptr ? delegate_->managedObjectContext() : nullptr;
}

platform::UndoManager* TOVEditorViewController::undoManager() const {
    platform::ManagedObjectContext* context = moc();
    return context != nullptr ? &context->undoManager() : nullptr;
}

void TOVEditorViewController::willUndo() {
    coreDataController_->willUndo();
    focusedBarId_ = editorView_->selectedBarId();
}

void TOVEditorViewController::didUndo() {
    coreDataController_->didUndo();
    restoreFocusedBar();
}

void TOVEditorViewController::willRedo() {
    coreDataController_->willRedo();
    focusedBarId_ = editorView_->selectedBarId();
}

void TOVEditorViewController::didRedo() {
    coreDataController_->didRedo();
    restoreFocusedBar();
}

void TOVEditorViewController::restoreFocusedBar() {
    if (docData_ == nullptr) {
        return;
    }
    // The undo may have taken the remembered bar away: the last bar stands in for it, in the same row.
    const std::uint64_t maxBar = docData_->maxBarNumber();
    if (static_cast<std::uint64_t>(focusedBarId_.barNumber) > maxBar) {
        focusedBarId_.barNumber = static_cast<std::int64_t>(maxBar);
    }
    editorView_->selectBar(focusedBarId_);
}

// --- Document and display ---

void TOVEditorViewController::setDocData(Document* document) {
    if (document == docData_) {
        return;
    }
    docData_ = document;
    if (docData_ != nullptr) {
        docData_->setCoreDataController(coreDataController_);
    }
    updateBarsInheritedStates();
    controllerState_ = Loading;
    editorView_->setDocData(docData_);
    controllerState_ = Idle;
    adjustViewFrame();
}

void TOVEditorViewController::applyScaleToEditorView() {
    // Back to the unzoomed size first, so that zooming twice does not multiply.
    const Size old = editorView_->boundsScale();
    const Rect frame = editorView_->frame();
    editorView_->scaleUnitSquareToSize(Size{scale_.width / old.width, scale_.height / old.height});
    editorView_->setFrameSize(
        Size{frame.size.width / old.width * scale_.width, frame.size.height / old.height * scale_.height});
    editorView_->setNeedsDisplay();
}

void TOVEditorViewController::setScale(Size scale) {
    if (scale.width == scale_.width && scale.height == scale_.height) {
        return;
    }
    if (!(scale.width > 0) || !(scale.height > 0)) {
        return;
    }
    scale_ = scale;
    applyScaleToEditorView();
    adjustViewFrame();
    if (TOVEditorBarView* bar = editorView_->selectedBar()) {
        bar->scrollRectToVisible(bar->bounds());
    }
}

void TOVEditorViewController::setShowGrid(bool showGrid) {
    if (showGrid == showGrid_) {
        return;
    }
    showGrid_ = showGrid;
    editorView_->setNeedsDisplay();
    for (const auto& pageView : editorView_->pageViewArray()) {
        pageView->setNeedsDisplay();
    }
}

void TOVEditorViewController::setEditBarsMode(int mode) {
    if (mode == editBarsMode_) {
        return;
    }
    editBarsMode_ = mode;
    editorView_->clearSelection();
    editBarsStart_.reset();
    editBarsEnd_.reset();
    if (mode == Normal) {
        editModeGrayView_->removeFromSuperview();
    } else if (mode >= Copy && mode <= Delete) {
        editModeGrayView_->setFrame(editorView_->bounds());
        editorView_->addSubview(editModeGrayView_);
        if (host_) {
            host_->makeFirstResponder(editModeGrayView_.get());
        }
    }
    showNavigationMessageForEditBarsMode();
}

TOVEditorBarView* TOVEditorViewController::editBarsStart() const {
    return static_cast<TOVEditorBarView*>(editBarsStart_.lock().get());
}

void TOVEditorViewController::setEditBarsStart(TOVEditorBarView* barView) {
    editBarsStart_ = barView != nullptr ? barView->weak_from_this() : std::weak_ptr<platform::View>();
}

TOVEditorBarView* TOVEditorViewController::editBarsEnd() const {
    return static_cast<TOVEditorBarView*>(editBarsEnd_.lock().get());
}

void TOVEditorViewController::setEditBarsEnd(TOVEditorBarView* barView) {
    editBarsEnd_ = barView != nullptr ? barView->weak_from_this() : std::weak_ptr<platform::View>();
}

void TOVEditorViewController::adjustViewFrame() {
    Size visible{0, 0};
    if (scrollView_) {
        const QSize viewport = scrollView_->viewport()->size();
        visible = Size{static_cast<double>(viewport.width()), static_cast<double>(viewport.height())};
    }
    Rect frame = editorView_->frame();
    const double width = std::max(visible.width, frame.size.width + kMarginAroundEditor);
    editorView_->setFrameOrigin(Point{(width - frame.size.width) * 0.5, frame.origin.y});
    // Down to the bottom of the page with the largest number; 0 without pages.
    const double editorHeight = editorView_->heightOfPageColumn() * scale_.width;
    editorView_->setFrameSize(Size{frame.size.width, editorHeight});
    const double height = std::max(visible.height, editorHeight + kMarginAroundEditor);
    backView_->setFrameSize(Size{width, height});
    if (editModeGrayView_->superview() == editorView_.get()) {
        editModeGrayView_->setFrame(editorView_->bounds());
    }
}

void TOVEditorViewController::truncateDataByTimeSignatureForAllBars() {
    if (controllerState_ == Idle && docData_ != nullptr) {
        updateBarsInheritedStates();
        docData_->truncateDataByTimeSignature();
    }
    refreshAll();
}

// --- Selection and counts ---

Bar* TOVEditorViewController::currentBar() const {
    TOVEditorBarView* barView = editorView_->selectedBar();
    return barView != nullptr ? barView->bar() : nullptr;
}

std::uint64_t TOVEditorViewController::currentBarNumber() const {
    Bar* bar = currentBar();
    return bar != nullptr ? bar->num() + 1 : 1;
}

void TOVEditorViewController::selectBar(TOVBarId barId) {
    TOVEditorBarView* barView = nullptr;
    if (barId.barNumber >= 0) {
        barView =
            editorView_->barViewFromNumberInLower(static_cast<std::uint64_t>(barId.barNumber), barId.lower);
    }
    if (barView == nullptr) {
        if (TOVEditorPageView* first = editorView_->firstPageView()) {
            barView = first->firstBarViewOfLower(false);
        }
    }
    editorView_->setSelectedBar(barView);
}

namespace {

Line* lineOf(const Bar* bar) {
    return bar != nullptr ? bar->line() : nullptr;
}

Page* firstPageOf(const Document* document) {
    if (document == nullptr) {
        return nullptr;
    }
    const auto pages = document->pageArray();
    return pages.empty() ? nullptr : pages.front();
}

} // namespace

std::uint64_t TOVEditorViewController::numberOfLinesInSelectedPage() const {
    Line* line = lineOf(currentBar());
    Page* page = line != nullptr ? line->page() : nullptr;
    return page != nullptr ? page->aPage() : 0;
}

void TOVEditorViewController::setNumberOfLinesInSelectedPage(std::uint64_t number) {
    Line* line = lineOf(currentBar());
    if (Page* page = line != nullptr ? line->page() : nullptr) {
        page->setAPage(number);
    }
    if (Page* first = firstPageOf(docData_)) {
        first->adjustLines();
    }
    editorView_->createAllSubviews(editorView_->selectedBarId());
}

std::uint64_t TOVEditorViewController::numberOfBarsInSelectedLine() const {
    Line* line = lineOf(currentBar());
    return line != nullptr ? line->partition() : 0;
}

void TOVEditorViewController::setNumberOfBarsInSelectedLine(std::uint64_t number) {
    if (Line* line = lineOf(currentBar())) {
        Line* target = line->upper() != nullptr ? line->upper() : line;
        target->setPartition(number);
    }
    if (docData_ != nullptr) {
        docData_->shouldNormalizeAllBarWidthInDocument();
    }
    if (Page* first = firstPageOf(docData_)) {
        first->adjustLines();
    }
    editorView_->createAllSubviews(editorView_->selectedBarId());
}

std::uint64_t TOVEditorViewController::maxPossibleNumberOfBarsInSelectedLine() const {
    std::uint64_t count = numberOfBarsInSelectedLine();
    Line* line = lineOf(currentBar());
    if (line == nullptr) {
        return count;
    }
    // Both rows of a double line are one line here.
    if (line->upper() != nullptr) {
        line = line->upper();
    }
    if (line->lower() != nullptr) {
        return kMaxBarsInLine;
    }
    while (count < kMaxBarsInLine) {
        line = line->nextLine();
        if (line == nullptr) {
            count = kMaxBarsInLine;
            break;
        }
        if (line->lower() != nullptr) {
            break;
        }
        count += line->bars().size();
    }
    return count;
}

std::uint64_t TOVEditorViewController::numberOfRowsInSelectedLine() const {
    Line* line = lineOf(currentBar());
    if (line == nullptr) {
        return 0;
    }
    return (line->lower() != nullptr || line->upper() != nullptr) ? 2 : 1;
}

void TOVEditorViewController::setNumberOfRowsInSelectedLine(std::uint64_t rows) {
    Bar* bar = currentBar();
    Line* line = lineOf(bar);
    if (line != nullptr && rows != numberOfRowsInSelectedLine()) {
        Line* target = line->upper() != nullptr ? line->upper() : line;
        if (rows == 2) {
            target->createLowerLineWithCreateEmptyBars(true);
        } else if (rows == 1) {
            target->removeLowerLine();
        }
    }
    if (Page* first = firstPageOf(docData_)) {
        first->adjustLines();
    }
    const std::int64_t number = bar != nullptr ? static_cast<std::int64_t>(bar->num()) : 0;
    editorView_->createAllSubviews(TOVBarId{number, false});
}

std::vector<ChordHistory*> TOVEditorViewController::chordHistoryArray() const {
    return docData_ != nullptr ? docData_->chordHistoryArray() : std::vector<ChordHistory*>{};
}

int TOVEditorViewController::addCurrentBarNumberObserver(std::function<void()> observer) {
    const int id = nextObserverId_++;
    currentBarNumberObservers_.emplace_back(id, std::move(observer));
    return id;
}

void TOVEditorViewController::removeCurrentBarNumberObserver(int id) {
    std::erase_if(currentBarNumberObservers_, [id](const auto& entry) { return entry.first == id; });
}

void TOVEditorViewController::selectedBarDidChange() {
    const auto observers = currentBarNumberObservers_;
    for (const auto& [id, observer] : observers) {
        observer();
    }
    showNavigationMessageForNormalMode();
}

void TOVEditorViewController::viewportSizeDidChange() {
    adjustViewFrame();
}

// --- Lookups ---

TOVLayoutView* TOVEditorViewController::layoutViewOfObject(TOVManagedObject* object) const {
    auto* symbol = dynamic_cast<Symbol*>(object);
    if (symbol == nullptr) {
        return nullptr;
    }
    Bar* bar = symbol->bar();
    if (bar == nullptr) {
        return editorView_.get();
    }
    for (const auto& pageView : editorView_->pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            for (const auto& barView : lineView->barViewArray()) {
                if (barView->bar() == bar) {
                    return barView.get();
                }
            }
        }
    }
    return nullptr;
}

TOVEditorBarView* TOVEditorViewController::barViewFromBar(const Bar* bar) const {
    if (bar == nullptr || bar->isDeleted()) {
        return nullptr;
    }
    Line* line = bar->line();
    const bool lower = line != nullptr && line->upper() != nullptr;
    TOVEditorBarView* barView = editorView_->barViewFromNumberInLower(bar->num(), lower);
    // A bar taken out of the song may share its number with the bar that now stands there.
    return (barView != nullptr && barView->bar() == bar) ? barView : nullptr;
}

TOVEditorPageView* TOVEditorViewController::pageViewFromPage(const Page* page) const {
    return page != nullptr ? editorView_->pageViewFromPage(page) : nullptr;
}

TOVEditorLineView* TOVEditorViewController::lineViewFromLine(const Line* line) const {
    if (line == nullptr) {
        return nullptr;
    }
    for (const auto& pageView : editorView_->pageViewArray()) {
        if (TOVEditorLineView* lineView = pageView->lineViewFromLine(line)) {
            return lineView;
        }
    }
    return nullptr;
}

// --- Refreshes ---

void TOVEditorViewController::updateBarsInheritedStates() {
    if (controllerState_ != Idle || docData_ == nullptr) {
        return;
    }
    docData_->updateClefKeyTimeStateForAllBars();
    updateClefKeyTimeViews();
}

void TOVEditorViewController::updateClefKeyTimeViews() {
    for (const auto& pageView : editorView_->pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            for (const auto& barView : lineView->barViewArray()) {
                Bar* bar = barView->bar();
                if (bar != nullptr && bar->keyType() != 0) {
                    barView->updateClefKeyTimeViews();
                }
            }
        }
    }
}

void TOVEditorViewController::refreshAll() {
    updateBarsInheritedStates();
    controllerState_ = Refreshing;
    editorView_->createAllSubviews(editorView_->selectedBarId());
    controllerState_ = Idle;
    adjustViewFrame();
    ++rebuildCounts_.refreshAll;
    rebuildCounts_.pageViews += editorView_->pageViewArray().size();
    for (const auto& pageView : editorView_->pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            ++rebuildCounts_.lineViews;
            rebuildCounts_.barViews += lineView->barViewArray().size();
        }
    }
}

void TOVEditorViewController::updateAllChordViews() {
    for (const auto& pageView : editorView_->pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            for (const auto& barView : lineView->barViewArray()) {
                const auto chords = barView->chords();
                for (const auto& chordView : chords) {
                    chordView->updateView();
                }
            }
        }
    }
}

void TOVEditorViewController::terminateDocumentAtBarView(TOVEditorBarView* barView) {
    if (barView == nullptr) {
        return;
    }
    TOVEditorBarView* upper = barView->upperBarView();
    if (upper == nullptr || upper->bar() == nullptr) {
        return;
    }
    TOVEditorBarView* twin = upper->alternativeBarViewInDoubleLine();
    if (upper->bar()->barLineType() != TOVBarlineGreatDouble) {
        upper->bar()->setBarLineType(TOVBarlineGreatDouble);
    }
    if (upper->fineView() == nullptr && (twin == nullptr || twin->fineView() == nullptr)) {
        TOVEditorBarView* target = twin != nullptr ? twin : upper;
        if (Bar* bar = target->bar()) {
            const Rect frame(target->bounds().size.width - 20.0, target->posY5LinesTop() + 23.8 + 1.0, 0, 0);
            if (SymbolRepeat* fine = bar->createNewSymbolRepeatWithTypeFrame(TOVSymbolFine, frame)) {
                target->createRepeatViewOfDataSelect(TOVSymbolFine, fine, false);
            }
        }
    }
    if (TOVEditorBarView* next = upper->nextBarView()) {
        TOVEditorPageView* last = editorView_->lastPageView();
        TOVEditorBarView* end = last != nullptr ? last->lastBarViewOfLower(false) : nullptr;
        if (end != nullptr) {
            deleteBarsFromTo(next, end);
        }
    }
    editorView_->createAllSubviews(editorView_->selectedBarId());
}

void TOVEditorViewController::deleteBarsFromTo(TOVEditorBarView* from, TOVEditorBarView* to) {
    if (docData_ == nullptr || from == nullptr || to == nullptr || from->bar() == nullptr ||
        to->bar() == nullptr) {
        return;
    }
    controllerState_ = BarRangeEdit;
    docData_->deleteBarsFromTo(from->bar(), to->bar());
    controllerState_ = Idle;
    updateBarsInheritedStates();
}

// --- The undo refresh buffer's side ---

bool TOVEditorViewController::isInDocument(const TOVManagedObject* object) const {
    if (object == nullptr || object->isDeleted() || docData_ == nullptr) {
        return false;
    }
    if (const auto* page = dynamic_cast<const Page*>(object)) {
        return page->document() == docData_;
    }
    if (const auto* line = dynamic_cast<const Line*>(object)) {
        if (Line* upper = line->upper()) {
            return isInDocument(upper);
        }
        return isInDocument(line->page());
    }
    if (const auto* bar = dynamic_cast<const Bar*>(object)) {
        return isInDocument(bar->line());
    }
    if (const auto* symbol = dynamic_cast<const Symbol*>(object)) {
        Bar* bar = symbol->bar();
        return bar != nullptr ? isInDocument(bar) : symbol->document() == docData_;
    }
    return true;
}

void TOVEditorViewController::coreDataControllerDrainBuffer(TOVCoreDataController& buffer) {
    if (buffer.clefStatesRefresh()) {
        updateBarsInheritedStates();
    }
    if (buffer.barNumberRefresh()) {
        editorView_->setNeedsDisplay();
    }
    if (buffer.documentAllRefresh()) {
        refreshAll();
        editorView_->setNeedsDisplay();
        return;
    }

    // What the undo took out of the song stays in the lists; it has no view and is never read through.
    std::vector<Line*> lines = buffer.linesRefresh();
    std::vector<Bar*> bars = buffer.barsRefresh();
    const auto coveredBy = [&](Line* line) {
        eraseAll(lines, line);
        for (Bar* bar : line->bars()) {
            eraseAll(bars, bar);
        }
    };

    for (Page* page : buffer.pagesRefresh()) {
        if (!isInDocument(page)) {
            continue;
        }
        if (TOVEditorPageView* pageView = pageViewFromPage(page)) {
            pageView->recreateAllSubViews();
            ++rebuildCounts_.pageViews;
            for (const auto& lineView : pageView->lineViewArray()) {
                ++rebuildCounts_.lineViews;
                rebuildCounts_.barViews += lineView->barViewArray().size();
            }
            rebuildCounts_.rebuiltObjects.push_back(page);
        }
        for (Line* line : page->lines()) {
            coveredBy(line);
            if (Line* lower = line->lower()) {
                coveredBy(lower);
            }
        }
    }
    for (Line* line : lines) {
        if (!isInDocument(line)) {
            continue;
        }
        if (TOVEditorLineView* lineView = lineViewFromLine(line)) {
            lineView->recreateAllSubViews();
            ++rebuildCounts_.lineViews;
            rebuildCounts_.barViews += lineView->barViewArray().size();
            rebuildCounts_.rebuiltObjects.push_back(line);
        }
        for (Bar* bar : line->bars()) {
            eraseAll(bars, bar);
        }
    }
    for (Bar* bar : bars) {
        if (!isInDocument(bar)) {
            continue;
        }
        if (TOVEditorBarView* barView = barViewFromBar(bar)) {
            barView->recreateAllSubViews();
            ++rebuildCounts_.barViews;
            rebuildCounts_.rebuiltObjects.push_back(bar);
        }
    }
    if (buffer.documentSymbolsRefresh()) {
        editorView_->createAllSymbolViews();
    }
    const auto refreshEach = [this](const auto& objects) {
        for (TOVManagedObject* object : objects) {
            if (isInDocument(object)) {
                objectShouldUpdateView(object);
            }
        }
    };
    refreshEach(buffer.symbolsRefresh());
    refreshEach(buffer.chordsRefresh());
    refreshEach(buffer.notesRefresh());
    editorView_->setNeedsDisplay();
}

void TOVEditorViewController::objectShouldUpdateView(TOVManagedObject* object) {
    TOVLayoutView* layoutView = layoutViewOfObject(object);
    if (layoutView == nullptr) {
        return;
    }
    layoutView->objectShouldUpdateView(static_cast<Symbol*>(object));
    ++rebuildCounts_.objectViews;
    rebuildCounts_.rebuiltObjects.push_back(object);
}

// --- TOVObjectController ---

int TOVEditorViewController::objectViewInquireEditBarMode(TOVObjectView*) {
    return editBarsMode_;
}

bool TOVEditorViewController::objectViewShouldBeSelectedAndClearOthers(TOVObjectView* view,
                                                                       bool clearOthers) {
    return editorView_->selectAnObjectViewClearOthers(view, clearOthers);
}

void TOVEditorViewController::objectViewShouldBeUnselected(TOVObjectView* view) {
    editorView_->unselectAnObjectView(view);
}

void TOVEditorViewController::objectViewShouldBeTarget(TOVObjectView* view) {
    editorView_->setTargerObjectView(view);
}

namespace {

// Every selected view of the kind, taken before any of them acts (acting may change the selection).
template <typename T>
std::vector<std::shared_ptr<T>> selectedViewsOf(const TOVEditorView& editor) {
    std::vector<std::shared_ptr<T>> views;
    for (const auto& view : editor.selectedObjectViewSet()) {
        if (auto typed = std::dynamic_pointer_cast<T>(view)) {
            views.push_back(std::move(typed));
        }
    }
    return views;
}

} // namespace

void TOVEditorViewController::objectViewUnderMovingWithDiffXDiffY(TOVObjectView*, double dx, double dy) {
    for (const auto& view : selectedViewsOf<TOVMovableView>(*editorView_)) {
        view->temporallyMoveWithDiffXDiffY(dx, dy);
    }
}

Point TOVEditorViewController::objectViewInquireNearestGridFromPos(TOVObjectView*, Point pos) {
    constexpr double kGrid = 10.0;
    for (const auto& pageView : editorView_->pageViewArray()) {
        const Rect frame = pageView->frame();
        if (frame.containsPoint(pos)) {
            // Halfway between two lines goes to the greater one.
            const auto snap = [](double offset) { return std::floor(offset / kGrid + 0.5) * kGrid; };
            return Point{frame.origin.x + snap(pos.x - frame.origin.x),
                         frame.origin.y + snap(pos.y - frame.origin.y)};
        }
    }
    constexpr double kOff = std::numeric_limits<double>::max();
    return Point{kOff, kOff};
}

void TOVEditorViewController::objectViewCompleteChangingFrame(TOVObjectView*) {
    for (const auto& view : selectedViewsOf<TOVMovableView>(*editorView_)) {
        view->completeChangingFrame();
    }
}

void TOVEditorViewController::objectViewFrameDidChange(TOVObjectView*) {
    // Attaching a moved drawing tool to the bar beneath it belongs to the object moves, not built yet.
}

void TOVEditorViewController::objectViewUnderResizingFixedWithDiffScaleMoveXMoveY(TOVObjectView*,
                                                                                  double diffScale,
                                                                                  bool moveX, bool moveY) {
    for (const auto& view : selectedViewsOf<TOVResizableFixedView>(*editorView_)) {
        view->temporallyResizeWithDiffScaleMoveXMoveY(diffScale, moveX, moveY);
    }
}

void TOVEditorViewController::objectViewUnderResizingFreeWithDiffXDiffYMoveXMoveY(TOVObjectView*, double dx,
                                                                                  double dy, bool moveX,
                                                                                  bool moveY) {
    for (const auto& view : selectedViewsOf<TOVResizableFreeView>(*editorView_)) {
        view->temporallyResizeWithDiffXDiffYMoveXMoveY(dx, dy, moveX, moveY);
    }
}

void TOVEditorViewController::objectViewUnderRotatingWithDiffAngleDiffWidth(TOVObjectView*, double diffAngle,
                                                                            double diffWidth) {
    for (const auto& view : selectedViewsOf<TOVRotatableView>(*editorView_)) {
        view->temporallyRotateWithDiffAngleDiffWidth(diffAngle, diffWidth);
    }
}

void TOVEditorViewController::chordViewDidDoubleClick(TOVObjectView*) {
    const int action = TOVUtils::actionTypeDoubleClickChordsArea();
    if (delegate_ != nullptr && (action == 0 || action == 1)) {
        delegate_->editorRequireShowChordWindowWithMode(this, action);
    }
}

void TOVEditorViewController::chordViewDidRightClick(TOVObjectView*) {
    const int action = TOVUtils::actionTypeRightClickChordsArea();
    if (delegate_ != nullptr && (action == 0 || action == 1)) {
        delegate_->editorRequireShowChordWindowWithMode(this, action);
    }
}

// The setting sheets of signs belong to the symbol property editing, not built yet.
void TOVEditorViewController::repeatDaCapoViewDidDoulbleClick(TOVObjectView*) {}
void TOVEditorViewController::repeatTimesViewDidDoulbleClick(TOVObjectView*) {}
void TOVEditorViewController::repeatVoltaViewDidDoulbleClick(TOVObjectView*) {}
void TOVEditorViewController::longRestViewDidDoulbleClick(TOVObjectView*) {}
void TOVEditorViewController::tempoSpeedViewDidDoulbleClick(TOVTempoSpeedView*) {}

Point TOVEditorViewController::toolsViewInquireOrigin(TOVObjectView* view) {
    if (view == nullptr) {
        return Point{};
    }
    if (auto* tools = dynamic_cast<SymbolTools*>(view->symbol())) {
        if (Bar* bar = tools->barFollowsTo()) {
            if (TOVEditorBarView* barView = barViewFromBar(bar)) {
                return barView->convertPointToView(tools->frameRelativeToBar().origin, editorView_.get());
            }
        }
    }
    return view->frame().origin;
}

void TOVEditorViewController::greatDoubleBarLineDidInserted(TOVObjectView* view) {
    auto* barView = view != nullptr ? dynamic_cast<TOVEditorBarView*>(view->barViewBelongTo()) : nullptr;
    if (barView == nullptr) {
        return;
    }
    editorView_->setSelectedBar(barView);
    terminateDocumentAtBarView(barView);
}

// --- TOVLayoutController ---

void TOVEditorViewController::layoutViewMousDidClick(platform::View* view, const platform::Event&) {
    auto* barView = exactly<TOVEditorBarView>(view);
    if (barView == nullptr) {
        return;
    }
    // Choosing bar ranges (with their confirmations) belongs to the bar-range editing, not built yet.
    if (editBarsMode_ == Normal) {
        editorView_->setSelectedBar(barView);
        showNavigationMessageForNormalMode();
        editorView_->setNeedsDisplay();
    }
}

void TOVEditorViewController::layoutViewMousDidRightClick(platform::View*, const platform::Event&) {
    // The click actions of the chords and notes areas open windows of the window controller, not built yet.
}

void TOVEditorViewController::layoutViewMousDidDoubleClick(platform::View* view, const platform::Event&) {
    if (editBarsMode_ != Normal) {
        return;
    }
    if (exactly<TOVEditorSongView>(view) != nullptr && delegate_ != nullptr) {
        delegate_->editorRequireShowSongSettingWindow(this, nullptr);
    }
}

void TOVEditorViewController::layoutViewMousDragDidUpdate(platform::View*, const platform::Event&) {
    showNavigationMessageForNormalMode();
}

void TOVEditorViewController::layoutViewMousDragDidFinish(platform::View*, const platform::Event&) {
    showNavigationMessageForNormalMode();
}

void TOVEditorViewController::layoutViewNumberOfPageDidChange(platform::View*) {
    adjustViewFrame();
}

void TOVEditorViewController::layoutViewSymbolPaletteDragEnteredDraggingInfo(platform::View* view,
                                                                             std::int32_t item,
                                                                             const platform::DraggingInfo&) {
    if (auto* barView = exactly<TOVEditorBarView>(view)) {
        editorView_->setDropTargetBar(barView);
    }
    showNavigationMessageForDraggingSymbolActiveView(item, view);
}

void TOVEditorViewController::layoutViewSymbolPaletteDragExitedDraggingInfo(platform::View* view,
                                                                            std::int32_t,
                                                                            const platform::DraggingInfo&) {
    if (exactly<TOVEditorView>(view) != nullptr) {
        editorView_->setDropTargetBar(nullptr);
        showNavigationMessageForNormalMode();
    }
}

void TOVEditorViewController::layoutViewSymbolPaletteDragPerformedDraggingInfo(
    platform::View* view, std::int32_t item, const platform::DraggingInfo&) {
    if (exactly<TOVEditorBarView>(view) != nullptr) {
        editorView_->setDropTargetBar(nullptr);
    }
    showNavigationMessageForNormalMode();
    if ((item & TOVSymbolCategoryMask) == TOVSymbolCategoryTimeSignature) {
        truncateDataByTimeSignatureForAllBars();
    }
}

void TOVEditorViewController::layoutViewNotePaletteDragEnteredDraggingInfo(platform::View* view,
                                                                           std::int32_t item,
                                                                           const platform::DraggingInfo&) {
    constexpr std::int32_t kHarmonyItem = TOVNoteItemHarmonyTone;
    if (auto* barView = exactly<TOVEditorBarView>(view); barView != nullptr && item != kHarmonyItem) {
        editorView_->setDropTargetBar(barView);
    }
    showNavigationMessageForDraggingNoteActiveView(item, view);
}

void TOVEditorViewController::layoutViewNotePaletteDragExitedDraggingInfo(platform::View* view, std::int32_t,
                                                                          const platform::DraggingInfo&) {
    if (exactly<TOVEditorView>(view) != nullptr) {
        editorView_->setDropTargetBar(nullptr);
        showNavigationMessageForNormalMode();
    }
}

void TOVEditorViewController::layoutViewNotePaletteDragPerformedDraggingInfo(platform::View* view,
                                                                             std::int32_t,
                                                                             const platform::DraggingInfo&) {
    if (exactly<TOVEditorBarView>(view) != nullptr) {
        editorView_->setDropTargetBar(nullptr);
    }
    showNavigationMessageForNormalMode();
}

// Symbol drops and note input are separate parts of the editor, not built yet: these drops change nothing.
void TOVEditorViewController::layoutViewRequireInsertSymbolObjectDraggingInfo(platform::View*, std::int32_t,
                                                                              const platform::DraggingInfo&) {
}
void TOVEditorViewController::layoutViewRequireInsertSymbolObjectDraggingInfo(TOVNoteToneCell*, std::int32_t,
                                                                              const platform::DraggingInfo&) {
}
void TOVEditorViewController::layoutViewRequireInsertMeloAtLengthLevel(platform::View*, std::uint64_t,
                                                                       std::uint64_t, std::int64_t) {}
void TOVEditorViewController::layoutViewRequireInsertRestAtLength(platform::View*, std::uint64_t,
                                                                  std::uint64_t) {}
void TOVEditorViewController::layoutViewRequireInsertTripletAtLengthLevel(platform::View*, std::uint64_t,
                                                                          std::uint64_t, std::int64_t) {}
void TOVEditorViewController::layoutViewRequireInsertSextupletAtLengthLevel(platform::View*, std::uint64_t,
                                                                            std::uint64_t, std::int64_t) {}
void TOVEditorViewController::layoutViewRequireInsertBeatSlashAt(platform::View*, std::uint64_t) {}

TOVEditorLineView* TOVEditorViewController::layoutViewInquireLineView(platform::View* view) {
    for (platform::View* up = view != nullptr ? view->superview() : nullptr; up != nullptr;
         up = up->superview()) {
        if (auto* lineView = exactly<TOVEditorLineView>(up)) {
            return lineView;
        }
    }
    return nullptr;
}

TOVEditorPageView* TOVEditorViewController::layoutViewInquirePageView(platform::View* view) {
    for (platform::View* up = view != nullptr ? view->superview() : nullptr; up != nullptr;
         up = up->superview()) {
        if (auto* pageView = exactly<TOVEditorPageView>(up)) {
            return pageView;
        }
    }
    return nullptr;
}

bool TOVEditorViewController::layoutViewInquireShowGrid(platform::View*) {
    return showGrid_;
}

Size TOVEditorViewController::layoutViewInquireScale(platform::View*) {
    return scale_;
}

TOVEditorView* TOVEditorViewController::layoutViewInquireEditorView(platform::View*) {
    return editorView_.get();
}

int TOVEditorViewController::layoutViewInquireEditorMode(platform::View*) {
    return editBarsMode_;
}

int TOVEditorViewController::layoutViewInquireBarDrawMode(platform::View* view) {
    auto* barView = exactly<TOVEditorBarView>(view);
    if (barView == nullptr) {
        return 0;
    }
    if (editBarsMode_ == Normal) {
        return barView->selected() ? 1 : 0;
    }
    TOVEditorBarView* start = editBarsStart();
    Bar* bar = barView->bar();
    if (start == nullptr || start->bar() == nullptr || bar == nullptr) {
        return 0;
    }
    TOVEditorBarView* end = editBarsEnd();
    if (end == nullptr || end->bar() == nullptr) {
        return bar->num() == start->bar()->num() ? 2 : 0;
    }
    return (start->bar()->num() <= bar->num() && bar->num() <= end->bar()->num()) ? 2 : 0;
}

bool TOVEditorViewController::layoutViewInquireIsChordInputActive(platform::View*) {
    return delegate_ != nullptr && delegate_->editorInquireIsChordWindowActive(this, nullptr);
}

bool TOVEditorViewController::layoutViewInquireDrawBarNumber(platform::View*) {
    return false;
}

void TOVEditorViewController::layoutViewWillUpdateSubviews(platform::View*) {}

void TOVEditorViewController::layoutViewDidlUpdateSubviews(platform::View* view) {
    if (auto* barView = exactly<TOVEditorBarView>(view)) {
        if (barView->bar() != nullptr && barView->bar()->num() == 0 && barView->lineView() != nullptr) {
            barView->lineView()->updateAllSubviews();
        }
    }
    adjustViewFrame();
}

void TOVEditorViewController::layoutViewDidUpdateClefArea(platform::View* view, platform::ManagedObject*) {
    auto* barView = exactly<TOVEditorBarView>(view);
    if (barView == nullptr) {
        return;
    }
    if (barView->bar() != nullptr && barView->bar()->num() == 0 && barView->lineView() != nullptr) {
        barView->lineView()->normalizeBarWidth();
        barView->lineView()->updateAllSubviews();
    }
    updateBarsInheritedStates();
}

void TOVEditorViewController::layoutViewSelectedObjectViewSetDidChange(platform::View*,
                                                                       const ObjectViewSet&) {
    showNavigationMessageForNormalMode();
}

void TOVEditorViewController::layoutViewRequireClearSelection(platform::View*) {
    editorView_->clearSelection();
}
