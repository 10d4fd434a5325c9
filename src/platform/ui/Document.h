#pragma once

#include "platform/foundation/UndoManager.h"
#include "platform/ui/Responder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class DocumentController;
class PrintOperation;
class SavePanel;
class View;
class Window;
class WindowController;

// A document: its file and type, its undo manager (whose change count gives the edited state), its
// window controllers, and saving, closing and printing. Subclasses read and write the content and make
// the window controllers. The document controller owns documents; a document owns its window
// controllers.
//
// Saving always writes the whole file beside the target and renames it over the target only when the
// write succeeded, so a failed save leaves the old file as it was. A document whose file is of a type
// that is read only (or that has no file yet) saves through Save As.
class Document : public Responder {
public:
    Document();
    ~Document() override;

    const std::filesystem::path& fileURL() const { return fileURL_; }
    void setFileURL(std::filesystem::path url);
    // The type name of the content ("Tovrin Document").
    const std::string& fileType() const { return fileType_; }
    void setFileType(std::string type) { fileType_ = std::move(type); }
    // The file's name without its extension, or "Untitled".
    std::string displayName() const;

    UndoManager& undoManager() { return *undo_; }
    // Whether the content differs from what was last read or saved.
    bool isDocumentEdited() const { return undo_->changeCount() != savedChangeCount_; }
    // A document whose content keeps its own undo manager (a managed object context) makes it the
    // document's, so that the content's changes give the edited state and the Undo and Redo commands act
    // on them; the present content counts as saved. Null goes back to the document's own. The manager
    // must outlive its use here, or be replaced first.
    void setUndoManager(UndoManager* manager);
    // Marks the present content as the saved one.
    void updateChangeCountCleared();

    DocumentController* documentController() const { return controller_; }

    // --- Content ---
    virtual bool readFromData(const std::vector<std::uint8_t>& data, const std::string& typeName,
                              std::string* error) = 0;
    virtual std::optional<std::vector<std::uint8_t>> dataOfType(const std::string& typeName,
                                                                std::string* error) = 0;
    // Files larger than this are refused when read.
    virtual std::size_t maximumDocumentBytes() const { return 256u * 1024u * 1024u; }
    virtual bool readFromURL(const std::filesystem::path& url, const std::string& typeName,
                             std::string* error);
    virtual bool writeToURL(const std::filesystem::path& url, const std::string& typeName,
                            std::string* error);

    // --- Windows ---
    virtual void makeWindowControllers() {}
    void addWindowController(std::unique_ptr<WindowController> controller);
    const std::vector<std::unique_ptr<WindowController>>& windowControllers() const {
        return windowControllers_;
    }
    void showWindows();
    // The window that sheets of the document go on, or null.
    Window* windowForSheet() const;

    // --- Saving ---
    // Saves to the document's file; without one, or when its type cannot be written, runs Save As.
    // Answers whether the content was saved; a failure is shown in an alert on the document's window.
    // A write-protected file is not replaced without the user's word: the document asks on its window
    // whether to overwrite the file or save under another name, answers false at once and saves once
    // the user agreed (the answer holds for that file while the document is open).
    bool saveDocument();
    // As saveDocument, calling the handler (when given) with whether the content was saved once that is
    // known, after the question about a write-protected file too.
    void saveDocumentThen(std::function<void(bool)> didSave);
    bool saveDocumentAs();
    // Writes to the file in the writable form of the document's type, and makes it the document's file.
    bool saveToURL(const std::filesystem::path& url, std::string* error);
    // Called before the save panel runs (accessory, allowed types, name).
    virtual void prepareSavePanel(SavePanel& panel) {}

    // --- Closing ---
    // Calls the handler with whether the document may close: at once when it is not edited, otherwise
    // after asking on its window whether to save ("Save", "Cancel", "Don't Save"); Save saves first.
    void canCloseDocument(std::function<void(bool)> handler);
    // Closes the windows and leaves the document controller, which lets the document go.
    void close();

    // --- Printing ---
    // The view that is printed, or null when the document cannot print.
    virtual View* viewForPrinting() { return nullptr; }
    virtual std::unique_ptr<PrintOperation> printOperation();
    // Runs the print operation with the print dialog; false when cancelled or nothing printed.
    bool printDocument();

    // Actions: saveDocument:, saveDocumentAs:, printDocument:, undo:, redo:.
    bool validateMenuItem(MenuItem& item) override;

    // Called by the document controller.
    void setDocumentController(DocumentController* controller) { controller_ = controller; }

protected:
    // For a subclass whose content goes before the base: lets the window controllers go (they may point
    // at the content) while the content still exists.
    void releaseWindowControllers();
    // Tells the user that a save failed, as a sheet on the document's window.
    virtual void presentSaveError(const std::string& error);
    // The message of that sheet.
    std::string saveErrorMessage() const;

private:
    void windowShouldClose(WindowController* controller, bool& allow);
    void windowWillClose(WindowController* controller);
    void synchronizeWindowTitles();
    bool savesThroughSaveAs() const;
    bool mustAskToOverwrite() const;
    void askToOverwrite(std::function<void(bool)> didSave);

    std::filesystem::path fileURL_;
    std::string fileType_;
    UndoManager undoManager_;
    UndoManager* undo_ = &undoManager_;
    std::uint64_t savedChangeCount_ = 0;
    UndoManager::ObserverId changeObserver_ = 0;
    std::vector<std::unique_ptr<WindowController>> windowControllers_;
    DocumentController* controller_ = nullptr;
    bool closing_ = false;
    bool askingToClose_ = false;
    bool askingToOverwrite_ = false;
    // The write-protected file the user agreed to overwrite.
    std::filesystem::path overwriteAgreedURL_;
};

} // namespace platform
