#include "AppWindowFixture.h"
#include "support/ImageInk.h"
#include "support/RealDrag.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVNavigationWindowController.h"
#include "app/TOVSongSettingViewController.h"
#include "app/TOVWindowController.h"
#include "app/TOVWindowControllerDelegate.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/TOVSymbolTypes.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/ui/ChildPanel.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <string>
#include <vector>

using apptest::settle;

namespace {

// Records what the window tells its document.
class RecordingDocument : public TOVWindowControllerDelegate {
public:
    void windowControllerDidParseDocument(TOVWindowController* controller, Document* document) override {
        log.push_back("parse");
        editorHadDocumentAtParse = controller->editorController()->docData() == document;
    }
    void windowControllerDidLoadDocument(TOVWindowController* controller, Document* document) override {
        log.push_back("load");
        editorHadDocumentAtLoad = controller->editorController()->docData() == document;
    }
    std::vector<std::string> log;
    bool editorHadDocumentAtParse = true;
    bool editorHadDocumentAtLoad = false;
};

class WindowControllerTest : public apptest::AppFixture {
protected:
    // A document window as the document makes it for a new song: song and first page first, then the
    // window.
    std::unique_ptr<TOVWindowController> makeWindow(bool doubleRow = false, int width = 760) {
        auto controller = std::make_unique<TOVWindowController>("TOVDocument");
        controller->setDelegate(&document);
        controller->setManagedObjectContext(context.get());
        if (context->fetchObjects("Document").empty()) {
            context->insertNewObject<Document>("Document");
            TOVSongSettingViewController form;
            form.songNameTextField()->setText(QStringLiteral("New Song"));
            form.rowSelector()->setCurrentIndex(doubleRow ? 1 : 0);
            controller->createSongSettingFrom(&form);
            controller->createInitialPage();
        }
        platform::Window* window = controller->window();
        window->resize(width, 700);
        controller->updateEditorView();
        controller->showWindow();
        (void)QTest::qWaitForWindowExposed(window);
        settle();
        return controller;
    }

    static void typeZoom(TOVWindowController& controller, const QString& text) {
        QLineEdit* edit = controller.displaySizeSelector()->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        settle();
    }

    static double scale(const TOVWindowController& controller) {
        return controller.editorController()->scale().width;
    }

    RecordingDocument document;
};

// --- The document arrives ---

TEST_F(WindowControllerTest, LoadingTheWindowHandsTheDocumentToTheEditorBetweenParseAndLoad) {
    auto controller = makeWindow();
    Document* root = controller->docData();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(document.log, (std::vector<std::string>{"parse", "load"}));
    EXPECT_FALSE(document.editorHadDocumentAtParse);
    EXPECT_TRUE(document.editorHadDocumentAtLoad);
    EXPECT_EQ(controller->documentContent(), root);
    EXPECT_EQ(controller->songName(), QStringLiteral("New Song"));
    EXPECT_EQ(controller->managedObjectContext(), context.get());
    EXPECT_EQ(controller->undoManager(), &context->undoManager());

    // The same content again, or none, tells nobody anything.
    controller->setDocumentContent(root);
    controller->setDocumentContent(nullptr);
    EXPECT_EQ(document.log.size(), 2u);
}

// --- The first page of a new song ---

struct FirstPageCase {
    bool doubleRow;
    std::size_t lines;
};

void PrintTo(const FirstPageCase& c, std::ostream* os) {
    *os << (c.doubleRow ? "double rows" : "single rows");
}

class FirstPageTest : public WindowControllerTest, public ::testing::WithParamInterface<FirstPageCase> {};

TEST_P(FirstPageTest, HeaderLineThenLinesOfFourBarsNumberedAcrossTheRows) {
    const FirstPageCase c = GetParam();
    auto controller = std::make_unique<TOVWindowController>();
    controller->setManagedObjectContext(context.get());
    auto* root = context->insertNewObject<Document>("Document");
    root->setBarNumberShow(3);
    TOVSongSettingViewController form;
    form.rowSelector()->setCurrentIndex(c.doubleRow ? 1 : 0);
    controller->createSongSettingFrom(&form);
    controller->createInitialPage();

    EXPECT_EQ(root->barNumberShow(), 0u);
    ASSERT_EQ(root->pageArray().size(), 1u);
    Page* page = root->pageArray()[0];
    EXPECT_EQ(page->num(), 0u);
    EXPECT_EQ(page->aPage(), 10u);
    const std::vector<Line*> lines = page->lineArray();
    ASSERT_EQ(lines.size(), c.lines + 1);
    EXPECT_EQ(lines[0]->partition(), 0u);
    EXPECT_EQ(lines[0]->firstBarLineType(), 0);
    EXPECT_TRUE(lines[0]->bars().empty());
    EXPECT_EQ(lines[0]->lower(), nullptr);

    std::uint64_t expected = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i]->partition(), 4u);
        EXPECT_EQ(lines[i]->firstBarLineType(), i == 1 ? TOVBarlineTransparent : TOVBarlineSingle);
        const std::vector<Bar*> bars = lines[i]->barArray();
        ASSERT_EQ(bars.size(), 4u);
        for (Bar* bar : bars) {
            EXPECT_EQ(bar->num(), expected++);
            EXPECT_DOUBLE_EQ(bar->width(), 130.0);
            EXPECT_EQ(bar->barLineType(), TOVBarlineSingle);
        }
        Line* lower = lines[i]->lower();
        if (c.doubleRow) {
            ASSERT_NE(lower, nullptr);
            const std::vector<Bar*> twins = lower->barArray();
            ASSERT_EQ(twins.size(), 4u);
            for (std::size_t b = 0; b < 4; ++b) {
                EXPECT_EQ(twins[b]->num(), bars[b]->num());
            }
        } else {
            EXPECT_EQ(lower, nullptr);
        }
    }
    EXPECT_EQ(expected, c.lines * 4);
    EXPECT_EQ(root->song()->isDoubleRow(), c.doubleRow);
}

