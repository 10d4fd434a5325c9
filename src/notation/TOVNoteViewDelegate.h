#pragma once

#include "platform/foundation/Geometry.h"

namespace platform {
class View;
}
class TOVNoteView;

// What a note view asks of the bar that holds it: where the notes area and the middle staff line lie and
// how far apart the staff lines are, in the bar view's (y-down) coordinates. The editor's bar views and
// the rhythm matrix's bar answer these; every other question a note view may put is optional.
class TOVNoteViewDelegate {
public:
    virtual ~TOVNoteViewDelegate() = default;

    virtual platform::Rect noteViewInquireRectangleNotesArea(TOVNoteView* noteView) = 0;
    // The y of the middle staff line (tone level 0).
    virtual double noteViewInquirePosYLevel0(TOVNoteView* noteView) = 0;
    // The distance between two staff lines.
    virtual double noteViewInquire5LinesPitch(TOVNoteView* noteView) = 0;
    // The bar view that holds the note.
    virtual platform::View* noteViewInquireBarView(TOVNoteView* noteView) = 0;
};
