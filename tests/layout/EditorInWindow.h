#pragma once

#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

namespace layouttest {

// Lets the window system deliver what it has queued: exposure, activation, repaints.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// The root view as the whole of a new host, set as the window's central widget; the window shown at the
// size and made active, and what showing it queued delivered. Returns the window system's event source
// for the window.
inline std::unique_ptr<uitest::WindowEvents> showInWindow(platform::Window& window, platform::ViewHost*& host,
                                                          std::shared_ptr<platform::View> root, int width,
                                                          int height) {
    host = new platform::ViewHost;
    host->setRootView(std::move(root));
    window.setCentralWidget(host);
    window.resize(width, height);
    window.show();
    (void)QTest::qWaitForWindowActive(&window);
    auto input = std::make_unique<uitest::WindowEvents>(window);
    settle();
    return input;
}

// The root view as the whole of the host, shown as a window of its own at the size in the screen's corner;
// whether the window system exposed it.
inline bool showInHost(platform::ViewHost& host, std::shared_ptr<platform::View> root, int width,
                       int height) {
    host.setRootView(std::move(root));
    host.resize(width, height);
    host.move(0, 0);
    host.show();
    return QTest::qWaitForWindowExposed(&host);
}

} // namespace layouttest