INSTANTIATE_TEST_SUITE_P(Rows, FirstPageTest,
                         ::testing::Values(FirstPageCase{false, 9}, FirstPageCase{true, 4}),
                         [](const auto& info) { return info.param.doubleRow ? "Double" : "Single"; });

// --- Zoom ---

struct TypedZoomCase {
    const char* name;
    QString typed;
    QString shown;
    double scale; // 0: the scale stays as it was
};

void PrintTo(const TypedZoomCase& c, std::ostream* os) {
    *os << '"' << c.typed.toStdString() << '"';
}

class TypedZoomTest : public WindowControllerTest, public ::testing::WithParamInterface<TypedZoomCase> {};

TEST_P(TypedZoomTest, TypedValueIsAppliedWithinLimitsAndShownAsPercent) {
    const TypedZoomCase c = GetParam();
    auto controller = makeWindow();
    typeZoom(*controller, QStringLiteral("150"));
    ASSERT_DOUBLE_EQ(scale(*controller), 1.5);

    typeZoom(*controller, c.typed);
    EXPECT_EQ(controller->displaySizeSelector()->currentText(), c.shown);
    EXPECT_DOUBLE_EQ(scale(*controller), c.scale == 0 ? 1.5 : c.scale);
    // What was typed is stored for the windows opened later.
    EXPECT_FALSE(defaults().boolForKey("displaySizeAuto"));
    EXPECT_EQ(defaults().stringForKey("displaySizeNumber"), c.shown.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedZoomTest,
                         ::testing::Values(TypedZoomCase{"Plain", "50", "50%", 0.5},
                                           TypedZoomCase{"Percent", "75%", "75%", 0.75},
                                           TypedZoomCase{"AboveLimit", "2000%", "1600%", 16.0},
                                           TypedZoomCase{"BelowLimit", "10", "25%", 0.25},
                                           TypedZoomCase{"AtLowerLimit", "25", "25%", 0.25},
                                           TypedZoomCase{"NotANumber", "big", "big", 0},
                                           TypedZoomCase{"Zero", "0%", "0%", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowControllerTest, TypedSizesAreTakenAsTypedNotCompletedFromTheList) {
    auto controller = makeWindow();
    platform::Window* window = controller->window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QLineEdit* edit = controller->displaySizeSelector()->lineEdit();
    const struct {
        const char* typed;
        const char* shown;
        double scale;
    } cases[] = {{"12", "25%", 0.25}, {"5", "25%", 0.25}, {"30", "30%", 0.3}, {"40", "40%", 0.4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        // Typed as the user types: into the focused box, key by key.
        edit->setFocus();
        settle();
        ASSERT_TRUE(edit->hasFocus());
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(c.typed));
        QTest::keyClick(edit, Qt::Key_Return);
        settle();
        EXPECT_EQ(controller->displaySizeSelector()->currentText(), QString::fromLatin1(c.shown));
        EXPECT_NEAR(scale(*controller), c.scale, 1e-6);
    }
}

// Wide enough for the whole toolbar (the hint panel goes with its item when the bar overflows) and an A4
// page at 100%; a window the user sized gives the next one its size.
TEST_F(WindowControllerTest, WindowsOpenWideEnoughForTheToolbarAndAPageAndKeepTheLastSize) {
    auto first = std::make_unique<TOVWindowController>("TOVDocument");
    first->setManagedObjectContext(context.get());
    context->insertNewObject<Document>("Document");
    TOVSongSettingViewController form;
    first->createSongSettingFrom(&form);
    first->createInitialPage();
    platform::Window* window = first->window();
    first->updateEditorView();
    first->showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    settle();
    QWidget* area = first->toolbar()->widgetForItem(first->toolbarItemNavigationArea());
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->isVisible());
    EXPECT_TRUE(first->navigationWindowController()->window()->isVisible());
    EXPECT_GE(first->editorController()->scrollView()->viewport()->width(), 615);
    EXPECT_DOUBLE_EQ(scale(*first), 1.0);

    window->resize(790, 580);
    settle();
    first->close();
    settle();
    auto second = std::make_unique<TOVWindowController>("TOVDocument");
    second->setManagedObjectContext(context.get());
    EXPECT_EQ(second->window()->size(), QSize(790, 580));
}

TEST_F(WindowControllerTest, ChoosingFromTheListAppliesTheZoom) {
    auto controller = makeWindow();
    QComboBox* box = controller->displaySizeSelector();
    EXPECT_EQ(box->currentText(), QStringLiteral("100%"));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down); // the next size of the list
    settle();
    EXPECT_EQ(box->currentText(), box->itemText(1));
    EXPECT_DOUBLE_EQ(scale(*controller), box->itemText(1).chopped(1).toDouble() / 100.0);
}

TEST_F(WindowControllerTest, AutomaticZoomFollowsTheWidthOfTheEditorsVisibleArea) {
    auto controller = makeWindow();
    QTest::mouseClick(controller->displaySizeAutoSwitch(), Qt::LeftButton);
    settle();
    ASSERT_TRUE(controller->isDisplaySizeAuto());
    EXPECT_TRUE(defaults().boolForKey("displaySizeAuto"));

    QScrollArea* scroll = controller->editorController()->scrollView();
    for (int width : {1400, 700}) {
        SCOPED_TRACE(width);
        controller->window()->resize(width, 700);
        settle();
        const float s = static_cast<float>(scroll->viewport()->width()) / 615.0f;
        EXPECT_EQ(controller->displaySizeSelector()->currentText(),
                  QStringLiteral("%1%").arg(static_cast<long>(100.0f * s)));
        EXPECT_FLOAT_EQ(static_cast<float>(scale(*controller)), s);
    }

    // Below a quarter the zoom stops at 25%.
    controller->window()->resize(140, 700);
    settle();
    ASSERT_LT(scroll->viewport()->width(), 154);
    EXPECT_EQ(controller->displaySizeSelector()->currentText(), QStringLiteral("25%"));
    EXPECT_DOUBLE_EQ(scale(*controller), 0.25);

    // Turned off, a resize leaves the zoom alone.
    QTest::mouseClick(controller->displaySizeAutoSwitch(), Qt::LeftButton);
    controller->window()->resize(1400, 700);
    settle();
    EXPECT_DOUBLE_EQ(scale(*controller), 0.25);
    EXPECT_FALSE(defaults().boolForKey("displaySizeAuto"));
}

TEST_F(WindowControllerTest, ANewWindowStartsWithTheStoredZoom) {
    defaults().setString("displaySizeNumber", "200%");
    auto controller = makeWindow();
    EXPECT_EQ(controller->displaySizeSelector()->currentText(), QStringLiteral("200%"));
    EXPECT_DOUBLE_EQ(scale(*controller), 2.0);
    EXPECT_FALSE(controller->displaySizeAutoSwitch()->isChecked());

    defaults().setBool("displaySizeAuto", true);
    auto automatic = makeWindow();
    EXPECT_TRUE(automatic->isDisplaySizeAuto());
    EXPECT_TRUE(automatic->displaySizeAutoSwitch()->isChecked());
    const float s =
        static_cast<float>(automatic->editorController()->scrollView()->viewport()->width()) / 615.0f;
    EXPECT_FLOAT_EQ(static_cast<float>(scale(*automatic)), s);
}

TEST_F(WindowControllerTest, PrintingLeavesTheWindowAndTheDefaultsAtOneHundredPercentWithoutAutomaticZoom) {
    auto controller = makeWindow();
    QTest::mouseClick(controller->displaySizeAutoSwitch(), Qt::LeftButton);
    controller->window()->resize(1400, 700);
    settle();
    ASSERT_NE(scale(*controller), 1.0);

    EXPECT_EQ(controller->printableView(), controller->editorController()->editorView());
    EXPECT_FALSE(controller->isDisplaySizeAuto());
    EXPECT_FALSE(controller->displaySizeAutoSwitch()->isChecked());
    EXPECT_EQ(controller->displaySizeSelector()->currentText(), QStringLiteral("100%"));
    EXPECT_DOUBLE_EQ(scale(*controller), 1.0);
    EXPECT_FALSE(defaults().boolForKey("displaySizeAuto"));
    EXPECT_EQ(defaults().stringForKey("displaySizeNumber"), std::string("100%"));
}

TEST_F(WindowControllerTest, SetDisplaySizeWritesTheWholePercentWithoutApplyingIt) {
    auto controller = makeWindow();
    controller->setDisplaySize(62.9);
    EXPECT_EQ(controller->displaySizeSelector()->currentText(), QStringLiteral("62%"));
    EXPECT_DOUBLE_EQ(controller->displaySize(), 62.0);
    EXPECT_DOUBLE_EQ(scale(*controller), 1.0);
}

// --- Toolbar and navigation panel ---

TEST_F(WindowControllerTest, ToolbarHoldsTheBarEditModeSelectorTheZoomAndTheNavigationArea) {
    auto controller = makeWindow();
    TOVToolbar* toolbar = controller->toolbar();
    ASSERT_NE(toolbar, nullptr);
    for (const char* id : {"EditBarMode", "DisplaySize", "NavigationArea"}) {
        SCOPED_TRACE(id);
        platform::ToolbarItem* item = toolbar->itemWithIdentifier(id);
        ASSERT_NE(item, nullptr);
        QWidget* widget = toolbar->widgetForItem(item);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->isVisible());
    }
    EXPECT_EQ(toolbar->toolbarDelegate(), controller.get());

    // Choosing a mode in the selector puts the editor in that bar-range mode (tags are the modes).
    QComboBox* modes = controller->editBarModeSelector();
    ASSERT_EQ(modes->count(), 5);
    modes->setFocus();
    QTest::keyClick(modes, Qt::Key_Down);
    settle();
    EXPECT_EQ(controller->editorController()->editBarsMode(), 1);
    QTest::keyClick(modes, Qt::Key_End);
    settle();
    EXPECT_EQ(controller->editorController()->editBarsMode(), 4);

    // When the editor goes back to normal on its own, the selector follows with the editor's hint.
    controller->editorController()->setEditBarsMode(0);
    controller->editorRequireShowNavigationMessageTitlePriority(controller->editorController(),
                                                                QStringLiteral("Click a bar."), QString(), 0);
    EXPECT_EQ(modes->currentIndex(), 0);
}

