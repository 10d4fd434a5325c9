#pragma once

class TOVCoreDataController;
class TOVManagedObject;

// What the undo refresh buffer needs of the editor that shows the document: the rebuild of the views it
// recorded during an undo or redo, and the refresh of one object's view. The editor view controller
// implements it; the model only sees this interface.
class TOVCoreDataControllerRefresher {
public:
    virtual ~TOVCoreDataControllerRefresher() = default;

    // Called once at the end of an undo or redo, before the buffer forgets what it recorded: rebuild the
    // views of everything the buffer holds (its flags and its page, line, bar, symbol, chord and note lists).
    virtual void coreDataControllerDrainBuffer(TOVCoreDataController& buffer) = 0;

    // Have the view that shows the object (a symbol, chord or note) refresh itself from the model.
    virtual void objectShouldUpdateView(TOVManagedObject* object) = 0;
};
