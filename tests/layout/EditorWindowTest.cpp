#include "EditorInWindow.h"
#include "FakeLayoutController.h"

#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditModeGrayView.h"
#include "layout/TOVEditorBackView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Song.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationMenuBar.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PrintRunner.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/LayoutBuilder.h"
#include "support/RealDrag.h"
#include "support/SongBuilder.h"

#include <algorithm>

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

using layouttest::FakeLayoutController;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

using layouttest::settle;

// The backdrop of a document window, which here also stands for everything behind the editor in the
// responder chain that would undo, redo and print.
class CountingBackView : public TOVEditorBackView {
public:
    explicit CountingBackView(const Rect& frame) : TOVEditorBackView(frame) {
        for (const char* action : {"undo:", "redo:", "printDocument:"}) {
            addActionHandler(action, [this, action](platform::MenuItem*) { performed.push_back(action); });
        }
    }
    std::vector<std::string> performed;
};

// A document window as the editor view controller lays it out: the backdrop as the root of the host, the
// editor view on it 20 from the left and 10 from the top, the bar-range overlay kept aside, a menu bar
// with Print, Undo and Redo.
class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        TOVUtils::Services services;
        services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
        TOVUtils::registerServices(services);

        auto file = menu->addSubmenu("File");
        file->addItem(std::make_shared<platform::MenuItem>("Print…", "printDocument:", "Cmd+P"));
        auto edit = menu->addSubmenu("Edit");
        edit->addItem(std::make_shared<platform::MenuItem>("Undo", "undo:", "Cmd+Z"));
        edit->addItem(std::make_shared<platform::MenuItem>("Redo", "redo:", "Cmd+Shift+Z"));
        app.setMainMenu(menu);
        window.setMenuModel(menu);

        document =
            tovtest::makeLayout(*context, {PageSpec{10, {LineSpec{0, 0, false}, LineSpec{4, 4, false}}},
                                           PageSpec{10, {LineSpec{4, 4, false}}}});
        document->createNewSong()->setName(platform::AttributedString("Name"));
        controller.editor = editor.get();
        controller.showGrid = true;
        editor->setDelegate(&controller);
        editor->setDocData(document);
        editor->setFrame(Rect(20, 10, 595, editor->heightOfPageColumn()));
        back->setEditorView(editor.get());
        back->addSubview(editor);

        input = layouttest::showInWindow(window, host, back, 700, 600);
        controller.log.clear();
    }
    void TearDown() override {
        editor->setDocData(nullptr);
        TOVUtils::registerServices({});
    }

    // As the editor view controller shows and hides the overlay for the bar-range modes.
    void showOverlay() {
        overlay->setFrame(editor->bounds());
        editor->addSubview(overlay);
        ASSERT_TRUE(window.makeFirstResponder(overlay.get()));
    }
    void hideOverlay() {
        overlay->removeFromSuperview();
        ASSERT_TRUE(window.makeFirstResponder(editor.get()));
    }
    QAction* action(const std::string& submenu, const std::string& title) {
        return window.applicationMenuBar()->qActionFor(menu->submenuWithTitle(submenu)->itemWithTitle(title));
    }
    // Shows the menu as a click on its title does, so that its items are validated, and closes it again.
    void showMenu(const std::string& title) {
        QMenu* qMenu = window.applicationMenuBar()->qMenuFor(menu->submenuWithTitle(title));
        qMenu->popup(window.mapToGlobal(QPoint(10, 10)));
        settle();
        qMenu->hide();
        settle();
    }
    void keyClick(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(window.windowHandle(), key, modifiers);
        settle();
    }
    // Drags an item from a palette beside the window to a point of the host, where the button comes up
    // a point further; answers what the palette heard of the drop.
    platform::DragOperation dragFromPalette(const std::string& type, int item, QPoint at) {
        platform::DraggingInfo info;
        info.addType(type);
        const auto bytes = platform::KeyedArchiver::archivedDataWithRootNumber(item);
        info.addType(TOVPaletteTypes::ItemType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<qsizetype>(bytes.size())));
        uitest::DragSourceWindow palette(info, QPoint(window.frameGeometry().right() + 20, 40));
        drag.dragAlong(palette.middle(), palette.pastDragDistance(),
                       {{host, QPointF(at)}, {host, QPointF(at + QPoint(1, 1))}});
        EXPECT_EQ(palette.view->drags, 1);
        return palette.view->result;
    }
    // A page as the print runner draws it, at one pixel per point.
    QImage printedPage(long page) {
        QImage image;
        platform::PrintRunner runner(*editor);
        runner.printToImages(1.0, [&](long number, const QImage& drawn) {
            if (number == page) {
                image = drawn.convertToFormat(QImage::Format_ARGB32);
            }
            return true;
        });
        return image;
    }

    platform::Application app;
    std::shared_ptr<platform::Menu> menu = std::make_shared<platform::Menu>("Main");
    platform::Window window;
    platform::ViewHost* host = nullptr;
    std::unique_ptr<uitest::WindowEvents> input;
    uitest::RealDrag drag;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    Document* document = nullptr;
    FakeLayoutController controller;
    std::shared_ptr<CountingBackView> back = std::make_shared<CountingBackView>(Rect(0, 0, 640, 1800));
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>();
    std::shared_ptr<TOVEditModeGrayView> overlay = std::make_shared<TOVEditModeGrayView>();
};