TEST_F(WindowControllerTest, BarEditModeMenuCommandReachesTheWindowAlongTheResponderChain) {
    auto controller = makeWindow();
    platform::MenuItem copy("Copy Bars", "editBarsModeDidChange:", {}, 1);
    ASSERT_TRUE(app.sendAction("editBarsModeDidChange:", &copy, controller->window()));
    EXPECT_EQ(controller->editorController()->editBarsMode(), 1);
}

TEST_F(WindowControllerTest, NavigationPanelLiesOverItsToolbarItemAndHidesWithLabelOnlyToolbar) {
    auto controller = makeWindow();
    platform::ChildPanel* panel = controller->navigationWindowController()->window();
    QWidget* area = controller->toolbar()->widgetForItem(controller->toolbarItemNavigationArea());
    ASSERT_NE(area, nullptr);
    ASSERT_TRUE(panel->isVisible());
    const QRect item(area->mapToGlobal(QPoint(0, 0)), area->size());
    EXPECT_TRUE(item.contains(panel->geometry())) << "panel outside its toolbar item";
    EXPECT_EQ(panel->width(), area->width() - 5);
    EXPECT_TRUE(panel->ignoresMouseEvents());

    controller->toolbar()->setDisplayMode(platform::Toolbar::DisplayMode::LabelOnly);
    settle();
    EXPECT_FALSE(panel->isVisible());
    controller->toolbar()->setDisplayMode(platform::Toolbar::DisplayMode::IconOnly);
    settle();
    EXPECT_TRUE(panel->isVisible());

    // The panel moves with the window.
    const QPoint before = panel->pos();
    controller->window()->move(controller->window()->pos() + QPoint(40, 30));
    settle();
    EXPECT_EQ(panel->pos(), before + QPoint(40, 30));
}

