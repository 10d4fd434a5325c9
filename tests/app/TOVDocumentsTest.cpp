#include "DocumentAppFixture.h"

#include "app/TOVDocument.h"
#include "app/TOVEditorViewController.h"
#include "app/TOVNavigationMessage.h"
#include "app/TOVNavigationWindowController.h"
#include "app/TOVPersistentDocument.h"
#include "app/TOVWindowController.h"
#include "app/TOVZDocument.h"
#include "document/TOVDocumentDump.h"
#include "document/TOVDocumentParser.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Resources.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/XmlDocument.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ChildPanel.h"
#include "platform/ui/PrintOperation.h"
#include "support/PdfPages.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

#include <QMessageBox>
#include <QPrinter>
#include <QTest>
#include <QWindow>

#include <cstdlib>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

namespace {

using docapp::Bytes;
using docapp::DocumentAppFixture;

class SongDocumentTest : public DocumentAppFixture {
protected:
    // Opens the file through the document controller, which makes its window; the window hands the song
    // to the document.
    template <class DocumentClass>
    DocumentClass* open(const std::filesystem::path& path) {
        auto* document = dynamic_cast<DocumentClass*>(controller->openDocumentWithContentsOfURL(path, false));
        docapp::settle();
        return document;
    }
    // The message and title the window's navigation panel shows.
    static std::pair<QString, QString> navigation(TOVWindowController* window) {
        const TOVNavigationMessage& shown = window->navigationWindowController()->navMessage();
        return {shown.message(), shown.title()};
    }
    static Bar* firstBar(::Document* document) {
        return document->pages().front()->lines().at(1)->bars().front();
    }
    static std::string dumpOfData(const Bytes& data) {
        auto context = tovtest::makeSongContext();
        auto* document = context->insertNewObject<::Document>("Document");
        EXPECT_TRUE(TOVDocumentParser().loadTOVZDocumentFromDataToDocument(data, document));
        return TOVDocumentDump::dumpDocument(document);
    }
    static std::string dumpOfFile(const std::filesystem::path& path) {
        return dumpOfData(docapp::readBytes(path));
    }
    // What the file of the song would read back as.
    static std::string dumpAsSaved(const ::Document* document) {
        return dumpOfData(TOVDocumentParser().tovzDataFromDocument(document).value_or(Bytes{}));
    }

