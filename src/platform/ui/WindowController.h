#pragma once

#include "platform/ui/Responder.h"

#include <memory>
#include <string>

namespace platform {

class Document;
class Window;

// Owns a window and stands between it and its document in the responder chain. A document owns its
// window controllers; the controller's document link is not owning.
class WindowController : public Responder {
public:
    explicit WindowController(std::unique_ptr<Window> window = nullptr);
    ~WindowController() override;

    Window* window() const { return window_.get(); }
    void setWindow(std::unique_ptr<Window> window);

    Document* document() const { return document_; }
    void setDocument(Document* document);

    // Shows the window and makes it key.
    void showWindow();
    // Closes the window without asking the document.
    void close();

    // The window's title for the document's display name.
    virtual std::string windowTitleForDocumentDisplayName(const std::string& displayName) const {
        return displayName;
    }
    // Sets the window's title from the document's name and its edited mark from the document's state.
    void synchronizeWindowTitleWithDocumentName();

private:
    std::unique_ptr<Window> window_;
    Document* document_ = nullptr;
};

} // namespace platform