TEST_F(WindowControllerTest, EditorHintsShowInTheNavigationPanel) {
    auto controller = makeWindow();
    TOVEditorViewControllerDelegate* asDelegate = controller.get();
    ASSERT_EQ(controller->editorController()->delegate(), asDelegate);
    asDelegate->editorRequireShowNavigationMessageTitlePriority(
        controller->editorController(), QStringLiteral("Drop it on a bar."), QStringLiteral("Bar 3"), 1);
    TOVNavigationWindowController* panel = controller->navigationWindowController();
    EXPECT_EQ(panel->labelTitle()->text(), QStringLiteral("Bar 3"));
    EXPECT_EQ(panel->labelMessage()->text(), QStringLiteral("Drop it on a bar."));
    EXPECT_EQ(panel->navigationView()->priority(), 1);
}

} // namespace

// --- The window as the user sees it ---

namespace render {

// The window with its child panel painted where it lies on the screen.
QImage grabWithPanel(TOVWindowController& controller) {
    platform::Window* window = controller.window();
    QImage image = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    platform::ChildPanel* panel = controller.navigationWindowController()->window();
    if (panel->isVisible()) {
        QPainter painter(&image);
        painter.drawImage(panel->pos() - window->mapToGlobal(QPoint(0, 0)), panel->grab().toImage());
    }
    return image;
}

} // namespace render