TEST_F(EditorWindowTest, TheOverlayDisablesUndoRedoAndPrintWhileItIsTheFirstResponder) {
    ASSERT_TRUE(window.makeFirstResponder(editor.get()));
    showOverlay();
    showMenu("Edit");
    showMenu("File");
    EXPECT_FALSE(action("Edit", "Undo")->isEnabled());
    EXPECT_FALSE(action("Edit", "Redo")->isEnabled());
    EXPECT_FALSE(action("File", "Print…")->isEnabled());
    keyClick(Qt::Key_Z, Qt::ControlModifier);
    keyClick(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    keyClick(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(back->performed.empty());

    // Without the overlay the same keys reach what lies behind the editor.
    hideOverlay();
    showMenu("Edit");
    EXPECT_TRUE(action("Edit", "Undo")->isEnabled());
    keyClick(Qt::Key_Z, Qt::ControlModifier);
    keyClick(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(back->performed, (std::vector<std::string>{"undo:", "printDocument:"}));
}

TEST_F(EditorWindowTest, OnlyDrawingToolsDropOnThePageBackgroundAndNothingThroughTheOverlay) {
    const QPoint onPage(20 + 300, 10 + 500);
    const int arrow = TOVToolArrow;

    showOverlay();
    EXPECT_EQ(dragFromPalette(TOVPaletteTypes::SymbolForNoteView, arrow, onPage),
              platform::DragOperationNone);
    EXPECT_TRUE(controller.log.empty());

    hideOverlay();
    EXPECT_EQ(dragFromPalette(TOVPaletteTypes::SymbolForNoteView, arrow, onPage),
              platform::DragOperationCopy);
    EXPECT_EQ(controller.log, (std::vector<std::string>{"symbol entered " + std::to_string(TOVToolArrow),
                                                        "insert " + std::to_string(TOVToolArrow),
                                                        "symbol performed " + std::to_string(TOVToolArrow)}));
    EXPECT_EQ(controller.insertedAt, (Point{321, 511}));

    // Bar symbols and notes are refused on the background, but the controller hears of them for its hints.
    controller.log.clear();
    EXPECT_EQ(dragFromPalette(TOVPaletteTypes::SymbolForBarView, TOVSymbolClefG, onPage),
              platform::DragOperationNone);
    EXPECT_EQ(dragFromPalette(TOVPaletteTypes::NoteForBarView,
                              TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter), onPage),
              platform::DragOperationNone);
    EXPECT_EQ(controller.log,
              (std::vector<std::string>{
                  "symbol entered " + std::to_string(TOVSymbolClefG),
                  "symbol exited " + std::to_string(TOVSymbolClefG),
                  "note entered " + std::to_string(TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter)),
                  "note exited " + std::to_string(TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter))}));
}

