#pragma once

#include "glyphs/TOVFlippedView.h"
#include "glyphs/TOVMovableView.h"
#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewOwner.h"
#include "glyphs/TOVResizableFixedView.h"
#include "glyphs/TOVResizableFreeView.h"
#include "glyphs/TOVRotatableView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace glyphtest {

// Stand-ins for the layout views that own object views: an editor view and a bar view inside it.
class FakeEditorView : public TOVFlippedView, public TOVObjectViewOwner {
public:
    using TOVFlippedView::TOVFlippedView;
    TOVObjectController* controller = nullptr;
    TOVObjectController* delegate() const override { return controller; }
    platform::View* ownerView() override { return this; }
    platform::View* editorView() const override { return const_cast<FakeEditorView*>(this); }
    bool isEditorView() const override { return true; }
};

class FakeBarView : public TOVFlippedView, public TOVObjectViewOwner {
public:
    FakeBarView(const platform::Rect& frame, FakeEditorView* editor)
        : TOVFlippedView(frame), editor_(editor) {}
    TOVObjectController* delegate() const override { return editor_ ? editor_->controller : nullptr; }
    platform::View* ownerView() override { return this; }
    platform::View* editorView() const override { return editor_; }
    bool isEditorBarView() const override { return true; }
    Bar* bar() const override { return shownBar; }
    // The staff centred in the bar's height, as the bar view places it.
    double posY5LinesTop() const override { return (bounds().height() - 23.6) / 2; }
    platform::Rect rectangleNotesArea() const override { return notesArea; }

    Bar* shownBar = nullptr;
    platform::Rect notesArea;

private:
    FakeEditorView* editor_;
};

// The editor's side of the object views as the editor view controller provides it: selection and target
// with the states it sets, steps of moves, resizes and rotations applied to every selected view of the
// matching kind, and a grid every 10.0 over the page area. Every report is logged.
class FakeObjectController : public TOVObjectController {
public:
    int editBarMode = 0;
    platform::Rect pageArea{0, 0, 1000, 1000};
    std::vector<TOVObjectView*> selected;
    TOVObjectView* target = nullptr;
    std::vector<std::string> log;
    int frameDidChangeCount = 0;

    int objectViewInquireEditBarMode(TOVObjectView*) override { return editBarMode; }
    bool objectViewShouldBeSelectedAndClearOthers(TOVObjectView* view, bool clearOthers) override {
        log.push_back(clearOthers ? "select only" : "select add");
        if (clearOthers) {
            for (auto* other : selected) {
                other->setState(0);
            }
            selected.clear();
        }
        if (std::find(selected.begin(), selected.end(), view) == selected.end()) {
            selected.push_back(view);
        }
        view->setState(1);
        return true;
    }
    void objectViewShouldBeUnselected(TOVObjectView* view) override {
        log.push_back("unselect");
        std::erase(selected, view);
        view->setState(0);
    }
    void objectViewShouldBeTarget(TOVObjectView* view) override {
        log.push_back(view ? "target" : "target off");
        target = view;
    }
    void objectViewUnderMovingWithDiffXDiffY(TOVObjectView*, double dx, double dy) override {
        each<TOVMovableView>([&](auto* v) { v->temporallyMoveWithDiffXDiffY(dx, dy); });
    }
    platform::Point objectViewInquireNearestGridFromPos(TOVObjectView*, platform::Point p) override {
        if (!pageArea.containsPoint(p)) {
            const double far = std::numeric_limits<double>::max();
            return {far, far};
        }
        // Halfway goes to the greater line.
        auto line = [](double v) { return std::floor(v / 10.0 + 0.5) * 10.0; };
        return {line(p.x), line(p.y)};
    }
    void objectViewCompleteChangingFrame(TOVObjectView*) override {
        log.push_back("complete");
        each<TOVMovableView>([](auto* v) { v->completeChangingFrame(); });
    }
    void objectViewFrameDidChange(TOVObjectView*) override { ++frameDidChangeCount; }
    void objectViewUnderResizingFixedWithDiffScaleMoveXMoveY(TOVObjectView*, double ds, bool moveX,
                                                             bool moveY) override {
        each<TOVResizableFixedView>(
            [&](auto* v) { v->temporallyResizeWithDiffScaleMoveXMoveY(ds, moveX, moveY); });
    }
    void objectViewUnderResizingFreeWithDiffXDiffYMoveXMoveY(TOVObjectView*, double dx, double dy, bool moveX,
                                                             bool moveY) override {
        each<TOVResizableFreeView>(
            [&](auto* v) { v->temporallyResizeWithDiffXDiffYMoveXMoveY(dx, dy, moveX, moveY); });
    }
    void objectViewUnderRotatingWithDiffAngleDiffWidth(TOVObjectView*, double dA, double dW) override {
        each<TOVRotatableView>([&](auto* v) { v->temporallyRotateWithDiffAngleDiffWidth(dA, dW); });
    }
    void chordViewDidDoubleClick(TOVObjectView*) override { log.push_back("chord double click"); }
    void chordViewDidRightClick(TOVObjectView*) override { log.push_back("chord right click"); }
    void repeatDaCapoViewDidDoulbleClick(TOVObjectView*) override { log.push_back("da capo sheet"); }
    void repeatTimesViewDidDoulbleClick(TOVObjectView*) override { log.push_back("times sheet"); }
    void repeatVoltaViewDidDoulbleClick(TOVObjectView*) override { log.push_back("volta sheet"); }
    void longRestViewDidDoulbleClick(TOVObjectView*) override { log.push_back("long rest sheet"); }

    // Octave, hairpin, tempo, mark and drawing-tool views. The origin of a tool is the one set here, or
    // the view's own.
    std::optional<platform::Point> toolOrigin;
    platform::Point toolsViewInquireOrigin(TOVObjectView* view) override {
        log.push_back("inquire origin");
        return toolOrigin.value_or(view->frame().origin);
    }
    void tempoSpeedViewDidDoulbleClick(TOVTempoSpeedView*) override { log.push_back("tempo double click"); }
    void greatDoubleBarLineDidInserted(TOVObjectView*) override { log.push_back("great double bar"); }

private:
    template <typename T, typename F>
    void each(F f) {
        for (auto* view : selected) {
            if (auto* typed = dynamic_cast<T*>(view)) {
                f(typed);
            }
        }
    }
};

} // namespace glyphtest
