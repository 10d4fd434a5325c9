// The tone cell's conversions for the fake cells of these tests, in place of the tone cell's own: the
// program's definitions stand alone in their source file, which the linker then leaves out of this test.
// The views only hand their tone cell back to these functions, so a fake cell can travel as the cell's
// pointer and be turned back here.

#include "FakeToneCell.h"
#include "notation/TOVNoteToneCellConversion.h"

using platform::Point;

namespace {
const notationtest::FakeToneCell& fake(const TOVNoteToneCell& cell) {
    return *reinterpret_cast<const notationtest::FakeToneCell*>(&cell);
}
} // namespace

namespace TOVNoteToneCellConversion {

Point convertPointToSuperView(const TOVNoteToneCell& cell, Point point) {
    const auto& c = fake(cell);
    const Point inNoteView{point.x + c.dataOrigin.x, point.y + c.dataOrigin.y};
    return c.noteView->convertPointToView(inNoteView, c.noteView->superview());
}

Point convertPointFromSuperView(const TOVNoteToneCell& cell, Point point) {
    const auto& c = fake(cell);
    const Point inNoteView = c.noteView->convertPointFromView(point, c.noteView->superview());
    return {inNoteView.x - c.dataOrigin.x, inNoteView.y - c.dataOrigin.y};
}

} // namespace TOVNoteToneCellConversion
