#pragma once

#include "platform/ui/DocumentController.h"

#include <filesystem>
#include <memory>
#include <string>

class TOVStartUpWindowController;

// The application's document controller. It knows the one document type, "Tovrin Document" ("tovz" read
// and written, "tovr" only read), makes a TOVZDocument or, for a legacy "tovr" store, a TOVDocument, and
// hides the start-up panel whenever a document is about to be created or opened, whether or not that then
// succeeds.
class TOVDocumentController : public platform::DocumentController {
public:
    static constexpr const char* documentTypeName = "Tovrin Document";

    TOVDocumentController();
    ~TOVDocumentController() override;

    std::string defaultType() const override;

    // Shows the start-up panel.
    void runStartupPanel();
    // Fetched from the panel's singleton on first use and kept.
    TOVStartUpWindowController* startUpWindowController();
    void setStartUpWindowController(TOVStartUpWindowController* controller);

    // Each hides the start-up panel first, then does the platform's work. An open that leaves no document
    // open (cancelled, or the file could not be read) shows the panel again.
    platform::Document* newDocument() override;
    void openDocument() override;
    platform::Document* openDocumentWithContentsOfURL(const std::filesystem::path& url, bool display,
                                                      std::string* error = nullptr) override;

    // When the last document has gone, the start-up panel shows again.
    void removeDocument(platform::Document* document) override;

    std::shared_ptr<platform::Document> makeUntitledDocumentOfType(const std::string& typeName,
                                                                   std::string* error) override;
    std::shared_ptr<platform::Document> makeDocumentWithContentsOfURL(const std::filesystem::path& url,
                                                                      const std::string& typeName,
                                                                      std::string* error) override;

    // Every menu item that reaches the document controller is enabled.
    bool validateMenuItem(platform::MenuItem& item) override { return true; }

private:
    void hideStartUpPanel();
    void showStartUpPanelWhenNothingIsOpen();

    TOVStartUpWindowController* startUpWindowController_ = nullptr; // the application-wide panel
};
