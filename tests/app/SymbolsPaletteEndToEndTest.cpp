#include "DocumentAppFixture.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVMainMenu.h"
#include "app/TOVPersistentDocument.h"
#include "app/TOVSettingSheets.h"
#include "app/TOVWindowController.h"
#include "document/TOVDocumentDump.h"
#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "input/TOVSymbolsPaletteWindowController.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Symbol.h"
#include "model/SymbolTempo.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/RealDrag.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <functional>
#include <vector>

namespace {

using platform::Point;
using Palette = TOVSymbolsPaletteWindowController;

// Logs the keys that reach a widget.
class KeyLog : public QObject {
public:
    std::vector<int> keys;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        }
        return QObject::eventFilter(watched, event);
    }
};

class SymbolsPaletteEndToEndTest : public docapp::SongWindowAppFixture {
protected:
    void TearDown() override {
        Palette::singletonInstance()->window()->hide();
        SongWindowAppFixture::TearDown();
    }
};

// Ctrl+2 in the document window shows the palette and leaves the keyboard there. From the barlines a
// single barline dragged onto a bar is refused; a double barline dragged onto the barline after bar 1
// is taken. The keys go on reaching the document window without a click: Delete and the arrows reach the
// editor, and Ctrl+Z takes the barline back.
TEST_F(SymbolsPaletteEndToEndTest, DragsFromThePaletteAndTheDocumentWindowKeepsTheKeyboard) {
    TOVPersistentDocument* song = openNewSongWindow();
    ASSERT_NE(song, nullptr);
    TOVWindowController* windowController = song->windowController();
    platform::Window* window = windowController->window();
    TOVEditorViewController* editor = windowController->editorController();
    platform::ViewHost* host = editor->host();
    // The score has the keyboard, not a control of the toolbar.
    ASSERT_EQ(QApplication::focusWidget(), host);

    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_2, Qt::ControlModifier);
    docapp::settle();
    Palette* palette = Palette::singletonInstance();
    platform::Window* paletteWindow = palette->window();
    ASSERT_TRUE(paletteWindow->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(paletteWindow));
    paletteWindow->move(window->frameGeometry().right() + 20, 20);
    docapp::settle();
    EXPECT_EQ(QGuiApplication::focusWindow(), window->windowHandle());

    // The barlines, chosen by a click on their toolbar button.
    platform::Toolbar* bar = palette->toolbar();
    auto* button = qobject_cast<QToolButton*>(bar->widgetForItem(bar->itemWithIdentifier("Barline")));
    ASSERT_NE(button, nullptr);
    uitest::WindowEvents(*button).click(button->rect().center(), 1000);
    ASSERT_EQ(palette->category(), Palette::Barlines);

    TOVEditorBarView* first = editor->editorView()->barViewFromNumberInLower(0, false);
    TOVEditorBarView* second = editor->editorView()->barViewFromNumberInLower(1, false);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    TOVBarLineView* afterFirst = first->lineView()->rightBarLineViewOfBarView(first);
    ASSERT_NE(afterFirst, nullptr);
    const auto inHost = [](const platform::View& view) {
        const Point p =
            view.convertPointToView(Point{view.bounds().width() / 2, view.bounds().height() / 2}, nullptr);
        return QPointF(p.x, p.y);
    };
    const std::string before = TOVDocumentDump::dumpDocument(song->documentData());
    TOVPaletteCollectionView* grid = palette->collectionView();
    const auto dragCell = [&](std::size_t index, QPointF to) {
        uitest::RealDrag drag;
        const QPoint cell = grid->viewportCenterOfItem(index);
        const int drags = drag.dragsStarted();
        drag.dragAlong({grid->viewport(), cell},
                       {grid->viewport(), cell + QPoint(QApplication::startDragDistance() + 2, 0)},
                       {{host, to + QPointF(-3, 0)}, {host, to}});
        docapp::settle();
        EXPECT_EQ(drag.dragsStarted(), drags + 1);
        return drag.cursorsDuringDrag();
    };

    // A single barline over a bar: refused there, nothing written.
    const std::vector<Qt::CursorShape> overBar = dragCell(0, inHost(*second));
    ASSERT_FALSE(overBar.empty());
    EXPECT_EQ(overBar.back(), Qt::ForbiddenCursor);
    EXPECT_EQ(TOVDocumentDump::dumpDocument(song->documentData()), before);

    // A double barline on a barline: taken.
    dragCell(3, inHost(*afterFirst));
    EXPECT_EQ(first->bar()->barLineType(), TOVBarlineDouble);
    EXPECT_EQ(palette->strLabel(), "Double Bar");

    // The keyboard stayed with the document window and its editor.
    QWindow* focus = QGuiApplication::focusWindow();
    ASSERT_EQ(focus, window->windowHandle());
    EXPECT_FALSE(paletteWindow->isActiveWindow());
    EXPECT_EQ(QApplication::focusWidget(), host);
    KeyLog log;
    host->installEventFilter(&log);
    for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down}) {
        QTest::keyClick(focus, key);
    }
    host->removeEventFilter(&log);
    EXPECT_EQ(log.keys,
              (std::vector<int>{Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down}));
    // Not a control of the toolbar: the arrows chose no bar-range mode.
    EXPECT_EQ(editor->editBarsMode(), TOVEditorViewController::Normal);
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    docapp::settle();
    EXPECT_EQ(editor->editorView()->barViewFromNumberInLower(0, false)->bar()->barLineType(),
              TOVBarlineSingle);
    EXPECT_EQ(TOVDocumentDump::dumpDocument(song->documentData()), before);
}

