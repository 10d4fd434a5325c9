#pragma once

#include "platform/ui/Responder.h"

namespace platform {

// The application's delegate: the launch hooks and the answers about untitled documents and reopening.
// It is the last responder of every chain.
class ApplicationDelegate : public Responder {
public:
    virtual void applicationWillFinishLaunching() {}
    virtual void applicationDidFinishLaunching() {}
    // Whether the application opens an untitled document at launch (and on reopen) when none is open.
    virtual bool applicationShouldOpenUntitledFile() { return true; }
    // Asked when the user reopens the application; false stops the application's own handling (which
    // opens an untitled document when no window is visible).
    virtual bool applicationShouldHandleReopen(bool hasVisibleWindows) { return true; }
};

} // namespace platform
