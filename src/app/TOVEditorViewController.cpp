// Set-up and document: view tree, undo, bound document, zoom, grid, bar-range mode, line and page counts.
#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "layout/TOVEditModeGrayView.h"
#include "layout/TOVEditorBackView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/TOVCoreDataController.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/ui/ViewHost.h"

#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace {

using platform::Point;
using platform::Rect;
using platform::Size;

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