TEST_F(EditorWindowTest, AGreatDoubleBarDroppedOnABarlineAfterABarAsksToEndTheSongThere) {
    TOVEditorBarView* second = editor->barViewFromNumberInLower(1, false);
    TOVEditorLineView* line = second->lineView();
    ASSERT_NE(line, nullptr);
    TOVBarLineView* afterSecond = line->rightBarLineViewOfBarView(second);
    TOVBarLineView* first = line->firstBarLineView();
    ASSERT_NE(afterSecond, nullptr);
    ASSERT_NE(first, nullptr);
    // The middle of a barline view, where the host finds it under the pointer.
    auto middleOf = [&](TOVBarLineView* barline) {
        const Point p = barline->convertPointToView(
            Point{barline->bounds().width() / 2, barline->bounds().height() / 2}, nullptr);
        return QPoint(static_cast<int>(p.x), static_cast<int>(p.y));
    };
    const QPoint onFirst = middleOf(first);
    const QPoint onAfterSecond = middleOf(afterSecond);

    // Never on the first barline of a line: refused, and the controller only hears the drag come and go.
    EXPECT_EQ(dragFromPalette(TOVBarLineView::kPaletteDragType, TOVBarlineGreatDouble, onFirst),
              platform::DragOperationNone);
    EXPECT_EQ(controller.log,
              (std::vector<std::string>{"symbol entered " + std::to_string(TOVBarlineGreatDouble),
                                        "symbol exited " + std::to_string(TOVBarlineGreatDouble)}));
    EXPECT_EQ(line->line()->firstBarLineType(), TOVBarlineSingle);
    // Another kind is taken there without a word to the controller.
    controller.log.clear();
    EXPECT_EQ(dragFromPalette(TOVBarLineView::kPaletteDragType, TOVBarlineDouble, onFirst),
              platform::DragOperationCopy);
    EXPECT_EQ(controller.log,
              (std::vector<std::string>{"symbol entered " + std::to_string(TOVBarlineDouble),
                                        "symbol performed " + std::to_string(TOVBarlineDouble)}));
    EXPECT_EQ(line->line()->firstBarLineType(), TOVBarlineDouble);
    EXPECT_TRUE(controller.greatDoubleBarViews.empty());

    // After a bar the barline takes it and asks the controller to end the song at that bar, before the
    // line view stores it.
    controller.log.clear();
    EXPECT_EQ(dragFromPalette(TOVBarLineView::kPaletteDragType, TOVBarlineGreatDouble, onAfterSecond),
              platform::DragOperationCopy);
    EXPECT_EQ(controller.log,
              (std::vector<std::string>{"symbol entered " + std::to_string(TOVBarlineGreatDouble),
                                        "great double bar",
                                        "symbol performed " + std::to_string(TOVBarlineGreatDouble)}));
    EXPECT_EQ(controller.greatDoubleBarViews, (std::vector<TOVObjectView*>{afterSecond}));
    EXPECT_EQ(afterSecond->barLineType(), TOVBarlineGreatDouble);
    EXPECT_EQ(second->bar()->barLineType(), TOVBarlineGreatDouble);
}

TEST_F(EditorWindowTest, AClickOnTheBackdropDropsTheSelectionUnlessShiftOrCommandIsHeld) {
    document->createNewSymbolToolsWithTypeFrame(TOVToolArrow, Rect(100, 100, 0, 0));
    ASSERT_EQ(editor->symbolViewArray().size(), 1u);
    TOVObjectView* tool = editor->symbolViewArray().front().get();
    editor->selectAnObjectViewClearOthers(tool, true);
    unsigned long time = 1000;
    // Right of the editor view, on the backdrop; the events come through the window.
    const QPointF outside = host->mapTo(&window, QPointF(628, 300));
    for (Qt::KeyboardModifiers held :
         {Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        time += 5000;
        input->press(outside, Qt::LeftButton, time, held);
        input->release(outside, Qt::LeftButton, time + 10, held);
        EXPECT_EQ(editor->selectedObjectViewSet().size(), 1u);
        EXPECT_EQ(tool->state(), 1);
    }
    time += 5000;
    input->click(outside, time);
    EXPECT_TRUE(editor->selectedObjectViewSet().empty());
    EXPECT_EQ(tool->state(), 0);
}

TEST_F(EditorWindowTest, PagesPrintWhiteWithTheirFootersAndWithoutGridOrOverlay) {
    showOverlay();
    // On screen the overlay darkens the pages.
    host->repaint();
    const QImage screen = host->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const double ratio = screen.width() / static_cast<double>(host->width());
    const QRgb shaded = screen.pixel(static_cast<int>(325 * ratio), static_cast<int>(405 * ratio));
    EXPECT_LT(qRed(shaded), 200);

    long first = 0;
    long count = 0;
    ASSERT_TRUE(editor->knowsPageRange(first, count));
    ASSERT_EQ(count, 2);
    for (long page = 1; page <= count; ++page) {
        SCOPED_TRACE(page);
        const QImage image = printedPage(page);
        ASSERT_EQ(image.size(), QSize(595, 842));
        // The staves and barlines are printed; everything else on the page must be white.
        std::vector<Rect> staves;
        for (const auto& lineView : editor->pageViewArray()[page - 1]->lineViewArray()) {
            staves.push_back(lineView->frame());
        }
        auto inStaff = [&](int x, int y) {
            return std::any_of(staves.begin(), staves.end(), [&](const Rect& r) {
                return r.containsPoint(platform::Point{x + 0.5, y + 0.5});
            });
        };
        int dark = 0;
        int notWhite = 0;
        for (int y = 0; y < 842; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < 595; ++x) {
                if (inStaff(x, y)) {
                    continue;
                }
                if (y >= 800 && y < 822) {
                    dark += qRed(line[x]) < 128 ? 1 : 0; // the footer's text
                } else {
                    // No grid, no veil: opaque white.
                    notWhite += line[x] != qRgba(255, 255, 255, 255) ? 1 : 0;
                }
            }
        }
        EXPECT_EQ(notWhite, 0);
        EXPECT_GT(dark, 20);
    }
    // At a scale that ends a page inside a pixel, the image keeps the whole pixels, none of them grey or
    // see-through at the edges.
    platform::PrintRunner runner(*editor);
    int edgeFaults = 0;
    runner.printToImages(1.5, [&](long, const QImage& drawn) {
        const QImage image = drawn.convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(image.size(), QSize(892, 1263));
        for (int y = 0; y < image.height(); ++y) {
            edgeFaults += image.pixel(image.width() - 1, y) != qRgba(255, 255, 255, 255) ? 1 : 0;
        }
        for (int x = 0; x < image.width(); ++x) {
            edgeFaults += image.pixel(x, image.height() - 1) != qRgba(255, 255, 255, 255) ? 1 : 0;
        }
        return true;
    });
    EXPECT_EQ(runner.pagesPrinted(), 2);
    EXPECT_EQ(edgeFaults, 0);
}

