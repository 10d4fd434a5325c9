#pragma once

#include <functional>

namespace platform {

// The application's main event loop, as far as code outside the window layer needs it.
class MainLoop {
public:
    // Runs the call once on the main thread, after the event being handled now has returned (in the
    // next turn of whichever event loop runs then, a nested modal one included). Safe to call from any
    // thread. Needs the application object; without one the call is dropped, as no loop would run it.
    static void defer(std::function<void()> call);
};

} // namespace platform
