#include "DocumentAppFixture.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVMainMenu.h"
#include "app/TOVPersistentDocument.h"
#include "app/TOVWindowController.h"
#include "document/TOVDocumentDump.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "input/TOVChord1StepViewController.h"
#include "input/TOVChord1stStepViewController.h"
#include "input/TOVChord3StepsViewController.h"
#include "input/TOVChordCollectionView.h"
#include "input/TOVChordDiatonicViewController.h"
#include "input/TOVChordWindowController.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/TempDir.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sstream>
#include <string>

namespace {

using platform::Point;

// The chords of a song's dump, as the file would hold them: each chord with the number of its bar
// ("-" for bar 0, as the dump leaves out defaults) and its codes and timing, then the history entries.
std::string chordLinesOf(const std::string& dump) {
    std::istringstream in(dump);
    std::string line;
    std::string barNumber;
    std::string chords;
    const auto field = [](const std::string& text, const std::string& name) {
        const std::size_t at = text.find(" " + name + "=");
        return at == std::string::npos ? std::string() : text.substr(at + 1, text.find(' ', at + 1) - at - 1);
    };
    while (std::getline(in, line)) {
        const std::string trimmed = line.substr(line.find_first_not_of(' '));
        if (trimmed.rfind("Bar ", 0) == 0) {
            barNumber = field(trimmed, "num");
        } else if (trimmed.rfind("Chord ", 0) == 0) {
            chords += "bar " + barNumber + " " + trimmed.substr(trimmed.find("elemStep1=")) + "\n";
        } else if (trimmed.rfind("ChordHistory ", 0) == 0) {
            chords += trimmed + "\n";
        }
    }
    return chords;
}

using ChordInputEndToEndTest = docapp::SongWindowAppFixture;

// A new song in C: a right click in bar 2's chord row opens the one-step page; two diatonic chords are
// entered with Return, then on the three-step page a slash chord built with the keyboards and the Slash
// button; Escape closes the window and Ctrl+Z in the document window takes back the last chord only.
TEST_F(ChordInputEndToEndTest, ChordsOfARunAreWrittenChordByChordAndUndoneOneAtATime) {
    platform::UserDefaults::standard().setInteger("actionChordsAreaRightClick", 1);
    TOVPersistentDocument* song = openNewSongWindow();
    ASSERT_NE(song, nullptr);
    TOVWindowController* windowController = song->windowController();
    platform::Window* window = windowController->window();
    TOVEditorViewController* editor = windowController->editorController();
    TOVChordWindowController* chordWindow = windowController->chordWindowController();
    ASSERT_NE(chordWindow, nullptr);
    TOVEditorBarView* bar = editor->editorView()->barViewFromNumberInLower(1, false);
    ASSERT_NE(bar, nullptr);

    uitest::WindowEvents input(*window);
    ulong time = 1000;
    // A point of a widget, or of a view of the editor, in the window it lies in.
    const auto inWindowOf = [](QWidget* widget, QPoint at) { return widget->mapTo(widget->window(), at); };
    const Point inHost =
        bar->convertPointToView(Point{bar->bounds().width() / 3, bar->posY5LinesTop() - 4}, nullptr);
    const QPoint chordRow = editor->host()->mapTo(window, QPoint(int(inHost.x), int(inHost.y)));

    bool ran = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (ran || !chordWindow->running()) {
            return;
        }
        ran = true;
        poll.stop();
        platform::Window* panel = chordWindow->window();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(panel));
        uitest::WindowEvents inPanel(*panel);
        QWindow* panelWindow = panel->windowHandle();
        // The one-step page, as the user default asks: the I and the IV chord of C.
        EXPECT_EQ(chordWindow->tabView()->currentIndex(), 0);
        TOVChordCollectionView* diatonic =
            chordWindow->viewCtrler1Step()->diatonicViewController()->collectionView();
        for (const std::size_t cell : {std::size_t{0}, std::size_t{3}}) {
            const QPoint at = diatonic->viewport()->mapTo(panel, diatonic->viewportCenterOfItem(cell));
            inPanel.click(at, time += 5000);
            QTest::keyClick(panelWindow, Qt::Key_Return);
        }
        // The three-step page: F, next step, Slash, G as the bass, Return.
        QTabBar* tabs = chordWindow->tabView()->tabBar();
        inPanel.click(inWindowOf(tabs, tabs->tabRect(1).center()), time += 5000);
        EXPECT_EQ(chordWindow->tabView()->currentIndex(), 1);
        TOVChord3StepsViewController* builder = chordWindow->viewCtrler3Step();
        const auto clickWidget = [&](QWidget* widget) {
            ASSERT_NE(widget, nullptr);
            ASSERT_TRUE(widget->isVisible()) << widget->objectName().toStdString();
            inPanel.click(inWindowOf(widget, widget->rect().center()), time += 5000);
        };
        clickWidget(builder->firstViewCtrler()->keyView(7));
        clickWidget(builder->nextButton());
        clickWidget(builder->slashButton());
        clickWidget(builder->baseViewCtrler()->keyView(10));
        QTest::keyClick(panelWindow, Qt::Key_Return);
        QTest::keyClick(panelWindow, Qt::Key_Escape);
    });
    poll.start();
    QTimer::singleShot(20000, [&] {
        if (chordWindow->running()) {
            ADD_FAILURE() << "the chord window was left open";
            chordWindow->close();
        }
    });
    input.click(chordRow, time += 5000, Qt::RightButton);
    docapp::settle();
    ASSERT_TRUE(ran) << "the right click did not open the chord window";
    EXPECT_FALSE(chordWindow->running());
    EXPECT_FALSE(chordWindow->window()->isVisible());

    platform::UndoManager& undo = song->undoManager();
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_TRUE(undo.groupsByEvent());
    const ::Document* document = song->documentData();
    // C and F, two beats apart, in bar 1; F/G at the start of bar 2; each in the history once.
    const std::string history = "ChordHistory elemStep1=0 elemStep2=- elemStep3=- elemStepBase=- index=1\n"
                                "ChordHistory elemStep1=7 elemStep2=- elemStep3=- elemStepBase=- index=2\n";
    const std::string bar1 =
        "bar num=1 elemStep1=0 elemStep2=- elemStep3=- elemStepBase=- timing=- index=- order=-\n"
        "bar num=1 elemStep1=7 elemStep2=- elemStep3=- elemStepBase=- timing=480 index=- "
        "order=-\n";
    EXPECT_EQ(chordLinesOf(TOVDocumentDump::dumpDocument(document)),
              history + "ChordHistory elemStep1=7 elemStep2=- elemStep3=- elemStepBase=10 index=3\n" + bar1 +
                  "bar num=2 elemStep1=7 elemStep2=- elemStep3=- elemStepBase=10 timing=- index=- order=-\n");

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    docapp::settle();
    // The slash chord and its history entry go; the chords before it stay.
    EXPECT_EQ(chordLinesOf(TOVDocumentDump::dumpDocument(document)), history + bar1);
    EXPECT_EQ(editor->editorView()->barViewFromNumberInLower(2, false)->chordViewArray().size(), 0u);
    EXPECT_EQ(bar->chordViewArray().size(), 2u);
}

} // namespace
