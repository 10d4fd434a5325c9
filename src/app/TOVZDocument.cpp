#include "app/TOVZDocument.h"

#include "document/TOVDocumentParser.h"
#include "model/Document.h"
#include "platform/data/ManagedObjectContext.h"

TOVZDocument::TOVZDocument() {}
TOVZDocument::~TOVZDocument() { setUndoManager(nullptr); releaseWindowControllers(); }
void TOVZDocument::initWithType(const std::string&) { isNewDocument_ = true; }
::Document* TOVZDocument::documentData() const { return nullptr; }
bool TOVZDocument::readFromURL(const std::filesystem::path&, const std::string&, std::string*) { return false; }
bool TOVZDocument::readFromData(const std::vector<std::uint8_t>&, const std::string&, std::string*) { return false; }
std::optional<std::vector<std::uint8_t>> TOVZDocument::dataOfType(const std::string&, std::string*) { return std::nullopt; }
bool TOVZDocument::writeToURL(const std::filesystem::path&, const std::string&, std::string*) { return false; }
void TOVZDocument::makeWindowControllers() {}
void TOVZDocument::prepareSavePanel(platform::SavePanel&) {}
platform::View* TOVZDocument::viewForPrinting() { return nullptr; }
bool TOVZDocument::validateMenuItem(platform::MenuItem&) { return true; }
void TOVZDocument::windowControllerDidLoadDocument(TOVWindowController*, ::Document*) {}
void TOVZDocument::documentDidSave(bool) {}
bool TOVZDocument::isLaterVersion(const std::optional<QString>& version) {
    return TOVDocumentParser::isLaterDataVersion(version);
}
void TOVZDocument::resetContext() {}
bool TOVZDocument::loadParsed(TOVDocumentParser&, bool loaded) { return loaded; }
