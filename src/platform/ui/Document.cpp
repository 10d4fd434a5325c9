#include "platform/ui/Document.h"

#include "platform/foundation/Files.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PrintOperation.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowController.h"

namespace platform {

Document::Document() {
    savedChangeCount_ = undoManager_.changeCount();
    changeObserver_ = undoManager_.addObserver(UndoManager::Notification::ChangeCountDidChange,
                                               [this] { synchronizeWindowTitles(); });
    addActionHandler("saveDocument:", [this](MenuItem*) { saveDocumentThen({}); });
    addActionHandler("saveDocumentAs:", [this](MenuItem*) { saveDocumentAs(); });
    addActionHandler("printDocument:", [this](MenuItem*) { printDocument(); });
    addActionHandler("undo:", [this](MenuItem*) { undo_->undo(); });
    addActionHandler("redo:", [this](MenuItem*) { undo_->redo(); });
}

Document::~Document() {
    undo_->removeObserver(changeObserver_);
    closing_ = true;
    // The windows go before the document they point at.
    windowControllers_.clear();
}

void Document::releaseWindowControllers() {
    closing_ = true;
    windowControllers_.clear();
}

void Document::setFileURL(std::filesystem::path url) {
    fileURL_ = std::move(url);
    synchronizeWindowTitles();
}

std::string Document::displayName() const {
    return fileURL_.empty() ? std::string("Untitled") : fileURL_.stem().string();
}

void Document::setUndoManager(UndoManager* manager) {
    UndoManager* next = manager != nullptr ? manager : &undoManager_;
    if (next == undo_) {
        return;
    }
    undo_->removeObserver(changeObserver_);
    undo_ = next;
    changeObserver_ = undo_->addObserver(UndoManager::Notification::ChangeCountDidChange,
                                         [this] { synchronizeWindowTitles(); });
    updateChangeCountCleared();
}

void Document::updateChangeCountCleared() {
    savedChangeCount_ = undo_->changeCount();
    synchronizeWindowTitles();
}

bool Document::readFromURL(const std::filesystem::path& url, const std::string& typeName,
                           std::string* error) {
    const std::optional<std::vector<std::uint8_t>> data = readFile(url, maximumDocumentBytes(), error);
    return data && readFromData(*data, typeName, error);
}

bool Document::writeToURL(const std::filesystem::path& url, const std::string& typeName, std::string* error) {
    const std::optional<std::vector<std::uint8_t>> data = dataOfType(typeName, error);
    return data &&
           writeFileAtomically(url, *data, error, !overwriteAgreedURL_.empty() && url == overwriteAgreedURL_);
}

void Document::addWindowController(std::unique_ptr<WindowController> controller) {
    if (!controller) {
        return;
    }
    WindowController* raw = controller.get();
    windowControllers_.push_back(std::move(controller));
    raw->setDocument(this);
    if (Window* window = raw->window()) {
        window->setShouldCloseHandler([this, raw] {
            bool allow = true;
            windowShouldClose(raw, allow);
            return allow;
        });
        window->setWillCloseHandler([this, raw] { windowWillClose(raw); });
    }
}

void Document::showWindows() {
    for (const auto& controller : windowControllers_) {
        controller->showWindow();
    }
}

Window* Document::windowForSheet() const {
    for (const auto& controller : windowControllers_) {
        if (controller->window() != nullptr) {
            return controller->window();
        }
    }
    return nullptr;
}

void Document::synchronizeWindowTitles() {
    for (const auto& controller : windowControllers_) {
        controller->synchronizeWindowTitleWithDocumentName();
    }
}

std::string Document::saveErrorMessage() const {
    return "The document “" + displayName() + "” could not be saved.";
}

void Document::presentSaveError(const std::string& error) {
    auto alert = Alert::alertWithMessage(saveErrorMessage(), "OK", {}, {}, error);
    alert->beginSheetModalForWindow(windowForSheet(), {});
}

bool Document::saveToURL(const std::filesystem::path& url, std::string* error) {
    if (!writeToURL(url, fileType_, error)) {
        return false;
    }
    fileURL_ = url;
    updateChangeCountCleared();
    if (controller_ != nullptr) {
        controller_->noteNewRecentDocumentURL(url);
    }
    return true;
}

bool Document::savesThroughSaveAs() const {
    return fileURL_.empty() || controller_ == nullptr || !controller_->canWriteFileAtURL(fileURL_);
}

bool Document::mustAskToOverwrite() const {
    return fileURL_ != overwriteAgreedURL_ && isWriteProtected(fileURL_);
}

bool Document::saveDocument() {
    if (savesThroughSaveAs()) {
        return saveDocumentAs();
    }
    if (mustAskToOverwrite()) {
        askToOverwrite({});
        return false;
    }
    std::string error;
    if (!saveToURL(fileURL_, &error)) {
        presentSaveError(error);
        return false;
    }
    return true;
}

void Document::saveDocumentThen(std::function<void(bool)> didSave) {
    if (!savesThroughSaveAs() && mustAskToOverwrite()) {
        askToOverwrite(std::move(didSave));
        return;
    }
    const bool saved = saveDocument();
    if (didSave) {
        didSave(saved);
    }
}

void Document::askToOverwrite(std::function<void(bool)> didSave) {
    if (askingToOverwrite_) {
        if (didSave) {
            didSave(false);
        }
        return;
    }
    askingToOverwrite_ = true;
    auto alert = Alert::alertWithMessage(
        "The file of the document “" + displayName() + "” is write-protected.", "Save As…", "Cancel",
        "Overwrite", "You can overwrite the file anyway, or save your changes under another name.");
    const std::filesystem::path url = fileURL_;
    alert->beginSheetModalForWindow(windowForSheet(), [this, url, didSave = std::move(didSave)](int code) {
        askingToOverwrite_ = false;
        bool saved = false;
        if (code == Alert::OtherReturn && url == fileURL_) {
            overwriteAgreedURL_ = url;
            saved = saveDocument();
        } else if (code == Alert::DefaultReturn) {
            saved = saveDocumentAs();
        }
        if (didSave) {
            didSave(saved);
        }
    });
}

bool Document::saveDocumentAs() {
    SavePanel panel;
    if (controller_ != nullptr) {
        panel.allowedFileTypes = controller_->writableExtensionsForType(fileType_);
    }
    panel.nameFieldStringValue = displayName();
    if (!fileURL_.empty()) {
        panel.directory = fileURL_.parent_path();
    }
    prepareSavePanel(panel);
    const std::optional<std::filesystem::path> url = panel.runModal();
    if (!url) {
        return false;
    }
    std::string error;
    if (!saveToURL(*url, &error)) {
        presentSaveError(error);
        return false;
    }
    return true;
}

void Document::canCloseDocument(std::function<void(bool)> handler) {
    if (!isDocumentEdited()) {
        handler(true);
        return;
    }
    auto alert = Alert::alertWithMessage(
        "Do you want to save the changes made to the document “" + displayName() + "”?", "Save", "Cancel",
        "Don't Save", "Your changes will be lost if you don't save them.");
    alert->beginSheetModalForWindow(windowForSheet(), [this, handler = std::move(handler)](int code) {
        if (code == Alert::DefaultReturn) {
            saveDocumentThen(handler);
        } else {
            handler(code == Alert::OtherReturn);
        }
    });
}

void Document::windowShouldClose(WindowController* controller, bool& allow) {
    allow = closing_ || windowControllers_.size() > 1 || !isDocumentEdited();
    if (allow || askingToClose_) {
        return;
    }
    askingToClose_ = true;
    canCloseDocument([this](bool mayClose) {
        askingToClose_ = false;
        if (mayClose) {
            close();
        }
    });
}

void Document::windowWillClose(WindowController* controller) {
    if (closing_) {
        return;
    }
    bool anotherOpen = false;
    for (const auto& each : windowControllers_) {
        if (each.get() != controller && each->window() != nullptr && each->window()->isVisible()) {
            anotherOpen = true;
        }
    }
    if (!anotherOpen) {
        close();
    }
}

void Document::close() {
    if (closing_) {
        return;
    }
    closing_ = true;
    for (const auto& controller : windowControllers_) {
        if (Window* window = controller->window(); window != nullptr && window->isVisible()) {
            window->close();
        }
    }
    if (controller_ != nullptr) {
        controller_->removeDocument(this);
    }
}

std::unique_ptr<PrintOperation> Document::printOperation() {
    View* view = viewForPrinting();
    if (view == nullptr) {
        return nullptr;
    }
    auto operation = std::make_unique<PrintOperation>(*view);
    operation->setJobTitle(QString::fromStdString(displayName()));
    return operation;
}

bool Document::printDocument() {
    const std::unique_ptr<PrintOperation> operation = printOperation();
    return operation && operation->runOperation(windowForSheet());
}

bool Document::validateMenuItem(MenuItem& item) {
    const std::string& action = item.action();
    if (action == "undo:" || action == "redo:") {
        const bool undo = action == "undo:";
        const std::string name = undo ? undo_->undoActionName() : undo_->redoActionName();
        const std::string verb = undo ? "Undo" : "Redo";
        item.setTitle(name.empty() ? verb : verb + " " + name);
        return undo ? undo_->canUndo() : undo_->canRedo();
    }
    if (action == "printDocument:") {
        return viewForPrinting() != nullptr;
    }
    return true;
}

} // namespace platform