    TempDir dir;
};

TEST_F(SongDocumentTest, OpenEditSaveAndReopenASongFile) {
    const std::filesystem::path path = dir / "Song.tovz";
    docapp::writeBytes(path, docapp::newSongFile());
    auto* song = open<TOVZDocument>(path);
    ASSERT_NE(song, nullptr);
    EXPECT_FALSE(song->isNewDocument());
    EXPECT_EQ(song->fileName().toStdString(), path.string());
    // Loading leaves nothing to undo and nothing edited.
    EXPECT_FALSE(song->undoManager().canUndo());
    EXPECT_FALSE(song->isDocumentEdited());
    EXPECT_TRUE(alertMessages.empty());
    EXPECT_EQ(navigation(song->windowController()),
              std::make_pair(QStringLiteral("Document loaded successfully."), QString()));

    // As a barline drag leaves them: the line still fills the page's width.
    firstBar(song->documentData())->setWidth(210.0);
    firstBar(song->documentData())->line()->bars().at(1)->setWidth(50.0);
    docapp::settle();
    EXPECT_TRUE(song->undoManager().canUndo());
    EXPECT_TRUE(song->isDocumentEdited());

    ASSERT_TRUE(song->saveDocument());
    EXPECT_FALSE(song->isDocumentEdited());
    EXPECT_TRUE(savePanelRuns.empty());

    song->close();
    docapp::settle();
    auto* again = open<TOVZDocument>(path);
    ASSERT_NE(again, nullptr);
    // Widths are kept in staff spaces of single precision.
    EXPECT_NEAR(firstBar(again->documentData())->width(), 210.0, 1e-3);
    EXPECT_EQ(dumpAsSaved(again->documentData()), dumpOfFile(path));
    EXPECT_FALSE(again->undoManager().canUndo());
    EXPECT_FALSE(again->isDocumentEdited());
}

TEST_F(SongDocumentTest, LaterVersionsAndMissingFontsAreToldAfterTheSongOpens) {
    const std::string later = TOVZDocument::laterVersionMessage;
    const auto missing = [](const std::string& name) {
        return "The plug-in font [" + name + "] is not found. The default font is used instead.";
    };
    struct Case {
        std::string version;
        std::optional<std::string> fontID;
        std::optional<std::string> fontName;
        std::vector<std::string> alerts;
        QString keptFontID;
    };
    const Case cases[] = {
        {"1.5", "Default", "Default", {}, "Default"},
        {"1.5", std::nullopt, std::nullopt, {}, "Default"},
        {"1.5", "Mine", "My Font", {missing("My Font")}, "Mine"},
        {"1.4", "Default", "Default", {}, "Default"},
        {"1.10", "Default", "Default", {later}, "Default"},
        {"2.0", "Mine", "My Font", {later, missing("My Font")}, "Mine"},
        // The ID must match exactly.
        {"1.5", "default", "Default", {missing("Default")}, "default"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::filesystem::path path = dir / ("Song" + std::to_string(n++) + ".tovz");
        docapp::writeBytes(path, docapp::songFileWith(c.version, c.fontID, c.fontName));
        alertMessages.clear();
        auto* song = open<TOVZDocument>(path);
        ASSERT_NE(song, nullptr) << c.version;
        EXPECT_EQ(alertMessages, c.alerts) << c.version << " " << c.fontID.value_or("(none)");
        EXPECT_EQ(song->documentData()->plugInFontID(), c.keptFontID);
        // The warnings do not stop the song from opening, nor leave anything to undo.
        EXPECT_FALSE(song->undoManager().canUndo());
        EXPECT_FALSE(song->documentData()->pages().empty());
        song->close();
        docapp::settle();
    }
}

// A song whose file holds more than the song keeps opens, and says so in a sheet on its own window: the
// user opens it from the Open panel and sees the notice standing over the song.
TEST_F(SongDocumentTest, ASongOpenedWithoutSomeOfItsFileSaysSoInASheetOnItsWindow) {
    const QString title(TOVDocumentParser::maxTextLength + 1000, u'x');
    const std::filesystem::path path = dir / "Long.tovz";
    {
        tovtest::TestSong written;
        written.document->song()->setName(platform::AttributedString(title));
        written.context->processPendingChanges();
        docapp::writeBytes(path, TOVDocumentParser().tovzDataFromDocument(written.document).value());
    }
    // The notice shows as it shows to the user, not answered unseen.
    platform::Alert::setAnswerHook([](const platform::Alert&) { return std::optional<int>(); });
    openAnswer = std::vector<std::filesystem::path>{path};
    controller->openDocument();
    docapp::settle();

    ASSERT_EQ(controller->documents().size(), 1u);
    auto* song = dynamic_cast<TOVZDocument*>(controller->documents().front().get());
    ASSERT_NE(song, nullptr);
    platform::Window* window = song->windowController()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    docapp::settle();
    const platform::Alert* notice = platform::Alert::sheetOnWindow(window);
    ASSERT_NE(notice, nullptr);
    QMessageBox* box = notice->messageBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    EXPECT_EQ(box->text().toStdString(),
              "The song was opened without some of what the file holds. 1 text was "
              "longer than 65536 characters and cut there.");
    // A sheet: bound to the song's window, which the window system keeps it over, blocking only that
    // window, and standing over it.
    ASSERT_NE(box->windowHandle(), nullptr);
    EXPECT_EQ(box->windowHandle()->transientParent(), window->windowHandle());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(window->frameGeometry().contains(box->frameGeometry().center()));
    // The song is open, its title cut where the notice says.
    ASSERT_TRUE(song->documentData()->song()->name());
    EXPECT_EQ(song->documentData()->song()->name()->string(), title.left(TOVDocumentParser::maxTextLength));
    EXPECT_FALSE(song->isDocumentEdited());

    QTest::keyClick(box->windowHandle(), Qt::Key_Return);
    docapp::settle();
    EXPECT_EQ(platform::Alert::sheetOnWindow(window), nullptr);
    EXPECT_EQ(controller->documents().size(), 1u);
}

TEST_F(SongDocumentTest, AMessageWithoutATranslationShowsTheEnglishText) {
    platform::setLocalizationLookup([](std::string_view english) -> std::optional<std::string> {
        if (english == TOVZDocument::laterVersionMessage) {
            return std::string("Datei einer neueren Version.");
        }
        return std::nullopt;
    });
    const std::filesystem::path path = dir / "Later.tovz";
    docapp::writeBytes(path, docapp::songFileWith("1.6", "Mine", "My Font"));
    auto* song = open<TOVZDocument>(path);
    platform::setLocalizationLookup({});
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(alertMessages,
              (std::vector<std::string>{
                  "Datei einer neueren Version.",
                  "The plug-in font [My Font] is not found. The default font is used instead."}));
    EXPECT_EQ(navigation(song->windowController()).first, QStringLiteral("Document loaded successfully."));
}

TEST_F(SongDocumentTest, TiesAreMadeAndOverfullBarsFittedWhenASongOpens) {
    tovtest::TestSong song;
    {
        Bar* bar = firstBar(song.document);
        NoteTone* left = bar->createNewSingleMeloFromLengthLevel(0, 240, 2)->firstUnit()->toneArray().front();
        bar->createNewSingleMeloFromLengthLevel(240, 240, 2);
        // A half note from beat four reaches over the end of the 4/4 bar.
        bar->createNewSingleMeloFromLengthLevel(720, 480, 0);
        song.context->processPendingChanges();
        ASSERT_NE(left->createNewTie(), nullptr);
        song.context->processPendingChanges();
        ASSERT_EQ(bar->noteArray().size(), 3u);
    }
    const std::filesystem::path path = dir / "Tied.tovz";
    docapp::writeBytes(path, TOVDocumentParser().tovzDataFromDocument(song.document).value());

    auto* opened = open<TOVZDocument>(path);
    ASSERT_NE(opened, nullptr);
    const std::vector<Note*> notes = firstBar(opened->documentData())->noteArray();
    // What does not fit the bar's time leaves it.
    ASSERT_EQ(notes.size(), 2u);
    const NoteTone* first = notes[0]->firstUnit()->toneArray().front();
    ASSERT_TRUE(Tie::isWhole(first->tieRight()));
    EXPECT_EQ(first->tieRight()->toneRight(), notes[1]->firstUnit()->toneArray().front());
    std::uint64_t end = 0;
    for (const Note* note : notes) {
        for (const NoteUnit* unit : note->unitArray()) {
            end = std::max(end, unit->timing() + unit->duration());
        }
    }
    EXPECT_EQ(end, 480u);
    EXPECT_FALSE(opened->undoManager().canUndo());
}

TEST_F(SongDocumentTest, PrintingPrintsTheSongsPagesFromTheWindow) {
    const std::filesystem::path song = dir / "Song.tovz";
    const std::filesystem::path legacy = dir / "Blues.tovr";
    docapp::writeBytes(song, docapp::newSongFile());
    std::filesystem::copy_file(docapp::legacySongFixture(), legacy);
    platform::Document* documents[] = {open<TOVZDocument>(song), open<TOVDocument>(legacy)};
    int n = 0;
    for (platform::Document* document : documents) {
        ASSERT_NE(document, nullptr);
        const QString pdf = QString::fromStdString((dir / ("print" + std::to_string(n++) + ".pdf")).string());
        platform::PrintOperation::setPrintPanelAnswer([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        EXPECT_TRUE(document->printDocument());
        platform::PrintOperation::setPrintPanelAnswer({});
        // One A4 page without margins for the one song page.
        EXPECT_EQ(tovtest::pdfMediaBoxes(pdf), (std::vector<std::vector<double>>{{0, 0, 595, 842}}));
    }
}

TEST_F(SongDocumentTest, AFileThatCannotBeReadOpensNothingAndStaysAsItWas) {
    const Bytes legacy = docapp::readBytes(docapp::legacySongFixture());
    const struct {
        std::string name;
        Bytes content;
    } files[] = {
        {"Broken.tovz", Bytes{'n', 'o', 't', ' ', 'g', 'z', 'i', 'p'}},
        {"Cut.tovr", Bytes(legacy.begin(), legacy.begin() + static_cast<std::ptrdiff_t>(legacy.size() / 2))},
        {"Song.tovr", docapp::newSongFile()}, // a song file named as a store
    };
    for (const auto& file : files) {
        const std::filesystem::path path = dir / file.name;
        docapp::writeBytes(path, file.content);
        alertMessages.clear();
        EXPECT_EQ(controller->openDocumentWithContentsOfURL(path, false), nullptr) << file.name;
        EXPECT_TRUE(controller->documents().empty());
        ASSERT_EQ(alertMessages.size(), 1u) << file.name;
        EXPECT_NE(alertMessages.front().find("could not be opened"), std::string::npos);
        EXPECT_EQ(docapp::readBytes(path), file.content);
    }
}

TEST_F(SongDocumentTest, AFailedSaveLeavesTheOldFileAsItWas) {
    const std::filesystem::path path = dir / "Song.tovz";
    docapp::writeBytes(path, docapp::newSongFile());
    const Bytes before = docapp::readBytes(path);
    auto* song = open<TOVZDocument>(path);
    ASSERT_NE(song, nullptr);
    ::Document* document = song->documentData();
    QString credit;
    for (int i = 0; i < 400; ++i) {
        credit += QString::number(i * 7919 % 1000) + QLatin1Char(' ');
    }
    document->song()->setComposer(platform::AttributedString(credit));
    docapp::settle();
    const std::size_t limit = before.size() + 64;
    ASSERT_GT(TOVDocumentParser().tovzDataFromDocument(document)->size(), limit);

    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit limited = original;
    limited.rlim_cur = limit;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved = song->saveDocument();
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);
    docapp::settle();

    EXPECT_FALSE(saved);
    EXPECT_EQ(docapp::readBytes(path), before);
    EXPECT_TRUE(song->isDocumentEdited());
    ASSERT_EQ(alertMessages.size(), 1u);
    EXPECT_NE(alertMessages.front().find("could not be saved"), std::string::npos);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"Song.tovz"});
}

// A song opened through a symbolic link saves into its real file and the link stays; a song whose file
// was replaced by something that is not a regular file (a pipe, also behind a link) is not saved over it.
TEST_F(SongDocumentTest, SavingWritesOnlyTheSongsRealRegularFile) {
    struct Case {
        std::string name;
        bool throughLink;
        bool pipe;
    };
    const Case cases[] = {
        {"link", true, false},
        {"pipe", false, true},
        {"link to a pipe", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        const std::filesystem::path real = folder / "songs" / "Song.tovz";
        std::filesystem::create_directories(real.parent_path());
        docapp::writeBytes(real, docapp::newSongFile());
        const std::filesystem::path opened = c.throughLink ? folder / "Link.tovz" : real;
        if (c.throughLink) {
            std::filesystem::create_symlink("songs/Song.tovz", opened);
        }
        auto* song = open<TOVZDocument>(opened);
        ASSERT_NE(song, nullptr);
        song->documentData()->song()->setComposer(platform::AttributedString(QStringLiteral("Someone")));
        docapp::settle();
        const std::string expected = dumpAsSaved(song->documentData());
        if (c.pipe) {
            std::filesystem::remove(real);
            ASSERT_EQ(::mkfifo(real.c_str(), 0600), 0);
        }
        alertMessages.clear();

        const bool saved = song->saveDocument();
        docapp::settle();

        EXPECT_EQ(saved, !c.pipe);
        EXPECT_EQ(std::filesystem::is_symlink(opened), c.throughLink);
        EXPECT_EQ(std::filesystem::is_fifo(real), c.pipe);
        EXPECT_EQ(std::filesystem::exists(folder / "songs" / "Link.tovz"), false);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(real.parent_path()), {}), 1);
        if (c.pipe) {
            ASSERT_EQ(alertMessages.size(), 1u);
            EXPECT_NE(alertMessages.front().find("could not be saved"), std::string::npos);
            EXPECT_TRUE(song->isDocumentEdited());
        } else {
            EXPECT_TRUE(alertMessages.empty());
            EXPECT_EQ(dumpOfFile(real), expected);
        }
        song->close();
        docapp::settle();
    }
}

