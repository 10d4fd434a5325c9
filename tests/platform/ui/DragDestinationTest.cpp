#include "RecordingView.h"
#include "WindowEvents.h"
#include "support/RealDrag.h"

#include "model/TOVSymbolTypes.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include "platform/ui/PasteboardMime.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QApplication>
#include <QCoreApplication>
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
    std::vector<Point> locations; // of every call, in host coordinates

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
        locations.push_back(info.draggingLocation());
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

DraggingInfo drag(std::vector<std::string> types, Point at, int item = TOVBarlineSingle) {
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
    EXPECT_EQ(f.bar->lastInfo.dataForType(kItemType), QByteArray::number(TOVBarlineSingle));
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

// The drop fixture shown as a window, with a drag source in its lower right, driven by real drags.
struct RealDragFixture : DropFixture {
    explicit RealDragFixture(DraggingInfo items) {
        source = addTo<uitest::DragSourceView>(*root, Rect(300, 200, 60, 40), std::move(items));
        glass->removeFromSuperview(); // the source must be hit
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    uitest::PointerAt at(double x, double y) { return {&host, QPointF(x, y)}; }
    // Presses on the source, goes the drag distance and then along the path, releasing at its end.
    void dragAlong(std::vector<uitest::PointerAt> path) {
        drag.dragAlong(at(310, 210), at(312 + QApplication::startDragDistance(), 210), std::move(path));
    }
    uitest::RealDrag drag;
    std::shared_ptr<uitest::DragSourceView> source;
};

DraggingInfo paletteItems(const std::string& type, int item) {
    DraggingInfo items;
    items.addType(type); // a marker
    items.addType(kItemType, QByteArray::number(item));
    return items;
}

TEST(RealDrag, EnteredUpdatedExitedAndPerformFollowThePointer) {
    RealDragFixture f(paletteItems(kBarType, TOVBarlineSingle));
    f.dragAlong({f.at(50, 50), f.at(300, 250), f.at(60, 60), f.at(61, 60)});
    // Qt starts at the pointer, over the source on the root, which refuses bar items; it follows every
    // enter with a move at the same point, and drops where the last move was accepted.
    EXPECT_EQ(f.log, (Log{"root.entered", "root.updated", "root.exited", "bar.entered", "bar.exited",
                          "root.entered", "root.exited", "bar.entered", "bar.updated", "bar.perform"}));
    EXPECT_EQ(f.source->drags, 1);
    EXPECT_EQ(f.source->result, platform::DragOperationCopy);
    EXPECT_EQ(f.drag.cursorsDuringDrag(),
              (std::vector<Qt::CursorShape>{Qt::DragCopyCursor, Qt::ForbiddenCursor, Qt::DragCopyCursor,
                                            Qt::DragCopyCursor}));
    // The target sees the pointer in host coordinates and the types in order, with their bytes; a marker
    // travels as one byte.
    EXPECT_EQ(f.bar->locations, (std::vector<Point>{{50, 50}, {300, 250}, {60, 60}, {61, 60}, {61, 60}}));
    EXPECT_EQ(f.bar->lastInfo.types(), (std::vector<std::string>{kBarType, kItemType}));
    EXPECT_EQ(f.bar->lastInfo.dataForType(kItemType), QByteArray::number(TOVBarlineSingle));
    EXPECT_EQ(f.bar->lastInfo.dataForType(kBarType).size(), 1);
    EXPECT_EQ(f.host.currentDragDestination(), nullptr);
    // Qt's drag loop took the release: the press is over.
    EXPECT_EQ(f.host.mouseTrackingView(), nullptr);
    // The image is the source view as drawn, held where the pointer took it.
    EXPECT_EQ(f.drag.lastImageSize(), QSize(60, 40));
    EXPECT_EQ(f.drag.lastHotSpot(), QPoint(12 + QApplication::startDragDistance(), 10));
}

TEST(RealDrag, TheSourceStartsOnlyAfterTheDragDistance) {
    RealDragFixture f(paletteItems(kBarlineType, TOVBarlineDotted));
    const int distance = QApplication::startDragDistance();
    const int before = f.drag.dragsStarted();
    f.drag.press(f.at(310, 210));
    f.drag.moveTo(f.at(310.0 + distance - 1, 210));
    EXPECT_EQ(f.drag.dragsStarted(), before);
    // The barline takes barline items, although its hit test lets clicks through.
    f.drag.setPathDuringDrag({f.at(110, 50), f.at(110, 60)});
    f.drag.moveTo(f.at(310.0 + distance, 210));
    f.drag.moveTo(f.at(320.0 + distance, 210)); // the drag is over: no second one
    EXPECT_EQ(f.drag.dragsStarted(), before + 1);
    EXPECT_EQ(f.source->drags, 1);
    EXPECT_EQ(f.source->result, platform::DragOperationCopy);
    EXPECT_EQ(f.log, (Log{"root.entered", "root.updated", "root.exited", "barline.entered", "barline.updated",
                          "barline.perform"}));
    EXPECT_EQ(f.barline->lastInfo.dataForType(kItemType), QByteArray::number(TOVBarlineDotted));
}

TEST(RealDrag, ReleasedWhereTheTargetRefusesQtCancelsAndTheTargetHearsExited) {
    RealDragFixture f(paletteItems(kBarType, TOVBarlineSingle));
    f.bar->answer = platform::DragOperationNone;
    f.dragAlong({f.at(50, 50), f.at(60, 60)});
    EXPECT_EQ(f.log, (Log{"root.entered", "root.updated", "root.exited", "bar.entered", "bar.updated",
                          "bar.exited"}));
    EXPECT_EQ(f.source->result, platform::DragOperationNone);
    EXPECT_EQ(f.host.currentDragDestination(), nullptr);
    // The pointer said so all along.
    EXPECT_EQ(f.drag.cursorsDuringDrag(),
              (std::vector<Qt::CursorShape>{Qt::ForbiddenCursor, Qt::ForbiddenCursor}));

    // Leaving the window ends with exited too.
    f.log.clear();
    f.bar->answer = platform::DragOperationCopy;
    f.dragAlong({f.at(50, 50), f.at(-30, 50)});
    EXPECT_EQ(f.log, (Log{"root.entered", "root.updated", "root.exited", "bar.entered", "bar.exited"}));
    EXPECT_EQ(f.source->result, platform::DragOperationNone);
}

TEST(DragSource, TheDragImageIsTheViewAsDrawn) {
    auto root = std::make_shared<View>(Rect(0, 0, 200, 200));
    root->scaleUnitSquareToSize(platform::Size{2, 2});
    ViewHost host;
    host.setRootView(root);
    auto source = addTo<uitest::DragSourceView>(*root, Rect(10, 20, 30, 10), DraggingInfo());
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
