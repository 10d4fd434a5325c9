#pragma once

// Real drags in headless tests.
//
// How Qt runs a drag: QDrag::exec hands the drag to the platform plugin's drag, which reads the pointer in
// a nested event loop until the button comes up, reports each position to the window under the pointer as
// a window-system drag and the release as a window-system drop (or, when the window refused the last move,
// as a leave); Qt turns those into the QDragEnter/Move/Leave and QDrop events of the widget under the
// pointer. The offscreen plugin's drag is a stub: exec answers "nothing done" at once, no window hears of
// the drag. So the drag manager is given Qt's own in-process drag loop instead (QSimpleDrag, the drag of
// the platforms that have none of their own), once per process, and QDrag::exec runs that real loop.
//
// The pointer moves the offscreen way (QCursor::setPos, which the plugin reports as a window-system move
// to the window under it); the button goes down and up through QTest's window-system entry, on the window
// that holds the press, where a desktop's pointer grab delivers it. A path given beforehand is played
// inside the drag loop, one step per turn of that loop, the button coming up at its last point; whether
// that drops or cancels is Qt's decision. A drag that starts without a path is cancelled at once.

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QtGui/private/qdnd_p.h>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/private/qsimpledrag_p.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace uitest {

// A point of a widget, in the widget's own coordinates.
struct PointerAt {
    QWidget* widget = nullptr;
    QPointF at;
    QPoint global() const { return widget->mapToGlobal(at).toPoint(); }
};

namespace realdrag_detail {

// Qt's in-process drag loop, which also plays the test's path once a drag has begun.
class DragLoop : public QSimpleDrag {
public:
    std::function<void()> whenStarted;
    int started = 0;
    // The picture the last drag carried and the point of it under the pointer.
    QSize imageSize;
    QPoint hotSpot;

protected:
    // Qt's loop tells only the window where the drag began that it was cancelled; a desktop's drag tells
    // the window under the pointer, as here.
    void cancel() override {
        const QPointer<QWindow> under = m_windowUnderCursor;
        const QPointer<QWindow> begun = m_sourceWindow;
        QSimpleDrag::cancel();
        if (under && under != begun) {
            QWindowSystemInterface::handleDrag(under, nullptr, QPoint(), Qt::IgnoreAction, {}, {});
        }
    }
    void startDrag() override {
        QSimpleDrag::startDrag();
        ++started;
        imageSize = drag()->pixmap().size();
        hotSpot = drag()->hotSpot();
        // Runs inside the drag's own event loop, which starts right after this returns.
        QTimer::singleShot(0, [this] {
            if (whenStarted) {
                whenStarted();
            } else {
                ADD_FAILURE() << "a drag started, but the test gave no path for the pointer";
                cancelDrag();
            }
        });
    }
};

// Stands in for the platform integration only while the drag manager is made, so that it takes the drag
// loop above; everything else stays the offscreen plugin's.
class DragOnlyIntegration : public QPlatformIntegration {
public:
    explicit DragOnlyIntegration(QPlatformDrag* drag) : drag_(drag) {}
    QPlatformDrag* drag() const override {
        asked = true;
        return drag_;
    }
    QPlatformWindow* createPlatformWindow(QWindow*) const override { return nullptr; }
    QPlatformBackingStore* createPlatformBackingStore(QWindow*) const override { return nullptr; }
    QAbstractEventDispatcher* createEventDispatcher() const override { return nullptr; }
    mutable bool asked = false;

private:
    QPlatformDrag* drag_;
};

// The drag loop of this process, or null when Qt did not take it.
inline DragLoop* installedDragLoop() {
    static DragLoop* const loop = []() -> DragLoop* {
        // Kept for the life of the process: the drag manager points at it.
        auto* made = new DragLoop;
        QPlatformIntegration* const real = QGuiApplicationPrivate::platform_integration;
        DragOnlyIntegration standIn(made);
        QGuiApplicationPrivate::platform_integration = &standIn;
        delete QDragManager::self(); // a manager made earlier still holds the plugin's drag
        QDragManager::self();
        QGuiApplicationPrivate::platform_integration = real;
        return standIn.asked ? made : nullptr;
    }();
    return loop;
}

} // namespace realdrag_detail

// Drives the pointer through the window system, and through a real drag when one starts.
class RealDrag {
public:
    RealDrag() : loop_(realdrag_detail::installedDragLoop()) {
        EXPECT_NE(loop_, nullptr) << "Qt's drag manager did not take the in-process drag loop";
    }
    ~RealDrag() {
        if (loop_ != nullptr) {
            loop_->whenStarted = nullptr;
        }
    }
    RealDrag(const RealDrag&) = delete;
    RealDrag& operator=(const RealDrag&) = delete;

    // The pointer's way once a drag has started; the button comes up at the last point.
    void setPathDuringDrag(std::vector<PointerAt> path) {
        if (loop_ == nullptr) {
            return;
        }
        path_ = std::move(path);
        cursors_.clear();
        loop_->whenStarted = [this] { playStep(0); };
    }
    // The pointer's shape at each point of the path: Qt shows whether the window under it would take the
    // drop there.
    const std::vector<Qt::CursorShape>& cursorsDuringDrag() const { return cursors_; }
    // How many drags Qt has run so far in this process.
    int dragsStarted() const { return loop_ != nullptr ? loop_->started : 0; }
    // The drag image of the last drag, and the point of it that the pointer held.
    QSize lastImageSize() const { return loop_ != nullptr ? loop_->imageSize : QSize(); }
    QPoint lastHotSpot() const { return loop_ != nullptr ? loop_->hotSpot : QPoint(); }

    // --- The pointer outside a drag; a move may start one, and then returns when it is over ---
    void press(const PointerAt& p, Qt::KeyboardModifiers mods = {}) {
        pointerTo(p.global());
        pressWindow_ = p.widget->window()->windowHandle();
        mods_ = mods;
        send(Qt::LeftButton, QEvent::MouseButtonPress, p.global());
    }
    void moveTo(const PointerAt& p) {
        pointerTo(p.global());
        // The release that Qt's drag loop holds back until the loop is over.
        QCoreApplication::processEvents();
    }
    void release(const PointerAt& p) {
        pointerTo(p.global());
        release(p.global());
    }

    // Presses at `from`, moves to `start`, far enough for the source to start its drag, and plays `path`
    // inside that drag.
    void dragAlong(const PointerAt& from, const PointerAt& start, std::vector<PointerAt> path) {
        setPathDuringDrag(std::move(path));
        press(from);
        moveTo(start);
    }

private:
    void pointerTo(QPoint global) {
        // Offscreen reports a move over no window to nobody; a desktop gives it to the window holding the
        // press.
        if (pressWindow_ != nullptr && !overSomeWindow(global)) {
            send(Qt::LeftButton, QEvent::MouseMove, global, Qt::NoButton);
            return;
        }
        QCursor::setPos(global);
        QWindowSystemInterface::flushWindowSystemEvents();
    }
    static bool overSomeWindow(QPoint global) {
        const auto windows = QGuiApplication::topLevelWindows();
        return std::any_of(windows.begin(), windows.end(), [global](const QWindow* w) {
            return w->isExposed() && w->geometry().contains(global);
        });
    }
    void release(QPoint global) {
        send(Qt::NoButton, QEvent::MouseButtonRelease, global);
        pressWindow_ = nullptr;
    }
    void send(Qt::MouseButtons held, QEvent::Type type, QPoint global,
              Qt::MouseButton button = Qt::LeftButton) {
        if (pressWindow_ == nullptr) {
            ADD_FAILURE() << "the button moves without a press";
            return;
        }
        // Far apart, so that no two presses make a double click.
        time_ += 10000;
        const QPointF local = pressWindow_->mapFromGlobal(QPointF(global));
        qt_handleMouseEvent(pressWindow_, local, QPointF(global), held, button, type, mods_,
                            static_cast<int>(time_));
        QWindowSystemInterface::flushWindowSystemEvents();
    }
    void playStep(std::size_t i) {
        if (i >= path_.size()) {
            ADD_FAILURE() << "the path during the drag is empty";
            loop_->cancelDrag();
            return;
        }
        pointerTo(path_[i].global());
        const QCursor* shown = QGuiApplication::overrideCursor();
        cursors_.push_back(shown != nullptr ? shown->shape() : Qt::ArrowCursor);
        if (i + 1 == path_.size()) {
            release(path_[i].global());
            return;
        }
        QTimer::singleShot(0, [this, i] { playStep(i + 1); });
    }

    realdrag_detail::DragLoop* loop_;
    std::vector<PointerAt> path_;
    std::vector<Qt::CursorShape> cursors_;
    QWindow* pressWindow_ = nullptr;
    Qt::KeyboardModifiers mods_;
    static inline unsigned long time_ = 100000;
};

// Starts a drag of its items once the pointer, pressed on it, has gone the drag distance, as a palette
// cell does; it logs what the drag came to.
class DragSourceView : public platform::View {
public:
    DragSourceView(const platform::Rect& frame, platform::DraggingInfo items)
        : View(frame), items_(std::move(items)) {}
    int drags = 0;
    platform::DragOperation result = platform::DragOperationNone;
    int mouseUps = 0;

    // Like a palette, it acts on the click that brings its window forward.
    bool acceptsFirstMouse(const platform::Event&) override { return true; }
    void mouseDown(const platform::Event& e) override {
        down_ = e.locationInWindow();
        pressed_ = true;
    }
    void mouseDragged(const platform::Event& e) override {
        if (pressed_ && hasMovedDragDistance(down_, e.locationInWindow())) {
            pressed_ = false;
            ++drags;
            result = dragItems(items_, e);
        }
    }
    void mouseUp(const platform::Event&) override {
        pressed_ = false;
        ++mouseUps;
    }
    void drawRect(const platform::Rect&, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{0, 0, 1, 1});
        ctx.fillRect(bounds());
    }

private:
    platform::DraggingInfo items_;
    platform::Point down_;
    bool pressed_ = false;
};

// A window of its own with one drag source filling it, like a palette beside the document window.
struct DragSourceWindow {
    DragSourceWindow(platform::DraggingInfo items, QPoint topLeft, QSize size = QSize(60, 60))
        : view(std::make_shared<DragSourceView>(platform::Rect(0, 0, size.width(), size.height()),
                                                std::move(items))) {
        host.setRootView(view);
        host.move(topLeft);
        host.show();
        (void)QTest::qWaitForWindowExposed(&host);
    }
    // The middle of the source, and a point the drag distance and more to its right.
    PointerAt middle() { return {&host, QPointF(host.width() / 2.0, host.height() / 2.0)}; }
    PointerAt pastDragDistance() {
        return {&host,
                QPointF(host.width() / 2.0 + QApplication::startDragDistance() + 2, host.height() / 2.0)};
    }

    std::shared_ptr<DragSourceView> view;
    platform::ViewHost host;
};

} // namespace uitest
