#include "glyphs/TOVTempoSpeedView.h"

#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/SymbolTempo.h"
#include "model/TOVUtils.h"

#include <algorithm>

using platform::Rect;
using platform::Size;

TOVTempoSpeedView::TOVTempoSpeedView(const Rect& frame) : TOVResizableFixedView(frame) {}

std::shared_ptr<TOVObjectView> TOVTempoSpeedView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVTempoSpeedView>(frame);
}

void TOVTempoSpeedView::createPathDynamically() {
    Symbol* model = symbol();
    if (!model) {
        return;
    }
    const auto* tempo = dynamic_cast<const SymbolTempo*>(model);
    const std::uint64_t speed = std::min(tempo ? tempo->speed() : 0, kMaximumSpeed);
    std::optional<platform::BezierPath> path;
    if (const TOVObjectViewFactory* factory = TOVUtils::objectViewFactory()) {
        path = factory->tempoSpeedPathWithSpeedFontID(speed, model->plugInFontID().toStdString());
    }
    const Size size = path ? path->bounds().size : Size();
    setBezierPath(std::move(path));
    setDefaultViewSize(size);
    model->setInitialSize(size);
}

void TOVTempoSpeedView::updateView() {
    createPathDynamically();
    TOVResizableFixedView::updateView();
    setNeedsDisplay();
}

void TOVTempoSpeedView::mouseDown(const platform::Event& event) {
    if (event.clickCount() != 2) {
        TOVResizableFixedView::mouseDown(event);
        return;
    }
    if (TOVObjectController* controller = delegate()) {
        controller->tempoSpeedViewDidDoulbleClick(this);
    }
}