TEST_F(WindowControllerTest, NewSongWindowShowsTheFirstPageUnderTheToolbarWithTheHintPanel) {
    auto controller = makeWindow(false, 900);
    controller->editorRequireShowNavigationMessageTitlePriority(
        controller->editorController(), QStringLiteral("Drag symbols from the palettes onto the bars."),
        QStringLiteral("Bar 1"), 0);
    settle();
    const QImage image = render::grabWithPanel(*controller);
    const QString out = QString::fromLocal8Bit(qgetenv("TOVRIN_RENDER_DIR"));
    if (!out.isEmpty()) {
        image.save(out + QStringLiteral("/document-window.png"));
    }

    // The hint panel is drawn green over its toolbar item.
    platform::ChildPanel* panel = controller->navigationWindowController()->window();
    const QPoint inPanel = panel->pos() - controller->window()->mapToGlobal(QPoint(0, 0)) +
                           QPoint(panel->width() - 12, panel->height() / 2);
    const QColor hint = image.pixelColor(inPanel);
    EXPECT_GT(hint.green(), hint.red()) << hint.name().toStdString();
    EXPECT_GT(hint.green(), hint.blue()) << hint.name().toStdString();

    // The editor shows the page's staves below the toolbar: ink in the editor's area.
    QWidget* editor = controller->editorController()->view();
    const QRect area(editor->mapTo(controller->window(), QPoint(0, 0)), editor->size());
    EXPECT_GT(tovtest::inkIn(image, area), 2000);
    EXPECT_GE(area.top(), controller->toolbar()->toolBar()->geometry().bottom());
}

