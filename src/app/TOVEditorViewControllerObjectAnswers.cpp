// Answers to the object views (TOVObjectController): selection, target, moves, resizes, rotations, clicks.
#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "glyphs/TOVMovableView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVResizableFixedView.h"
#include "glyphs/TOVResizableFreeView.h"
#include "glyphs/TOVRotatableView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/SymbolTools.h"
#include "model/TOVUtils.h"

#include <cmath>
#include <limits>

namespace {
using platform::Point;
using platform::Rect;
} // namespace

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

void TOVEditorViewController::chordViewDidDoubleClick(TOVObjectView* view) {
    performChordsAreaAction(TOVUtils::actionTypeDoubleClickChordsArea(), nullptr, view);
}

void TOVEditorViewController::chordViewDidRightClick(TOVObjectView* view) {
    performChordsAreaAction(TOVUtils::actionTypeRightClickChordsArea(), nullptr, view);
}

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

void TOVEditorViewController::noteViewDidUpdateSelectedCells(TOVNoteView*) {
    showNavigationMessageForNormalMode();
}

void TOVEditorViewController::greatDoubleBarLineDidInserted(TOVObjectView* view) {
    auto* barView = view != nullptr ? dynamic_cast<TOVEditorBarView*>(view->barViewBelongTo()) : nullptr;
    if (barView == nullptr) {
        return;
    }
    editorView_->setSelectedBar(barView);
    terminateDocumentAtBarView(barView);
}
