#include "app/TOVDocument.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVWindowController.h"
#include "document/TOVDocumentParser.h"
#include "layout/TOVEditorView.h"
#include "document/TOVMigrationController.h"
#include "glyphs/TOVChordViewFactory.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Resources.h"
#include "platform/ui/Alert.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"

namespace {

std::string text(std::string_view english) {
    return platform::localized(english);
}

void repairChordsOfBars(const std::vector<Bar*>& bars, const TOVChordViewFactory& factory) {
    for (const Bar* bar : bars) {
        for (Chord* chord : bar->chords()) {
            if (chord->scale() != 0.0) {
                continue;
            }
            const std::optional<platform::BezierPath> path =
                factory.bezierPathFromChordFontID(chord->chordElems(), "Default");
            if (!path) {
                continue;
            }
            const double width = path->bounds().size.width;
            if (width > 0.0) {
                chord->setScale(chord->frame().size.width / width);
            }
        }
    }
}

} // namespace

TOVDocument::TOVDocument() = default;

TOVDocument::~TOVDocument() {
    if (windowController_ != nullptr) {
        windowController_->setDelegate(nullptr);
    }
    // The window shows the content: it goes first, and the document's undo manager stops being the
    // content's before the context that owns it goes.
    releaseWindowControllers();
    windowController_ = nullptr;
    setUndoManager(nullptr);
}

::Document* TOVDocument::documentData() const {
    return document_;
}

void TOVDocument::adoptContext(std::unique_ptr<platform::ManagedObjectContext> context, ::Document* document) {
    setUndoManager(nullptr);
    context_ = std::move(context);
    document_ = document;
    if (context_) {
        setUndoManager(&context_->undoManager());
    }
}

bool TOVDocument::readFromURL(const std::filesystem::path& url, const std::string& typeName, std::string* error) {
    fileName_ = QString::fromStdString(url.string());
    return platform::Document::readFromURL(url, typeName, error);
}

bool TOVDocument::readFromData(const std::vector<std::uint8_t>& data, const std::string& typeName,
                               std::string* error) {
    // The window keeps the context it shows: a document with a window is not read again.
    if (windowController_ != nullptr) {
        if (error != nullptr) {
            *error = "The song is open in a window.";
        }
        return false;
    }
    // The store is imported into a context of our own; the file is never written back.
    TOVMigrationController importer;
    std::optional<TOVMigrationController::ImportedDocument> imported = importer.importStoreData(data);
    if (!imported) {
        if (error != nullptr) {
            *error = importer.errorDescription().empty() ? importer.failureReason() : importer.errorDescription();
        }
        return false;
    }
    adoptContext(std::move(imported->context), imported->document);
    return true;
}

std::optional<std::vector<std::uint8_t>> TOVDocument::dataOfType(const std::string& typeName, std::string* error) {
    // Whatever the type asked for, the song is written as an interchange file.
    TOVDocumentParser parser;
    std::optional<std::vector<std::uint8_t>> data = parser.tovzDataFromDocument(document_);
    if (!data && error != nullptr) {
        *error = "The song could not be written.";
    }
    return data;
}

bool TOVDocument::writeToURL(const std::filesystem::path& url, const std::string& typeName, std::string* error) {
    // A legacy store is never overwritten, even when a caller names it as the target.
    if (isLegacyStoreName(QString::fromStdString(url.string()))) {
        if (error != nullptr) {
            *error = "A song is saved only as a \"tovz\" file.";
        }
        return false;
    }
    return platform::Document::writeToURL(url, typeName, error);
}

bool TOVDocument::isLegacyStoreName(const QString& path) {
    return path.endsWith(QStringLiteral(".tovr"), Qt::CaseInsensitive);
}

bool TOVDocument::isLegacyFile() const {
    return isLegacyStoreName(fileName_);
}

void TOVDocument::prepareSavePanel(platform::SavePanel& panel) {
    if (platform::Window* window = windowForSheet()) {
        window->raise();
        window->activateWindow();
    }
    panel.allowedFileTypes = {"tovz"};
}

bool TOVDocument::validateMenuItem(platform::MenuItem& item) {
    // The platform answers Undo and Redo (and sets their titles); every other command is enabled.
    platform::Document::validateMenuItem(item);
    return true;
}

void TOVDocument::repairChordScales(::Document* document) {
    if (document == nullptr) {
        return;
    }
    TOVChordViewFactory* factory = TOVChordViewFactory::singletonInstance();
    if (factory == nullptr) {
        return;
    }
    // The legacy scales are those of the default notation, whatever the user's preferences.
    factory->setProfile(TOVUtils::defaultChordNotationProfile());
    for (const Page* page : document->pages()) {
        for (const Line* line : page->lines()) {
            repairChordsOfBars(line->bars(), *factory);
            if (const Line* lower = line->lower()) {
                repairChordsOfBars(lower->bars(), *factory);
            }
        }
    }
    factory->setProfile(TOVUtils::currentChordNotationProfile());
}

void TOVDocument::showLoadAlerts() {
    if (isLegacyFile()) {
        // The song is handed over while the window is being made, before the document lists it.
        platform::Window* window = windowController_ != nullptr ? windowController_->window() : windowForSheet();
        platform::Alert::alertWithMessage(text(olderVersionMessage), {})->beginSheetModalForWindow(window, {});
    }
}

// --- Window ---

void TOVDocument::makeWindowControllers() {
    if (windowController_ != nullptr || !context_) {
        return;
    }
    auto controller = std::make_unique<TOVWindowController>("TOVDocument");
    windowController_ = controller.get();
    controller->setDelegate(this);
    controller->setManagedObjectContext(context_.get());
    if (TOVEditorViewController* editor = controller->editorController()) {
        editor->registerUndoObservation(&context_->undoManager());
    }
    // The window is built now, so that the document hears when it closes; building it hands the song
    // over (windowControllerDidLoadDocument).
    controller->loadWindow();
    addWindowController(std::move(controller));
}

platform::View* TOVDocument::viewForPrinting() {
    return windowController_ != nullptr ? windowController_->printableView() : nullptr;
}

void TOVDocument::windowControllerDidParseDocument(TOVWindowController* controller, ::Document* document) {
    repairChordScales(document);
}

void TOVDocument::windowControllerDidLoadDocument(TOVWindowController* controller, ::Document* document) {
    if (controller != nullptr) {
        controller->editorRequireShowNavigationMessageTitlePriority(
            controller->editorController(), QString::fromStdString(text(loadedMessage)), controller->songName(), 0);
    }
    if (context_) {
        context_->processPendingChanges();
        // The repair cannot be undone.
        context_->undoManager().removeAllActions();
    }
    updateChangeCountCleared();
    showLoadAlerts();
}
