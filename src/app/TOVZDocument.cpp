#include "app/TOVZDocument.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVSongSettingViewController.h"
#include "app/TOVWindowController.h"
#include "document/TOVDocumentParser.h"
#include "glyphs/TOVChordViewFactory.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Resources.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace {

std::string text(std::string_view english) {
    return platform::localized(english);
}

// Whether an installed plug-in font has exactly this ID; the built-in "Default" always is.
bool isInstalledFontID(const QString& fontID) {
    if (fontID == QStringLiteral("Default")) {
        return true;
    }
    const TOVChordViewFactory* factory = TOVChordViewFactory::singletonInstance();
    return factory != nullptr && factory->dictFontLibrary().count(fontID.toStdString()) != 0;
}

} // namespace

TOVZDocument::TOVZDocument() : alive_(std::make_shared<bool>(true)) {
    resetContext();
}

TOVZDocument::~TOVZDocument() {
    *alive_ = false;
    // The window goes before the song form and the parser.
    closeDownWindows();
}

void TOVZDocument::resetContext() {
    adoptContext(std::make_unique<platform::ManagedObjectContext>(TOVManagedObjectModel::sharedModel()));
}

void TOVZDocument::initWithType(const std::string& typeName) {
    setFileType(typeName);
    isNewDocument_ = true;
    makeSongSettingViewController();
    managedObjectContext().insertNewObject<::Document>("Document");
    managedObjectContext().processPendingChanges();
}

bool TOVZDocument::readFromURL(const std::filesystem::path& url, const std::string& typeName,
                               std::string* error) {
    isNewDocument_ = false;
    return TOVPersistentDocument::readFromURL(url, typeName, error);
}

bool TOVZDocument::readFromData(const std::vector<std::uint8_t>& data, const std::string& typeName,
                                std::string* error) {
    if (!mayReadContent(error)) {
        return false;
    }
    // Reading again before a window exists starts from an empty context.
    if (documentData() != nullptr) {
        resetContext();
    }
    platform::ManagedObjectContext& context = managedObjectContext();
    platform::UndoManager& undo = context.undoManager();
    undo.disableUndoRegistration();
    auto* document = context.insertNewObject<::Document>("Document");
    context.processPendingChanges();
    auto parser = std::make_unique<TOVDocumentParser>();
    const bool loaded = document != nullptr && parser->loadTOVZDocumentFromDataToDocument(data, document);
    if (loaded) {
        isLatorVersionOfDocument_ = isLaterVersion(parser->dataVersion());
        if (const std::optional<QString>& fontID = parser->fontID()) {
            isFontNotFound_ = !isInstalledFontID(*fontID);
        }
        parser->completeOpenedDocument(document);
    } else if (error != nullptr) {
        *error = parser->failureReason();
    }
    undo.enableUndoRegistration();
    lastUsedParser_ = std::move(parser);
    return loaded;
}

std::optional<std::vector<std::uint8_t>> TOVZDocument::dataOfType(const std::string& typeName,
                                                                  std::string* error) {
    // Every save writes the interchange file, whatever type was asked for.
    auto parser = std::make_unique<TOVDocumentParser>();
    std::optional<std::vector<std::uint8_t>> data = interchangeData(*parser, error);
    lastUsedParser_ = std::move(parser);
    return data;
}

bool TOVZDocument::writeToURL(const std::filesystem::path& url, const std::string& typeName,
                              std::string* error) {
    // The first save of a new song runs while its panel still holds the song form.
    if (newSongFlow_) {
        takeBackSongForm();
        newSongTriedURL_ = url;
    }
    return platform::Document::writeToURL(url, typeName, error);
}

bool TOVZDocument::isLaterVersion(const std::optional<QString>& version) {
    return TOVDocumentParser::isLaterDataVersion(version);
}

void TOVZDocument::showLoadAlerts() {
    if (isLatorVersionOfDocument_) {
        showAlertSheet(text(laterVersionMessage));
    }
    if (isFontNotFound_) {
        QString message = QString::fromStdString(text(fontNotFoundMessage));
        const QString fontName =
            lastUsedParser_ ? lastUsedParser_->fontName().value_or(QString()) : QString();
        message.replace(QStringLiteral("%@"), fontName);
        showAlertSheet(message.toStdString());
    }
    if (lastUsedParser_ && !lastUsedParser_->loadNotices().empty()) {
        std::string message = "The song was opened without some of what the file holds.";
        for (const std::string& notice : lastUsedParser_->loadNotices()) {
            message += " " + notice;
        }
        showAlertSheet(message);
    }
}

