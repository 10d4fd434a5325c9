#include "layout/TOVLayoutView.h"

#include "glyphs/TOVObjectView.h"
#include "layout/TOVLayoutController.h"

TOVLayoutView::TOVLayoutView(const platform::Rect& frame, TOVLayoutController* delegate)
    : TOVEditorViewBase(frame), delegate_(delegate) {}

TOVLayoutView::~TOVLayoutView() = default;

TOVEditorView* TOVLayoutView::editorView() const {
    if (delegate_ == nullptr) {
        return nullptr;
    }
    return delegate_->layoutViewInquireEditorView(const_cast<TOVLayoutView*>(this));
}

void TOVLayoutView::removeFromSuperview() {
    delegate_ = nullptr;
    TOVEditorViewBase::removeFromSuperview();
}

void TOVLayoutView::objectShouldUpdateView(Symbol* object) {
    updateSymbolViewFor(object);
}

std::shared_ptr<TOVObjectView> TOVLayoutView::objectViewFromData(Symbol* object) {
    for (const auto& view : symbolViewArray_) {
        if (view->symbol() == object) {
            return view;
        }
    }
    return nullptr;
}

void TOVLayoutView::updateSymbolViewFor(Symbol* object) {
    if (const auto view = objectViewFromData(object)) {
        view->updateView();
    }
}

void TOVLayoutView::removeAllSymbolViews() {
    const ObjectViewArray views = symbolViewArray_;
    for (const auto& view : views) {
        removeObjectView(view.get());
    }
}