TEST_F(WindowControllerTest, DoubleRowSongAtAutomaticZoomShowsTheWholePageWidth) {
    defaults().setBool("displaySizeAuto", true);
    auto controller = makeWindow(true, 900);
    ASSERT_TRUE(controller->navigationWindowController()->window()->isVisible());
    controller->window()->resize(520, 700);
    settle();
    controller->editorRequireShowNavigationMessageTitlePriority(
        controller->editorController(), QStringLiteral("Choose the first bar to copy."),
        QStringLiteral("Copy Bars"), 2);
    settle();
    const QImage image = render::grabWithPanel(*controller);
    const QString out = QString::fromLocal8Bit(qgetenv("TOVRIN_RENDER_DIR"));
    if (!out.isEmpty()) {
        image.save(out + QStringLiteral("/document-window-double-auto.png"));
    }
    // The page's width fills the visible area: the editor view is no wider than the viewport.
    QScrollArea* scroll = controller->editorController()->scrollView();
    EXPECT_LT(scale(*controller), 1.0);
    // The narrow toolbar has moved the hint area out of sight, and the panel with it.
    EXPECT_FALSE(controller->toolbar()->widgetForItem(controller->toolbarItemNavigationArea())->isVisible());
    EXPECT_FALSE(controller->navigationWindowController()->window()->isVisible());
    EXPECT_LE(controller->editorController()->editorView()->frame().size.width * 1.0,
              scroll->viewport()->width() + 1.0);
}

namespace {

// A long rest dragged from the palette over a bar that holds a note is refused there: the panel turns from
// the green bar hint to the yellow conflict hint.
TEST_F(WindowControllerTest, DraggingALongRestOverABarWithANoteShowsTheYellowConflictHint) {
    auto controller = makeWindow(false, 900);
    TOVEditorViewController* editor = controller->editorController();
    TOVEditorBarView* barView = editor->editorView()->barViewFromNumberInLower(1, false);
    ASSERT_NE(barView, nullptr);
    barView->bar()->createNewSingleMeloFromLengthLevel(0, 240, 0);
    context->processPendingChanges();
    platform::ViewHost* host = editor->host();
    const platform::Rect frame = barView->bounds();
    const platform::Point inHost =
        barView->convertPointToView(platform::Point(frame.maxX() - 12, frame.midY()), nullptr);
    const QPointF over(inHost.x, inHost.y);
    TOVNavigationWindowController* panel = controller->navigationWindowController();
    const auto boxColour = [&] {
        const QImage image = panel->navigationView()->grab().toImage();
        return image.pixelColor(image.width() - 10, 6);
    };

    QTest::mouseClick(host->window()->windowHandle(), Qt::LeftButton, {},
                      host->mapTo(host->window(), over).toPoint());
    settle();
    EXPECT_EQ(panel->labelTitle()->text(), QStringLiteral("Bar 2 selected"));
    EXPECT_EQ(panel->navigationView()->priority(), 0);
    const QColor green = boxColour();
    EXPECT_GT(green.green(), green.red()) << green.name().toStdString();

    platform::DraggingInfo info;
    info.addType(TOVEditorBarView::kSymbolPaletteDragType);
    const auto bytes = platform::KeyedArchiver::archivedDataWithRootNumber(TOVSymbolLongRest);
    info.addType(TOVPaletteTypes::ItemType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<qsizetype>(bytes.size())));
    // Windows that earlier tests of this program left open must not lie in the drag's way.
    for (QWindow* other : QGuiApplication::topLevelWindows()) {
        if (other != controller->window()->windowHandle() && other != panel->window()->windowHandle() &&
            other->transientParent() == nullptr) {
            other->hide();
        }
    }
    uitest::DragSourceWindow palette(info, QPoint(controller->window()->frameGeometry().right() + 20, 40));
    uitest::RealDrag drag;
    // Over the bar, then away out of every window, where the drag is given up.
    drag.dragAlong(palette.middle(), palette.pastDragDistance(),
                   {{host, over}, {host, over + QPointF(1, 1)}, {host, QPointF(-300, -300)}});
    settle();
    EXPECT_EQ(palette.view->drags, 1);
    EXPECT_EQ(
        panel->labelMessage()->text(),
        QStringLiteral("Can not create the symbol on that bar because there is already another symbol or a "
                       "note which conflicts."));
    EXPECT_EQ(panel->labelTitle()->text(), QStringLiteral("Dragging a symbol"));
    EXPECT_EQ(panel->navigationView()->priority(), 1);
    const QColor yellow = boxColour();
    EXPECT_GT(yellow.red(), 200) << yellow.name().toStdString();
    EXPECT_GT(yellow.green(), 200) << yellow.name().toStdString();
    EXPECT_LT(yellow.blue(), 120) << yellow.name().toStdString();

    const QString out = QString::fromLocal8Bit(qgetenv("TOVRIN_RENDER_DIR"));
    if (!out.isEmpty()) {
        render::grabWithPanel(*controller).save(out + QStringLiteral("/conflict-hint.png"));
    }
}

} // namespace
