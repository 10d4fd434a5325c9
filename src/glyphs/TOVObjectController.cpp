#include "glyphs/TOVObjectController.h"

#include "glyphs/TOVObjectView.h"

platform::Point TOVObjectController::toolsViewInquireOrigin(TOVObjectView* view) {
    return view != nullptr ? view->frame().origin : platform::Point{};
}
