#include "layout/TOVEditorBarView.h"

TOVEditorBarView::TOVEditorBarView(const platform::Rect& frame, TOVLayoutController* delegate)
    : TOVLayoutView(frame, delegate) {}

TOVEditorBarView::~TOVEditorBarView() = default;

void TOVEditorBarView::setBar(Bar* bar) {
    if (bar == bar_) {
        return;
    }
    bar_ = bar;
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
