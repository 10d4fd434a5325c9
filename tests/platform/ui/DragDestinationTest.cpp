#include "RecordingView.h"
#include "WindowEvents.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include "platform/ui/PasteboardMime.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPixmap>

#include <gtest/gtest.h>

using platform::DraggingInfo;
using platform::DragOperation;
using platform::Point;
using platform::Rect;
using platform::View;
using platform::ViewHost;
using uitest::addTo;

namespace {

using Log = std::vector<std::string>;

const std::string kBarType = "TOVSymbolPaletteForBarViewData";
const std::string kBarlineType = "TOVSymbolPaletteForBarlineViewData";
const std::string kItemType = "itemType";

// A drop target that logs each call and answers Copy or None.
class DropView : public View {
public:
    DropView(std::string name, const Rect& frame, Log* log, std::vector<std::string> types,
             DragOperation answer = platform::DragOperationCopy)
        : View(frame), answer(answer), name_(std::move(name)), log_(log) {
        registerForDraggedTypes(types);
    }
    DragOperation answer;
    DraggingInfo lastInfo;

    DragOperation draggingEntered(const DraggingInfo& info) override { return note("entered", info); }
    DragOperation draggingUpdated(const DraggingInfo& info) override { return note("updated", info); }
    void draggingExited(const DraggingInfo& info) override { note("exited", info); }
    bool performDragOperation(const DraggingInfo& info) override {
        note("perform", info);
        return true;
    }

protected:
    DragOperation note(const char* what, const DraggingInfo& info) {
        log_->push_back(name_ + "." + what);
        lastInfo = info;
        return answer;
    }
    std::string name_;
    Log* log_;
};

// Like a barline view: clicks pass through it (its hit test answers nil), drops do not.
class NoHitDropView : public DropView {
public:
    using DropView::DropView;
    View* hitTest(Point) override { return nullptr; }
};

// Takes itself out of the tree while it performs the drop, then goes on with its members.
class SelfRemovingDropView : public DropView {
public:
    using DropView::DropView;
    bool performDragOperation(const DraggingInfo& info) override {
        removeFromSuperview();
        note(superview() == nullptr ? "removed" : "still there", info);
        return true;
    }
};

DraggingInfo drag(std::vector<std::string> types, Point at, int item = 0x500) {
    DraggingInfo info;
    for (const auto& t : types) {
        info.addType(t);
    }
    info.addType(kItemType, QByteArray::number(item));
    info.setDraggingLocation(at);
    return info;
}

// root 400 x 300, registered for the bar type, holding:
//   bar (20, 20, 200, 100) registered for the bar type
//   barline (100, 0, 20, 140) registered for the barline type, refuses clicks
//   glass (0, 0, 400, 300) on top, registered for nothing
struct DropFixture {
    Log log;
    std::shared_ptr<DropView> root = std::make_shared<DropView>(
        "root", Rect(0, 0, 400, 300), &log, std::vector<std::string>{kBarType, kBarlineType},
        platform::DragOperationNone);
    std::shared_ptr<DropView> bar =
        addTo<DropView>(*root, "bar", Rect(20, 20, 200, 100), &log, std::vector<std::string>{kBarType});
    std::shared_ptr<NoHitDropView> barline = addTo<NoHitDropView>(
        *root, "barline", Rect(100, 0, 20, 140), &log, std::vector<std::string>{kBarlineType});
    std::shared_ptr<View> glass = addTo<View>(*root, Rect(0, 0, 400, 300));
    ViewHost host;
    DropFixture() { host.setRootView(root); }
};

TEST(DragDestination, TheFrontmostViewRegisteredForADraggedTypeIsTheTarget) {
    DropFixture f;
    struct Case {
        std::vector<std::string> types;
        Point at;
        View* expected;
    };
    const Case cases[] = {
        {{kBarType}, {50, 50}, f.bar.get()},
        {{kBarType}, {110, 50}, f.bar.get()},         // the barline does not take bar items
        {{kBarlineType}, {110, 50}, f.barline.get()}, // although its hit test answers nil
        {{kBarlineType}, {50, 50}, f.root.get()},     // the bar does not take barline items
        {{kBarType}, {300, 200}, f.root.get()},
        {{"somethingElse"}, {50, 50}, nullptr},
        {{"somethingElse", kBarType}, {50, 50}, f.bar.get()}, // any of the dragged types
        {{kBarType}, {400, 50}, nullptr},                     // outside the host's tree
    };
    for (const auto& c : cases) {
        EXPECT_EQ(f.host.dragDestinationAt(c.at, c.types), c.expected) << c.at.x << "," << c.at.y;
    }
    // Clicks go through the hit test: the barline lets them through.
    EXPECT_EQ(f.root->hitTest(Point{110, 50}), f.glass.get());
    f.glass->removeFromSuperview();
    EXPECT_EQ(f.root->hitTest(Point{110, 50}), f.bar.get());
}

TEST(DragDestination, EnteredUpdatedExitedAndPerformFollowThePointer) {
    DropFixture f;
    EXPECT_EQ(f.host.dragEntered(drag({kBarType}, {50, 50})), platform::DragOperationCopy);
    EXPECT_EQ(f.host.dragUpdated(drag({kBarType}, {60, 50})), platform::DragOperationCopy);
    EXPECT_EQ(f.host.dragUpdated(drag({kBarType}, {300, 200})), platform::DragOperationNone); // to the root
    EXPECT_EQ(f.host.dragUpdated(drag({kBarType}, {60, 60})), platform::DragOperationCopy);   // back
    EXPECT_TRUE(f.host.performDrop(drag({kBarType}, {60, 60})));
    EXPECT_EQ(f.log, (Log{"bar.entered", "bar.updated", "bar.exited", "root.entered", "root.exited",
                          "bar.entered", "bar.perform"}));
    // The target sees the pointer in host coordinates and the types in order, with their bytes.
    EXPECT_EQ(f.bar->lastInfo.draggingLocation(), (Point{60, 60}));
    EXPECT_EQ(f.bar->lastInfo.types(), (std::vector<std::string>{kBarType, kItemType}));
    EXPECT_EQ(f.bar->lastInfo.dataForType(kItemType), QByteArray("1280"));
    EXPECT_TRUE(f.bar->lastInfo.dataForType(kBarType).isEmpty());
    EXPECT_EQ(f.host.currentDragDestination(), nullptr);

    // Leaving the host ends with exited.
    f.log.clear();
    f.host.dragEntered(drag({kBarlineType}, {110, 50}));
    f.host.dragExited();
    EXPECT_EQ(f.log, (Log{"barline.entered", "barline.exited"}));
}

TEST(DragDestination, ADropWhereTheTargetRefusedEndsWithExited) {
    DropFixture f;
    f.host.dragEntered(drag({kBarType}, {300, 200}));
    EXPECT_FALSE(f.host.performDrop(drag({kBarType}, {300, 200})));
    // Dropped somewhere else than the last move: the target there is entered first.
    f.host.dragEntered(drag({kBarType}, {300, 200}));
    EXPECT_TRUE(f.host.performDrop(drag({kBarType}, {50, 50})));
    EXPECT_EQ(f.log, (Log{"root.entered", "root.exited", "root.entered", "root.exited", "bar.entered",
                          "bar.perform"}));
}

TEST(DragDestination, AViewMayRemoveItselfWhilePerformingTheDrop) {
    DropFixture f;
    std::weak_ptr<View> weak;
    {
        auto v = addTo<SelfRemovingDropView>(*f.root, "v", Rect(300, 10, 50, 50), &f.log,
                                             std::vector<std::string>{kBarlineType});
        weak = v;
    }
    f.host.dragEntered(drag({kBarlineType}, {310, 20}));
    EXPECT_TRUE(f.host.performDrop(drag({kBarlineType}, {310, 20})));
    EXPECT_EQ(f.log, (Log{"v.entered", "v.removed"}));
    EXPECT_TRUE(weak.expired());
}

TEST(DragDestination, QtDragEventsTakeTheSamePath) {
    DropFixture f;
    DraggingInfo info = drag({kBarType}, {});
    const auto mime = platform::mimeDataFromDraggingInfo(info);

    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.host, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent moveOut(QPoint(300, 200), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.host, &moveOut);
    EXPECT_FALSE(moveOut.isAccepted()); // the root refuses bar items
    QDragMoveEvent moveIn(QPoint(60, 60), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.host, &moveIn);
    EXPECT_TRUE(moveIn.isAccepted());
    EXPECT_EQ(moveIn.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(60, 60), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.host, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(f.log, (Log{"bar.entered", "bar.exited", "root.entered", "root.exited", "bar.entered",
                          "bar.perform"}));
    EXPECT_EQ(f.bar->lastInfo.dataForType(kItemType), QByteArray("1280"));

    // Data of other programs only: not for us.
    QMimeData foreign;
    foreign.setText("hello");
    QDragEnterEvent enterForeign(QPoint(50, 50), Qt::CopyAction, &foreign, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.host, &enterForeign);
    EXPECT_FALSE(enterForeign.isAccepted());
}

// Starts a drag of its items once the pointer has gone the drag distance, as a palette cell does.
class DragSourceView : public View {
public:
    DragSourceView(const Rect& frame, DraggingInfo items) : View(frame), items_(std::move(items)) {}
    int drags = 0;
    DragOperation result = platform::DragOperationNone;

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
    void mouseUp(const platform::Event&) override { pressed_ = false; }
    void drawRect(const Rect&, platform::GraphicsContext& ctx) override {
        ctx.setFillColor(platform::Color{0, 0, 1, 1});
        ctx.fillRect(bounds());
    }

private:
    DraggingInfo items_;
    Point down_;
    bool pressed_ = false;
};

// Puts a drag starter in for a test and Qt's back afterwards.
struct DragStarterGuard {
    explicit DragStarterGuard(ViewHost::DragStarter starter) { ViewHost::setDragStarter(std::move(starter)); }
    ~DragStarterGuard() { ViewHost::setDragStarter({}); }
};

TEST(DragSource, ADragFromOneViewReachesTheDropPathOfAnother) {
    DropFixture f;
    DraggingInfo items;
    items.addType(kBarlineType); // a marker
    items.addType(kItemType, QByteArray::number(0x501));
    auto source = addTo<DragSourceView>(*f.root, Rect(300, 200, 60, 40), items);
    f.glass->removeFromSuperview(); // the source must be hit

    // The drag loop is not run: the starter moves the data over the barline and drops it there, through
    // the host's Qt drag handlers.
    QSize imageSize;
    QPoint hotSpot;
    int starts = 0;
    DragStarterGuard guard([&](ViewHost& host, std::unique_ptr<QMimeData> data, const QPixmap& image,
                               QPoint spot) {
        ++starts;
        imageSize = image.size();
        hotSpot = spot;
        QDragEnterEvent enter(QPoint(110, 50), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&host, &enter);
        QDragMoveEvent move(QPoint(110, 60), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&host, &move);
        QDropEvent drop(QPointF(110, 60), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&host, &drop);
        return drop.isAccepted() ? platform::DragOperationCopy : platform::DragOperationNone;
    });

    const int distance = QApplication::startDragDistance();
    uitest::WindowEvents input(f.host);
    input.press({310, 210}, Qt::LeftButton, 1000);
    input.move({310.0 + distance - 1, 210}, 1010); // not yet a drag
    EXPECT_EQ(starts, 0);
    input.move({310.0 + distance, 210}, 1020);
    input.move({320.0 + distance, 210}, 1030); // one drag only
    input.release({320.0 + distance, 210}, Qt::LeftButton, 1040);

    EXPECT_EQ(starts, 1);
    EXPECT_EQ(source->result, platform::DragOperationCopy);
    EXPECT_EQ(f.log, (Log{"barline.entered", "barline.updated", "barline.perform"}));
    EXPECT_EQ(f.barline->lastInfo.types(), (std::vector<std::string>{kBarlineType, kItemType}));
    EXPECT_EQ(f.barline->lastInfo.dataForType(kItemType), QByteArray("1281"));
    EXPECT_EQ(f.barline->lastInfo.dataForType(kBarlineType).size(), 1);
    // The image is the source view as drawn, held where the pointer took it.
    EXPECT_EQ(imageSize, QSize(60, 40));
    EXPECT_EQ(hotSpot, QPoint(10 + distance, 10));
}

TEST(DragSource, TheDragImageIsTheViewAsDrawn) {
    auto root = std::make_shared<View>(Rect(0, 0, 200, 200));
    root->scaleUnitSquareToSize(platform::Size{2, 2});
    ViewHost host;
    host.setRootView(root);
    auto source = addTo<DragSourceView>(*root, Rect(10, 20, 30, 10), DraggingInfo());
    Rect area;
    const platform::Image image = source->imageOfView(area);
    EXPECT_EQ(area, Rect(20, 40, 60, 20));
    ASSERT_EQ(image.qImage().size(), QSize(60, 20));
    EXPECT_EQ(image.qImage().pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_EQ(image.qImage().pixelColor(59, 19), QColor(0, 0, 255));
}

TEST(PasteboardMime, TypesAndFormats) {
    struct Case {
        std::string type;
        QString format;
    };
    const Case cases[] = {
        {"itemType", "application/x-tovrin-itemType"},
        {"TOVNotePaletteForBarViewData", "application/x-tovrin-TOVNotePaletteForBarViewData"},
        {"copiedBars", "application/x-tovrin-copiedBars"},
        {"a.b+c_d-e", "application/x-tovrin-a.b+c_d-e"},
        {"with space/slash%", "application/x-tovrin-with%20space%2Fslash%25"},
        {"\xC3\xA9", "application/x-tovrin-%C3%A9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::mimeFormatForPasteboardType(c.type), c.format);
        EXPECT_EQ(platform::pasteboardTypeForMimeFormat(c.format), c.type);
    }
    for (const char* foreign :
         {"text/plain", "application/x-tovrin-", "application/x-tovrin-a%2", "application/x-tovrin-a%zz",
          "application/x-tovrin-a b", "application/x-tovrin-\xC3\xA9"}) {
        EXPECT_EQ(platform::pasteboardTypeForMimeFormat(QString::fromUtf8(foreign)), std::nullopt) << foreign;
    }
}

TEST(PasteboardMime, DragDataKeepsTypesInOrderWithMarkersAndBytes) {
    QMimeData mime;
    mime.setText("from elsewhere");
    platform::writePasteboardType(mime, kBarlineType, QByteArray()); // a marker without bytes
    platform::writePasteboardType(mime, kItemType, QByteArray("\x00\x01", 2));
    const DraggingInfo info = platform::draggingInfoFromMimeData(mime, Point{3, 4});
    EXPECT_EQ(info.types(), (std::vector<std::string>{kBarlineType, kItemType}));
    EXPECT_TRUE(info.hasType(kBarlineType));
    EXPECT_EQ(info.dataForType(kItemType), QByteArray("\x00\x01", 2));
    EXPECT_TRUE(info.dataForType("absent").isNull());
    EXPECT_EQ(info.availableTypeFromArray({kBarType, kItemType, kBarlineType}), kItemType);
    EXPECT_EQ(info.draggingLocation(), (Point{3, 4}));

    const auto back = platform::mimeDataFromDraggingInfo(info);
    EXPECT_EQ(back->formats(), (QStringList{"application/x-tovrin-" + QString::fromStdString(kBarlineType),
                                            "application/x-tovrin-itemType"}));
}

} // namespace
