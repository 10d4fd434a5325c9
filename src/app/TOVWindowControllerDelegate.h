#pragma once

class Document;
class TOVWindowController;

// What the document of a window hears when the window's content arrives: first that the `Document` is
// known (optional), then, after the editor has built its views of it, that it is loaded.
class TOVWindowControllerDelegate {
public:
    virtual ~TOVWindowControllerDelegate() = default;

    // Optional: the document's root object has arrived, before the editor shows it.
    virtual void windowControllerDidParseDocument(TOVWindowController* controller, Document* document) {
        (void)controller;
        (void)document;
    }
    // The editor shows the document's root object.
    virtual void windowControllerDidLoadDocument(TOVWindowController* controller, Document* document) = 0;
};
