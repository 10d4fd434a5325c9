#include "RecordingView.h"
#include "WindowEvents.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using platform::Event;
using platform::Point;
using platform::Rect;
using platform::View;
using platform::ViewHost;
using uitest::addTo;
using uitest::RecordingView;

namespace {

using Log = std::vector<std::string>;

// Mouse and key input through the window system path (see WindowEvents.h); the widget is shown first.
void showForInput(QWidget& w) {
    if (!w.isVisible()) {
        w.show();
        (void)QTest::qWaitForWindowExposed(&w);
    }
}

void sendMouse(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier, quint64 time = 0) {
    showForInput(w);
    QWindow* window = w.window()->windowHandle();
    const QPointF inWindow = w.mapTo(w.window(), pos);
    qt_handleMouseEvent(window, inWindow, window->mapToGlobal(inWindow), buttons, button, type, mods,
                        static_cast<int>(time));
    QCoreApplication::processEvents();
}

void press(QWidget& w, QPointF pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {},
           quint64 time = 0) {
    sendMouse(w, QEvent::MouseButtonPress, pos, button, button, mods, time);
}
void drag(QWidget& w, QPointF pos, Qt::MouseButton button = Qt::LeftButton, quint64 time = 0) {
    sendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, button, {}, time);
}
void release(QWidget& w, QPointF pos, Qt::MouseButton button = Qt::LeftButton, quint64 time = 0) {
    sendMouse(w, QEvent::MouseButtonRelease, pos, button, Qt::NoButton, {}, time);
}
void click(QWidget& w, QPointF pos, Qt::MouseButton button = Qt::LeftButton, quint64 time = 0) {
    press(w, pos, button, {}, time);
    release(w, pos, button, time);
}

void sendKey(QWidget& w, int key, const QString& text) {
    showForInput(w);
    QTest::sendKeyEvent(QTest::Press, w.window()->windowHandle(), Qt::Key(key), text, Qt::NoModifier);
    QCoreApplication::processEvents();
}

// A host with a root that logs under "root".
struct HostFixture {
    Log log;
    std::shared_ptr<RecordingView> root;
    ViewHost host;
    explicit HostFixture(bool rootPassesEventsOn = false)
        : root(std::make_shared<RecordingView>("root", Rect(0, 0, 300, 200), &log, rootPassesEventsOn)) {
        host.setRootView(root);
    }
};

TEST(ViewEvents, TheViewHitAtMouseDownGetsEveryEventUntilMouseUp) {
    HostFixture f;
    auto a = addTo<RecordingView>(*f.root, "a", Rect(10, 10, 50, 50), &f.log);
    auto b = addTo<RecordingView>(*f.root, "b", Rect(100, 10, 50, 50), &f.log);

    press(f.host, {20, 20});
    drag(f.host, {120, 20});  // over b
    drag(f.host, {500, 500}); // outside the host
    release(f.host, {120, 20});
    drag(f.host, {20, 20}, Qt::NoButton); // a plain move goes nowhere
    press(f.host, {120, 30}, Qt::RightButton);
    drag(f.host, {20, 30}, Qt::RightButton);
    release(f.host, {20, 30}, Qt::RightButton);

    // Qt moves the pointer to where the button comes up before the release: a third drag.
    EXPECT_EQ(f.log, (Log{"a.mouseDown", "a.mouseDragged", "a.mouseDragged", "a.mouseDragged", "a.mouseUp",
                          "b.rightMouseDown", "b.rightMouseDragged", "b.rightMouseUp"}));
    // Locations stay in host coordinates.
    ASSERT_EQ(a->events.size(), 5u);
    EXPECT_EQ(a->events[2].locationInWindow(), (Point{500, 500}));
    EXPECT_EQ(a->events[2].type(), Event::Type::LeftMouseDragged);
    EXPECT_EQ(f.host.mouseTrackingView(), nullptr);
}

