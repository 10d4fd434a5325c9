#pragma once

#include "platform/foundation/Geometry.h"

namespace platform {
class View;
}
class Bar;
class TOVObjectController;

// A layout view that object views belong to: a bar view or the editor view. The view that implements it
// must be held by a shared_ptr, since object views keep only a weak reference to their owner.
class TOVObjectViewOwner {
public:
    virtual ~TOVObjectViewOwner() = default;

    // The layout controller, which the object views of this owner take as their delegate.
    virtual TOVObjectController* delegate() const = 0;
    // The owner as a view.
    virtual platform::View* ownerView() = 0;
    // The editor view that holds the owner; null when there is none.
    virtual platform::View* editorView() const = 0;
    // Exactly the bar view class (not a subclass of it).
    virtual bool isEditorBarView() const { return false; }
    // The editor view or a subclass of it.
    virtual bool isEditorView() const { return false; }

    // What a bar view tells the views that stand on its staff, in its own (y-down) coordinates; an owner
    // that is no bar view has no bar and answers zero.
    virtual Bar* bar() const { return nullptr; }
    // The y of the top staff line.
    virtual double posY5LinesTop() const { return 0; }
    // The part of the bar between its clef, key and time area and its right barline, full height.
    virtual platform::Rect rectangleNotesArea() const { return platform::Rect(); }
    // How far above their stored places the chord symbols are drawn, clear of the notes that reach into
    // their row; the stored places stay as they are.
    virtual double chordRaise() const { return 0; }
};
