#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "layout/TOVEditModeGrayView.h"
#include "layout/TOVEditorBackView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/TOVCoreDataController.h"
#include "platform/ui/ViewHost.h"

#include <QScrollArea>

TOVEditorViewController::TOVEditorViewController()
    : editorView_(std::make_shared<TOVEditorView>(platform::Rect(0, 0, TOVEditorView::kPageWidth, 0))),
      backView_(std::make_shared<TOVEditorBackView>()),
      editModeGrayView_(std::make_shared<TOVEditModeGrayView>()),
      coreDataController_(std::make_shared<TOVCoreDataController>()) {
    coreDataController_->setEditorViewController(this);
    scrollView_ = new QScrollArea;
    host_ = new platform::ViewHost;
    host_->setRootView(backView_);
    scrollView_->setWidget(host_);
    backView_->addSubview(editorView_);
    backView_->setEditorView(editorView_.get());
    editorView_->setDelegate(this);
}

TOVEditorViewController::~TOVEditorViewController() {
    stopObservingUndo();
    coreDataController_->setEditorViewController(nullptr);
    editorView_->setDocData(nullptr);
    editorView_->setDelegate(nullptr);
    delete scrollView_.data();
}

QWidget* TOVEditorViewController::view() const { return scrollView_.data(); }
QScrollArea* TOVEditorViewController::scrollView() const { return scrollView_.data(); }
platform::ViewHost* TOVEditorViewController::host() const { return host_.data(); }

void TOVEditorViewController::registerUndoObservation(platform::UndoManager* undoManager) {
    stopObservingUndo();
    undoMgr_ = undoManager;
}
void TOVEditorViewController::stopObservingUndo() { undoMgr_ = nullptr; }
platform::ManagedObjectContext* TOVEditorViewController::moc() const { return nullptr; }
platform::UndoManager* TOVEditorViewController::undoManager() const { return nullptr; }
void TOVEditorViewController::willUndo() {}
void TOVEditorViewController::didUndo() {}
void TOVEditorViewController::willRedo() {}
void TOVEditorViewController::didRedo() {}
void TOVEditorViewController::setDocData(Document* document) { docData_ = document; }
void TOVEditorViewController::setScale(platform::Size scale) { scale_ = scale; }
void TOVEditorViewController::setShowGrid(bool showGrid) { showGrid_ = showGrid; }
void TOVEditorViewController::setEditBarsMode(int mode) { editBarsMode_ = mode; }
TOVEditorBarView* TOVEditorViewController::editBarsStart() const { return nullptr; }
void TOVEditorViewController::setEditBarsStart(TOVEditorBarView*) {}
TOVEditorBarView* TOVEditorViewController::editBarsEnd() const { return nullptr; }
void TOVEditorViewController::setEditBarsEnd(TOVEditorBarView*) {}
void TOVEditorViewController::adjustViewFrame() {}
void TOVEditorViewController::truncateDataByTimeSignatureForAllBars() {}
Bar* TOVEditorViewController::currentBar() const { return nullptr; }
std::uint64_t TOVEditorViewController::currentBarNumber() const { return 1; }
void TOVEditorViewController::selectBar(TOVBarId) {}
std::uint64_t TOVEditorViewController::numberOfLinesInSelectedPage() const { return 0; }
void TOVEditorViewController::setNumberOfLinesInSelectedPage(std::uint64_t) {}
std::uint64_t TOVEditorViewController::numberOfBarsInSelectedLine() const { return 0; }
void TOVEditorViewController::setNumberOfBarsInSelectedLine(std::uint64_t) {}
std::uint64_t TOVEditorViewController::maxPossibleNumberOfBarsInSelectedLine() const { return 0; }
std::uint64_t TOVEditorViewController::numberOfRowsInSelectedLine() const { return 0; }
void TOVEditorViewController::setNumberOfRowsInSelectedLine(std::uint64_t) {}
std::vector<ChordHistory*> TOVEditorViewController::chordHistoryArray() const { return {}; }
int TOVEditorViewController::addCurrentBarNumberObserver(std::function<void()>) { return 0; }
void TOVEditorViewController::removeCurrentBarNumberObserver(int) {}
TOVLayoutView* TOVEditorViewController::layoutViewOfObject(TOVManagedObject*) const { return nullptr; }
TOVEditorBarView* TOVEditorViewController::barViewFromBar(const Bar*) const { return nullptr; }
TOVEditorPageView* TOVEditorViewController::pageViewFromPage(const Page*) const { return nullptr; }
TOVEditorLineView* TOVEditorViewController::lineViewFromLine(const Line*) const { return nullptr; }
void TOVEditorViewController::updateBarsInheritedStates() {}
void TOVEditorViewController::updateClefKeyTimeViews() {}
void TOVEditorViewController::refreshAll() {}
void TOVEditorViewController::updateAllChordViews() {}
void TOVEditorViewController::terminateDocumentAtBarView(TOVEditorBarView*) {}
void TOVEditorViewController::coreDataControllerDrainBuffer(TOVCoreDataController&) {}
void TOVEditorViewController::objectShouldUpdateView(TOVManagedObject*) {}
int TOVEditorViewController::objectViewInquireEditBarMode(TOVObjectView*) { return editBarsMode_; }
bool TOVEditorViewController::objectViewShouldBeSelectedAndClearOthers(TOVObjectView*, bool) { return false; }
void TOVEditorViewController::objectViewShouldBeUnselected(TOVObjectView*) {}
void TOVEditorViewController::objectViewShouldBeTarget(TOVObjectView*) {}
void TOVEditorViewController::objectViewUnderMovingWithDiffXDiffY(TOVObjectView*, double, double) {}
platform::Point TOVEditorViewController::objectViewInquireNearestGridFromPos(TOVObjectView*, platform::Point p) {
    return p;
}
void TOVEditorViewController::objectViewCompleteChangingFrame(TOVObjectView*) {}
void TOVEditorViewController::objectViewFrameDidChange(TOVObjectView*) {}
void TOVEditorViewController::objectViewUnderResizingFixedWithDiffScaleMoveXMoveY(TOVObjectView*, double, bool,
                                                                                  bool) {}