TEST_F(EditorWindowTest, ABarViewReportsClicksAndTakesAMetaClickOrTheRightButtonAsARightClick) {
    TOVEditorBarView* barView = editor->barViewFromNumberInLower(1, false);
    ASSERT_NE(barView, nullptr);
    // The middle of the bar, below its staff; the events come through the window.
    const Point inHost = barView->convertPointToView(
        Point{barView->bounds().width() / 2, barView->bounds().height() - 5}, nullptr);
    const QPointF at = host->mapTo(&window, QPointF(inHost.x, inHost.y));
    struct Case {
        Qt::MouseButton button;
        Qt::KeyboardModifiers held;
        const char* report;
    };
    unsigned long time = 1000;
    for (const Case& c : {Case{Qt::LeftButton, Qt::NoModifier, "click"},
                          Case{Qt::LeftButton, Qt::MetaModifier, "right click"},
                          Case{Qt::RightButton, Qt::NoModifier, "right click"}}) {
        SCOPED_TRACE(c.report);
        controller.log.clear();
        time += 5000;
        input->press(at, c.button, time, c.held);
        input->release(at, c.button, time + 10, c.held);
        settle();
        ASSERT_FALSE(controller.log.empty());
        EXPECT_EQ(controller.log.front(), c.report);
        EXPECT_EQ(std::count(controller.log.begin(), controller.log.end(), std::string("click")),
                  std::string(c.report) == "click" ? 1 : 0);
    }
}

TEST_F(EditorWindowTest, ABarlineDraggedByItsHandleStopsAtTheMinimumAndCommitsOnRelease) {
    TOVEditorBarView* left = editor->barViewFromNumberInLower(1, false);
    TOVEditorBarView* right = editor->barViewFromNumberInLower(2, false);
    TOVEditorLineView* line = left->lineView();
    ASSERT_NE(line, nullptr);
    TOVBarLineView* barline = line->rightBarLineViewOfBarView(left);
    ASSERT_NE(barline, nullptr);
    // The handle's middle, and a point on the barline view but beside its handle.
    auto inWindow = [&](double dx) {
        const Point p = barline->convertPointToView(
            Point{barline->bounds().width() / 2 + dx, barline->bounds().height() / 2}, nullptr);
        return host->mapTo(&window, QPointF(p.x, p.y));
    };
    EXPECT_NE(dynamic_cast<TOVBarLineView*>(editor->hitTest(editor->superview()->convertPointFromView(
                  barline->convertPointToView(Point{3, barline->bounds().height() / 2}, nullptr), nullptr))),
              barline);
    const QPointF start = inWindow(0);
    unsigned long time = 1000;
    input->press(start, Qt::LeftButton, time);
    for (double x : {50.0, 120.0, 200.0}) {
        input->move(start + QPointF(x, 0), time += 20);
    }
    // Held at its minimum of 40 while the mouse went on.
    EXPECT_DOUBLE_EQ(right->frame().width(), 40);
    EXPECT_DOUBLE_EQ(left->frame().width(), 220);
    EXPECT_EQ(left->bar()->width(), 130);
    // Turning back moves it back at once.
    input->move(start + QPointF(180, 0), time += 20);
    EXPECT_DOUBLE_EQ(left->frame().width(), 200);
    input->release(start + QPointF(180, 0), Qt::LeftButton, time += 20);
    settle();
    EXPECT_EQ(left->bar()->width(), 200);
    EXPECT_EQ(right->bar()->width(), 60);
    EXPECT_DOUBLE_EQ(barline->frame().midX(), left->frame().maxX());
}

} // namespace
