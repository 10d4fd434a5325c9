#include "app/TOVPersistentDocument.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVWindowController.h"
#include "document/TOVDocumentParser.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Resources.h"
#include "platform/ui/Alert.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"

TOVPersistentDocument::~TOVPersistentDocument() {
    closeDownWindows();
}

void TOVPersistentDocument::closeDownWindows() {
    if (windowController_ != nullptr) {
        windowController_->setDelegate(nullptr);
    }
    releaseWindowControllers();
    windowController_ = nullptr;
    setUndoManager(nullptr);
}

void TOVPersistentDocument::adoptContext(std::unique_ptr<platform::ManagedObjectContext> context) {
    setUndoManager(nullptr);
    context_ = std::move(context);
    if (context_) {
        setUndoManager(&context_->undoManager());
    }
}

::Document* TOVPersistentDocument::documentData() const {
    if (!context_) {
        return nullptr;
    }
    const std::vector<platform::ManagedObject*> documents = context_->fetchObjects("Document");
    return documents.empty() ? nullptr : dynamic_cast<::Document*>(documents.front());
}

bool TOVPersistentDocument::readFromURL(const std::filesystem::path& url, const std::string& typeName,
                                        std::string* error) {
    fileName_ = QString::fromStdString(url.string());
    return platform::Document::readFromURL(url, typeName, error);
}

bool TOVPersistentDocument::mayReadContent(std::string* error) const {
    if (windowController_ != nullptr) {
        if (error != nullptr) {
            *error = "The song is open in a window.";
        }
        return false;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> TOVPersistentDocument::interchangeData(TOVDocumentParser& parser,
                                                                                std::string* error) const {
    std::optional<std::vector<std::uint8_t>> data = parser.tovzDataFromDocument(documentData());
    if (!data && error != nullptr) {
        *error =
            parser.failureReason().empty()
                ? std::string("The song could not be written.")
                : "The song could not be saved, and the file was left as it was: " + parser.failureReason() +
                      ".";
    }
    return data;
}

std::optional<std::vector<std::uint8_t>> TOVPersistentDocument::dataOfType(const std::string& typeName,
                                                                           std::string* error) {
    // Whatever the type asked for, the song is written as an interchange file.
    TOVDocumentParser parser;
    return interchangeData(parser, error);
}

bool TOVPersistentDocument::validateMenuItem(platform::MenuItem& item) {
    // The platform answers Undo and Redo (and sets their titles); every other command is enabled.
    platform::Document::validateMenuItem(item);
    return true;
}

void TOVPersistentDocument::showAlertSheet(const std::string& message) {
    // The song is handed over while the window is being made, before the document lists it.
    platform::Window* window = windowController_ != nullptr ? windowController_->window() : windowForSheet();
    platform::Alert::alertWithMessage(message, {})->beginSheetModalForWindow(window, {});
}

// --- Window ---

bool TOVPersistentDocument::makeWindowController() {
    if (windowController_ != nullptr || !context_) {
        return false;
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
    return true;
}

void TOVPersistentDocument::makeWindowControllers() {
    makeWindowController();
}

void TOVPersistentDocument::raiseWindowForSheet() {
    if (platform::Window* window = windowForSheet()) {
        window->raise();
        window->activateWindow();
    }
}

void TOVPersistentDocument::prepareSavePanel(platform::SavePanel& panel) {
    raiseWindowForSheet();
    panel.allowedFileTypes = {"tovz"};
}

platform::View* TOVPersistentDocument::viewForPrinting() {
    return windowController_ != nullptr ? windowController_->printableView() : nullptr;
}

void TOVPersistentDocument::windowControllerDidLoadDocument(TOVWindowController* controller,
                                                            ::Document* document) {
    if (announcesLoad() && controller != nullptr) {
        controller->editorRequireShowNavigationMessageTitlePriority(
            controller->editorController(), QString::fromStdString(platform::localized(loadedMessage)),
            controller->songName(), 0);
    }
    if (context_) {
        context_->processPendingChanges();
        // Loading (and whatever repair it needed) leaves nothing to undo.
        context_->undoManager().removeAllActions();
    }
    updateChangeCountCleared();
    showLoadAlerts();
}
