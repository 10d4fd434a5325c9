// The value sheets of the document window, run as the editor requests them and answered by typing and
// clicking in them: what each shows for the value given, when it can be accepted, and what it answers on
// accept and on cancel; and a symbol drop whose question is answered in its sheet.
#include "AppWindowFixture.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVNavigationWindowController.h"
#include "app/TOVSettingSheets.h"
#include "app/TOVSongSettingViewController.h"
#include "app/TOVWindowController.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/SymbolTempo.h"
#include "model/TOVSymbolTypes.h"
#include "platform/ui/ChildPanel.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/Window.h"

#include <QTest>
#include <QTimer>

#include <functional>

using apptest::settle;
using apptest::typeInto;

namespace {

class SettingSheetsTest : public apptest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        controller = std::make_unique<TOVWindowController>();
        controller->setManagedObjectContext(context.get());
        root = context->insertNewObject<Document>("Document");
        TOVSongSettingViewController newForm;
        controller->createSongSettingFrom(&newForm);
        controller->createInitialPage();
        controller->window()->resize(700, 600);
        controller->showWindow();
        (void)QTest::qWaitForWindowExposed(controller->window());
        settle();
        editor = controller->editorController();
    }

    // Acts in the sheet as the user once it shows on the document window.
    static void whenShown(TOVSheetController* sheet, std::function<void()> user) {
        auto* timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, sheet, user] {
            if (sheet->window()->isVisible()) {
                timer->stop();
                timer->deleteLater();
                user();
            }
        });
        timer->start();
    }

    std::unique_ptr<TOVWindowController> controller;
    TOVEditorViewController* editor = nullptr;
    Document* root = nullptr;
};

TEST_F(SettingSheetsTest, RepeatSheetShowsDashOnlyForMixedSignsAndAnswersTheChosenTag) {
    TOVRepeatSettingWindowController* sheet = controller->repeatSettingWindowController();
    ASSERT_NE(sheet, nullptr);
    QString shown;
    whenShown(sheet, [&] {
        shown = sheet->popUpButton()->currentText();
        QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
    });
    EXPECT_EQ(controller->editorRequireNewRepeatTimesNumber(editor, 0), 0u);
    EXPECT_EQ(shown, QStringLiteral("-"));

    whenShown(sheet, [&] {
        shown = sheet->popUpButton()->currentText();
        sheet->popUpButton()->setCurrentIndex(
            sheet->popUpButton()->findData(QVariant::fromValue<qulonglong>(5)));
        QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
    });
    EXPECT_EQ(controller->editorRequireNewRepeatTimesNumber(editor, 3), 5u);
    EXPECT_EQ(shown, QStringLiteral("×3"));
    EXPECT_EQ(sheet->popUpButton()->findText(QStringLiteral("-")), -1);

    whenShown(sheet, [&] { QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton); });
    EXPECT_EQ(controller->editorRequireNewRepeatTimesNumber(editor, 4), 4u);
}

TEST_F(SettingSheetsTest, VoltaSheetAnswersTheTextOrWhatItWasGiven) {
    TOVVoltaSettingWindowController* sheet = controller->voltaSettingWindowController();
    ASSERT_NE(sheet, nullptr);
    whenShown(sheet, [&] { QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton); });
    EXPECT_TRUE(controller->editorRequireNewVoltaOptionString(editor, QString()).isNull());

    whenShown(sheet, [&] { QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton); });
    const QString untouched = controller->editorRequireNewVoltaOptionString(editor, QString());
    EXPECT_FALSE(untouched.isNull());
    EXPECT_EQ(untouched, QStringLiteral(""));

    QString shown;
    whenShown(sheet, [&] {
        shown = sheet->textField()->text();
        typeInto(sheet->textField(), QStringLiteral("1.-3."));
        QTest::keyClick(sheet->textField(), Qt::Key_Return);
    });
    EXPECT_EQ(controller->editorRequireNewVoltaOptionString(editor, QStringLiteral("2.")),
              QStringLiteral("1.-3."));
    EXPECT_EQ(shown, QStringLiteral("2."));
}

