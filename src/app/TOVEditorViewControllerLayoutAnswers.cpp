// Answers to the layout views (TOVLayoutController): mouse, palette drags, insert requests, questions.
#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "app/TOVExactView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorSongView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"

namespace {
using platform::Size;
} // namespace

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

namespace {

// The chord input window's page that a click action of the user defaults opens: 0 three-step, 1 one-step;
// any other action opens nothing.
bool opensChordWindow(int action) {
    return action == 0 || action == 1;
}

} // namespace

void TOVEditorViewController::performChordsAreaAction(int action, TOVEditorBarView* barView,
                                                      TOVObjectView* chordView) {
    // A bar-range mode takes every click for choosing bars.
    if (editBarsMode_ != Normal || delegate_ == nullptr || !opensChordWindow(action)) {
        return;
    }
    // The window writes at the bar or the chord clicked, not at whatever happened to be selected: a right
    // click selects nothing by itself.
    if (chordView != nullptr) {
        editorView_->selectAnObjectViewClearOthers(chordView, true);
    } else if (barView != nullptr) {
        editorView_->setSelectedBar(barView);
    }
    delegate_->editorRequireShowChordWindowWithMode(this, action);
}

void TOVEditorViewController::layoutViewMousDidRightClick(platform::View* view,
                                                          const platform::Event& event) {
    if (editBarsMode_ != Normal) {
        return;
    }
    // The notes area's actions open the rhythm matrix and the notes palette, not built yet.
    if (auto* barView = exactly<TOVEditorBarView>(view);
        barView != nullptr && barView->hitTestChordArea(event)) {
        performChordsAreaAction(TOVUtils::actionTypeRightClickChordsArea(), barView, nullptr);
    }
}

void TOVEditorViewController::layoutViewMousDidDoubleClick(platform::View* view,
                                                           const platform::Event& event) {
    if (editBarsMode_ != Normal) {
        return;
    }
    if (auto* barView = exactly<TOVEditorBarView>(view)) {
        if (barView->hitTestChordArea(event)) {
            performChordsAreaAction(TOVUtils::actionTypeDoubleClickChordsArea(), barView, nullptr);
        }
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

// Note input from the palettes is a separate part of the editor, not built yet: these drops change nothing.
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
