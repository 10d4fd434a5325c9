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
class TOVDocumentParser;
class TOVWindowController;

namespace platform {
class ManagedObjectContext;
class SavePanel;
class View;
} // namespace platform

// What every song document shares: its content is the song model in a managed object context of its own,
// whose undo manager is the document's, and it shows that content in one window (a TOVWindowController).
// Saving always writes the interchange ("tovz") file. How the context gets its content, and what the user
// is told once the window shows it, is each kind of document's own.
class TOVPersistentDocument : public platform::Document, public TOVWindowControllerDelegate {
public:
    ~TOVPersistentDocument() override;

    TOVWindowController* windowController() const { return windowController_; }
    // The path of the file the document was opened from.
    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }

    platform::ManagedObjectContext& managedObjectContext() { return *context_; }
    // The root Document object of the context (the one the window shows), or null.
    virtual ::Document* documentData() const;

    // --- platform::Document ---
    bool readFromURL(const std::filesystem::path& url, const std::string& typeName,
                     std::string* error) override;
    std::optional<std::vector<std::uint8_t>> dataOfType(const std::string& typeName,
                                                        std::string* error) override;
    void makeWindowControllers() override;
    void prepareSavePanel(platform::SavePanel& panel) override;
    platform::View* viewForPrinting() override;
    bool validateMenuItem(platform::MenuItem& item) override;
    static bool autosavesInPlace() { return false; }

    // --- TOVWindowControllerDelegate ---
    // Shows the loaded message (when the document announces loads), leaves nothing to undo and shows the
    // document's load alerts.
    void windowControllerDidLoadDocument(TOVWindowController* controller, ::Document* document) override;

    // The alerts about the file just opened, as sheets on the window; none by default.
    virtual void showLoadAlerts() {}

    static constexpr const char* loadedMessage = "Document loaded successfully.";

protected:
    TOVPersistentDocument() = default;

    // Whether the window tells the user that the song was loaded once it shows it.
    virtual bool announcesLoad() const { return true; }

    // The context becomes the document's content and its undo manager the document's.
    void adoptContext(std::unique_ptr<platform::ManagedObjectContext> context);
    // The window keeps the context it shows: a document with a window is not read again. False (with the
    // reason in error) when it has one.
    bool mayReadContent(std::string* error) const;
    // The song in the interchange format, written by this parser.
    std::optional<std::vector<std::uint8_t>> interchangeData(TOVDocumentParser& parser,
                                                             std::string* error) const;
    // Builds the one window controller and its window; false when there is one already or no content.
    bool makeWindowController();
    void raiseWindowForSheet();
    void showAlertSheet(const std::string& message);
    // The window shows the content: it goes first, and the document's undo manager stops being the
    // content's before the context that owns it goes. Safe to call more than once.
    void closeDownWindows();

private:
    std::unique_ptr<platform::ManagedObjectContext> context_;
    TOVWindowController* windowController_ = nullptr; // owned through the document's window controllers
    QString fileName_;
};
