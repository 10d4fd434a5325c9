// Answers to the object views (TOVObjectController): selection, target, moves, resizes, rotations, clicks.
#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVMovableView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVResizableFixedView.h"
#include "glyphs/TOVResizableFreeView.h"
#include "glyphs/TOVRotatableView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/SymbolTools.h"
#include "model/TOVUtils.h"

#include <cmath>
#include <limits>
#include <typeinfo>

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
    // From the page's edge: a point 5.0 or more past a line goes to the next one; a line past the page's
    // far edge is taken back by one step, and nothing goes below 0.
    const auto snap = [](double from, double extent, double value) {
        const double steps = std::floor((value - from) / kGrid);
        double g = from + (steps + 1.0) * kGrid;
        if (g - value > kGrid * 0.5) {
            g -= kGrid;
        }
        if (g < 0.0) {
            g = 0.0;
        }
        if (g > from + extent) {
            g -= kGrid;
        }
        return g;
    };
    for (const auto& pageView : editorView_->pageViewArray()) {
        const Rect frame = pageView->frame();
        if (frame.containsPoint(pos)) {
            return Point{snap(frame.origin.x, frame.width(), pos.x),
                         snap(frame.origin.y, frame.height(), pos.y)};
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

namespace {

// The best bar view of the line for the frame (editor-view coordinates): the largest overlap, strictly
// larger than the best so far, so that no overlap never wins and ties keep the earlier bar.
void competeInLine(const TOVEditorLineView& lineView, const Rect& frame, const TOVEditorView& editor,
                   TOVEditorBarView*& best, double& bestArea) {
    const Rect inLine(lineView.convertPointFromView(frame.origin, &editor), frame.size);
    for (const auto& barView : lineView.barViewArray()) {
        const Rect overlap = barView->frame().intersection(inLine);
        const double area = overlap.isEmpty() ? 0.0 : overlap.width() * overlap.height();
        if (area > bestArea) {
            best = barView.get();
            bestArea = area;
        }
    }
}

bool sameFrame(const Rect& a, const Rect& b) {
    constexpr double kTolerance = 1e-6;
    return std::abs(a.x() - b.x()) < kTolerance && std::abs(a.y() - b.y()) < kTolerance &&
           std::abs(a.width() - b.width()) < kTolerance && std::abs(a.height() - b.height()) < kTolerance;
}

} // namespace

void TOVEditorViewController::objectViewFrameDidChange(TOVObjectView* view) {
    auto* tools = view != nullptr ? dynamic_cast<SymbolTools*>(view->symbol()) : nullptr;
    if (tools == nullptr || typeid(*view) == typeid(TOVMarkView)) {
        return;
    }
    const Rect frame = view->superview() != nullptr
                           ? view->superview()->convertRectToView(view->frame(), editorView_.get())
                           : view->frame();
    const Point p = frame.origin;
    TOVEditorBarView* best = nullptr;
    double bestArea = 0.0;
    for (const auto& pageView : editorView_->pageViewArray()) {
        const double y = pageView->convertPointFromView(p, editorView_.get()).y;
        if (!(y > 0.0 && y < pageView->frame().height())) {
            continue;
        }
        for (const auto& lineView : pageView->lineViewArray()) {
            const double lineY = lineView->convertPointFromView(p, editorView_.get()).y;
            if (!(lineY > 0.0 && lineY < lineView->frame().height())) {
                continue;
            }
            competeInLine(*lineView, frame, *editorView_, best, bestArea);
            if (TOVEditorLineView* next = pageView->nextSerialLineViewOf(lineView.get())) {
                competeInLine(*next, frame, *editorView_, best, bestArea);
            }
            break;
        }
        break;
    }
    // Only a real change is written, so that rebuilding the views of a saved song leaves it unedited.
    if (best == nullptr || best->bar() == nullptr) {
        if (tools->barFollowsTo() != nullptr) {
            tools->setBarFollowsTo(nullptr);
        }
        return;
    }
    if (tools->barFollowsTo() != best->bar()) {
        tools->setBarFollowsTo(best->bar());
    }
    const Rect relative(best->convertPointFromView(p, editorView_.get()), frame.size);
    if (!sameFrame(tools->frameRelativeToBar(), relative)) {
        tools->setFrameRelativeToBar(relative);
    }
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

void TOVEditorViewController::noteViewDidUpdateSelectedCells(TOVSelectableView*) {
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

// ---- Arrow keys
// ---------------------------------------------------------------------------------------------

double TOVEditorViewController::diffMovingByArrowKey() const {
    const double s = scale_.width;
    if (s >= 7.9) {
        return 0.25;
    }
    if (s >= 3.9) {
        return 0.5;
    }
    if (s >= 1.9) {
        return 1.0;
    }
    return 2.0;
}

void TOVEditorViewController::moveObjectsSlightly(double dx, double dy) {
    objectViewUnderMovingWithDiffXDiffY(nullptr, dx, dy);
    objectViewCompleteChangingFrame(nullptr);
}

void TOVEditorViewController::moveObjectsSlightlyLeft() {
    moveObjectsSlightly(-diffMovingByArrowKey(), 0.0);
}
void TOVEditorViewController::moveObjectsSlightlyRight() {
    moveObjectsSlightly(diffMovingByArrowKey(), 0.0);
}
void TOVEditorViewController::moveObjectsSlightlyUp() {
    moveObjectsSlightly(0.0, -diffMovingByArrowKey());
}
void TOVEditorViewController::moveObjectsSlightlyDown() {
    moveObjectsSlightly(0.0, diffMovingByArrowKey());
}