void TOVEditorViewController::objectViewUnderResizingFreeWithDiffXDiffYMoveXMoveY(TOVObjectView*, double,
                                                                                  double, bool, bool) {}
void TOVEditorViewController::objectViewUnderRotatingWithDiffAngleDiffWidth(TOVObjectView*, double, double) {}
void TOVEditorViewController::chordViewDidDoubleClick(TOVObjectView*) {}
void TOVEditorViewController::chordViewDidRightClick(TOVObjectView*) {}
void TOVEditorViewController::repeatDaCapoViewDidDoulbleClick(TOVObjectView*) {}
void TOVEditorViewController::repeatTimesViewDidDoulbleClick(TOVObjectView*) {}
void TOVEditorViewController::repeatVoltaViewDidDoulbleClick(TOVObjectView*) {}
void TOVEditorViewController::longRestViewDidDoulbleClick(TOVObjectView*) {}
platform::Point TOVEditorViewController::toolsViewInquireOrigin(TOVObjectView*) { return {}; }
void TOVEditorViewController::tempoSpeedViewDidDoulbleClick(TOVTempoSpeedView*) {}
void TOVEditorViewController::greatDoubleBarLineDidInserted(TOVObjectView*) {}
void TOVEditorViewController::layoutViewMousDidClick(platform::View*, const platform::Event&) {}
void TOVEditorViewController::layoutViewMousDidRightClick(platform::View*, const platform::Event&) {}
void TOVEditorViewController::layoutViewMousDidDoubleClick(platform::View*, const platform::Event&) {}
void TOVEditorViewController::layoutViewMousDragDidUpdate(platform::View*, const platform::Event&) {}
void TOVEditorViewController::layoutViewMousDragDidFinish(platform::View*, const platform::Event&) {}
void TOVEditorViewController::layoutViewNumberOfPageDidChange(platform::View*) {}
void TOVEditorViewController::layoutViewSymbolPaletteDragEnteredDraggingInfo(platform::View*, std::int32_t,
                                                                             const platform::DraggingInfo&) {}
