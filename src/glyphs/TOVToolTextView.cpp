#include "glyphs/TOVToolTextView.h"

#include "glyphs/TOVObjectController.h"

using platform::Rect;

TOVToolTextView::TOVToolTextView(const Rect& frame) : TOVTextHostView(frame) {}

TOVToolTextView::TOVToolTextView(const QString& string) : TOVTextHostView(Rect()) {
    makeTextView(string, kFontSize);
}

std::shared_ptr<TOVObjectView> TOVToolTextView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVToolTextView>(frame);
}

void TOVToolTextView::updateView() {
    TOVTextHostView::updateView();
    if (TOVObjectController* controller = delegate()) {
        const platform::Point origin = controller->toolsViewInquireOrigin(this);
        if (origin != frame().origin) {
            setFrameOrigin(origin);
        }
    }
    setNeedsDisplay();
}

void TOVToolTextView::textViewSizeDidChange(TOVTextView* textView) {
    setFrameSize(textView->frame().size);
}
