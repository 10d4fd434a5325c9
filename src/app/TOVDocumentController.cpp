#include "app/TOVDocumentController.h"

#include "app/TOVDocument.h"
#include "app/TOVStartUpWindowController.h"
#include "app/TOVZDocument.h"

#include <QString>

namespace {

bool isLegacyStoreURL(const std::filesystem::path& url) {
    return QString::fromStdString(url.extension().string())
               .compare(QStringLiteral(".tovr"), Qt::CaseInsensitive) == 0;
}

} // namespace

TOVDocumentController::TOVDocumentController() {
    // "tovr" stores are only read: their songs are kept by saving them as "tovz".
    registerDocumentType(
        {documentTypeName, {"tovz"}, {"tovr"}, [] { return std::make_shared<TOVZDocument>(); }});
    addActionHandler("runStartupPanel:", [this](platform::MenuItem*) { runStartupPanel(); });
}

TOVDocumentController::~TOVDocumentController() = default;

std::string TOVDocumentController::defaultType() const {
    return documentTypeName;
}

void TOVDocumentController::runStartupPanel() {
    if (TOVStartUpWindowController* panel = startUpWindowController()) {
        panel->showUp();
    }
}

TOVStartUpWindowController* TOVDocumentController::startUpWindowController() {
    if (startUpWindowController_ == nullptr) {
        startUpWindowController_ = TOVStartUpWindowController::singletonInstance();
    }
    return startUpWindowController_;
}

void TOVDocumentController::setStartUpWindowController(TOVStartUpWindowController* controller) {
    startUpWindowController_ = controller;
}

void TOVDocumentController::hideStartUpPanel() {
    if (TOVStartUpWindowController* panel = startUpWindowController()) {
        panel->hide();
    }
}

platform::Document* TOVDocumentController::newDocument() {
    hideStartUpPanel();
    return DocumentController::newDocument();
}

void TOVDocumentController::openDocument() {
    hideStartUpPanel();
    DocumentController::openDocument();
    showStartUpPanelWhenNothingIsOpen();
}

platform::Document* TOVDocumentController::openDocumentWithContentsOfURL(const std::filesystem::path& url,
                                                                         bool display, std::string* error) {
    hideStartUpPanel();
    platform::Document* document = DocumentController::openDocumentWithContentsOfURL(url, display, error);
    showStartUpPanelWhenNothingIsOpen();
    return document;
}

// Without a dock to bring the application back, an open that was cancelled or failed while no document is
// open would leave the program running with no window at all.
void TOVDocumentController::showStartUpPanelWhenNothingIsOpen() {
    if (documents().empty()) {
        runStartupPanel();
    }
}

void TOVDocumentController::removeDocument(platform::Document* document) {
    DocumentController::removeDocument(document);
    // Without a dock to bring the application back, the panel returns when the last document closes.
    if (documents().empty()) {
        runStartupPanel();
    }
}

std::shared_ptr<platform::Document>
TOVDocumentController::makeUntitledDocumentOfType(const std::string& typeName, std::string* error) {
    std::shared_ptr<platform::Document> document =
        DocumentController::makeUntitledDocumentOfType(typeName, error);
    if (auto* song = dynamic_cast<TOVZDocument*>(document.get())) {
        song->initWithType(typeName);
    }
    return document;
}

std::shared_ptr<platform::Document>
TOVDocumentController::makeDocumentWithContentsOfURL(const std::filesystem::path& url,
                                                     const std::string& typeName, std::string* error) {
    if (documentTypeNamed(typeName) == nullptr) {
        if (error != nullptr) {
            *error = "No document of the type “" + typeName + "” can be made.";
        }
        return nullptr;
    }
    // A legacy store is imported into memory by its own document class; the file itself is never written.
    std::shared_ptr<platform::Document> document;
    if (isLegacyStoreURL(url)) {
        document = std::make_shared<TOVDocument>();
    } else {
        document = std::make_shared<TOVZDocument>();
    }
    document->setFileType(typeName);
    if (!readDocumentFromURL(*document, url, typeName, error)) {
        return nullptr;
    }
    return document;
}
