#include "glyphs/TOVRepeatWithTimesView.h"

#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/SymbolRepeat.h"
#include "model/TOVUtils.h"
#include "platform/ui/Event.h"

std::shared_ptr<TOVObjectView>
TOVRepeatWithTimesView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatWithTimesView>(frame);
}

void TOVRepeatWithTimesView::mouseDown(const platform::Event& event) {
    if (event.clickCount() == 2 && delegate()) {
        delegate()->repeatTimesViewDidDoulbleClick(this);
        return;
    }
    TOVResizableFixedView::mouseDown(event);
}

void TOVRepeatWithTimesView::createPathDynamically() {
    Symbol* model = symbol();
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    if (!model || !factory) {
        return;
    }
    const auto* repeat = dynamic_cast<const SymbolRepeat*>(model);
    // A negative count is no count: it shows the glyph of 2 like every count without a glyph.
    const std::int64_t count = repeat ? repeat->repeatIDNumber() : 0;
    auto path = factory->repeatTimesPathWithTimesFontID(count > 0 ? static_cast<std::uint64_t>(count) : 0,
                                                        model->plugInFontID().toStdString());
    const platform::Size size = path ? path->bounds().size : platform::Size();
    setBezierPath(std::move(path));
    setDefaultViewSize(size);
    model->setInitialSize(size);
}

void TOVRepeatWithTimesView::updateView() {
    createPathDynamically();
    TOVResizableFixedView::updateView();
    setNeedsDisplay();
}
