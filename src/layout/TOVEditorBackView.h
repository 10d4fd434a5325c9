#pragma once

#include "glyphs/TOVEditorViewBase.h"

#include <memory>

class TOVEditorView;

// The grey ground behind and around the pages in a document window's scroll area; a click on it drops the
// object selection.
class TOVEditorBackView : public TOVEditorViewBase {
public:
    using TOVEditorViewBase::TOVEditorViewBase;

    TOVEditorView* editorView() const;
    void setEditorView(TOVEditorView* editorView);

    // Unless Shift or Command is held, the editor view's selection is cleared.
    void mouseDown(const platform::Event& event) override;
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

private:
    std::weak_ptr<platform::View> editorView_;
    TOVEditorView* editorViewCache_ = nullptr;
};