// A speed sign dragged from the shown palette onto a bar of the shown document window, at zoom 200%: its
// sheet opens once the drop is over, starting from 0, and takes a typed 132 and a click on its button. The
// arrow key on the document window then nudges the sign by the zoom's step, Delete takes it away, and
// Ctrl+Z, pressed again and again, brings back the sign, its place, its speed 0 and finally the bare bar,
// one step at a time.
TEST_F(SymbolsPaletteEndToEndTest, ADroppedSpeedSignIsAnsweredNudgedDeletedAndUndoneStepByStep) {
    TOVPersistentDocument* song = openNewSongWindow();
    ASSERT_NE(song, nullptr);
    TOVWindowController* windowController = song->windowController();
    platform::Window* window = windowController->window();
    TOVEditorViewController* editor = windowController->editorController();
    platform::ViewHost* host = editor->host();
    windowController->setIsDisplaySizeAuto(false);
    windowController->setDisplaySize(200);
    windowController->updateDisplaySize();
    docapp::settle();

    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_2, Qt::ControlModifier);
    docapp::settle();
    Palette* palette = Palette::singletonInstance();
    platform::Window* paletteWindow = palette->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(paletteWindow));
    paletteWindow->move(window->frameGeometry().right() + 20, 20);
    docapp::settle();
    platform::Toolbar* bar = palette->toolbar();
    auto* button = qobject_cast<QToolButton*>(bar->widgetForItem(bar->itemWithIdentifier("Tempo")));
    ASSERT_NE(button, nullptr);
    uitest::WindowEvents(*button).click(button->rect().center(), 1000);
    ASSERT_EQ(palette->category(), Palette::Tempo);
    const std::size_t speedCell = 6;
    ASSERT_EQ(palette->paletteItems().at(speedCell).itemType, TOVSymbolTempoSpeed);

    const auto barModel = [&] { return editor->editorView()->barViewFromNumberInLower(0, false)->bar(); };
    const auto speedSigns = [&] {
        std::vector<SymbolTempo*> found;
        for (Symbol* symbol : barModel()->symbols()) {
            if (symbol->type() == TOVSymbolTempoSpeed) {
                found.push_back(static_cast<SymbolTempo*>(symbol));
            }
        }
        return found;
    };
    TOVEditorBarView* target = editor->editorView()->barViewFromNumberInLower(0, false);
    ASSERT_NE(target, nullptr);
    const Point inTarget = target->convertPointToView(
        Point{target->bounds().width() / 2, target->posY5LinesTop() + 10.0}, nullptr);
    const QPointF to(inTarget.x, inTarget.y);
    ASSERT_TRUE(QRectF(host->rect()).contains(to)) << "the bar is not in sight at this zoom";
    const std::string before = TOVDocumentDump::dumpDocument(song->documentData());

    // The user in the sheet: a click into the field, all of it chosen, 132 typed, the button clicked.
    TOVSpeedSettingWindowController* sheet = windowController->speedSettingWindowController();
    QString shown;
    bool answered = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (answered || !sheet->window()->isVisible()) {
            return;
        }
        answered = true;
        poll.stop();
        shown = sheet->textField()->text();
        QLineEdit* field = sheet->textField();
        uitest::WindowEvents(*field).click(field->rect().center(), 2000);
        QWindow* sheetWindow = sheet->window()->windowHandle();
        QTest::keyClick(sheetWindow, Qt::Key_A, Qt::ControlModifier);
        for (const char digit : {'1', '3', '2'}) {
            QTest::keyClick(sheetWindow, digit);
        }
        QPushButton* accept = sheet->acceptButton();
        uitest::WindowEvents(*accept).click(accept->rect().center(), 3000);
    });
    poll.start();

    uitest::RealDrag drag;
    TOVPaletteCollectionView* grid = palette->collectionView();
    const QPoint cell = grid->viewportCenterOfItem(speedCell);
    const int drags = drag.dragsStarted();
    drag.dragAlong({grid->viewport(), cell},
                   {grid->viewport(), cell + QPoint(QApplication::startDragDistance() + 2, 0)},
                   {{host, to + QPointF(-3, 0)}, {host, to}});
    for (int i = 0; i < 300 && !(answered && !sheet->window()->isVisible()); ++i) {
        QTest::qWait(10);
    }
    docapp::settle();
    poll.stop();
    EXPECT_EQ(drag.dragsStarted(), drags + 1);
    ASSERT_TRUE(answered) << "the speed sheet did not show";
    EXPECT_EQ(shown, QStringLiteral("0"));
    ASSERT_EQ(speedSigns().size(), 1u);
    EXPECT_EQ(speedSigns().front()->speed(), 132u);
    EXPECT_EQ(speedSigns().front()->frame().origin, (Point{0, -20.0}));
    ASSERT_EQ(editor->editorView()->selectedObjectViewSet().size(), 1u);
    EXPECT_EQ(editor->editorView()->selectedObjectViewSet().front()->symbol(), speedSigns().front());

    // The keys go to the document window again, not to the palette or the closed sheet.
    QWindow* focus = QGuiApplication::focusWindow();
    ASSERT_EQ(focus, window->windowHandle());
    EXPECT_FALSE(paletteWindow->isActiveWindow());
    EXPECT_EQ(editor->diffMovingByArrowKey(), 1.0);
    QTest::keyClick(focus, Qt::Key_Right);
    docapp::settle();
    ASSERT_EQ(speedSigns().size(), 1u);
    EXPECT_EQ(speedSigns().front()->frame().origin, (Point{1.0, -20.0}));

    QTest::keyClick(focus, Qt::Key_Delete);
    docapp::settle();
    EXPECT_TRUE(speedSigns().empty());
    EXPECT_TRUE(editor->editorView()->selectedObjectViewSet().empty());

    struct Step {
        std::size_t signs;
        std::uint64_t speed;
        double x;
    };
    for (const Step& s : {Step{1, 132, 1.0}, Step{1, 132, 0.0}, Step{1, 0, 0.0}, Step{0, 0, 0.0}}) {
        SCOPED_TRACE(s.signs == 0 ? "the drop undone" : "speed " + std::to_string(s.speed));
        QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
        docapp::settle();
        ASSERT_EQ(speedSigns().size(), s.signs);
        if (s.signs != 0) {
            EXPECT_EQ(speedSigns().front()->speed(), s.speed);
            EXPECT_EQ(speedSigns().front()->frame().origin, (Point{s.x, -20.0}));
        }
    }
    EXPECT_EQ(TOVDocumentDump::dumpDocument(song->documentData()), before);
}

} // namespace