TEST(ViewEvents, ASecondButtonWaitsAndALostReleaseDoesNotHoldTheMouse) {
    HostFixture f;
    auto a = addTo<RecordingView>(*f.root, "a", Rect(10, 10, 50, 50), &f.log);
    auto b = addTo<RecordingView>(*f.root, "b", Rect(100, 10, 50, 50), &f.log);
    press(f.host, {20, 20});
    // The right button goes down while the left one is held: the left press keeps the mouse.
    sendMouse(f.host, QEvent::MouseButtonPress, {20, 20}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(f.host.mouseTrackingView(), a.get());
    // The left release went elsewhere; the next press, with no button held before it, starts afresh.
    // (Qt first moves the pointer there, which a still sees as its drag.)
    press(f.host, {120, 20}, Qt::LeftButton, {}, 10000);
    release(f.host, {120, 20}, Qt::LeftButton, 10000);
    EXPECT_EQ(f.log, (Log{"a.mouseDown", "a.mouseDragged", "b.mouseDown", "b.mouseUp"}));
}

TEST(ViewEvents, UnhandledEventsPassToTheSuperview) {
    HostFixture f;
    auto parent = addTo<RecordingView>(*f.root, "parent", Rect(10, 10, 100, 100), &f.log);
    auto middle =
        addTo<RecordingView>(*parent, "middle", Rect(10, 10, 50, 50), &f.log, /*passEventsOn=*/true);
    auto leaf = addTo<View>(*middle, Rect(10, 10, 10, 10)); // handles nothing
    (void)leaf;

    click(f.host, {35, 35});
    click(f.host, {35, 35}, Qt::RightButton, 5000);
    EXPECT_EQ(f.log, (Log{"middle.mouseDown", "parent.mouseDown", "middle.mouseUp", "parent.mouseUp",
                          "middle.rightMouseDown", "parent.rightMouseDown", "middle.rightMouseUp",
                          "parent.rightMouseUp"}));
}

TEST(ViewEvents, ClickCountsFollowTheDesktopSettings) {
    const QStyleHints* hints = QGuiApplication::styleHints();
    const ulong interval = static_cast<ulong>(hints->mouseDoubleClickInterval());
    const int distance = hints->mouseDoubleClickDistance();
    ASSERT_GT(interval, 2u);

    struct Press {
        ulong after; // since the previous press
        double dx;   // from the previous press
        Qt::MouseButton button;
    };
    struct Case {
        const char* name;
        std::vector<Press> presses;
        std::vector<int> counts;
    };
    const auto L = Qt::LeftButton;
    const auto R = Qt::RightButton;
    const Case cases[] = {
        {"single, double, triple and more",
         {{0, 0, L}, {interval / 2, 0, L}, {interval / 2, 0, L}, {1, 0, L}},
         {1, 2, 3, 4}},
        {"a press after the whole interval starts anew",
         {{0, 0, L}, {interval, 0, L}, {interval - 1, 0, L}},
         {1, 1, 2}},
        {"within the distance", {{0, 0, L}, {1, static_cast<double>(distance), L}}, {1, 2}},
        {"beyond the distance", {{0, 0, L}, {1, distance + 1.0, L}}, {1, 1}},
        {"another button starts anew", {{0, 0, L}, {1, 0, R}, {1, 0, R}, {1, 0, L}}, {1, 1, 2, 1}},
    };
    ulong time = 100000;
    for (const auto& c : cases) {
        HostFixture f;
        auto v = addTo<RecordingView>(*f.root, "v", Rect(0, 0, 300, 200), &f.log);
        uitest::WindowEvents input(f.host);
        double x = 20;
        time += 100000; // far from the previous case
        for (const auto& p : c.presses) {
            time += p.after;
            x += p.dx;
            input.click({x, 20}, time, p.button);
        }
        std::vector<int> downs;
        for (const auto& e : v->events) {
            if (e.type() == Event::Type::LeftMouseDown || e.type() == Event::Type::RightMouseDown) {
                downs.push_back(e.clickCount());
            }
        }
        EXPECT_EQ(downs, c.counts) << c.name;
        // The up of each press carries the press's count.
        ASSERT_EQ(v->events.size(), 2 * c.counts.size()) << c.name;
        for (size_t i = 0; i < c.counts.size(); ++i) {
            EXPECT_EQ(v->events[2 * i + 1].clickCount(), c.counts[i]) << c.name;
        }
    }
}

TEST(ViewEvents, ModifierKeys) {
    struct Case {
        Qt::KeyboardModifiers qt;
        unsigned expected;
    };
    const Case cases[] = {
        {Qt::NoModifier, 0},
        {Qt::ShiftModifier, platform::ModifierShift},
        {Qt::ControlModifier, platform::ModifierCommand},
        {Qt::MetaModifier, platform::ModifierControl},
        {Qt::ControlModifier | Qt::ShiftModifier, platform::ModifierCommand | platform::ModifierShift},
        {Qt::AltModifier, 0},
    };
    quint64 time = 0;
    for (const auto& c : cases) {
        HostFixture f;
        press(f.host, {5, 5}, Qt::LeftButton, c.qt, time += 10000);
        release(f.host, {5, 5}, Qt::LeftButton, time);
        ASSERT_FALSE(f.root->events.empty());
        EXPECT_EQ(f.root->events.front().modifierFlags(), c.expected);
        EXPECT_EQ(f.root->events.front().type(), Event::Type::LeftMouseDown);
    }
}

// Takes itself out of the tree in its own handler and goes on using its members.
class SelfRemovingView : public RecordingView {
public:
    using RecordingView::RecordingView;
    void mouseDown(const Event& e) override {
        removeFromSuperview();
        log(superview() == nullptr ? "removed" : "still there");
        RecordingView::mouseDown(e);
    }
};

TEST(ViewEvents, AViewMayRemoveItselfInItsHandler) {
    HostFixture f;
    std::weak_ptr<View> weak;
    {
        auto v = addTo<SelfRemovingView>(*f.root, "v", Rect(10, 10, 50, 50), &f.log);
        weak = v;
    }
    press(f.host, {20, 20});
    EXPECT_TRUE(weak.expired());
    drag(f.host, {30, 30});
    release(f.host, {30, 30});
    EXPECT_EQ(f.log, (Log{"v.removed", "v.mouseDown"}));
}

// Passes the press on to its superview, which takes itself (and so this view) out of the tree.
class SuperviewRemovingItself : public RecordingView {
public:
    using RecordingView::RecordingView;
    void mouseDown(const Event& e) override {
        RecordingView::mouseDown(e);
        removeFromSuperview();
    }
};

TEST(ViewEvents, ASuperviewMayRemoveItselfWhileAnEventPassesThroughIt) {
    HostFixture f;
    std::weak_ptr<View> weakParent;
    std::weak_ptr<View> weakChild;
    {
        auto parent = addTo<SuperviewRemovingItself>(*f.root, "parent", Rect(10, 10, 100, 100), &f.log);
        auto child = addTo<RecordingView>(*parent, "child", Rect(10, 10, 10, 10), &f.log, true);
        weakParent = parent;
        weakChild = child;
    }
    click(f.host, {25, 25});
    EXPECT_EQ(f.log, (Log{"child.mouseDown", "parent.mouseDown"}));
    EXPECT_TRUE(weakParent.expired());
    EXPECT_TRUE(weakChild.expired());
    EXPECT_TRUE(f.root->subviews().empty());
}

class ResponderView : public RecordingView {
public:
    using RecordingView::RecordingView;
    bool accepts = true;
    bool resigns = true;
    bool acceptsFirstResponder() const override { return accepts; }
    bool becomeFirstResponder() override {
        log("become");
        return true;
    }
    bool resignFirstResponder() override {
        log("resign");
        return resigns;
    }
};

TEST(ViewEvents, KeyEventsGoToTheFirstResponderAndOnUpTheTree) {
    HostFixture f(/*rootPassesEventsOn=*/true);
    f.host.setUnhandledKeyHandler([&f](const Event& e) { f.log.push_back("host." + e.characters()); });
    auto a = addTo<ResponderView>(*f.root, "a", Rect(10, 10, 50, 50), &f.log, true);
    auto b = addTo<ResponderView>(*f.root, "b", Rect(100, 10, 50, 50), &f.log, true);
    b->accepts = false;

    sendKey(f.host, Qt::Key_X, "x"); // no first responder yet
    click(f.host, {20, 20});         // a takes the keys
    EXPECT_EQ(f.host.firstResponder(), a.get());
    click(f.host, {120, 20}, Qt::LeftButton, 10000); // b does not want them
    EXPECT_EQ(f.host.firstResponder(), a.get());
    f.log.clear();

    sendKey(f.host, Qt::Key_Y, "y");
    EXPECT_EQ(f.log, (Log{"a.keyDown", "root.keyDown", "host.y"}));
    ASSERT_FALSE(a->events.empty());
    EXPECT_EQ(a->events.back().keyCode(), Qt::Key_Y);

    // A responder that will not resign keeps the keys.
    a->resigns = false;
    EXPECT_FALSE(f.host.makeFirstResponder(nullptr));
    EXPECT_EQ(f.host.firstResponder(), a.get());
    a->resigns = true;

    // A responder that leaves the tree leaves no first responder behind.
    a->removeFromSuperview();
    EXPECT_EQ(f.host.firstResponder(), nullptr);
    f.log.clear();
    sendKey(f.host, Qt::Key_Z, "z");
    EXPECT_EQ(f.log, (Log{"host.z"}));
}

// Builds one cursor area when asked.
class CursorView : public View {
public:
    CursorView(const Rect& frame, const Rect& area, platform::Cursor cursor)
        : View(frame), area_(area), cursor_(cursor) {}
    int resets = 0;
    bool handles = true;
    void resetCursorRects() override {
        ++resets;
        if (handles) {
            addCursorRect(area_, cursor_);
        }
    }

private:
    Rect area_;
    platform::Cursor cursor_;
};

TEST(ViewCursor, CursorAreasTurnWithTheViewAndAreRebuiltOnRequest) {
    HostFixture f;
    // Turned by 90 degrees: its area (0, 0, 10, 4) covers host x 46..50, y 20..30.
    // An area of a view behind it, partly under it; views without areas do not hide areas.
    addTo<CursorView>(*f.root, Rect(0, 0, 300, 200), Rect(40, 0, 20, 40),
                      platform::Cursor::resizeLeftRight());
    auto v =
        addTo<CursorView>(*f.root, Rect(50, 20, 40, 20), Rect(0, 0, 10, 4), platform::Cursor::resizeUpDown());
    v->setFrameRotation(90);
    addTo<View>(*f.root, Rect(0, 0, 300, 200)); // an empty glass on top

    struct Case {
        Point p;
        bool found;
        platform::Cursor::Shape shape;
    };
    const Case cases[] = {
        {{48, 25}, true, platform::Cursor::Shape::ResizeUpDown},
        {{45, 25}, true, platform::Cursor::Shape::ResizeLeftRight}, // left of the turned area
        {{48, 31}, true, platform::Cursor::Shape::ResizeLeftRight}, // below it
        {{100, 100}, false, platform::Cursor::Shape::Arrow},
    };
    for (const auto& c : cases) {
        platform::Cursor cursor;
        EXPECT_EQ(f.host.cursorAt(c.p, cursor), c.found) << c.p.x << "," << c.p.y;
        if (c.found) {
            EXPECT_EQ(cursor.shape(), c.shape) << c.p.x << "," << c.p.y;
        }
    }
    EXPECT_EQ(v->resets, 1);

    // Rebuilt on request, once, when next needed.
    v->handles = false;
    v->invalidateCursorRects();
    v->invalidateCursorRects();
    platform::Cursor cursor;
    EXPECT_TRUE(f.host.cursorAt(Point{48, 25}, cursor));
    EXPECT_EQ(cursor.shape(), platform::Cursor::Shape::ResizeLeftRight);
    EXPECT_EQ(v->resets, 2);
    // A new size rebuilds them too; a move does not need to.
    v->setFrameOrigin(Point{60, 20});
    f.host.cursorAt(Point{0, 0}, cursor);
    EXPECT_EQ(v->resets, 2);
    v->setFrameSize(platform::Size{30, 20});
    f.host.cursorAt(Point{0, 0}, cursor);
    EXPECT_EQ(v->resets, 3);
}

// Counts the cursor changes of a widget.
class CursorChangeCounter : public QObject {
public:
    explicit CursorChangeCounter(QWidget& w) { w.installEventFilter(this); }
    int changes = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        changes += e->type() == QEvent::CursorChange ? 1 : 0;
        return false;
    }
};