void TOVEditorViewController::layoutViewSymbolPaletteDragExitedDraggingInfo(platform::View*, std::int32_t,
                                                                            const platform::DraggingInfo&) {}
void TOVEditorViewController::layoutViewSymbolPaletteDragPerformedDraggingInfo(platform::View*, std::int32_t,
                                                                               const platform::DraggingInfo&) {}
void TOVEditorViewController::layoutViewNotePaletteDragEnteredDraggingInfo(platform::View*, std::int32_t,
                                                                           const platform::DraggingInfo&) {}
void TOVEditorViewController::layoutViewNotePaletteDragExitedDraggingInfo(platform::View*, std::int32_t,
                                                                          const platform::DraggingInfo&) {}
void TOVEditorViewController::layoutViewNotePaletteDragPerformedDraggingInfo(platform::View*, std::int32_t,
                                                                             const platform::DraggingInfo&) {}
void TOVEditorViewController::layoutViewRequireInsertSymbolObjectDraggingInfo(platform::View*, std::int32_t,
                                                                              const platform::DraggingInfo&) {}
void TOVEditorViewController::layoutViewRequireInsertSymbolObjectDraggingInfo(TOVNoteToneCell*, std::int32_t,
                                                                              const platform::DraggingInfo&) {}
void TOVEditorViewController::layoutViewRequireInsertMeloAtLengthLevel(platform::View*, std::uint64_t,
                                                                       std::uint64_t, std::int64_t) {}
void TOVEditorViewController::layoutViewRequireInsertRestAtLength(platform::View*, std::uint64_t, std::uint64_t) {
}
void TOVEditorViewController::layoutViewRequireInsertTripletAtLengthLevel(platform::View*, std::uint64_t,
                                                                          std::uint64_t, std::int64_t) {}
void TOVEditorViewController::layoutViewRequireInsertSextupletAtLengthLevel(platform::View*, std::uint64_t,
                                                                            std::uint64_t, std::int64_t) {}
void TOVEditorViewController::layoutViewRequireInsertBeatSlashAt(platform::View*, std::uint64_t) {}
TOVEditorLineView* TOVEditorViewController::layoutViewInquireLineView(platform::View*) { return nullptr; }
TOVEditorPageView* TOVEditorViewController::layoutViewInquirePageView(platform::View*) { return nullptr; }
bool TOVEditorViewController::layoutViewInquireShowGrid(platform::View*) { return showGrid_; }
platform::Size TOVEditorViewController::layoutViewInquireScale(platform::View*) { return scale_; }
TOVEditorView* TOVEditorViewController::layoutViewInquireEditorView(platform::View*) { return editorView_.get(); }
int TOVEditorViewController::layoutViewInquireEditorMode(platform::View*) { return editBarsMode_; }
int TOVEditorViewController::layoutViewInquireBarDrawMode(platform::View*) { return 0; }
bool TOVEditorViewController::layoutViewInquireIsChordInputActive(platform::View*) { return false; }
bool TOVEditorViewController::layoutViewInquireDrawBarNumber(platform::View*) { return false; }
void TOVEditorViewController::layoutViewWillUpdateSubviews(platform::View*) {}
void TOVEditorViewController::layoutViewDidlUpdateSubviews(platform::View*) {}
void TOVEditorViewController::layoutViewDidUpdateClefArea(platform::View*, platform::ManagedObject*) {}
void TOVEditorViewController::layoutViewSelectedObjectViewSetDidChange(platform::View*, const ObjectViewSet&) {}
void TOVEditorViewController::layoutViewRequireClearSelection(platform::View*) {}
void TOVEditorViewController::selectedBarDidChange() {}
void TOVEditorViewController::viewportSizeDidChange() {}
void TOVEditorViewController::deleteBarsFromTo(TOVEditorBarView*, TOVEditorBarView*) {}
void TOVEditorViewController::restoreFocusedBar() {}
