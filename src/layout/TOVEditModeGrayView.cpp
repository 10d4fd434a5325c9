#include "layout/TOVEditModeGrayView.h"

#include "layout/TOVPaletteTypes.h"
#include "platform/graphics/GraphicsContext.h"

TOVEditModeGrayView::TOVEditModeGrayView(const platform::Rect& frame) : TOVEditorViewBase(frame) {
    registerForDraggedTypes(TOVPaletteTypes::allTypes());
    // Taken and dropped: nothing beneath undoes, redoes or prints while a bar range is chosen.
    for (const char* action : {"undo:", "redo:", "printDocument:"}) {
        addActionHandler(action, [](platform::MenuItem*) {});
    }
}

void TOVEditModeGrayView::drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) {
    if (!ctx.isDrawingToScreen()) {
        return;
    }
    ctx.setFillColor(platform::Color::fromWhite(0.0, 0.3));
    ctx.fillRect(dirty);
}

platform::DragOperation TOVEditModeGrayView::draggingEntered(const platform::DraggingInfo&) {
    return platform::DragOperationNone;
}

platform::DragOperation TOVEditModeGrayView::draggingUpdated(const platform::DraggingInfo&) {
    return platform::DragOperationNone;
}

bool TOVEditModeGrayView::performDragOperation(const platform::DraggingInfo&) {
    return false;
}
