#pragma once

#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace uitest {

// Input as the window system hands it to Qt: it goes through QGuiApplication, which turns a second
// press soon after the first into a double click, and on to the widget under the pointer. The times are
// the caller's, in milliseconds, so that double clicks are chosen, not left to the clock.
class WindowEvents {
public:
    // The widget is shown, as a window of its own or in the window it belongs to, and the window waits
    // until it is exposed. Positions are the widget's own, where it stands now in its window: events
    // still reach that window should a press take the widget out of it.
    explicit WindowEvents(QWidget& widget) : widget_(widget) {
        widget_.window()->show();
        widget_.show();
        (void)QTest::qWaitForWindowExposed(widget_.window());
        window_ = widget_.window()->windowHandle();
        offset_ = widget_.mapTo(widget_.window(), QPointF(0, 0));
    }
    QWindow* window() const { return window_; }

    void press(QPointF pos, Qt::MouseButton button, ulong time, Qt::KeyboardModifiers mods = {}) {
        buttons_ |= button;
        send(pos, button, QEvent::MouseButtonPress, time, mods);
    }
    void release(QPointF pos, Qt::MouseButton button, ulong time, Qt::KeyboardModifiers mods = {}) {
        buttons_ &= ~Qt::MouseButtons(button);
        send(pos, button, QEvent::MouseButtonRelease, time, mods);
    }
    // Keys held during a drag travel with each move, as the window system reports them.
    void move(QPointF pos, ulong time, Qt::KeyboardModifiers mods = {}) {
        send(pos, Qt::NoButton, QEvent::MouseMove, time, mods);
    }
    void click(QPointF pos, ulong time, Qt::MouseButton button = Qt::LeftButton) {
        press(pos, button, time);
        release(pos, button, time);
    }

private:
    void send(QPointF pos, Qt::MouseButton button, QEvent::Type type, ulong time,
              Qt::KeyboardModifiers mods) {
        const QPointF inWindow = pos + offset_;
        qt_handleMouseEvent(window(), inWindow, window()->mapToGlobal(inWindow), buttons_, button, type, mods,
                            static_cast<int>(time));
        QCoreApplication::processEvents();
    }

    QWidget& widget_;
    QPointer<QWindow> window_;
    QPointF offset_;
    Qt::MouseButtons buttons_;
};

} // namespace uitest
