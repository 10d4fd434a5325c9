#include "platform/foundation/MainLoop.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform {

void MainLoop::defer(std::function<void()> call) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || !call) {
        return;
    }
    // A queued call on the application object runs in its (the main) thread once control is back in
    // an event loop.
    QMetaObject::invokeMethod(
        application, [call = std::move(call)] { call(); }, Qt::QueuedConnection);
}

} // namespace platform