// --- Window ---

void TOVZDocument::makeSongSettingViewController() {
    songSettingViewController_ = std::make_shared<TOVSongSettingViewController>();
}

void TOVZDocument::makeWindowControllers() {
    if (makeWindowController() && isNewDocument_) {
        // A new song is saved under a name before it gets content. The save panel comes once the window
        // is up, after the command that made the document has returned.
        newSongFlow_ = true;
        platform::Application::performDeferred([this, alive = std::weak_ptr<bool>(alive_)] {
            // A document closed in the meantime asks for nothing.
            if (!alive.expired() && documentController() != nullptr) {
                documentDidSave(saveDocument());
            }
        });
    }
}

void TOVZDocument::prepareSavePanel(platform::SavePanel& panel) {
    if (!newSongFlow_ || !songSettingViewController_ || songSettingViewController_->view() == nullptr) {
        TOVPersistentDocument::prepareSavePanel(panel);
        return;
    }
    raiseWindowForSheet();
    // The panel lets its accessory go with it; the form sits in a holder of the panel's, from which
    // the save takes it back before the panel goes.
    auto* holder = new QWidget();
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(songSettingViewController_->view());
    // Taken back from an earlier panel, the form was hidden.
    songSettingViewController_->view()->show();
    panel.setAccessoryView(holder);
    panel.prompt = text("Create");
    panel.message = text("Create new song.");
    if (!newSongTriedURL_.empty()) {
        // Asked again after a failed save: what the user filled in and chose stays.
        panel.nameFieldStringValue = newSongTriedURL_.stem().string();
        panel.directory = newSongTriedURL_.parent_path();
        return;
    }
    panel.nameFieldStringValue = "NewSong";
    if (QLineEdit* name = songSettingViewController_->songNameTextField()) {
        name->setText(QString::fromStdString(text("New Song")));
    }
}

void TOVZDocument::presentSaveError(const std::string& error) {
    if (!newSongFlow_) {
        TOVPersistentDocument::presentSaveError(error);
        return;
    }
    newSongSaveFailed_ = true;
    platform::Alert::alertWithMessage(saveErrorMessage(), "OK", {}, {}, error)
        ->beginSheetModalForWindow(windowForSheet(), [this, alive = std::weak_ptr<bool>(alive_)](int) {
            if (!alive.expired() && documentController() != nullptr) {
                documentDidSave(saveDocument());
            }
        });
}

void TOVZDocument::takeBackSongForm() {
    if (songSettingViewController_ && songSettingViewController_->view() != nullptr) {
        songSettingViewController_->view()->hide();
        songSettingViewController_->view()->setParent(nullptr);
    }
}

void TOVZDocument::documentDidSave(bool didSave) {
    if (!newSongFlow_) {
        return;
    }
    if (!didSave && newSongSaveFailed_) {
        // The error sheet asks again once it is answered.
        newSongSaveFailed_ = false;
        return;
    }
    newSongFlow_ = false;
    TOVWindowController* controller = windowController();
    if (didSave && controller != nullptr) {
        TOVSongSettingViewController* form = songSettingViewController_.get();
        const QString title = form != nullptr && form->songNameTextField() != nullptr
                                  ? form->songNameTextField()->text()
                                  : QString();
        controller->createSongSettingFrom(form);
        controller->createInitialPage();
        controller->loadWindow();
        controller->updateEditorView();
        managedObjectContext().processPendingChanges();
        // The new song starts with nothing to undo; the second save puts its content in the file.
        managedObjectContext().undoManager().removeAllActions();
        updateChangeCountCleared();
        saveDocument();
        controller->editorRequireShowNavigationMessageTitlePriority(
            controller->editorController(), QString::fromStdString(text(createdMessage)), title, 0);
    } else if (!didSave) {
        close();
    }
    songSettingViewController_.reset();
}
