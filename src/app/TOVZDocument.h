#pragma once

#include "app/TOVPersistentDocument.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Document;
class TOVDocumentParser;
class TOVSongSettingViewController;

namespace platform {
class SavePanel;
} // namespace platform

// The document of a "tovz" song file: one per open song window. Opening fills its context from the
// interchange file and saving writes the interchange file from the model. A document made by New
// first asks where to save the song (with the song form in the save panel) and gets its content only
// once it has a file; cancelling that panel closes the document.
class TOVZDocument : public TOVPersistentDocument {
public:
    // The version of the song data this program writes; a file of a later version is opened with a warning.
    static constexpr double dataVersion = 1.5;

    TOVZDocument();
    ~TOVZDocument() override;

    // A new song (the New command): marks the document new, makes the song form and inserts the root
    // Document object.
    void initWithType(const std::string& typeName);

    // --- State ---
    bool isNewDocument() const { return isNewDocument_; }
    void setIsNewDocument(bool value) { isNewDocument_ = value; }
    bool isLatorVersionOfDocument() const { return isLatorVersionOfDocument_; }
    bool isFontNotFound() const { return isFontNotFound_; }
    // The song form shown in the save panel of a new song; null outside the new-song flow.
    TOVSongSettingViewController* songSettingViewController() const {
        return songSettingViewController_.get();
    }
    const TOVDocumentParser* lastUsedParser() const { return lastUsedParser_.get(); }

    // --- platform::Document ---
    bool readFromURL(const std::filesystem::path& url, const std::string& typeName,
                     std::string* error) override;
    bool readFromData(const std::vector<std::uint8_t>& data, const std::string& typeName,
                      std::string* error) override;
    std::optional<std::vector<std::uint8_t>> dataOfType(const std::string& typeName,
                                                        std::string* error) override;
    bool writeToURL(const std::filesystem::path& url, const std::string& typeName,
                    std::string* error) override;
    void makeWindowControllers() override;
    void prepareSavePanel(platform::SavePanel& panel) override;

    // Ends the new-song flow once its first save has been answered.
    void documentDidSave(bool didSave);

    // Whether a file's data version is later than this program's (numeric comparison; none is not later).
    static bool isLaterVersion(const std::optional<QString>& version);

    // The texts of the messages and alerts, in English (they are shown localized; loadedMessage is the
    // base's).
    static constexpr const char* createdMessage = "A New song created and saved successfully.";
    static constexpr const char* laterVersionMessage =
        "This file was created by later version of TOVRIN. \nSome data may not be loaded correctly with this "
        "version of TOVRIN.";
    static constexpr const char* fontNotFoundMessage =
        "The plug-in font [%@] is not found. The default font is used instead.";

    // The later-version and missing-font alerts of the file just opened, as sheets on the window.
    void showLoadAlerts() override;

protected:
    // A new song says nothing when its window first shows it.
    bool announcesLoad() const override { return !isNewDocument_; }
    // A new song whose first save failed stays open: once the user has read why, the save panel comes
    // again with the form as it was filled in.
    void presentSaveError(const std::string& error) override;

private:
    void resetContext();
    void makeSongSettingViewController();
    void takeBackSongForm();

    bool isNewDocument_ = false;
    bool isLatorVersionOfDocument_ = false;
    bool isFontNotFound_ = false;
    bool newSongFlow_ = false;
    // The first save of the new song failed and is asked again; where it was tried.
    bool newSongSaveFailed_ = false;
    std::filesystem::path newSongTriedURL_;
    std::shared_ptr<TOVSongSettingViewController> songSettingViewController_;
    std::unique_ptr<TOVDocumentParser> lastUsedParser_;
    // Cleared when the document goes, for work deferred past the current event.
    std::shared_ptr<bool> alive_;
};