// The hint panel floats over the toolbar; a sheet hanging from the window's top edge would sit under it,
// its question hidden.
TEST_F(SettingSheetsTest, ASheetHangsBelowTheToolbarClearOfTheHintPanel) {
    controller->window()->resize(1100, 700);
    settle();
    platform::ChildPanel* panel = controller->navigationWindowController()->window();
    ASSERT_NE(panel, nullptr);
    TOVVoltaSettingWindowController* sheet = controller->voltaSettingWindowController();
    ASSERT_NE(sheet, nullptr);
    QRect sheetFrame;
    QRect panelFrame;
    bool panelShown = false;
    whenShown(sheet, [&] {
        sheetFrame = sheet->window()->frameGeometry();
        panelShown = panel->isVisible();
        panelFrame = panel->frameGeometry();
        QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    });
    (void)controller->editorRequireNewVoltaOptionString(editor, QString());
    ASSERT_TRUE(panelShown);
    EXPECT_FALSE(sheetFrame.intersects(panelFrame))
        << "sheet " << sheetFrame.y() << "+" << sheetFrame.height() << ", panel " << panelFrame.y() << "+"
        << panelFrame.height();
    EXPECT_TRUE(controller->window()->frameGeometry().contains(sheetFrame.topLeft()));
}

TEST_F(SettingSheetsTest, NumberSheetsAcceptOnlyNumbersWithinTheirLimits) {
    struct Case {
        const char* name;
        TOVNumberSettingSheet* sheet;
        std::function<std::int64_t(std::int64_t)> request;
    };
    const std::vector<Case> cases = {
        {"speed", controller->speedSettingWindowController(),
         [&](std::int64_t n) { return controller->editorRequireNewSpeedNumber(editor, n); }},
        {"long rest", controller->longRestSettingWindowController(),
         [&](std::int64_t n) { return controller->editorRequireNewLongRestNumber(editor, n); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TOVNumberSettingSheet* sheet = c.sheet;
        ASSERT_NE(sheet, nullptr);
        // Mixed values open with "0", the accept button off; cancelling answers -1.
        QString shown;
        bool acceptOn = true;
        whenShown(sheet, [&] {
            shown = sheet->textField()->text();
            acceptOn = sheet->acceptButton()->isEnabled();
            QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
        });
        EXPECT_EQ(c.request(-1), -1);
        EXPECT_EQ(shown, QStringLiteral("0"));
        EXPECT_FALSE(acceptOn);

        // Letters turn into "0" at once; 1000 is out; an emptied field too; 120 is in.
        struct Step {
            const char* typed;
            const char* shows;
            bool accept;
        };
        std::vector<std::string> seen;
        whenShown(sheet, [&] {
            for (const Step& s : {Step{"abc", "0", false}, Step{"1000", "1000", false}, Step{"", "", false},
                                  Step{"120", "120", true}}) {
                typeInto(sheet->textField(), QString::fromLatin1(s.typed));
                if (s.typed[0] == '\0') {
                    QTest::keyClick(sheet->textField(), Qt::Key_Backspace);
                }
                seen.push_back(sheet->textField()->text().toStdString() + "|" +
                               (sheet->acceptButton()->isEnabled() ? "on" : "off"));
                EXPECT_EQ(sheet->acceptButton()->isEnabled(), s.accept) << s.typed;
                EXPECT_EQ(sheet->textField()->text(), QString::fromLatin1(s.shows)) << s.typed;
            }
            QTest::mouseClick(sheet->stepper().upButton(), Qt::LeftButton);
            QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
        });
        EXPECT_EQ(c.request(7), 121);
        EXPECT_EQ(seen.size(), 4u);

        // The stepper stops at the lower limit.
        whenShown(sheet, [&] {
            QTest::mouseClick(sheet->stepper().downButton(), Qt::LeftButton);
            QTest::mouseClick(sheet->stepper().downButton(), Qt::LeftButton);
            QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
        });
        EXPECT_EQ(c.request(2), 1);
    }
}

TEST_F(SettingSheetsTest, DaCapoSheetShowsMixedPassesUntilClicked) {
    TOVDaCapoSettingWindowController* sheet = controller->daCapoSettingWindowController();
    ASSERT_NE(sheet, nullptr);
    TOVRepeatNumberStates given;
    given[0] = -1;
    given[1] = 1;
    Qt::CheckState first = Qt::Unchecked;
    Qt::CheckState second = Qt::Unchecked;
    whenShown(sheet, [&] {
        first = sheet->checkbox(1)->checkState();
        second = sheet->checkbox(2)->checkState();
        QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
    });
    EXPECT_EQ(controller->editorRequireNewDaCapoOptionIDNumber(editor, given), given);
    EXPECT_EQ(first, Qt::PartiallyChecked);
    EXPECT_EQ(second, Qt::Checked);

    // Clicking the mixed box: on, then off, never mixed again; box 4 turned on.
    whenShown(sheet, [&] {
        QTest::mouseClick(sheet->checkbox(1), Qt::LeftButton);
        QTest::mouseClick(sheet->checkbox(1), Qt::LeftButton);
        QTest::mouseClick(sheet->checkbox(1), Qt::LeftButton);
        QTest::mouseClick(sheet->checkbox(4), Qt::LeftButton);
        QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
    });
    TOVRepeatNumberStates expected = given;
    expected[0] = 1;
    expected[3] = 1;
    EXPECT_EQ(controller->editorRequireNewDaCapoOptionIDNumber(editor, given), expected);

    whenShown(sheet, [&] {
        QTest::mouseClick(sheet->checkbox(4), Qt::LeftButton);
        QTest::keyClick(sheet->window(), Qt::Key_Escape);
    });
    EXPECT_EQ(controller->editorRequireNewDaCapoOptionIDNumber(editor, given), given);
}

TEST_F(SettingSheetsTest, ADroppedSpeedSignAsksInItsSheetOnceTheDropHasReturned) {
    TOVEditorBarView* bar = editor->editorView()->barViewFromNumberInLower(1, false);
    ASSERT_NE(bar, nullptr);
    platform::DraggingInfo info =
        TOVPaletteTypes::dragOfItem(TOVPaletteTypes::SymbolForBarView, TOVSymbolTempoSpeed);
    info.setDraggingLocation(bar->convertPointToView({20, 20}, nullptr));
    TOVSpeedSettingWindowController* sheet = controller->speedSettingWindowController();
    bool visibleDuringDrop = true;
    {
        tovtest::UndoEnabled enabled(*context);
        context->undoManager().setGroupsByEvent(true);
        QTimer::singleShot(0, [&] {
            bar->performDragOperation(info);
            visibleDuringDrop = sheet->window()->isVisible();
        });
        bool answered = false;
        whenShown(sheet, [&] {
            typeInto(sheet->textField(), QStringLiteral("96"));
            QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
            answered = true;
        });
        for (int i = 0; i < 200 && !(answered && !sheet->window()->isVisible()); ++i) {
            QTest::qWait(10);
        }
        settle();
        EXPECT_TRUE(answered);
        context->undoManager().setGroupsByEvent(false);
    }
    EXPECT_FALSE(visibleDuringDrop);
    Bar* model = editor->editorView()->barViewFromNumberInLower(1, false)->bar();
    SymbolTempo* tempo = nullptr;
    for (Symbol* symbol : model->symbols()) {
        tempo = symbol->type() == TOVSymbolTempoSpeed ? static_cast<SymbolTempo*>(symbol) : tempo;
    }
    ASSERT_NE(tempo, nullptr);
    EXPECT_EQ(tempo->speed(), 96u);
    {
        tovtest::UndoEnabled enabled(*context);
        context->undoManager().undo();
    }
    EXPECT_EQ(tempo->speed(), 0u);
    EXPECT_FALSE(tempo->isDeleted());
}

} // namespace
