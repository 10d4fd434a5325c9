#include "app/TOVDocument.h"

#include "model/Document.h"
#include "platform/data/ManagedObjectContext.h"

TOVDocument::TOVDocument() {}
TOVDocument::~TOVDocument() { setUndoManager(nullptr); releaseWindowControllers(); }
::Document* TOVDocument::documentData() const { return document_; }
bool TOVDocument::readFromURL(const std::filesystem::path&, const std::string&, std::string*) { return false; }
bool TOVDocument::readFromData(const std::vector<std::uint8_t>&, const std::string&, std::string*) { return false; }
std::optional<std::vector<std::uint8_t>> TOVDocument::dataOfType(const std::string&, std::string*) { return std::nullopt; }
bool TOVDocument::writeToURL(const std::filesystem::path&, const std::string&, std::string*) { return false; }
void TOVDocument::makeWindowControllers() {}
void TOVDocument::prepareSavePanel(platform::SavePanel&) {}
platform::View* TOVDocument::viewForPrinting() { return nullptr; }
bool TOVDocument::validateMenuItem(platform::MenuItem&) { return true; }
void TOVDocument::windowControllerDidParseDocument(TOVWindowController*, ::Document*) {}
void TOVDocument::windowControllerDidLoadDocument(TOVWindowController*, ::Document*) {}
void TOVDocument::repairChordScales(::Document*) {}
bool TOVDocument::isLegacyFile() const { return false; }
void TOVDocument::adoptContext(std::unique_ptr<platform::ManagedObjectContext>, ::Document*) {}