// A song the reader would refuse as too large is not saved over its file, which stays byte for byte, and
// the user is told why. Each "&" of a text is written as a reference, one XML node, so a volta text of
// them passes the reader's node cap at a few megabytes (a volta's text is only measured when drawn, which
// keeps the test quick).
TEST_F(SongDocumentTest, ASongTooLargeToOpenAgainIsNotSavedAndItsFileStays) {
    const std::filesystem::path path = dir / "Song.tovz";
    docapp::writeBytes(path, docapp::newSongFile());
    const Bytes before = docapp::readBytes(path);
    auto* song = open<TOVZDocument>(path);
    ASSERT_NE(song, nullptr);
    firstBar(song->documentData())
        ->createNewSymbolRepeatWithTypeFrame(TOVSymbolVoltaBegin, {0, 0, 40, 12})
        ->setRepeatIDString(QString(static_cast<qsizetype>(platform::XmlDocument::maxNodes), u'&'));
    docapp::settle();
    ASSERT_TRUE(song->isDocumentEdited());
    std::vector<std::pair<std::string, std::string>> shown;
    platform::Alert::setAnswerHook([&](const platform::Alert& alert) -> std::optional<int> {
        shown.emplace_back(alert.messageText(), alert.informativeText());
        return platform::Alert::DefaultReturn;
    });

    const bool saved = song->saveDocument();
    docapp::settle();

    EXPECT_FALSE(saved);
    EXPECT_EQ(docapp::readBytes(path), before);
    EXPECT_TRUE(song->isDocumentEdited());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.front().first, "The document “Song” could not be saved.");
    EXPECT_NE(shown.front().second.find("too large"), std::string::npos) << shown.front().second;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(SongDocumentTest, CancellingTheNewSongPanelClosesTheNewDocument) {
    saveAnswer = std::nullopt;
    platform::Document* created = controller->newDocument();
    ASSERT_NE(dynamic_cast<TOVZDocument*>(created), nullptr);
    EXPECT_TRUE(static_cast<TOVZDocument*>(created)->isNewDocument());
    docapp::settle();
    ASSERT_EQ(savePanelRuns.size(), 1u);
    EXPECT_EQ(savePanelRuns.front().allowedFileTypes, std::vector<std::string>{"tovz"});
    EXPECT_TRUE(controller->documents().empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(SongDocumentTest, ANewSongClosedBeforeItsPanelComesAsksForNothing) {
    saveAnswer = dir / "Never.tovz";
    platform::Document* created = controller->newDocument();
    ASSERT_NE(created, nullptr);
    created->close();
    docapp::settle();
    EXPECT_TRUE(savePanelRuns.empty());
    EXPECT_TRUE(controller->documents().empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(SongDocumentTest, ANewSongThatCannotBeWrittenThereStaysOpenAndAsksForAnotherPlace) {
    // A "folder" that is a file: nothing can be written in it, whoever runs the test.
    docapp::writeBytes(dir / "NotAFolder", Bytes{'x'});
    saveAnswer = dir / "NotAFolder" / "Tune.tovz";
    std::vector<std::string> errors;
    platform::Alert::setAnswerHook([&](const platform::Alert& alert) -> std::optional<int> {
        errors.push_back(alert.messageText());
        // Once the user has read why, the panel comes again: this time a place that takes the file.
        saveAnswer = dir / "Tune.tovz";
        return platform::Alert::DefaultReturn;
    });
    auto* song = dynamic_cast<TOVZDocument*>(controller->newDocument());
    ASSERT_NE(song, nullptr);
    docapp::settle();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors.front().find("could not be saved"), std::string::npos);
    ASSERT_EQ(savePanelRuns.size(), 2u);
    // The second panel shows what was typed and chosen the first time.
    EXPECT_EQ(savePanelRuns[1].songName, "Blue Tune");
    EXPECT_EQ(savePanelRuns[1].nameFieldStringValue, "Tune");
    EXPECT_TRUE(savePanelRuns[0].songFormShown);
    EXPECT_TRUE(savePanelRuns[1].songFormShown);
    ASSERT_EQ(controller->documents().size(), 1u);
    EXPECT_EQ(song->fileURL(), dir / "Tune.tovz");
    EXPECT_EQ(song->documentData()->song()->name()->string(), "Blue Tune");
    EXPECT_EQ(dumpOfFile(dir / "Tune.tovz"), dumpAsSaved(song->documentData()));
    EXPECT_TRUE(song->windowController()->window()->isVisible());
}

TEST_F(SongDocumentTest, ANewSongIsSavedUnderItsNameBeforeItGetsContent) {
    saveAnswer = dir / "Tune.tovz";
    auto* song = dynamic_cast<TOVZDocument*>(controller->newDocument());
    ASSERT_NE(song, nullptr);
    docapp::settle();
    ASSERT_EQ(controller->documents().size(), 1u);
    ASSERT_EQ(savePanelRuns.size(), 1u) << "the second save goes to the chosen file";
    const auto& run = savePanelRuns.front();
    EXPECT_EQ(run.prompt, "Create");
    EXPECT_EQ(run.message, "Create new song.");
    EXPECT_EQ(run.nameFieldStringValue, "NewSong");
    EXPECT_EQ(run.songName, "New Song");
    EXPECT_EQ(song->fileURL(), dir / "Tune.tovz");
    EXPECT_FALSE(song->isDocumentEdited());
    EXPECT_FALSE(song->undoManager().canUndo());
    // The song is made from the form and gets the first page; the file holds it.
    ::Document* document = song->documentData();
    ASSERT_NE(document->song(), nullptr);
    ASSERT_TRUE(document->song()->name());
    EXPECT_EQ(document->song()->name()->string(), "Blue Tune");
    ASSERT_EQ(document->pages().size(), 1u);
    EXPECT_EQ(document->pages().front()->lines().size(), 10u);
    EXPECT_EQ(dumpOfFile(dir / "Tune.tovz"), dumpAsSaved(document));
    EXPECT_EQ(song->songSettingViewController(), nullptr);
    EXPECT_EQ(navigation(song->windowController()),
              std::make_pair(QStringLiteral("A New song created and saved successfully."),
                             QStringLiteral("Blue Tune")));
}

TEST_F(SongDocumentTest, ALegacyStoreOpensIsNeverWrittenAndIsSavedAsASongFile) {
    const std::filesystem::path legacy = dir / "Blues.tovr";
    std::filesystem::copy_file(docapp::legacySongFixture(), legacy);
    const Bytes before = docapp::readBytes(legacy);
    auto* store = open<TOVDocument>(legacy);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(alertMessages, std::vector<std::string>{TOVDocument::olderVersionMessage});
    EXPECT_EQ(navigation(store->windowController()),
              std::make_pair(QStringLiteral("Document loaded successfully."), QStringLiteral("Blues")));
    EXPECT_FALSE(store->undoManager().canUndo());
    EXPECT_FALSE(store->isDocumentEdited());
    if (const char* out = std::getenv("TOVRIN_APP_OUT")) {
        platform::Window* window = store->windowController()->window();
        window->resize(900, 700);
        window->show();
        docapp::settle();
        window->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/legacy-window.png"));
    }
    // The store's chords have no scale: the one with a frame gets the scale of its frame, the empty one
    // keeps none.
    std::vector<std::pair<double, double>> widthsAndScales;
    for (const Chord* chord :
         store->documentData()->pages().front()->lines().at(1)->bars().front()->chords()) {
        widthsAndScales.emplace_back(chord->frame().size.width, chord->scale());
    }
    ASSERT_EQ(widthsAndScales.size(), 2u);
    EXPECT_EQ(widthsAndScales[0].first, 30.0);
    EXPECT_GT(widthsAndScales[0].second, 0.2);
    EXPECT_EQ(widthsAndScales[1], std::make_pair(0.0, 0.0));

    // Save on the store runs Save As, which offers only "tovz"; naming the store itself adds the extension.
    struct Step {
        std::filesystem::path answer;
        std::filesystem::path written;
    };
    const Step steps[] = {{dir / "Blues.tovr", dir / "Blues.tovr.tovz"}, {dir / "Blues", dir / "Blues.tovz"}};
    for (const Step& step : steps) {
        store->setFileURL(legacy);
        savePanelRuns.clear();
        saveAnswer = step.answer;
        EXPECT_TRUE(store->saveDocument());
        ASSERT_EQ(savePanelRuns.size(), 1u);
        EXPECT_EQ(savePanelRuns.front().allowedFileTypes, std::vector<std::string>{"tovz"});
        EXPECT_EQ(savePanelRuns.front().nameFieldStringValue, "Blues");
        EXPECT_EQ(store->fileURL(), step.written);
        EXPECT_EQ(docapp::readBytes(legacy), before);
        EXPECT_EQ(dumpOfFile(step.written), dumpAsSaved(store->documentData()));
    }
    // Once it is a song file, Save writes it in place.
    savePanelRuns.clear();
    firstBar(store->documentData())->setWidth(150.0);
    docapp::settle();
    EXPECT_TRUE(store->saveDocument());
    EXPECT_TRUE(savePanelRuns.empty());
    EXPECT_EQ(dumpOfFile(dir / "Blues.tovz"), dumpAsSaved(store->documentData()));
    EXPECT_EQ(docapp::readBytes(legacy), before);
    // A song file the document did not open from keeps the store class.
    EXPECT_NE(dynamic_cast<TOVDocument*>(store), nullptr);
}

TEST_F(SongDocumentTest, AStoreSymbolKeepsItsSizeThroughSaveAndReopen) {
    // The window builds the symbol views through the application's factory, as at start-up.
    TOVUtils::Services services;
    services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
    TOVUtils::registerServices(services);
    struct Unregister {
        ~Unregister() { TOVUtils::registerServices({}); }
    } unregister;
    const std::filesystem::path legacy = dir / "Blues.tovr";
    std::filesystem::copy_file(docapp::legacySongFixture(), legacy);
    // The store's tempo sign: a frame of 40 x 12 and no scale.
    const auto tempoOf = [](platform::Document* song) -> std::pair<Symbol*, platform::Rect> {
        for (Page* page : static_cast<TOVPersistentDocument*>(song)->documentData()->pages()) {
            for (Line* line : page->lines()) {
                for (Bar* bar : line->bars()) {
                    for (Symbol* symbol : bar->symbols()) {
                        TOVEditorBarView* barView = static_cast<TOVPersistentDocument*>(song)
                                                        ->windowController()
                                                        ->editorController()
                                                        ->editorView()
                                                        ->barViewFromNumberInLower(bar->num(), false);
                        const auto view = barView != nullptr ? barView->objectViewFromData(symbol) : nullptr;
                        return {symbol, view ? view->frame() : platform::Rect()};
                    }
                }
            }
        }
        return {nullptr, platform::Rect()};
    };
    auto* store = open<TOVDocument>(legacy);
    ASSERT_NE(store, nullptr);
    const auto [imported, importedFrame] = tempoOf(store);
    ASSERT_NE(imported, nullptr);
    EXPECT_NEAR(importedFrame.width(), 40.0, 1e-3);
    const double importedScale = imported->scale();
    EXPECT_GT(importedScale, 1.0);
    EXPECT_FALSE(store->isDocumentEdited());

    saveAnswer = dir / "Blues.tovz";
    ASSERT_TRUE(store->saveDocument());
    store->close();
    docapp::settle();
    auto* song = open<TOVZDocument>(dir / "Blues.tovz");
    ASSERT_NE(song, nullptr);
    const auto [reopened, reopenedFrame] = tempoOf(song);
    ASSERT_NE(reopened, nullptr);
    EXPECT_NEAR(reopened->scale(), importedScale, 1e-5);
    EXPECT_NEAR(reopenedFrame.x(), importedFrame.x(), 1e-3);
    EXPECT_NEAR(reopenedFrame.y(), importedFrame.y(), 1e-3);
    EXPECT_NEAR(reopenedFrame.width(), importedFrame.width(), 1e-3);
    EXPECT_NEAR(reopenedFrame.height(), importedFrame.height(), 1e-3);
}

TEST_F(SongDocumentTest, ChordsWithoutAScaleAreFittedToTheirFrameWithTheDefaultNotation) {
    platform::UserDefaults::standard().setInteger("notationChordMinor", 1);
    tovtest::TestSong song;
    Bar* bar = firstBar(song.document);
    const TOVChordElems cm7 = TOVChordElems::fromCodes(0, 1, 5, 17);
    Chord* unscaled = bar->createNewChordWithElemsTiming(cm7, 0);
    Chord* scaled = bar->createNewChordWithElemsTiming(cm7, 240);
    Chord* empty = bar->createNewChordWithElemsTiming(TOVChordElems{}, 480);
    for (Chord* chord : {unscaled, scaled, empty}) {
        chord->setFrame({{0, 0}, {30, 20}});
        chord->setScale(0.0);
    }
    scaled->setScale(0.8);
    Line* lower = song.document->pages().front()->lines().at(1)->lower();
    Chord* lowerChord = nullptr;
    if (lower != nullptr) {
        lowerChord = lower->bars().front()->createNewChordWithElemsTiming(cm7, 0);
        lowerChord->setFrame({{0, 0}, {45, 20}});
        lowerChord->setScale(0.0);
    }

    TOVChordViewFactory* factory = TOVChordViewFactory::singletonInstance();
    factory->setProfile(TOVUtils::defaultChordNotationProfile());
    const double width = factory->bezierPathFromChordFontID(cm7, "Default")->bounds().size.width;
    ASSERT_GT(width, 0.0);
    factory->setProfile({1, 1, 1, 1, 1, 1});

    TOVDocument::repairChordScales(song.document);
    EXPECT_NEAR(unscaled->scale(), 30.0 / width, 1e-5);
    EXPECT_NEAR(scaled->scale(), 0.8, 1e-6);
    EXPECT_EQ(empty->scale(), 0.0);
    if (lowerChord != nullptr) {
        EXPECT_NEAR(lowerChord->scale(), 45.0 / width, 1e-5);
    }
    EXPECT_EQ(factory->profile(), TOVUtils::currentChordNotationProfile());
    EXPECT_EQ(factory->profile().minor, 1);
    platform::UserDefaults::standard().removeObjectForKey("notationChordMinor");
    factory->setProfile(TOVUtils::currentChordNotationProfile());
}

} // namespace
