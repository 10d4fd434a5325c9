#pragma once

#include "app/TOVPersistentDocument.h"

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
} // namespace platform

// The document of an older "tovr" song store. The store is imported into memory when the file is opened
// and is never written: the user keeps the song by saving it as a "tovz" file, so Save on a "tovr" file
// runs Save As, whose panel offers only "tovz". When the window first gets the song, chords stored without
// a scale get the scale that makes their default symbol as wide as their stored frame.
class TOVDocument : public TOVPersistentDocument {
public:
    TOVDocument();
    ~TOVDocument() override;

    // The root Document object of the imported song, or null.
    ::Document* documentData() const override;

    // --- platform::Document ---
    bool readFromData(const std::vector<std::uint8_t>& data, const std::string& typeName,
                      std::string* error) override;
    bool writeToURL(const std::filesystem::path& url, const std::string& typeName,
                    std::string* error) override;

    // --- TOVWindowControllerDelegate ---
    void windowControllerDidParseDocument(TOVWindowController* controller, ::Document* document) override;

    // Chords stored with no scale get the scale that fits their default symbol to their frame.
    static void repairChordScales(::Document* document);

    static constexpr const char* olderVersionMessage =
        "This file was created by older version of TOVRIN and is no longer supported with this version. \nIt "
        "will be converted to latest version when saving.";

    // The older-version alert, as a sheet on the window, for a document opened from a "tovr" file.
    void showLoadAlerts() override;
    static bool isLegacyStoreName(const QString& path);

private:
    bool isLegacyFile() const;
    void adoptContext(std::unique_ptr<platform::ManagedObjectContext> context, ::Document* document);

    ::Document* document_ = nullptr;
};
