#include "glyphs/TOVRepeatWithIdNumberView.h"

#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/SymbolRepeat.h"
#include "model/TOVUtils.h"
#include "platform/ui/Event.h"

std::shared_ptr<TOVObjectView>
TOVRepeatWithIdNumberView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatWithIdNumberView>(frame);
}

void TOVRepeatWithIdNumberView::mouseDown(const platform::Event& event) {
    if (event.clickCount() == 2 && delegate()) {
        delegate()->repeatDaCapoViewDidDoulbleClick(this);
        return;
    }
    TOVResizableFixedView::mouseDown(event);
}

void TOVRepeatWithIdNumberView::createPathDynamically() {
    Symbol* model = symbol();
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    if (!model || !factory) {
        return;
    }
    const auto* repeat = dynamic_cast<const SymbolRepeat*>(model);
    const TOVRepeatNumberStates states = repeat ? repeat->repeatNumberStates() : TOVRepeatNumberStates{};
    auto path = factory->repeatIdNumberViewPathWithTypeStatesFontID(model->type(), states,
                                                                    model->plugInFontID().toStdString());
    const platform::Size size = path ? path->bounds().size : platform::Size();
    setBezierPath(std::move(path));
    setDefaultViewSize(size);
    model->setInitialSize(size);
}

void TOVRepeatWithIdNumberView::updateView() {
    createPathDynamically();
    TOVResizableFixedView::updateView();
    setNeedsDisplay();
}
