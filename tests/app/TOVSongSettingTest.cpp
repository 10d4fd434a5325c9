#include "AppWindowFixture.h"

#include "app/TOVSonSettingWindowController.h"
#include "app/TOVSongSettingViewController.h"
#include "app/TOVWindowController.h"
#include "model/Document.h"
#include "model/Song.h"
#include "platform/foundation/AttributedString.h"
#include "platform/foundation/Resources.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using apptest::settle;
using apptest::typeInto;

namespace {

platform::AttributedString text(const QString& string, double size, const QString& font = "LucidaGrande") {
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{font, size};
    return platform::AttributedString(string, attributes);
}

class SongFormTest : public apptest::AppFixture {
protected:
    Song* newSong() {
        auto* root = context->insertNewObject<Document>("Document");
        return root->createNewSong();
    }
    TOVSongSettingViewController form;
};

TEST_F(SongFormTest, NewSongGetsEveryTextEvenEmptyOnesInItsFontAndTheLineChoice) {
    Song* song = newSong();
    form.songNameTextField()->setText(QStringLiteral("Blue Road"));
    form.rowSelector()->setCurrentIndex(1);
    form.commitPropertiesIn(song);

    EXPECT_EQ(song->name(), text(QStringLiteral("Blue Road"), 20.0));
    for (const auto& credit : {song->producer(), song->arranger(), song->composer(), song->writer()}) {
        ASSERT_TRUE(credit.has_value());
        EXPECT_EQ(credit->string(), QStringLiteral(""));
    }
    EXPECT_TRUE(song->isDoubleRow());
}

TEST_F(SongFormTest, OnlyChangedTextsAreWrittenAndTheLineChoiceAlways) {
    Song* song = newSong();
    const auto keptName = text(QStringLiteral("Blue Road"), 31.0, QStringLiteral("Georgia"));
    song->setName(keptName);
    song->setProducer(text(QStringLiteral("P"), 12.0, QStringLiteral("Georgia")));
    song->setIsDoubleRow(true);
    form.songNameTextField()->setText(QStringLiteral("Blue Road"));
    form.producerTextField()->setText(QStringLiteral("P"));
    form.composerTextField()->setText(QStringLiteral("C. Writer"));
    form.rowSelector()->setCurrentIndex(0);
    form.commitPropertiesIn(song);

    EXPECT_EQ(song->name(), keptName);
    EXPECT_EQ(song->producer(), text(QStringLiteral("P"), 12.0, QStringLiteral("Georgia")));
    EXPECT_EQ(song->composer(), text(QStringLiteral("C. Writer"), 10.0));
    // Absent texts differ from empty fields and are written.
    EXPECT_EQ(song->arranger(), text(QStringLiteral(""), 10.0));
    EXPECT_FALSE(song->isDoubleRow());
}

// --- The sheet on a document window ---

class SongSheetTest : public apptest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        controller = std::make_unique<TOVWindowController>();
        controller->setManagedObjectContext(context.get());
        root = context->insertNewObject<Document>("Document");
        TOVSongSettingViewController newForm;
        newForm.songNameTextField()->setText(QStringLiteral("Old Title"));
        newForm.composerTextField()->setText(QStringLiteral("Old Composer"));
        newForm.rowSelector()->setCurrentIndex(1);
        controller->createSongSettingFrom(&newForm);
        controller->createInitialPage();
        controller->window()->resize(700, 600);
        controller->showWindow();
        (void)QTest::qWaitForWindowExposed(controller->window());
        settle();
        sheet = controller->songSettingWindowController();
    }

    // Runs the sheet as the song properties command does, acting in it as the user once it shows.
    void runSheet(std::function<void()> user) {
        QTimer::singleShot(0, [this, user] {
            ASSERT_TRUE(sheet->window()->isVisible());
            user();
        });
        controller->editSongProperties();
        settle();
    }

    std::unique_ptr<TOVWindowController> controller;
    Document* root = nullptr;
    TOVSonSettingWindowController* sheet = nullptr;
};

TEST_F(SongSheetTest, AcceptedSheetWritesTheEditedCreditAndKeepsTheSongsLineChoice) {
    Song* song = root->song();
    const auto title = song->name();
    bool selectorEnabled = true;
    int selectorIndex = -1;
    runSheet([&] {
        TOVSongSettingViewController* form = sheet->viewController();
        EXPECT_EQ(form->composerTextField()->text(), QStringLiteral("Old Composer"));
        selectorEnabled = form->rowSelector()->isEnabled();
        selectorIndex = form->rowSelector()->currentIndex();
        typeInto(form->arrangerTextField(), QStringLiteral("Arr"));
        const QString out = QString::fromLocal8Bit(qgetenv("TOVRIN_RENDER_DIR"));
        if (!out.isEmpty()) {
            sheet->window()->grab().save(out + QStringLiteral("/song-sheet.png"));
        }
        QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_FALSE(selectorEnabled);
    EXPECT_EQ(selectorIndex, 1);
    EXPECT_EQ(song->arranger(), text(QStringLiteral("Arr"), 10.0));
    EXPECT_EQ(song->name(), title);
    EXPECT_TRUE(song->isDoubleRow());
}

TEST_F(SongSheetTest, CancelledSheetLeavesTheSongAndTheNextRunShowsTheStoredTexts) {
    Song* song = root->song();
    const auto composer = song->composer();
    runSheet([&] {
        typeInto(sheet->viewController()->composerTextField(), QStringLiteral("Typed"));
        QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(song->composer(), composer);
    EXPECT_FALSE(sheet->result());

    QString shown;
    runSheet([&] {
        shown = sheet->viewController()->composerTextField()->text();
        QTest::keyClick(sheet->window(), Qt::Key_Escape);
    });
    EXPECT_EQ(shown, QStringLiteral("Old Composer"));
    EXPECT_EQ(song->composer(), composer);
}

TEST_F(SongSheetTest, ANewTitleFromTheSheetReachesThePageFooterOnScreen) {
    // Half size: the whole first page, footer included, is in the window.
    controller->setDisplaySize(50);
    controller->updateDisplaySize();
    settle();
    QWidget* window = controller->window();
    // What the window system last got from the window, against a fresh full drawing of it.
    const auto onScreen = [window] {
        return QGuiApplication::primaryScreen()
            ->grabWindow(window->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const auto drawnNow = [window] { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    settle();
    ASSERT_EQ(onScreen(), drawnNow());
    runSheet([&] {
        typeInto(sheet->viewController()->songNameTextField(), QStringLiteral("A Much Longer New Title"));
        QTest::mouseClick(sheet->acceptButton(), Qt::LeftButton);
    });
    settle();
    EXPECT_EQ(root->song()->name()->string(), QStringLiteral("A Much Longer New Title"));
    const QImage shown = onScreen();
    const QImage expected = drawnNow();
    ASSERT_EQ(shown.size(), expected.size());
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            differing += shown.pixel(x, y) != expected.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(SongSheetTexts, TextsWithoutTranslationShowTheirEnglishText) {
    platform::setLocalizationLookup([](std::string_view english) -> std::optional<std::string> {
        if (english == "Cancel") {
            return std::string("Abbrechen");
        }
        return std::nullopt;
    });
    TOVSonSettingWindowController sheet;
    platform::setLocalizationLookup({});
    EXPECT_EQ(sheet.cancelButton()->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(sheet.acceptButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(sheet.viewController()->rowSelector()->itemText(1), QStringLiteral("Double Lines"));
}

} // namespace
