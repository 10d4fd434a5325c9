#include "layout/TOVEditorBackView.h"

#include "layout/TOVEditorView.h"
#include "platform/graphics/GraphicsContext.h"

TOVEditorView* TOVEditorBackView::editorView() const {
    return editorView_.expired() ? nullptr : editorViewCache_;
}

void TOVEditorBackView::setEditorView(TOVEditorView* editorView) {
    editorViewCache_ = editorView;
    editorView_ = editorView != nullptr ? editorView->weak_from_this() : std::weak_ptr<platform::View>();
}

void TOVEditorBackView::mouseDown(const platform::Event& event) {
    TOVEditorViewBase::mouseDown(event);
    if (event.shiftKey() || event.commandKey()) {
        return;
    }
    if (TOVEditorView* editor = editorView()) {
        editor->clearSelection();
    }
}

void TOVEditorBackView::drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) {
    ctx.setFillColor(platform::Color::gray());
    ctx.fillRect(bounds());
}