TEST(ViewCursor, AnImageCursorIsReadOnceAndSetOnlyWhenItChanges) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("cursorRotate.png");
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    ASSERT_TRUE(picture.save(file));

    HostFixture f;
    addTo<CursorView>(*f.root, Rect(0, 0, 100, 100), Rect(0, 0, 100, 100),
                      platform::Cursor::fromImageFile(file.toStdString(), Point{8, 8}));
    addTo<CursorView>(*f.root, Rect(150, 0, 100, 100), Rect(0, 0, 100, 100),
                      platform::Cursor::resizeUpDown());
    uitest::WindowEvents input(f.host);
    CursorChangeCounter counter(f.host);

    ulong time = 1000;
    input.move({10, 10}, time += 10);
    ASSERT_EQ(f.host.cursor().shape(), Qt::BitmapCursor);
    // Qt may tell of one change more than once.
    const int perChange = counter.changes;
    ASSERT_GT(perChange, 0);
    // Gone from the disk: a cursor read again would fall back to the arrow.
    ASSERT_TRUE(QFile::remove(file));
    for (int x = 11; x < 90; x += 8) {
        input.move({double(x), 10}, time += 10);
    }
    EXPECT_EQ(f.host.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(counter.changes, perChange);
    input.move({160, 10}, time += 10);
    EXPECT_EQ(f.host.cursor().shape(), Qt::SizeVerCursor);
    input.move({50, 10}, time += 10);
    EXPECT_EQ(f.host.cursor().shape(), Qt::BitmapCursor);
    input.move({120, 10}, time += 10); // between the areas
    input.move({125, 10}, time += 10);
    EXPECT_EQ(f.host.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(counter.changes, 4 * perChange);
}

// Logs the pointer over its tracking areas.
class HoverView : public RecordingView {
public:
    using RecordingView::RecordingView;
    void mouseMoved(const Event& e) override {
        log("moved");
        events.push_back(e);
    }
    void mouseEntered(const Event&) override { log("entered"); }
    void mouseExited(const Event&) override { log("exited"); }
};

TEST(ViewHover, TrackingAreasFollowThePointerWhileTheWindowIsActive) {
    Log log;
    QWidget window;
    window.resize(300, 300);
    auto* host = new ViewHost(&window);
    auto root = std::make_shared<View>(Rect(0, 0, 300, 200));
    host->setRootView(root);
    auto* below = new QWidget(&window); // where the pointer goes when it leaves the host
    below->setGeometry(0, 200, 300, 100);
    // Scaled by 2 and turned by 90 degrees: its area (0, 0, 20, 10) covers host x 80..100, y 50..90.
    auto turned = addTo<HoverView>(*root, "turned", Rect(100, 50, 40, 40), &log);
    turned->scaleUnitSquareToSize(platform::Size{2, 2});
    turned->setFrameRotation(90);
    turned->addTrackingArea(Rect(0, 0, 20, 10));
    // Two areas of one view, side by side.
    auto pair = addTo<HoverView>(*root, "pair", Rect(150, 100, 100, 50), &log);
    pair->addTrackingArea(Rect(0, 0, 50, 50));
    pair->addTrackingArea(Rect(50, 0, 50, 50));
    uitest::WindowEvents input(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    ulong time = 1000;
    const auto moveTo = [&](double x, double y) { input.move(QPointF(x, y), time += 10); };
    moveTo(70, 70);  // in no area
    moveTo(90, 60);  // into the turned one
    moveTo(95, 85);  // within it
    moveTo(105, 85); // out
    EXPECT_EQ(log, (Log{"turned.entered", "turned.moved", "turned.moved", "turned.exited"}));
    ASSERT_EQ(turned->events.size(), 2u);
    EXPECT_EQ(turned->events[1].locationInWindow(), (Point{95, 85}));
    EXPECT_EQ(turned->events[1].type(), Event::Type::MouseMoved);

    log.clear();
    moveTo(160, 110); // the left area
    moveTo(210, 110); // the right one: one move for the view
    moveTo(210, 250); // off the host
    EXPECT_EQ(
        log, (Log{"pair.entered", "pair.moved", "pair.exited", "pair.entered", "pair.moved", "pair.exited"}));

    // Not while another window is active.
    log.clear();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    moveTo(160, 110);
    moveTo(170, 110);
    EXPECT_TRUE(log.empty()) << log.size();
}

TEST(ViewHostTest, TheHostTakesTheSizeOfTheRootOrTheRootThatOfTheHost) {
    auto root = std::make_shared<View>(Rect(10, 20, 300, 200));
    ViewHost host;
    host.setRootView(root);
    EXPECT_EQ(host.size(), QSize(310, 220));
    // Zoom: the root's coordinates scaled, its frame grown to match.
    root->scaleUnitSquareToSize(platform::Size{2, 2});
    root->setFrameSize(platform::Size{600, 400});
    EXPECT_EQ(host.size(), QSize(610, 420));
    EXPECT_EQ(root->bounds(), Rect(0, 0, 300, 200));

    host.setRootFollowsHostSize(true);
    host.show();
    host.resize(500, 300);
    EXPECT_EQ(root->frame(), Rect(0, 0, 500, 300));

    // A root given to another host leaves the first one.
    ViewHost other;
    other.setRootView(root);
    EXPECT_EQ(host.rootView(), nullptr);
    EXPECT_EQ(root->host(), &other);
}

TEST(ViewHostTest, AHugeRootGivesTheLargestHostNotANegativeOne) {
    // Far beyond what a widget can be: the host stops at the largest widget size.
    for (const double extent : {3e9, 1e300}) {
        ViewHost host;
        host.setRootView(std::make_shared<View>(Rect(0, 0, extent, 100)));
        EXPECT_EQ(host.sizeHint(), QSize(QWIDGETSIZE_MAX, 100)) << extent;
        EXPECT_EQ(host.width(), QWIDGETSIZE_MAX) << extent;
    }
}

TEST(ViewHostTest, ScrollsAViewIntoSight) {
    auto root = std::make_shared<View>(Rect(0, 0, 1000, 1000));
    auto far = addTo<View>(*root, Rect(800, 900, 20, 20));
    QScrollArea area;
    area.resize(200, 200);
    auto* host = new ViewHost;
    host->setRootView(root);
    EXPECT_FALSE(far->scrollRectToVisible(far->bounds()));
    area.setWidget(host);
    area.show();
    QApplication::processEvents();
    EXPECT_EQ(host->enclosingScrollArea(), &area);
    EXPECT_TRUE(far->scrollRectToVisible(far->bounds()));
    const QRect visible(area.horizontalScrollBar()->value(), area.verticalScrollBar()->value(),
                        area.viewport()->width(), area.viewport()->height());
    EXPECT_TRUE(visible.contains(QRect(800, 900, 20, 20))) << visible.x() << "," << visible.y();
}

TEST(ViewHostTest, TellsWhenTheViewportOfItsScrollAreaChangesSize) {
    std::vector<platform::Size> sizes;
    auto* host = new ViewHost;
    host->setRootView(std::make_shared<View>(Rect(0, 0, 1000, 1000)));
    host->setViewportSizeChangedHandler([&sizes](platform::Size s) { sizes.push_back(s); });
    QScrollArea area;
    area.setWidget(host); // the host learns of its scroll area when it moves into it
    area.resize(300, 200);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back(),
              (platform::Size{double(area.viewport()->width()), double(area.viewport()->height())}));
    const size_t before = sizes.size();
    area.resize(400, 260);
    QApplication::processEvents();
    ASSERT_GT(sizes.size(), before);
    EXPECT_EQ(sizes.back(),
              (platform::Size{double(area.viewport()->width()), double(area.viewport()->height())}));
    // Resizing the host itself is not the viewport's change.
    const size_t after = sizes.size();
    host->resize(900, 900);
    QApplication::processEvents();
    EXPECT_EQ(sizes.size(), after);
}

TEST(ViewHostTest, DisplayRequestsWaitForTheNextDrawing) {
    HostFixture f;
    auto v = addTo<View>(*f.root, Rect(100, 50, 40, 30));
    v->scaleUnitSquareToSize(platform::Size{2, 2});
    f.host.show();
    QApplication::processEvents(); // draws everything asked for so far
    EXPECT_TRUE(f.host.pendingDisplayRegion().isEmpty());
    v->setNeedsDisplayInRect(Rect(5, 5, 5, 5));
    EXPECT_TRUE(v->needsDisplay());
    EXPECT_TRUE(f.host.pendingDisplayRegion().contains(QRect(110, 60, 10, 10)));
    EXPECT_FALSE(f.host.pendingDisplayRegion().contains(QPoint(140, 80)));
}

} // namespace

