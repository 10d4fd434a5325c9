#pragma once

#include "glyphs/TOVEditorViewBase.h"

// The veil over the editor view while a bar range is being chosen (copy, paste, cut, delete of bars):
// it darkens the score on screen, takes every palette drag so that none reaches the views beneath and
// refuses it, and while it is the first responder it takes Undo, Redo and Print and keeps them disabled.
// Mouse events go on to the editor view beneath. Nothing of it is printed.
class TOVEditModeGrayView : public TOVEditorViewBase {
public:
    explicit TOVEditModeGrayView(const platform::Rect& frame = platform::Rect());

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

    platform::DragOperation draggingEntered(const platform::DraggingInfo& info) override;
    platform::DragOperation draggingUpdated(const platform::DraggingInfo& info) override;
    bool performDragOperation(const platform::DraggingInfo& info) override;

    bool validateMenuItem(platform::MenuItem& item) override { return false; }
};
