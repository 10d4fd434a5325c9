#include "app/TOVDocumentController.h"

#include "app/TOVDocument.h"
#include "app/TOVStartUpWindowController.h"
#include "app/TOVZDocument.h"

TOVDocumentController::TOVDocumentController() {}
TOVDocumentController::~TOVDocumentController() = default;
std::string TOVDocumentController::defaultType() const { return documentTypeName; }
void TOVDocumentController::runStartupPanel() {}
TOVStartUpWindowController* TOVDocumentController::startUpWindowController() { return startUpWindowController_; }
void TOVDocumentController::setStartUpWindowController(TOVStartUpWindowController* controller) {
    startUpWindowController_ = controller;
}
platform::Document* TOVDocumentController::newDocument() { return DocumentController::newDocument(); }
void TOVDocumentController::openDocument() { DocumentController::openDocument(); }
platform::Document* TOVDocumentController::openDocumentWithContentsOfURL(const std::filesystem::path& url,
                                                                         bool display, std::string* error) {
    return DocumentController::openDocumentWithContentsOfURL(url, display, error);
}
std::shared_ptr<platform::Document> TOVDocumentController::makeUntitledDocumentOfType(const std::string& typeName,
                                                                                      std::string* error) {
    return DocumentController::makeUntitledDocumentOfType(typeName, error);
}
std::shared_ptr<platform::Document> TOVDocumentController::makeDocumentWithContentsOfURL(
    const std::filesystem::path& url, const std::string& typeName, std::string* error) {
    return DocumentController::makeDocumentWithContentsOfURL(url, typeName, error);
}
