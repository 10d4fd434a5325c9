#include "DocumentAppFixture.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVMainMenu.h"
#include "app/TOVPersistentDocument.h"
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
#include <QTest>
#include <QToolButton>
#include <QWindow>

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

} // namespace
