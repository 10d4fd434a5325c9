#include "glyphs/TOVToolViewPlacement.h"

#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectView.h"
#include "model/Symbol.h"
#include "model/TOVUtils.h"

namespace TOVToolViewPlacement {

void rotateToSymbolAngle(TOVObjectView& view) {
    if (const Symbol* symbol = view.symbol(); symbol != nullptr && view.frameRotation() != symbol->angle()) {
        view.setFrameRotation(symbol->angle());
    }
}

void moveToOriginFromDelegate(TOVObjectView& view) {
    TOVObjectController* controller = view.delegate();
    if (!controller) {
        return;
    }
    const platform::Point origin = controller->toolsViewInquireOrigin(&view);
    if (origin != view.frame().origin) {
        view.setFrameOrigin(origin);
    }
}

platform::Color figureColorForState(int state) {
    return state == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor();
}

} // namespace TOVToolViewPlacement
