#pragma once

#include "app/TOVWindowControllerDelegate.h"
#include "platform/ui/Document.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Document;
class TOVWindowController;

namespace platform {
class ManagedObjectContext;
class SavePanel;
class View;
} // namespace platform

// The document of an older "tovr" song store. The store is imported into memory when the file is opened
// and is never written: the user keeps the song by saving it as a "tovz" file, so Save on a "tovr" file
// runs Save As, whose panel offers only "tovz". When the window first gets the song, chords stored without
// a scale get the scale that makes their default symbol as wide as their stored frame.
class TOVDocument : public platform::Document, public TOVWindowControllerDelegate {
public:
    TOVDocument();
    ~TOVDocument() override;

    TOVWindowController* windowController() const { return windowController_; }
    // The path of the file the document was opened from.
    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }

    platform::ManagedObjectContext& managedObjectContext() { return *context_; }
    // The root Document object of the imported song, or null.
    ::Document* documentData() const;

    // --- platform::Document ---
    bool readFromURL(const std::filesystem::path& url, const std::string& typeName, std::string* error) override;
    bool readFromData(const std::vector<std::uint8_t>& data, const std::string& typeName,
                      std::string* error) override;
    std::optional<std::vector<std::uint8_t>> dataOfType(const std::string& typeName, std::string* error) override;
    bool writeToURL(const std::filesystem::path& url, const std::string& typeName, std::string* error) override;
    void makeWindowControllers() override;
    void prepareSavePanel(platform::SavePanel& panel) override;
    platform::View* viewForPrinting() override;
    bool validateMenuItem(platform::MenuItem& item) override;
    static bool autosavesInPlace() { return false; }

    // --- TOVWindowControllerDelegate ---
    void windowControllerDidParseDocument(TOVWindowController* controller, ::Document* document) override;
    void windowControllerDidLoadDocument(TOVWindowController* controller, ::Document* document) override;

    // Chords stored with no scale get the scale that fits their default symbol to their frame.
    static void repairChordScales(::Document* document);

    static constexpr const char* loadedMessage = "Document loaded successfully.";
    static constexpr const char* olderVersionMessage =
        "This file was created by older version of TOVRIN and is no longer supported with this version. \nIt "
        "will be converted to latest version when saving.";

    // The older-version alert, as a sheet on the window, for a document opened from a "tovr" file.
    void showLoadAlerts();
    static bool isLegacyStoreName(const QString& path);

private:
    bool isLegacyFile() const;
    void adoptContext(std::unique_ptr<platform::ManagedObjectContext> context, ::Document* document);

    std::unique_ptr<platform::ManagedObjectContext> context_;
    ::Document* document_ = nullptr;
    TOVWindowController* windowController_ = nullptr; // owned through the document's window controllers
    QString fileName_;
};