namespace {

class FirstMouseView : public RecordingView {
public:
    using RecordingView::RecordingView;
    bool takesFirstMouse = false;
    bool acceptsFirstMouse(const Event&) override { return takesFirstMouse; }
};

TEST(ViewEvents, AClickIntoAnInactiveWindowReachesOnlyViewsThatAcceptTheFirstMouse) {
    HostFixture f;
    auto eager = addTo<FirstMouseView>(*f.root, "eager", Rect(0, 0, 50, 50), &f.log);
    eager->takesFirstMouse = true;
    auto shy = addTo<FirstMouseView>(*f.root, "shy", Rect(100, 0, 50, 50), &f.log);
    f.host.show();
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    ASSERT_FALSE(f.host.isActiveWindow());

    click(f.host, {120, 10});
    EXPECT_TRUE(f.log.empty());
    other.activateWindow();
    QApplication::processEvents();
    click(f.host, {10, 10}, Qt::LeftButton, 10000);
    QApplication::processEvents(); // the click brought the window forward
    ASSERT_TRUE(f.host.isActiveWindow());
    click(f.host, {120, 10}, Qt::LeftButton, 20000);
    EXPECT_EQ(f.log, (Log{"eager.mouseDown", "eager.mouseUp", "shy.mouseDown", "shy.mouseUp"}));
}

} // namespace
