#include "glyphs/TOVEditorViewBase.h"

bool TOVEditorViewBase::isPointInsideView(platform::Point point) const {
    const platform::Rect f = frame();
    return point.x > 0 && point.x < f.width() && point.y > 0 && point.y < f.height();
}
